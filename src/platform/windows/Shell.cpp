#include "platform/Shell.h"

#include "platform/windows/Win32.h"

#include <shellapi.h>

namespace orbisto::platform {

void shellOpen(const std::string& target, bool maximized) noexcept {
    ::ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
}

} // namespace orbisto::platform
