// Writes that stop half-way, as on a full disk: the process's file size limit (RLIMIT_FSIZE)
// makes every write beyond it fail, so each writer meets a real short write. Whatever fails must
// leave the file it was replacing byte for byte as it was, and no temporary file behind.

#include "install/OriginalBall.h"
#include "library/BallTag.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/IniProfile.h"
#include "platform/SettingsStore.h"
#include "support/TempFolder.h"

#include <csignal>
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

class FullDisk : public ::testing::Test {
protected:
    TempFolder temp;
};

TEST_F(FullDisk, tagThatNoLongerFits_keepsOldTagAndFrameBytes) {
    const fs::path frame = temp / "ball_73.png";
    writeFile(frame, makePng(4, 4, 0x336699FFu));
    library::SaveToExe(frame, "Al|Co");
    const auto before = readBytes(frame);
    {
        FileSizeLimit limit(before.size() + 3);
        EXPECT_THROW(library::SaveToExe(frame, "Alpha|Comet of a much longer name"), IoError);
    }
    EXPECT_EQ(readBytes(frame), before);
    EXPECT_EQ(library::ReadBallTag(frame), "Al|Co");
}

TEST_F(FullDisk, markerThatNoLongerFits_isRefusedAndKeptWhole) {
    const fs::path marker = temp / "tst.ini";
    writeFile(marker, "[Sys]\r\nAuth=1\r\n");
    {
        FileSizeLimit limit(20);
        EXPECT_THROW(platform::writeProfileString(marker, "Sys", "New", "a value too long for the disk"),
                     IniWriteError);
    }
    EXPECT_EQ(readText(marker), "[Sys]\r\nAuth=1\r\n");
    EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"tst.ini"});
}

TEST_F(FullDisk, frameCopyThatDoesNotFit_leavesTargetAndNoPart) {
    const fs::path source = temp / "source.png";
    const fs::path target = temp / "target/ball_11.png";
    writeFile(source, std::string(4096, 's'));
    writeFile(target, "old frame");
    {
        FileSizeLimit limit(1000);
        EXPECT_THROW(platform::localFileSystem().copyFile(source, target), IoError);
    }
    EXPECT_EQ(readText(target), "old frame");
    EXPECT_EQ(namesIn(temp / "target"), std::vector<std::string>{"ball_11.png"});
}

TEST_F(FullDisk, gameBallWhoseTagsDoNotFit_isNotKeptAndLeavesNothingInTheLibrary) {
    const auto frame = makePng(4, 4, 0x336699FFu);
    writeFile(temp / "game/ball_11.png", frame);
    writeFile(temp / "game/ball_12.png", frame);
    fs::create_directories(temp / "app/balls");
    {
        FileSizeLimit limit(frame.size() + 3);
        EXPECT_THROW(
            install::keepOriginalBalls(platform::localFileSystem(), temp / "app", {{temp / "game", "FM 2006 normal"}}),
            Error);
    }
    EXPECT_EQ(namesIn(temp / "app/balls"), std::vector<std::string>{});
    EXPECT_EQ(readBytes(temp / "game/ball_11.png"), frame);
}

TEST_F(FullDisk, settingThatDoesNotFit_isRefusedAndHiveKept) {
    auto store = platform::makeRegistryFileStore(temp / "settings");
    store->writeText(platform::Hive::CurrentUser, "Software\\Orbisto", "Language", "English");
    const std::string hive = readText(temp / "settings/user.reg");
    {
        FileSizeLimit limit(hive.size());
        EXPECT_THROW(store->writeText(platform::Hive::CurrentUser, "Software\\Orbisto", "Language",
                                      "A language with a much longer name"),
                     SettingsWriteError);
    }
    EXPECT_EQ(readText(temp / "settings/user.reg"), hive);
    EXPECT_EQ(store->readText(platform::Hive::CurrentUser, "Software\\Orbisto", "Language"), "English");
    EXPECT_EQ(namesIn(temp / "settings"), std::vector<std::string>{"user.reg"});
}

} // namespace
} // namespace orbisto::test
