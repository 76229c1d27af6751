#include "contract/Host.h"

#include "support/TempFolder.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <atomic>
#include <stdexcept>
#include <windows.h>

namespace orbisto::test::host {

const char* layerName() {
    return "Windows";
}

bool underWine() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

namespace {

void addAttribute(const fs::path& path, DWORD attribute) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !::SetFileAttributesW(path.c_str(), attributes | attribute)) {
        throw std::runtime_error("cannot set the attributes of " + path.string());
    }
}

} // namespace

fs::path makeHiddenFile(const fs::path& folder, const std::string& name) {
    const fs::path file = folder / name;
    writeFile(file, "hidden");
    addAttribute(file, FILE_ATTRIBUTE_HIDDEN);
    return file;
}

void makeSystemEntry(const fs::path& path) {
    writeFile(path, "system");
    addAttribute(path, FILE_ATTRIBUTE_SYSTEM);
}

void makeReadOnly(const fs::path& file) {
    addAttribute(file, FILE_ATTRIBUTE_READONLY);
}

bool isReadOnly(const fs::path& file) {
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::shared_ptr<void> holdWithoutDeleteSharing(const fs::path& file) {
    HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot open " + file.string());
    }
    return std::shared_ptr<void>(handle, [](HANDLE held) { ::CloseHandle(held); });
}

bool holdsRefuseRenames() {
    return true;
}

namespace {

HKEY rootOf(platform::Hive hive) {
    return hive == platform::Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

void check(LSTATUS status, const char* what) {
    if (status != ERROR_SUCCESS) {
        throw std::runtime_error(std::string(what) + " failed with " + std::to_string(status));
    }
}

// The real registry, below a key of this process's own in both hives, deleted at the end.
class RegistrySettings : public Settings {
public:
    RegistrySettings() {
        static std::atomic<unsigned> counter{0};
        root_ =
            "Software\\OrbistoContract\\" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++);
        clear();
    }
    ~RegistrySettings() override { clear(); }

    platform::SettingsStore& store() override { return *store_; }
    std::unique_ptr<platform::SettingsStore> reopened() override { return platform::makeSystemSettingsStore(); }
    const std::string& root() const override { return root_; }

    bool anythingStored(platform::Hive hive) override {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(rootOf(hive), root_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        ::RegCloseKey(key);
        return true;
    }

    void storeTypedValues(platform::Hive hive, const std::string& key) override {
        HKEY handle = nullptr;
        check(::RegCreateKeyExA(rootOf(hive), key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
              "RegCreateKeyExA");
        const DWORD count = 42;
        const BYTE binary[] = {0, 1, 2};
        const char multi[] = "one\0two\0";
        const char expand[] = "%TEMP%\\x";
        check(::RegSetValueExA(handle, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count),
              "RegSetValueExA");
        check(::RegSetValueExA(handle, "Binary", 0, REG_BINARY, binary, sizeof binary), "RegSetValueExA");
        check(::RegSetValueExA(handle, "Multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi), sizeof multi),
              "RegSetValueExA");
        check(
            ::RegSetValueExA(handle, "Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand), sizeof expand),
            "RegSetValueExA");
        ::RegCloseKey(handle);
    }

    // A volatile key takes no lasting sub-keys: creating one below it fails.
    void refuseWritesBelow(platform::Hive hive, const std::string& key) override {
        HKEY handle = nullptr;
        check(::RegCreateKeyExA(rootOf(hive), key.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                &handle, nullptr),
              "RegCreateKeyExA");
        ::RegCloseKey(handle);
    }

private:
    void clear() {
        for (const HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            ::RegDeleteTreeA(hive, root_.c_str());
            ::RegDeleteKeyA(hive, root_.c_str());
        }
    }

    std::string root_;
    std::unique_ptr<platform::SettingsStore> store_ = platform::makeSystemSettingsStore();
};

} // namespace

std::unique_ptr<Settings> makeSettings() {
    return std::make_unique<RegistrySettings>();
}

} // namespace orbisto::test::host
