#include "platform/Errors.h"
#include "platform/SettingsStore.h"
#include "platform/windows/Win32.h"

#include <cstdlib>
#include <vector>

namespace orbisto::platform {

namespace {

HKEY rootOf(Hive hive) {
    return hive == Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// "\Software\Vendor\" and "Software\Vendor" name the same key.
std::string subKey(std::string_view keyPath) {
    while (!keyPath.empty() && keyPath.front() == '\\') {
        keyPath.remove_prefix(1);
    }
    while (!keyPath.empty() && keyPath.back() == '\\') {
        keyPath.remove_suffix(1);
    }
    return std::string(keyPath);
}

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

// The Windows registry through the ANSI functions.
class RegistryStore : public SettingsStore {
public:
    std::string readText(Hive hive, std::string_view keyPath, std::string_view valueName) const override {
        KeyHandle key;
        // Opened for reading only, so a missing key is not created.
        if (::RegOpenKeyExA(rootOf(hive), subKey(keyPath).c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) {
            return {};
        }
        const std::string name(valueName);
        std::vector<char> data(256);
        for (;;) {
            DWORD type = REG_NONE;
            DWORD size = static_cast<DWORD>(data.size());
            const LSTATUS status = ::RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                                                      reinterpret_cast<BYTE*>(data.data()), &size);
            if (status == ERROR_MORE_DATA) {
                data.resize(size + 1);
                continue;
            }
            if (status != ERROR_SUCCESS) {
                return {};
            }
            if (type != REG_SZ && type != REG_EXPAND_SZ) {
                throw SettingsTypeError(valueName);
            }
            std::string text(data.data(), size);
            // The stored size counts the terminator, when the writer stored one.
            while (!text.empty() && text.back() == '\0') {
                text.pop_back();
            }
            return text;
        }
    }

    void writeText(Hive hive, std::string_view keyPath, std::string_view valueName, std::string_view value) override {
        KeyHandle key;
        if (::RegCreateKeyExA(rootOf(hive), subKey(keyPath).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, key.out(), nullptr) != ERROR_SUCCESS) {
            throw SettingsWriteError(valueName);
        }
        const std::string text(value);
        if (::RegSetValueExA(key.get(), std::string(valueName).c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)) != ERROR_SUCCESS) {
            throw SettingsWriteError(valueName);
        }
    }
};

} // namespace

std::filesystem::path defaultSettingsFolder() {
    const char* appData = std::getenv("APPDATA");
    return std::filesystem::path(appData && *appData ? appData : ".") / "Orbisto";
}

std::unique_ptr<SettingsStore> makeSystemSettingsStore() {
    return std::make_unique<RegistryStore>();
}

} // namespace orbisto::platform
