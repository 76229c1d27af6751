// Core paths the other suites leave to the window tests or never reach: the preview's partial
// load, the installed-ball lookup without a game folder, and a move between two file systems.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "library/BallTag.h"
#include "library/InstalledBall.h"
#include "library/Preview.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/SettingsStore.h"
#include "support/TempFolder.h"

namespace orbisto::test {
namespace {

class CorePaths : public ::testing::Test {
protected:
    TempFolder temp;
};

TEST_F(CorePaths, previewWithBrokenMiddleFrame_fillsFirstEmptiesMiddleKeepsLast) {
    const fs::path ball = temp / "Alpha/Comet";
    writeFile(ball / "ball_71.png", makePng(3, 2, 0xFF0000FFu));
    writeFile(ball / "ball_72.png", "not a picture");
    writeFile(ball / "ball_73.png", makePng(5, 5, 0x00FF00FFu));
    library::PreviewSlots slots;
    for (auto& slot : slots) {
        slot = Image{1, 1, {1, 2, 3, 4}};
    }

    EXPECT_THROW(library::loadPreviewFrames(ball, slots), ImageError);

    EXPECT_EQ(slots[0].width, 3);
    EXPECT_EQ(slots[0].height, 2);
    EXPECT_TRUE(slots[1].empty());
    EXPECT_EQ(slots[2].rgba, (std::vector<std::uint8_t>{1, 2, 3, 4})) << "a later slot keeps what it held";
    EXPECT_EQ(library::previewSlot(slots, 2), nullptr);
    EXPECT_EQ(library::previewSlot(slots, 0), nullptr);
    EXPECT_EQ(library::previewSlot(slots, 1), &slots[0]);
}

TEST_F(CorePaths, installedFrame_needsGameFolderAndVisiblePlainFile) {
    const auto& files = platform::localFileSystem();
    EXPECT_FALSE(library::installedFrame(files, "", library::kInstalledNormalFrame))
        << "no game folder must not look below the root";

    const fs::path game = temp / "FM 2006";
    const fs::path frame = game / library::kInstalledNormalFrame;
    writeFile(frame, makePng(2, 2, 0x112233FFu));
    library::SaveToExe(frame, "Alpha|Comet|Extra");
    const auto found = library::installedFrame(files, game.string(), library::kInstalledNormalFrame);
    ASSERT_TRUE(found);
    EXPECT_EQ(library::installedBallName(*found), "Alpha Comet Extra");

    fs::create_directories(game / library::kInstalledWinterFrame);
    EXPECT_FALSE(library::installedFrame(files, game.string(), library::kInstalledWinterFrame))
        << "a folder named like the frame is no frame";
}

TEST_F(CorePaths, renameAcrossFileSystems_movesBytesAndRemovesSource) {
    struct stat shm {}, disk {};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(temp.path().c_str(), &disk) != 0 || shm.st_dev == disk.st_dev ||
        ::access("/dev/shm", W_OK) != 0) {
        GTEST_SKIP() << "needs /dev/shm on another file system";
    }
    const fs::path from = fs::path("/dev/shm") / ("orbisto-move-" + std::to_string(::getpid()) + ".png");
    writeFile(from, "frame bytes");
    const fs::path to = temp / "ball_11.png";
    writeFile(to, "old");
    fs::permissions(to, fs::perms::owner_write, fs::perm_options::remove);

    platform::localFileSystem().rename(from, to);

    EXPECT_EQ(readText(to), "frame bytes");
    EXPECT_FALSE(fs::exists(from));
}

// Only hex data goes on over lines ending in a backslash; a damaged text value that ends in one
// must not swallow the key after it, or a value written there would be lost on the next read.
TEST_F(CorePaths, hiveWithTextEndingInBackslash_keepsFollowingKeyReadableAndWritable) {
    writeFile(temp / "settings/user.reg", "WINE REGISTRY Version 2\n\n[Software\\\\Damaged] 1\n"
                                         "\"Broken\"=x\"text \\\\\n\n[Software\\\\Orbisto] 1\n\"Language\"=\"Polski\"\n");
    auto store = platform::makeRegistryFileStore(temp / "settings");
    EXPECT_EQ(store->readText(platform::Hive::CurrentUser, "Software\\Orbisto", "Language"), "Polski");

    store->writeText(platform::Hive::CurrentUser, "Software\\New", "Folder", "C:\\Games\\");
    EXPECT_EQ(store->readText(platform::Hive::CurrentUser, "Software\\New", "Folder"), "C:\\Games\\");
    EXPECT_EQ(store->readText(platform::Hive::CurrentUser, "Software\\Orbisto", "Language"), "Polski");
}

} // namespace
} // namespace orbisto::test
