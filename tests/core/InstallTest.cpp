#include "install/Install.h"

#include "core/InstallFaults.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace orbisto::test {
namespace {

using install::CopyBallFrames;

bool ownerWritable(const fs::path& file) {
    return (fs::status(file).permissions() & fs::perms::owner_write) != fs::perms::none;
}

void makeReadOnly(const fs::path& file) {
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

// A library ball Alpha/Comet and a game ball folder that already holds another ball's 21 frames.
class CopyBallFramesTest : public ::testing::Test {
protected:
    CopyBallFramesTest()
        : source(makeLibraryBall(temp / "app", "Alpha", "Comet")), target(install::normalBallFolder(temp / "game")) {
        const fs::path old = makeLibraryBall(temp / "old", "Beta", "Storm");
        fs::create_directories(target);
        for (const auto& entry : fs::directory_iterator(old)) {
            if (entry.path().extension() == ".png") {
                fs::copy_file(entry.path(), target / entry.path().filename());
            }
        }
    }

    // Runs a copy that must fail; returns its text.
    std::string failingCopy(platform::FileSystem& fileSystem, const install::CopyProgress& progress = {}) {
        try {
            CopyBallFrames(fileSystem, source, target, progress);
        } catch (const Error& e) {
            return e.what();
        }
        ADD_FAILURE() << "the copy did not fail";
        return {};
    }

    TempFolder temp;
    fs::path source;
    fs::path target;
    FaultyFileSystem faulty;
};

TEST_F(CopyBallFramesTest, copyIntoFilledFolder_replacesFramesByteForByteAndKeepsOtherFiles) {
    writeFile(source / "extra.PNG", "extra frame");
    writeFile(source / "notes.txt", "not a frame");
    fs::create_directories(source / "folder.png");
    writeFile(target / "keep.png", "the game's own");
    makeReadOnly(target / "ball_11.png");
    std::vector<std::size_t> reported;

    CopyBallFrames(platform::localFileSystem(), source, target, [&](std::size_t done, std::size_t total) {
        reported.push_back(done);
        EXPECT_EQ(total, 22u);
        return true;
    });

    auto expected = folderSnapshot(source);
    expected.erase("notes.txt");
    expected.erase("tst.ini");
    expected["keep.png"] = readBytes(target / "keep.png");
    EXPECT_EQ(folderSnapshot(target), expected);
    EXPECT_EQ(readText(target / "keep.png"), "the game's own");
    EXPECT_FALSE(fs::exists(target / "folder.png"));
    EXPECT_EQ(reported.front(), 0u);
    EXPECT_EQ(reported.back(), 22u);
}

TEST_F(CopyBallFramesTest, missingTarget_isCreatedWithItsParents) {
    const fs::path winter = install::winterBallFolder(temp / "fresh");

    CopyBallFrames(platform::localFileSystem(), source, winter, {});

    auto expected = folderSnapshot(source);
    expected.erase("tst.ini");
    EXPECT_EQ(folderSnapshot(winter), expected);
}

TEST_F(CopyBallFramesTest, sourceWithoutFrames_failsAndCreatesNothing) {
    const auto before = folderSnapshot(target);
    const fs::path empty = temp / "app/balls/Alpha/Empty";
    fs::create_directories(empty);
    writeFile(empty / "tst.ini", "[Sys]\r\nAuth=1\r\n");
    const fs::path newTarget = temp / "other/balls";

    for (const fs::path& from : {empty, temp / "app/balls/Alpha/Missing"}) {
        try {
            CopyBallFrames(platform::localFileSystem(), from, newTarget, {});
            ADD_FAILURE() << "no error for " << from;
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("holds no frames"), std::string::npos) << e.what();
        }
    }
    EXPECT_FALSE(fs::exists(temp / "other"));
    EXPECT_EQ(folderSnapshot(target), before);
}

TEST_F(CopyBallFramesTest, failureWhileRenamingIntoPlace_putsEveryOldFrameBack) {
    makeReadOnly(target / "ball_11.png");
    const auto before = folderSnapshot(target);
    // Each replaced frame takes two renames: the old one aside, the new one into place.
    for (int renames : {0, 1, 2, 9, 41}) {
        faulty.renames = 0;
        faulty.failingRename = renames;
        const std::string text = failingCopy(faulty);
        EXPECT_EQ(text.rfind("Cannot copy \"ball_", 0), 0u) << text;
        EXPECT_EQ(folderSnapshot(target), before) << "after " << renames << " renames";
    }
}

TEST(ResetFrameAttributesTest, makesFramesWritableAndLeavesOtherFilesAndMissingFolders) {
    TempFolder temp;
    const fs::path folder = temp / "balls";
    writeFile(folder / "ball_11.png", "a");
    writeFile(folder / "BALL_12.PNG", "b");
    writeFile(folder / "tst.ini", "c");
    writeFile(folder / "winter/ball_11.png", "d");
    for (const char* name : {"ball_11.png", "BALL_12.PNG", "tst.ini", "winter/ball_11.png"}) {
        makeReadOnly(folder / name);
    }

    install::ResetFrameAttributes(platform::localFileSystem(), folder);
    install::ResetFrameAttributes(platform::localFileSystem(), temp / "missing");
    install::ResetFrameAttributes(platform::localFileSystem(), fs::path());

    EXPECT_TRUE(ownerWritable(folder / "ball_11.png"));
    EXPECT_TRUE(ownerWritable(folder / "BALL_12.PNG"));
    EXPECT_FALSE(ownerWritable(folder / "tst.ini"));
    EXPECT_FALSE(ownerWritable(folder / "winter/ball_11.png"));
    EXPECT_FALSE(fs::exists(temp / "missing"));
}

TEST(SkinBallFoldersTest, createsMissingFoldersAndTellsWhetherWinterWasNew) {
    TempFolder temp;
    const fs::path skin = temp / "data/skins/Plain";
    fs::create_directories(skin);
    auto& local = platform::localFileSystem();

    EXPECT_TRUE(install::createSkinBallFolders(local, skin));
    EXPECT_TRUE(fs::is_directory(install::skinWinterBallFolder(skin)));
    EXPECT_FALSE(install::createSkinBallFolders(local, skin));

    fs::remove(install::skinWinterBallFolder(skin));
    EXPECT_TRUE(install::createSkinBallFolders(local, skin));
}

TEST(SkinBallFoldersTest, fileInTheWay_failsNamingTheFolder) {
    TempFolder temp;
    const fs::path skin = temp / "Blocked";
    writeFile(skin / "graphics", "a file, not a folder");

    try {
        install::createSkinBallFolders(platform::localFileSystem(), skin);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Blocked/graphics\""), std::string::npos) << e.what();
    }
}

} // namespace
} // namespace orbisto::test
