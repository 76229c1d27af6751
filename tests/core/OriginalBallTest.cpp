#include "install/OriginalBall.h"

#include "core/InstallFaults.h"
#include "core/OwnBallFixtures.h"
#include "install/Install.h"
#include "install/InstallBall.h"
#include "library/WriteCheck.h"
#include "library/BallTag.h"
#include "library/LibraryScan.h"
#include "library/NewBallScan.h"
#include "platform/IniProfile.h"
#include "platform/PathText.h"

#include <functional>
#include <gtest/gtest.h>

namespace orbisto::test {
namespace {

using install::InstallTarget;
using Names = std::vector<std::string>;
// Frames of another colour than writeFrames draws by default, so two folders never hold the same bytes.
constexpr std::uint32_t kOtherLook = 0xA06000FFu;

std::string markerValue(const fs::path& folder, const char* key) {
    return platform::readProfileString(folder / "tst.ini", "Sys", key);
}

// A program folder with the library ball Alpha/Comet, and an FM 2006 game whose normal and winter
// folders hold the game's own untagged balls, one frame write-protected.
class OriginalBall : public ::testing::Test {
protected:
    OriginalBall() : libraryBall(makeLibraryBall(temp / "app", "Alpha", "Comet")) {
        writeFrames(normal());
        writeFrames(winter(), frameNames(), kOtherLook);
        fs::permissions(normal() / "ball_11.png", fs::perms::owner_write, fs::perm_options::remove);
    }
    fs::path app() const { return temp / "app"; }
    fs::path brand() const { return temp / "app/balls/Original"; }
    fs::path normal() const { return install::normalBallFolder(temp / "game"); }
    fs::path winter() const { return install::winterBallFolder(temp / "game"); }
    Names keep(platform::FileSystem& fileSystem, const std::vector<InstallTarget>& targets) {
        return install::keepOriginalBalls(fileSystem, app(), targets);
    }

    // The kept ball holds every frame of `folder`, tagged, and both it and its brand are marked Auth "1" only.
    void expectKept(const fs::path& folder, const std::string& name) {
        const fs::path ball = brand() / name;
        const std::string tag = "Original|" + name;
        const FolderFiles own = folderSnapshot(folder);
        EXPECT_EQ(ballFrames(ball).size(), own.size()) << name;
        for (const auto& [frame, bytes] : own) {
            const auto copy = readBytes(ball / frame);
            ASSERT_EQ(copy.size(), bytes.size() + tag.size() + 4) << name << "/" << frame;
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), copy.begin())) << name << "/" << frame;
            EXPECT_EQ(library::ReadBallTag(ball / frame), tag) << name << "/" << frame;
        }
        EXPECT_EQ(markerValue(ball, "Auth"), "1");
        EXPECT_EQ(markerValue(ball, "New"), "");
        EXPECT_EQ(markerValue(brand(), "Auth"), "1");
    }

    TempFolder temp;
    fs::path libraryBall;
    platform::FileSystem& local = platform::localFileSystem();
};

TEST_F(OriginalBall, eachKindOfTarget_isKeptUnderItsName_andOnlyRead) {
    const fs::path skin = install::skinFolder(temp / "game", "Red Skin");
    writeFrames(install::skinNormalBallFolder(skin));
    writeFrames(install::skinWinterBallFolder(skin), frameNames(), kOtherLook);
    const InstallTarget gameNormal{normal(), install::gameOriginalName("FM 2006", false)};
    const InstallTarget gameWinter{winter(), install::gameOriginalName("FM 2006", true)};
    const InstallTarget skinNormal{install::skinNormalBallFolder(skin),
                                   install::skinOriginalName("FM 2006", "Red Skin", false)};
    const InstallTarget skinWinter{install::skinWinterBallFolder(skin),
                                   install::skinOriginalName("FM 2006", "Red Skin", true)};
    EXPECT_EQ(gameNormal.originalName, "FM 2006 normal");
    EXPECT_EQ(skinWinter.originalName, "FM 2006 Red Skin winter");
    const TreeSnapshot gameBefore = snapshot(temp / "game");

    for (const auto& targets : std::vector<std::vector<InstallTarget>>{
             {gameNormal}, {gameWinter}, {gameNormal, gameWinter}, {skinNormal}, {skinWinter}}) {
        fs::remove_all(brand());
        Names expected;
        for (const InstallTarget& target : targets) {
            expected.push_back(target.originalName);
        }

        EXPECT_EQ(keep(local, targets), expected);

        for (const InstallTarget& target : targets) {
            expectKept(target.folder, target.originalName);
        }
        EXPECT_EQ(library::listBalls(local, app(), "Original"), expected);
        // Nothing hidden is left in the library, and the game is as it was, write protection included.
        EXPECT_EQ(snapshot(app() / "balls").count(".Original.keeping"), 0u);
        EXPECT_EQ(snapshot(temp / "game"), gameBefore);
        EXPECT_EQ(fs::status(normal() / "ball_11.png").permissions() & fs::perms::owner_write, fs::perms::none);
    }
}

TEST_F(OriginalBall, nothingKept_forTaggedPartlyTaggedEmptyOrMissingFolders_orABallKeptBefore) {
    writeMarker(brand(), "Auth=1");
    writeFile(brand() / "FM 2006 normal/ball_11.png", "kept before");
    const fs::path tagged = temp / "tagged";
    for (const auto& [name, bytes] : ballFrames(libraryBall)) {
        writeFile(tagged / name, bytes);
    }
    const fs::path partly = temp / "partly";
    writeFrames(partly);
    library::SaveToExe(partly / "ball_73.png", "Alpha|Comet");
    fs::create_directories(temp / "empty");
    writeFile(temp / "no frames/notes.txt", "not a frame");
    fs::create_directories(temp / "no frames/folder.png");
    const TreeSnapshot before = snapshot(app());

    EXPECT_EQ(keep(local, {{normal(), "FM 2006 normal"}}), Names{});
    for (const char* folder : {"tagged", "partly", "empty", "no frames", "missing"}) {
        EXPECT_EQ(keep(local, {{temp / folder, "FM 2005 normal"}}), Names{}) << folder;
    }
    EXPECT_EQ(snapshot(app()), before);

    // Into the brand kept before: only the ball not kept yet.
    EXPECT_EQ(keep(local, {{normal(), "FM 2006 normal"}, {winter(), "FM 2006 winter"}}), Names{"FM 2006 winter"});
    EXPECT_EQ(readText(brand() / "FM 2006 normal/ball_11.png"), "kept before");
    expectKept(winter(), "FM 2006 winter");
}

TEST_F(OriginalBall, skinFolderName_refusedCharactersAndDotsBecomeUnderscores_andTheBallIsListed) {
    EXPECT_EQ(install::skinOriginalName("FM 2007", "a/b\\c:d*e?f\"g<h>i|j\tk.l Zażółć", true),
              "FM 2007 a_b_c_d_e_f_g_h_i_j_k_l Zażółć winter");
    const std::string skin = "Neon Night v1.2";
    const fs::path folder = install::skinNormalBallFolder(install::skinFolder(temp / "game", skin));
    writeFrames(folder);
    const std::string name = install::skinOriginalName("FM 2006", skin, false);

    EXPECT_EQ(keep(local, {{folder, name}}), Names{"FM 2006 Neon Night v1_2 normal"});
    EXPECT_EQ(library::listBalls(local, app(), "Original"), Names{"FM 2006 Neon Night v1_2 normal"});
    expectKept(folder, name);
}

TEST_F(OriginalBall, ballThatCannotBeKept_refusesWithItsReason_leavingLibraryAndGameAsTheyWere) {
    const auto refused = [](const char* ball, const std::string& reason) {
        return "The game's own ball \"FM 2006 " + std::string(ball) +
               "\" could not be kept in the library, so nothing was installed: " + reason;
    };
    struct Fault {
        const char* what;
        bool brandExists;
        std::function<void(FaultyFileSystem&)> inject;
        std::string error;
    };
    const Fault faults[] = {
        {"unwritable library", false, [&](FaultyFileSystem& f) { f.unwritableFolder = app() / "balls"; },
         refused("normal",
                 "Cannot write into the library \"" + platform::toText(app() / "balls") + "\": File access denied")},
        {"unreadable frame", false, [](FaultyFileSystem& f) { f.unreadableSource = "ball_22.png"; },
         refused("normal", "Cannot copy \"ball_22.png\": File access denied")},
        {"disk full in the second ball", true, [](FaultyFileSystem& f) { f.copiesBeforeFull = 21 + 4; },
         refused("winter", "Cannot copy \"ball_22.png\": Disk full")},
        {"new brand not renamed into place", false, [](FaultyFileSystem& f) { f.failingRename = 0; },
         refused("winter", "File access denied")},
        {"second ball not renamed into the brand", true, [](FaultyFileSystem& f) { f.failingRename = 1; },
         refused("winter", "File access denied")},
    };
    for (const Fault& fault : faults) {
        fs::remove_all(brand());
        if (fault.brandExists) {
            writeMarker(brand(), "Auth=1");
            writeFrames(brand() / "FM 2005 normal");
        }
        const TreeSnapshot library = snapshot(app());
        const TreeSnapshot game = snapshot(temp / "game");
        FaultyFileSystem faulty;
        fault.inject(faulty);

        EXPECT_EQ(errorText([&] {
                      keep(faulty, {{normal(), "FM 2006 normal"}, {winter(), "FM 2006 winter"}});
                  }),
                  fault.error)
            << fault.what;
        EXPECT_EQ(snapshot(app()), library) << fault.what;
        EXPECT_EQ(snapshot(temp / "game"), game) << fault.what;
    }
}

TEST_F(OriginalBall, keptBall_installsBackByteExact_andCountsInTheLibraryButNeverAsNew) {
    const FolderFiles own = folderSnapshot(normal());
    ASSERT_EQ(keep(local, {{normal(), "FM 2006 normal"}}), Names{"FM 2006 normal"});
    install::CopyBallFrames(local, libraryBall, normal(), {});
    EXPECT_EQ(keep(local, {{normal(), "FM 2006 other"}}), Names{}) << "an installed ball is never kept";

    install::CopyBallFrames(local, brand() / "FM 2006 normal", normal(), {});

    const std::string tag = "Original|FM 2006 normal";
    const FolderFiles restored = folderSnapshot(normal());
    ASSERT_EQ(restored.size(), own.size());
    for (const auto& [frame, bytes] : restored) {
        EXPECT_EQ(library::ReadBallTag(normal() / frame), tag) << frame;
        EXPECT_EQ(std::vector(bytes.begin(), bytes.end() - static_cast<long>(tag.size() + 4)), own.at(frame)) << frame;
    }
    const library::NewBallScanResult scan = library::scanNewBalls(local, app());
    EXPECT_EQ(scan.brands, (Names{"Alpha", "Original"}));
    EXPECT_EQ(scan.balls, (Names{"Comet", "FM 2006 normal"}));
    EXPECT_TRUE(scan.newBalls.empty());
}

// The install call with each mode: only the folders the mode chooses change, each keeping the game's
// own ball first; the frames of both folders lose their write protection.
TEST_F(OriginalBall, eachModeInstallsIntoItsFoldersOnly_keepingTheGamesOwnBallFirst) {
    const install::BallFolders folders{normal(), winter(), "FM 2006 normal", "FM 2006 winter"};
    const FolderFiles ownNormal = folderSnapshot(normal());
    const FolderFiles comet = ballFrames(libraryBall);
    const auto install = [&](const fs::path& ball, install::InstallMode mode) {
        Names kept;
        install::installBall(local, install::installRequest(app(), ball, mode, folders),
                             [&](const Names& names) { kept = names; }, {});
        return kept;
    };

    EXPECT_EQ(install(libraryBall, install::InstallMode::Winter), Names{"FM 2006 winter"});
    EXPECT_EQ(folderSnapshot(winter()), comet);
    EXPECT_EQ(folderSnapshot(normal()), ownNormal);
    EXPECT_NE(fs::status(normal() / "ball_11.png").permissions() & fs::perms::owner_write, fs::perms::none);

    EXPECT_EQ(install(libraryBall, install::InstallMode::Normal), Names{"FM 2006 normal"});
    EXPECT_EQ(folderSnapshot(normal()), comet);
    EXPECT_EQ(ballFrames(brand() / "FM 2006 normal").size(), ownNormal.size());

    // Both folders now hold a library ball: nothing more is kept, and another ball goes into both.
    const fs::path storm = makeLibraryBall(temp / "app", "Beta", "Storm");
    EXPECT_EQ(install(storm, install::InstallMode::NormalAndWinter), Names{});
    EXPECT_EQ(folderSnapshot(normal()), ballFrames(storm));
    EXPECT_EQ(folderSnapshot(winter()), ballFrames(storm));
}

// A folder that refuses writing, found before anything changes: the game's own ball is not kept,
// no frame changes, and the refused folder is named.
TEST_F(OriginalBall, unwritableGameSkinOrLibraryFolder_isNamedBeforeAnythingChanges_andNoBallIsKept) {
    const fs::path skin = install::skinFolder(temp / "game", "Red Skin");
    const fs::path skinNormal = install::skinNormalBallFolder(skin);
    writeFrames(skinNormal);
    const install::InstallRequest gameBoth{app(), libraryBall,
                                           {{normal(), "FM 2006 normal"}, {winter(), "FM 2006 winter"}},
                                           {normal(), winter()}};
    // The skin has no winter ball yet: its folder is checked where it would be created.
    const install::InstallRequest skinBoth{app(), libraryBall,
                                           {{skinNormal, "FM 2006 Red Skin normal"},
                                            {install::skinWinterBallFolder(skin), "FM 2006 Red Skin winter"}},
                                           {}};
    struct Case {
        const char* what;
        const install::InstallRequest& request;
        fs::path unwritable;
        fs::path named;
    };
    const Case cases[] = {
        {"game's winter folder", gameBoth, winter(), winter()},
        {"game's ball folders", gameBoth, normal(), normal()},
        {"skin's folder", skinBoth, skin, skinNormal},
        {"skin's winter folder, still missing", skinBoth, install::skinWinterBallFolder(skin),
         install::skinWinterBallFolder(skin)},
        {"library", gameBoth, app() / "balls", app() / "balls"},
    };
    for (const Case& c : cases) {
        const TreeSnapshot library = snapshot(app());
        const TreeSnapshot game = snapshot(temp / "game");
        FaultyFileSystem faulty;
        faulty.unwritableFolder = c.unwritable;
        bool told = false;
        fs::path named;
        try {
            install::installBall(faulty, c.request, [&](const Names&) { told = true; }, {});
            ADD_FAILURE() << c.what << ": installed";
        } catch (const library::FolderNotWritable& e) {
            named = e.folder();
        }
        EXPECT_EQ(named, c.named) << c.what;
        EXPECT_FALSE(told) << c.what;
        EXPECT_EQ(faulty.copies + faulty.renames, 0) << c.what;
        EXPECT_EQ(snapshot(app()), library) << c.what << ": nothing kept";
        EXPECT_EQ(snapshot(temp / "game"), game) << c.what;
        EXPECT_EQ(fs::status(normal() / "ball_11.png").permissions() & fs::perms::owner_write, fs::perms::none)
            << c.what << ": attributes untouched";
    }

    // A library that may not be written matters only when a ball is to be kept there.
    FaultyFileSystem faulty;
    faulty.unwritableFolder = app() / "balls";
    for (const auto& [name, bytes] : ballFrames(makeLibraryBall(temp / "other", "Beta", "Storm"))) {
        writeFile(winter() / name, bytes); // an Orbisto ball: nothing to keep
    }
    const install::InstallRequest winterOnly{app(), libraryBall, {{winter(), "FM 2006 winter"}}, {}};
    bool told = false;
    install::installBall(faulty, winterOnly, [&](const Names&) { told = true; }, {});
    EXPECT_FALSE(told);
    EXPECT_EQ(folderSnapshot(winter()), ballFrames(libraryBall));
}

} // namespace
} // namespace orbisto::test
