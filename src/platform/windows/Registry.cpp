#include "platform/Errors.h"
#include "platform/RegistryText.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "platform/windows/Win32.h"

#include <cstdlib>
#include <optional>
#include <vector>

namespace orbisto::platform {

namespace {

class KeyHandle {
public:
    KeyHandle() = default;
    ~KeyHandle() {
        if (key_) {
            ::RegCloseKey(key_);
        }
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// One place a value may live: a hive, a key below it and the registry view to open it in
// (KEY_WOW64_32KEY for the view 32-bit programs see, 0 for this program's own).
struct Location {
    HKEY root;
    std::string key;
    REGSAM view;
};

constexpr std::string_view kSoftware = "SOFTWARE\\";

// True for the program's own keys in the machine-wide hive: kProgramKeys and the keys below it.
bool isProgramKey(Hive hive, const std::string& path) {
    if (hive != Hive::LocalMachine || path.size() < kProgramKeys.size() ||
        !equalsIgnoreCase(std::string_view(path).substr(0, kProgramKeys.size()), kProgramKeys)) {
        return false;
    }
    return path.size() == kProgramKeys.size() || path[kProgramKeys.size()] == '\\';
}

// Where a read looks, first to last. A standard user may not write HKEY_LOCAL_MACHINE, so the
// program's own values are also kept per user, under the same key of HKEY_CURRENT_USER; that copy
// wins. Next come the copies registry virtualization made for a 32-bit program without a manifest
// (an earlier Orbisto), for 64-bit Windows (WOW6432Node) and 32-bit Windows, then the machine-wide
// values as a 32-bit program sees them, then as this program sees them.
std::vector<Location> readLocations(Hive hive, const std::string& path) {
    if (!isProgramKey(hive, path)) {
        return {{hive == Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, path, 0}};
    }
    const std::string belowSoftware = path.substr(kSoftware.size());
    const std::string virtualStore = "Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\";
    return {
        {HKEY_CURRENT_USER, path, 0},
        {HKEY_CURRENT_USER, virtualStore + "WOW6432Node\\" + belowSoftware, 0},
        {HKEY_CURRENT_USER, virtualStore + belowSoftware, 0},
        {HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY},
        {HKEY_LOCAL_MACHINE, path, 0},
    };
}

// The text of a value, or nothing when the key or the value is missing or cannot be read.
std::optional<std::string> queryText(const Location& location, const std::wstring& name, std::string_view valueName) {
    KeyHandle key;
    // Opened for reading only, so a missing key is not created.
    if (::RegOpenKeyExW(location.root, win32::wide(location.key).c_str(), 0, KEY_QUERY_VALUE | location.view,
                        key.out()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<wchar_t> data(128);
    for (;;) {
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        const LSTATUS status =
            ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        if (status == ERROR_MORE_DATA) {
            data.resize(size / sizeof(wchar_t) + 1);
            continue;
        }
        if (status != ERROR_SUCCESS) {
            return std::nullopt;
        }
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
            throw SettingsTypeError(valueName);
        }
        // The stored size counts the terminator when the writer stored one; the text ends at its first NUL.
        const std::wstring_view text(data.data(), size / sizeof(wchar_t));
        return win32::utf8(text.substr(0, text.find(L'\0')));
    }
}

// Writes a text value, creating the key when missing; false when the system refuses.
bool setText(HKEY root, const std::string& path, const std::wstring& name, const std::wstring& text) {
    KeyHandle key;
    // Only the right to set values is asked for: that is all a write needs, and a key a standard
    // user may write values into may still refuse him full access.
    if (::RegCreateKeyExW(root, win32::wide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                          key.out(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return ::RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// The Windows registry through the wide functions; text is UTF-8 on this side.
class RegistryStore : public SettingsStore {
public:
    std::string readText(Hive hive, std::string_view keyPath, std::string_view valueName) const override {
        const std::wstring name = win32::wide(valueName);
        for (const Location& location : readLocations(hive, registry::normalizeKeyPath(keyPath))) {
            if (auto text = queryText(location, name, valueName)) {
                return *std::move(text);
            }
        }
        return {};
    }

    void writeText(Hive hive, std::string_view keyPath, std::string_view valueName, std::string_view value) override {
        const std::string path = registry::normalizeKeyPath(keyPath);
        const std::wstring name = win32::wide(valueName);
        const std::wstring text = win32::wide(value);
        if (!isProgramKey(hive, path)) {
            if (!setText(hive == Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, path, name, text)) {
                throw SettingsWriteError(valueName);
            }
            return;
        }
        // Both copies, always: the machine-wide one for an administrator's run and for other
        // programs that read it, the per-user one that reads look at first. One of them is enough.
        const bool machineWritten = setText(HKEY_LOCAL_MACHINE, path, name, text);
        const bool userWritten = setText(HKEY_CURRENT_USER, path, name, text);
        if (!machineWritten && !userWritten) {
            throw SettingsWriteError(valueName);
        }
    }
};

} // namespace

std::filesystem::path defaultSettingsFolder() {
    const wchar_t* appData = ::_wgetenv(L"APPDATA");
    return std::filesystem::path(appData && *appData ? appData : L".") / L"Orbisto";
}

std::unique_ptr<SettingsStore> makeSystemSettingsStore() {
    return std::make_unique<RegistryStore>();
}

} // namespace orbisto::platform
