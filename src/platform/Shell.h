#pragma once

#include <string>

namespace orbisto::platform {

// Asks the desktop to "open" a document or web address (UTF-8 text) with its default application.
// `maximized` asks for a maximized window where the platform can. When the desktop refuses at once
// (Windows: no such file, no application for it; Linux: no opener to start) it raises
// ShellOpenError with the system's reason; what the started application does later is not reported.
void shellOpen(const std::string& target, bool maximized);

} // namespace orbisto::platform
