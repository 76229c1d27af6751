#include "install/Install.h"

#include "core/InstallFaults.h"
#include "platform/PathText.h"
#include "support/TempFolder.h"

#include <chrono>
#include <functional>

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

// Each replaced frame takes two renames: the old one aside, the new one into place. A fault at any of
// them puts every old frame back. (A one-off "access denied" on a rename counts as a frame in use and
// is tried again: see the in-use tests below.)
TEST_F(CopyBallFramesTest, failureWhileRenamingIntoPlace_putsEveryOldFrameBack) {
    const FolderFiles before = folderSnapshot(target);
    for (int renames = 0; renames < 42; ++renames) {
        FaultyFileSystem faulty;
        faulty.failingRename = renames;
        faulty.renameError = 101;
        const std::string text = errorText([&] { CopyBallFrames(faulty, source, target, {}); });
        EXPECT_EQ(text.rfind("Cannot copy \"ball_", 0), 0u) << text;
        EXPECT_EQ(folderSnapshot(target), before) << "after " << renames << " renames";
    }
}

// "Normal and Winter": a game whose normal and winter folders hold other balls; every copy goes
// through a fault-injecting file system, and pauses are counted instead of waited.
class NormalAndWinterTest : public CopyBallFramesTest {
protected:
    NormalAndWinterTest() : winter(install::winterBallFolder(temp / "game")) {
        for (const auto& [name, bytes] : ballFrames(makeLibraryBall(temp / "old", "Gamma", "Frost"))) {
            writeFile(winter / name, bytes);
        }
        normalBefore = folderSnapshot(target);
        winterBefore = folderSnapshot(winter);
    }
    std::vector<fs::path> both() const { return {target, winter}; }
    std::string copy(FaultyFileSystem& faulty) {
        return errorText([&] {
            install::CopyBallFrames(faulty, source, both(), {},
                                    [this](std::chrono::milliseconds step) { waited += step; });
        });
    }
    void expectUnchanged(const std::string& what) {
        EXPECT_EQ(folderSnapshot(target), normalBefore) << what;
        EXPECT_EQ(folderSnapshot(winter), winterBefore) << what;
    }

    fs::path winter;
    FolderFiles normalBefore;
    FolderFiles winterBefore;
    std::chrono::milliseconds waited{0};
};

TEST_F(NormalAndWinterTest, faultAtAnyStep_leavesBothFoldersAsTheyWere_withNoTemporaryFile) {
    const auto inject = [&](const std::string& what, const std::function<void(FaultyFileSystem&)>& fault,
                            const std::string& error) {
        FaultyFileSystem faulty;
        fault(faulty);
        const std::string text = copy(faulty);
        EXPECT_EQ(text.substr(0, error.size()), error) << what << ": " << text;
        expectUnchanged(what);
    };
    for (int copies : {0, 20, 21, 41}) {
        inject("disk full after " + std::to_string(copies) + " copies",
               [&](FaultyFileSystem& f) { f.copiesBeforeFull = copies; }, "Cannot copy \"ball_");
    }
    inject("flush refused", [](FaultyFileSystem& f) { f.failingFlush = 0; }, "Cannot copy \"ball_11.png\": Disk full");
    // 21 frames in each folder, each replacing an old one: 84 renames, the last in the winter folder.
    for (int renames = 0; renames < 84; ++renames) {
        inject("rename " + std::to_string(renames) + " refused", [&](FaultyFileSystem& f) {
            f.failingRename = renames;
            f.renameError = 101;
        }, "Cannot copy \"ball_");
    }
    EXPECT_EQ(waited.count(), 0);

    fs::remove(winter / "ball_52.png");
    fs::create_directory(winter / "ball_52.png");
    winterBefore = folderSnapshot(winter);
    inject("a folder in place of a winter frame", [](FaultyFileSystem&) {},
           "Cannot copy \"ball_52.png\": File access denied");
}

TEST_F(NormalAndWinterTest, frameHeldByTheGame_isWaitedForAboutASecond_thenNeitherFolderChanges) {
    const fs::path held = winter / "ball_23.png";
    FaultyFileSystem faulty;
    faulty.heldFiles[held] = -1;
    const std::string text = copy(faulty);
    EXPECT_EQ(text, "The file \"" + platform::toText(held) + "\" is held by another program");
    EXPECT_EQ(errorText<install::FrameInUse>([&] {
                  FaultyFileSystem again;
                  again.heldFiles[held] = -1;
                  install::CopyBallFrames(again, source, both(), {}, [](std::chrono::milliseconds) {});
              }),
              text)
        << "raised as FrameInUse";
    EXPECT_EQ(waited, install::kInUseWait);
    EXPECT_EQ(faulty.renames, 0) << "nothing is renamed while a frame is held";
    expectUnchanged("held winter frame");

    // Let go within the wait: the install goes through. The wait is one budget for the whole copy.
    waited = {};
    FaultyFileSystem briefly;
    briefly.heldFiles[target / "ball_11.png"] = 4;
    briefly.heldFiles[held] = 3;
    EXPECT_EQ(copy(briefly), "<no error>");
    EXPECT_EQ(waited, 7 * install::kInUseStep);
    EXPECT_EQ(folderSnapshot(target), ballFrames(source));
    EXPECT_EQ(folderSnapshot(winter), ballFrames(source));
}

TEST_F(NormalAndWinterTest, renameRefusedWhileAFrameIsHeld_isTriedAgain_orUndoneEverywhere) {
    // The game takes a frame after the check: renaming it aside meets "access denied" a few times.
    FaultyFileSystem briefly;
    briefly.failingRename = 50;
    EXPECT_EQ(copy(briefly), "<no error>");
    EXPECT_EQ(waited, install::kInUseStep);
    EXPECT_EQ(folderSnapshot(winter), ballFrames(source));

    // Held for good from the rename on: every frame already placed in both folders is taken back.
    for (const auto& [name, bytes] : normalBefore) {
        writeFile(target / name, bytes);
    }
    for (const auto& [name, bytes] : winterBefore) {
        writeFile(winter / name, bytes);
    }
    waited = {};
    FaultyFileSystem held;
    const fs::path frame = winter / "ball_52.png";
    held.heldFiles[frame] = -1;
    held.holdsStartAtRename = 50; // after the checks, and after the normal folder's 42 renames
    EXPECT_EQ(errorText<install::FrameInUse>([&] {
                  install::CopyBallFrames(held, source, both(), {},
                                          [&](std::chrono::milliseconds step) { waited += step; });
              }),
              "The file \"" + platform::toText(frame) + "\" is held by another program");
    EXPECT_EQ(waited, install::kInUseWait);
    expectUnchanged("held at the rename");
}

// A power cut at any rename stops everything, clean-up included. Every frame was durable before its
// rename, so each folder then holds for every frame the old or the new one, whole, or the old one
// still under its hidden backup name; never a part or an empty file.
TEST_F(NormalAndWinterTest, powerCutAtAnyRename_leavesEveryFrameWholeOldOrNew) {
    const FolderFiles fresh = ballFrames(source);
    for (int cut = 0; cut < 84; ++cut) {
        for (const auto& [name, bytes] : normalBefore) {
            writeFile(target / name, bytes);
        }
        for (const auto& [name, bytes] : winterBefore) {
            writeFile(winter / name, bytes);
        }
        FaultyFileSystem faulty;
        faulty.powerCutAtRename = cut;
        EXPECT_THROW(install::CopyBallFrames(faulty, source, both(), {}), FaultyFileSystem::PowerCut);
        EXPECT_TRUE(faulty.renamedUnflushed.empty()) << "a staged frame renamed before it was flushed";
        for (const auto& [folder, old] : {std::pair{target, normalBefore}, std::pair{winter, winterBefore}}) {
            const FolderFiles now = folderSnapshot(folder);
            for (const auto& [name, oldBytes] : old) {
                const auto final = now.find(name);
                const auto kept = now.find("." + name + ".orbisto-old");
                const bool whole = (final != now.end() && (final->second == oldBytes || final->second == fresh.at(name))) ||
                                   (final == now.end() && kept != now.end() && kept->second == oldBytes);
                EXPECT_TRUE(whole) << "cut at rename " << cut << ": " << name;
            }
        }
        // The next install puts everything right, old frames kept aside included.
        FaultyFileSystem next;
        install::CopyBallFrames(next, source, both(), {});
        EXPECT_EQ(ballFrames(target), fresh) << "after the cut at " << cut;
        fs::remove_all(target);
        fs::remove_all(winter);
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
