#include "install/Install.h"

#include "core/InstallFaults.h"
#include "platform/PathText.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace orbisto::test {
namespace {

using install::CopyBallFrames;

// A library ball Alpha/Comet and a game ball folder that already holds another ball's frames, one write-protected.
class CopyBallFramesTest : public ::testing::Test {
protected:
    CopyBallFramesTest()
        : source(makeLibraryBall(temp / "app", "Alpha", "Comet")), target(install::normalBallFolder(temp / "game")) {
        for (const auto& [name, bytes] : ballFrames(makeLibraryBall(temp / "old", "Beta", "Storm"))) {
            writeFile(target / name, bytes);
        }
        fs::permissions(target / "ball_11.png", fs::perms::owner_write, fs::perm_options::remove);
    }

    TempFolder temp;
    fs::path source;
    fs::path target;
};

// Keeping the target's other files and replacing write-protected frames is checked in InstallWindowTest.
TEST_F(CopyBallFramesTest, copiesEveryPngFileOnlyReportsProgressAndCreatesAMissingTarget) {
    writeFile(source / "extra.PNG", "extra frame");
    writeFile(source / "notes.txt", "not a frame");
    fs::create_directories(source / "folder.png");
    auto expected = ballFrames(source);
    expected.erase("notes.txt");
    std::vector<std::size_t> reported;

    CopyBallFrames(platform::localFileSystem(), source, target, [&](std::size_t done, std::size_t total) {
        reported.push_back(done);
        EXPECT_EQ(total, 22u);
        return true;
    });

    EXPECT_EQ(folderSnapshot(target), expected);
    EXPECT_EQ(reported.front(), 0u);
    EXPECT_EQ(reported.back(), 22u);

    const fs::path winter = install::winterBallFolder(temp / "fresh");
    CopyBallFrames(platform::localFileSystem(), source, winter, {});
    EXPECT_EQ(folderSnapshot(winter), expected) << "a missing target is created with its parents";
}

TEST_F(CopyBallFramesTest, sourceWithoutFrames_failsAndCreatesNothing) {
    const fs::path empty = temp / "app/balls/Alpha/Empty";
    writeMarker(empty, "Auth=1");
    for (const fs::path& from : {empty, temp / "app/balls/Alpha/Missing"}) {
        const std::string text =
            errorText([&] { CopyBallFrames(platform::localFileSystem(), from, temp / "other", {}); });
        EXPECT_NE(text.find("holds no frames"), std::string::npos) << text;
    }
    EXPECT_FALSE(fs::exists(temp / "other"));
}

// Each replaced frame takes two renames: the old one aside, the new one into place.
TEST_F(CopyBallFramesTest, failureWhileRenamingIntoPlace_putsEveryOldFrameBack) {
    const FolderFiles before = folderSnapshot(target);
    for (int renames : {0, 1, 41}) {
        FaultyFileSystem faulty;
        faulty.failingRename = renames;
        const std::string text = errorText([&] { CopyBallFrames(faulty, source, target, {}); });
        EXPECT_EQ(text.rfind("Cannot copy \"ball_", 0), 0u) << text;
        EXPECT_EQ(folderSnapshot(target), before) << "after " << renames << " renames";
    }
}

TEST(SkinBallFoldersTest, createsMissingFoldersTellsWhetherWinterWasNewAndNamesAFileInTheWay) {
    TempFolder temp;
    const fs::path skin = temp / "data/skins/Plain";
    auto& local = platform::localFileSystem();
    fs::create_directories(skin);

    EXPECT_TRUE(install::createSkinBallFolders(local, skin));
    EXPECT_TRUE(fs::is_directory(install::skinWinterBallFolder(skin)));
    EXPECT_FALSE(install::createSkinBallFolders(local, skin));
    fs::remove(install::skinWinterBallFolder(skin));
    EXPECT_TRUE(install::createSkinBallFolders(local, skin));

    writeFile(temp / "Blocked/graphics", "a file, not a folder");
    const std::string text = errorText([&] { install::createSkinBallFolders(local, temp / "Blocked"); });
    // The folder is named with the system's own separators.
    EXPECT_NE(text.find(platform::toText(fs::path("Blocked/graphics").make_preferred()) + "\""), std::string::npos)
        << text;
}

} // namespace
} // namespace orbisto::test
