#include "platform/Shell.h"

#include "platform/Errors.h"
#include "platform/windows/Win32.h"

#include <shellapi.h>

namespace orbisto::platform {

namespace {

// ShellExecute reports a failure as a number up to 32: the system's error codes where one fits,
// the shell's own SE_ERR_ codes otherwise. This is the system error of the same meaning.
DWORD systemErrorOf(INT_PTR result) {
    switch (result) {
    case 0:
    case SE_ERR_OOM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case SE_ERR_SHARE:
        return ERROR_SHARING_VIOLATION;
    case SE_ERR_ASSOCINCOMPLETE:
    case SE_ERR_NOASSOC:
        return ERROR_NO_ASSOCIATION;
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY:
        return ERROR_DDE_FAIL;
    case SE_ERR_DLLNOTFOUND:
        return ERROR_DLL_NOT_FOUND;
    default: // SE_ERR_FNF, SE_ERR_PNF, SE_ERR_ACCESSDENIED and ERROR_BAD_FORMAT are system codes
        return static_cast<DWORD>(result);
    }
}

// The system's text for an error code, in the user's language, without its line break.
std::string systemText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return text.empty() ? "error " + std::to_string(error) : win32::utf8(text);
}

} // namespace

void shellOpen(const std::string& target, bool maximized) {
    const INT_PTR result = reinterpret_cast<INT_PTR>(::ShellExecuteW(
        nullptr, L"open", win32::wide(target).c_str(), nullptr, nullptr, maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL));
    if (result <= 32) {
        throw ShellOpenError(target, systemText(systemErrorOf(result)));
    }
}

} // namespace orbisto::platform
