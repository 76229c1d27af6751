#include "contract/Host.h"

#include "support/TempFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbisto::test::host {

const char* layerName() {
    return "Linux";
}

bool underWine() {
    return false;
}

fs::path makeHiddenFile(const fs::path& folder, const std::string& name) {
    const fs::path file = folder / ("." + name);
    writeFile(file, "hidden");
    return file;
}

void makeSystemEntry(const fs::path& path) {
    if (::mkfifo(path.c_str(), 0644) != 0) {
        throw std::runtime_error("cannot make a pipe at " + path.string());
    }
}

void makeReadOnly(const fs::path& file) {
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::remove);
}

bool isReadOnly(const fs::path& file) {
    return (fs::status(file).permissions() & fs::perms::owner_write) == fs::perms::none;
}

std::shared_ptr<void> holdWithoutDeleteSharing(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error("cannot open " + file.string());
    }
    return std::shared_ptr<void>(nullptr, [fd](void*) { ::close(fd); });
}

bool holdsRefuseRenames() {
    return false;
}

namespace {

// The file store in a temporary folder: each hive is a file of Wine's registry format.
class FileSettings : public Settings {
public:
    platform::SettingsStore& store() override { return *store_; }
    std::unique_ptr<platform::SettingsStore> reopened() override { return platform::makeRegistryFileStore(folder_); }
    const std::string& root() const override { return root_; }

    bool anythingStored(platform::Hive hive) override { return fs::exists(hiveFile(hive)); }

    void storeTypedValues(platform::Hive hive, const std::string& key) override {
        std::string escaped;
        for (char c : key) {
            escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
        }
        writeFile(hiveFile(hive), "WINE REGISTRY Version 2\n\n[" + escaped +
                                      "] 1701963200\n"
                                      "\"Binary\"=hex:00,01,02\n"
                                      "\"Count\"=dword:0000002a\n"
                                      "\"Expand\"=str(2):\"%TEMP%\\\\x\"\n"
                                      "\"Multi\"=str(7):\"one\\0two\\0\"\n");
    }

    void refuseWritesBelow(platform::Hive hive, const std::string& /*key: the whole hive refuses*/) override {
        if (!fs::exists(hiveFile(hive))) {
            writeFile(hiveFile(hive), "WINE REGISTRY Version 2\n");
        }
        makeReadOnly(hiveFile(hive));
    }

private:
    fs::path hiveFile(platform::Hive hive) const {
        return folder_ / (hive == platform::Hive::CurrentUser ? "user.reg" : "system.reg");
    }

    TempFolder temp_;
    fs::path folder_ = temp_ / "settings";
    std::unique_ptr<platform::SettingsStore> store_ = platform::makeRegistryFileStore(folder_);
    std::string root_ = "Software\\OrbistoContract";
};

} // namespace

std::unique_ptr<Settings> makeSettings() {
    return std::make_unique<FileSettings>();
}

} // namespace orbisto::test::host
