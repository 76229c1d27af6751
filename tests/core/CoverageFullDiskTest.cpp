// Writes that stop half-way, as on a full disk: the process's file size limit (RLIMIT_FSIZE)
// makes every write beyond it fail, so each writer meets a real short write. Whatever fails must
// leave the file it was replacing byte for byte as it was, and no temporary file behind.

#include "core/OwnBallFixtures.h"
#include "install/OriginalBall.h"
#include "library/BallTag.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/IniProfile.h"
#include "platform/SettingsStore.h"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>

namespace orbisto::test {
namespace {

// Files may not grow beyond `bytes` while this lives; the signal that would end the process is
// ignored, so the write fails with EFBIG instead.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST(FullDisk, writeThatNoLongerFits_isRefusedAndLeavesEveryFileAsItWas) {
    using Path = const fs::path&;
    const std::string key = "Software\\Orbisto";
    std::unique_ptr<platform::SettingsStore> store;
    struct Case {
        const char* what;
        std::function<std::uintmax_t(Path)> setUp; // gives the size files may grow to
        std::function<void(Path)> write;
    };
    const Case cases[] = {
        {"a longer tag",
         [](Path temp) {
             writeFile(temp / "ball_73.png", makePng(4, 4, 0x336699FFu));
             library::SaveToExe(temp / "ball_73.png", "Al|Co");
             return fs::file_size(temp / "ball_73.png") + 3;
         },
         [](Path temp) { library::SaveToExe(temp / "ball_73.png", "Alpha|Comet of a much longer name"); }},
        {"a marker value",
         [](Path temp) {
             writeMarker(temp, "Auth=1");
             return 20;
         },
         [](Path temp) {
             platform::writeProfileString(temp / "tst.ini", "Sys", "New", "a value too long for the disk");
         }},
        {"a frame copy",
         [](Path temp) {
             writeFile(temp / "source.png", std::string(4096, 's'));
             writeFile(temp / "target/ball_11.png", "old frame");
             return 1000;
         },
         [](Path temp) { platform::localFileSystem().copyFile(temp / "source.png", temp / "target/ball_11.png"); }},
        {"the game's own ball kept in the library",
         [](Path temp) {
             writeFile(temp / "game/ball_11.png", makePng(4, 4, 0x336699FFu));
             writeFile(temp / "game/ball_12.png", makePng(4, 4, 0x336699FFu));
             fs::create_directories(temp / "app/balls");
             return fs::file_size(temp / "game/ball_11.png") + 3;
         },
         [](Path temp) {
             install::keepOriginalBalls(platform::localFileSystem(), temp / "app", {{temp / "game", "FM 2006 normal"}});
         }},
        {"a setting",
         [&](Path temp) {
             store = platform::makeRegistryFileStore(temp / "settings");
             store->writeText(platform::Hive::CurrentUser, key, "Language", "English");
             return fs::file_size(temp / "settings/user.reg");
         },
         [&](Path) { store->writeText(platform::Hive::CurrentUser, key, "Language", "A language with a long name"); }},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        const std::uintmax_t size = c.setUp(temp.path());
        const TreeSnapshot before = snapshot(temp.path());
        {
            FileSizeLimit limit(size);
            EXPECT_THROW(c.write(temp.path()), Error) << c.what;
        }
        EXPECT_EQ(snapshot(temp.path()), before) << c.what;
        if (store) { // and holds the old value afterwards
            EXPECT_EQ(store->readText(platform::Hive::CurrentUser, key, "Language"), "English");
        }
    }
}

} // namespace
} // namespace orbisto::test
