#pragma once

#include <string>

namespace orbisto::platform {

// Asks the desktop to "open" a document or web address with its default application.
// `maximized` asks for a maximized window where the platform can. The outcome is not reported.
void shellOpen(const std::string& target, bool maximized) noexcept;

} // namespace orbisto::platform
