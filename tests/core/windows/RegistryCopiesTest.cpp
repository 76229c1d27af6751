// The Windows store's per-user copy of the program's own values: where reads look, what writes
// reach, and a machine-wide hive that refuses writes as it does for a standard user (Wine enforces
// registry ACLs, so a read-only descriptor stands in for a standard user's rights).
#include "platform/Errors.h"
#include "platform/SettingsStore.h"

#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>
#include <windows.h>
// After windows.h:
#include <sddl.h>

namespace orbisto::platform {
namespace {

void check(LSTATUS status, const char* what) {
    if (status != ERROR_SUCCESS) {
        throw std::runtime_error(std::string(what) + " failed with " + std::to_string(status));
    }
}

// The registry as Windows' own functions see it, for setting up and inspecting what the store does.
std::optional<std::wstring> rawValue(HKEY root, const std::wstring& key, const wchar_t* name, REGSAM view = 0) {
    wchar_t data[512];
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    if (::RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ | (view == KEY_WOW64_32KEY ? RRF_SUBKEY_WOW6432KEY : 0),
                       &type, data, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(data);
}

void setRawValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text, REGSAM view = 0) {
    HKEY handle = nullptr;
    check(::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &handle, nullptr),
          "RegCreateKeyExW");
    const LSTATUS status = ::RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(handle);
    check(status, "RegSetValueExW");
}

void deleteRawValue(HKEY root, const std::wstring& key, const wchar_t* name, REGSAM view = 0) {
    HKEY handle = nullptr;
    check(::RegOpenKeyExW(root, key.c_str(), 0, KEY_SET_VALUE | view, &handle), "RegOpenKeyExW");
    const LSTATUS status = ::RegDeleteValueW(handle, name);
    ::RegCloseKey(handle);
    check(status, "RegDeleteValueW");
}

// Gives an existing key the descriptor `sddl`; its owner may always change it again.
void setDescriptor(HKEY root, const std::wstring& key, const wchar_t* sddl) {
    HKEY handle = nullptr;
    check(::RegOpenKeyExW(root, key.c_str(), 0, WRITE_DAC, &handle), "RegOpenKeyExW(WRITE_DAC)");
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
        ::RegCloseKey(handle);
        throw std::runtime_error("bad descriptor");
    }
    const LSTATUS status = ::RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, descriptor);
    ::LocalFree(descriptor);
    ::RegCloseKey(handle);
    check(status, "RegSetKeySecurity");
}

constexpr const wchar_t* kReadOnly = L"D:P(A;OICI;KR;;;WD)";
constexpr const wchar_t* kFullAccess = L"D:(A;OICI;KA;;;WD)";

// A key of the program's own below SOFTWARE\VESKO, named for this process, in every place the
// store reads; all of them are deleted before and after each case.
class RegistryCopies : public ::testing::Test {
protected:
    const std::wstring name = L"OrbistoTest-" + std::to_wstring(::GetCurrentProcessId());
    const std::string key = "\\SOFTWARE\\VESKO\\" + std::string(name.begin(), name.end()) + "\\path\\fm2006";
    const std::wstring below = L"VESKO\\" + name;
    const std::wstring perUser = L"Software\\" + below + L"\\path\\fm2006";
    const std::wstring storeOf64 =
        L"Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\WOW6432Node\\" + below + L"\\path\\fm2006";
    const std::wstring storeOf32 = L"Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\" + below + L"\\path\\fm2006";
    const std::wstring machine = L"SOFTWARE\\" + below + L"\\path\\fm2006";
    std::unique_ptr<SettingsStore> store = makeSystemSettingsStore();

    void SetUp() override { clear(); }
    void TearDown() override { clear(); }

    std::string writeError(std::string_view value) {
        try {
            store->writeText(Hive::LocalMachine, key, "Path", value);
        } catch (const SettingsWriteError& error) {
            return error.what();
        }
        return "<no error>";
    }

private:
    void clear() {
        const std::vector<std::pair<HKEY, std::wstring>> roots = {
            {HKEY_CURRENT_USER, L"Software\\" + below},
            {HKEY_CURRENT_USER, L"Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\WOW6432Node\\" + below},
            {HKEY_CURRENT_USER, L"Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\" + below},
            {HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\" + below},
            {HKEY_LOCAL_MACHINE, L"SOFTWARE\\" + below}};
        for (const auto& [root, path] : roots) {
            unlockTree(root, path);
            ::RegDeleteTreeW(root, path.c_str());
            ::RegDeleteKeyW(root, path.c_str());
        }
    }

    // Gives a key and every key below it full access again, so that it can be deleted.
    static void unlockTree(HKEY root, const std::wstring& path) {
        HKEY handle = nullptr;
        if (::RegOpenKeyExW(root, path.c_str(), 0, READ_CONTROL, &handle) != ERROR_SUCCESS) {
            return;
        }
        ::RegCloseKey(handle);
        setDescriptor(root, path, kFullAccess);
        check(::RegOpenKeyExW(root, path.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &handle), "RegOpenKeyExW");
        std::vector<std::wstring> children;
        wchar_t child[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = 256;
            if (::RegEnumKeyExW(handle, i, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
                break;
            }
            children.emplace_back(child);
        }
        ::RegCloseKey(handle);
        for (const auto& name : children) {
            unlockTree(root, path + L"\\" + name);
        }
    }
};

TEST_F(RegistryCopies, aWriteReachesBothHivesAsUnicodeAndOtherMachineKeysGetNoCopy) {
    const std::string folder = "C:\\Gry\\Mened\xC5\xBC"
                               "er 2006"; // "Menedżer", outside code page 1252
    store->writeText(Hive::LocalMachine, key, "Path", folder);
    EXPECT_EQ(rawValue(HKEY_LOCAL_MACHINE, machine, L"Path"), L"C:\\Gry\\Mened\u017Cer 2006");
    EXPECT_EQ(rawValue(HKEY_CURRENT_USER, perUser, L"Path"), L"C:\\Gry\\Mened\u017Cer 2006");
    EXPECT_EQ(makeSystemSettingsStore()->readText(Hive::LocalMachine, key, "path"), folder);

    const std::string other = "Software\\" + std::string(name.begin(), name.end());
    store->writeText(Hive::LocalMachine, other, "Version", "2006");
    EXPECT_EQ(store->readText(Hive::CurrentUser, other, "Version"), "");
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"Software\\" + name).c_str());
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, (L"Software\\" + name).c_str());
}

TEST_F(RegistryCopies, aReadTakesTheFirstCopyThatHoldsTheValue) {
    setRawValue(HKEY_LOCAL_MACHINE, machine, L"Path", L"machine");
    setRawValue(HKEY_LOCAL_MACHINE, machine, L"Path", L"machine, 32-bit view", KEY_WOW64_32KEY);
    setRawValue(HKEY_CURRENT_USER, storeOf32, L"Path", L"virtual store");
    setRawValue(HKEY_CURRENT_USER, storeOf64, L"Path", L"virtual store, WOW6432Node");
    setRawValue(HKEY_CURRENT_USER, perUser, L"Path", L"per user");
    // The per-user key exists from here on; a value it lacks is looked for further on.
    setRawValue(HKEY_CURRENT_USER, perUser, L"Other", L"only per user");
    EXPECT_EQ(store->readText(Hive::LocalMachine, key, "Path"), "per user");
    deleteRawValue(HKEY_CURRENT_USER, perUser, L"Path");
    EXPECT_EQ(store->readText(Hive::LocalMachine, key, "Path"), "virtual store, WOW6432Node");
    deleteRawValue(HKEY_CURRENT_USER, storeOf64, L"Path");
    EXPECT_EQ(store->readText(Hive::LocalMachine, key, "Path"), "virtual store");
    deleteRawValue(HKEY_CURRENT_USER, storeOf32, L"Path");
    EXPECT_EQ(store->readText(Hive::LocalMachine, key, "Path"), "machine, 32-bit view");
    deleteRawValue(HKEY_LOCAL_MACHINE, machine, L"Path", KEY_WOW64_32KEY);
    EXPECT_EQ(store->readText(Hive::LocalMachine, key, "Path"), "machine");
    deleteRawValue(HKEY_LOCAL_MACHINE, machine, L"Path");
    EXPECT_EQ(store->readText(Hive::LocalMachine, key, "Path"), "");
    EXPECT_EQ(store->readText(Hive::LocalMachine, key, "Other"), "only per user");

    // A read of the per-user hive (the game's keys) looks there only, never in the machine-wide hive.
    setRawValue(HKEY_LOCAL_MACHINE, machine, L"Game", L"machine");
    EXPECT_EQ(store->readText(Hive::CurrentUser, key, "Game"), "");
}

TEST_F(RegistryCopies, aRefusedMachineWriteKeepsThePerUserCopyAndOnlyTwoRefusalsRaise) {
    setRawValue(HKEY_LOCAL_MACHINE, machine, L"Path", L"C:\\Old");
    // A descriptor is not passed on to the keys that exist below: each one gets it.
    for (const std::wstring& path : {L"SOFTWARE\\" + below, L"SOFTWARE\\" + below + L"\\path", machine}) {
        setDescriptor(HKEY_LOCAL_MACHINE, path, kReadOnly);
    }
    EXPECT_EQ(writeError("C:\\New"), "<no error>");
    EXPECT_EQ(rawValue(HKEY_LOCAL_MACHINE, machine, L"Path"), L"C:\\Old");
    EXPECT_EQ(makeSystemSettingsStore()->readText(Hive::LocalMachine, key, "Path"), "C:\\New");

    for (const std::wstring& path : {L"Software\\" + below, L"Software\\" + below + L"\\path", perUser}) {
        setDescriptor(HKEY_CURRENT_USER, path, kReadOnly);
    }
    EXPECT_EQ(writeError("C:\\Newer"), "Failed to set data for 'Path'");
    EXPECT_EQ(store->readText(Hive::LocalMachine, key, "Path"), "C:\\New");
}

} // namespace
} // namespace orbisto::platform
