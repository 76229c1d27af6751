// Reads or writes one text value through the settings store of this system, so that a script can
// check the store against the system's own registry tool (`wine reg query`, `wine reg add`):
//   registry_probe read HKCU|HKLM <key> <value name>           prints the text
//   registry_probe write HKCU|HKLM <key> <value name> <text>
// A failure prints the store's error text and exits with 1. And, to stand for a standard user's
// rights (Wine enforces registry ACLs but runs everything as if elevated):
//   registry_probe read-only HKCU|HKLM <key>     creates the key and lets everyone only read it
//   registry_probe writable HKCU|HKLM <key>      gives everyone full access to it again
#include "platform/Errors.h"
#include "platform/SettingsStore.h"
#include "platform/windows/Win32.h"

#include <iostream>
#include <sddl.h>
#include <string_view>

namespace {

// Gives `key` the descriptor `sddl` (creating the key when missing); a Windows error code, or 0.
LSTATUS setDescriptor(HKEY root, const char* key, const wchar_t* sddl) {
    HKEY handle = nullptr;
    LSTATUS status = ::RegCreateKeyExW(root, orbisto::platform::win32::wide(key).c_str(), 0, nullptr, 0, WRITE_DAC,
                                       nullptr, &handle, nullptr);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
        status = static_cast<LSTATUS>(::GetLastError());
    } else {
        status = ::RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, descriptor);
        ::LocalFree(descriptor);
    }
    ::RegCloseKey(handle);
    return status;
}

} // namespace

int main(int argc, char** argv) {
    using orbisto::platform::Hive;
    const std::string_view action = argc > 1 ? argv[1] : "";
    const std::string_view hiveName = argc > 2 ? argv[2] : "";
    const bool access = action == "read-only" || action == "writable";
    if (!((action == "read" && argc == 5) || (action == "write" && argc == 6) || (access && argc == 4)) ||
        (hiveName != "HKCU" && hiveName != "HKLM")) {
        std::cerr << "usage: registry_probe read|write HKCU|HKLM <key> <value name> [text]\n"
                     "       registry_probe read-only|writable HKCU|HKLM <key>\n";
        return 2;
    }
    const Hive hive = hiveName == "HKCU" ? Hive::CurrentUser : Hive::LocalMachine;
    if (access) {
        const LSTATUS status =
            setDescriptor(hive == Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, argv[3],
                          action == "read-only" ? L"D:P(A;OICI;KR;;;WD)" : L"D:(A;OICI;KA;;;WD)");
        if (status != ERROR_SUCCESS) {
            std::cout << "cannot set the access of " << argv[3] << ": error " << status << std::endl;
            return 1;
        }
        return 0;
    }
    try {
        auto store = orbisto::platform::makeSystemSettingsStore();
        if (action == "read") {
            std::cout << store->readText(hive, argv[3], argv[4]) << std::endl;
        } else {
            store->writeText(hive, argv[3], argv[4], argv[5]);
        }
    } catch (const orbisto::Error& error) {
        std::cout << error.what() << std::endl;
        return 1;
    }
    return 0;
}
