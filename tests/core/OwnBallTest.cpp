#include <gtest/gtest.h>

#include "core/OwnBallFixtures.h"
#include "library/BallTag.h"
#include "library/NameCheck.h"
#include "library/OwnBall.h"
#include "platform/Errors.h"
#include "platform/IniProfile.h"

namespace orbisto::test {
namespace {

using library::AddBallOutcome;
using library::AddBrandOutcome;

std::string authOf(const fs::path& folder) {
    return platform::readProfileString(folder / "tst.ini", "Sys", "Auth");
}

TEST(OwnBallNames, unsafeOrReservedNames_areRefused) {
    for (const char* name : {"", "   ", ".", "..", "a/b", "a\\b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b",
                             "a\tb", "a\x7f" "b", "x.", "x ", ".hidden", "CON", "con", "Con.txt", "CON .png", "PRN",
                             "aux", "NUL", "COM1", "com9", "LPT1", "lpt9.ini"}) {
        EXPECT_FALSE(library::isValidLibraryName(name)) << '"' << name << '"';
    }
}

TEST(OwnBallNames, ordinaryNames_areAccepted) {
    for (const char* name : {"Alpha", "Nike-Pro", "x.y", "Ball 2", " Lead", "COM10", "COM0", "LPT", "CONSOLE",
                             "Console.txt", "Zażółć"}) {
        EXPECT_TRUE(library::isValidLibraryName(name)) << '"' << name << '"';
    }
}

class OwnBallLibrary : public ::testing::Test {
protected:
    fs::path app() const { return temp / "app"; }
    fs::path balls() const { return temp / "app/balls"; }
    platform::FileSystem& fs_ = platform::localFileSystem();
    TempFolder temp;
};

TEST_F(OwnBallLibrary, brandsOffered_areMarkedFoldersWithoutDot_sortedIgnoringCase) {
    writeMarker(balls() / "beta", "Auth=1");
    writeMarker(balls() / "Alpha", "Auth=1");
    writeMarker(balls() / "Gamma", "Auth=0");
    fs::create_directories(balls() / "Unmarked");
    writeMarker(balls() / "Dotted.x", "Auth=1");
    writeMarker(balls() / ".Hidden", "Auth=1");
    writeFile(balls() / "stray", "not a brand");

    EXPECT_EQ(library::ownBallBrands(fs_, app()), (std::vector<std::string>{"Alpha", "beta"}));
}

TEST_F(OwnBallLibrary, addBrand_createsMarkedFolder) {
    fs::create_directories(balls());
    EXPECT_EQ(library::addBrand(fs_, app(), {"Alpha"}, "Beta"), AddBrandOutcome::Added);
    EXPECT_EQ(authOf(balls() / "Beta"), "1");
    EXPECT_EQ(library::ownBallBrands(fs_, app()), (std::vector<std::string>{"Beta"}));
}

TEST_F(OwnBallLibrary, addBrand_nameOfListedBrandInOtherCase_isRefusedCreatingNothing) {
    writeMarker(balls() / "Alpha", "Auth=1");
    const TreeSnapshot before = snapshot(temp.path());
    EXPECT_EQ(library::addBrand(fs_, app(), {"Alpha"}, "alpha"), AddBrandOutcome::AlreadyListed);
    EXPECT_EQ(library::addBrand(fs_, app(), {"Alpha"}, ""), AddBrandOutcome::EmptyName);
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST_F(OwnBallLibrary, addBrand_existingUnmarkedFolder_raises183AndWritesNoMarker) {
    fs::create_directories(balls() / "Alpha");
    try {
        library::addBrand(fs_, app(), {}, "Alpha");
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(e.code(), 183);
        EXPECT_STREQ(e.what(), "I/O error 183");
    }
    EXPECT_FALSE(fs::exists(balls() / "Alpha/tst.ini"));
}

TEST_F(OwnBallLibrary, addBrand_refusedNames_createNothingAnywhere) {
    fs::create_directories(balls());
    const TreeSnapshot before = snapshot(temp.path());
    for (const char* name : {"..", "a/b", "CON", "x.", "a|b", "../escape", "   "}) {
        EXPECT_EQ(library::addBrand(fs_, app(), {}, name), AddBrandOutcome::InvalidName) << name;
    }
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST_F(OwnBallLibrary, sourceCheck_all21Frames_passesAndListsThemSorted) {
    const fs::path source = temp / "src";
    std::vector<std::string> names = frameNames();
    std::reverse(names.begin(), names.end());
    writeFrames(source, names);
    fs::create_directories(source / "dir.png"); // a folder is no frame
    writeFile(source / "notes.txt", "x");

    const auto check = library::checkSourceFolder(fs_, source);
    EXPECT_TRUE(check.passed());
    EXPECT_EQ(check.files, frameNames());
}

TEST_F(OwnBallLibrary, sourceCheck_missingFrame_failsNamingIt) {
    for (const std::string missing : {"ball_33.png", "ball_73.png", "ball_11.png"}) {
        TempFolder source;
        writeFrames(source.path(), framesWithout(missing));
        const auto check = library::checkSourceFolder(fs_, source.path());
        EXPECT_FALSE(check.passed()) << missing;
        EXPECT_EQ(check.missingFrames, std::vector<std::string>{missing});
        EXPECT_EQ(check.files.size(), 20u);
    }
}

TEST_F(OwnBallLibrary, sourceCheck_capitalisedFrameName_failsButIsListed) {
    const fs::path source = temp / "src";
    std::vector<std::string> names = framesWithout("ball_11.png");
    names.push_back("Ball_11.png");
    writeFrames(source, names);

    const auto check = library::checkSourceFolder(fs_, source);
    EXPECT_EQ(check.missingFrames, std::vector<std::string>{"ball_11.png"});
    EXPECT_EQ(check.files.front(), "Ball_11.png");
    EXPECT_EQ(check.files.size(), 21u);
}

TEST_F(OwnBallLibrary, sourceCheck_extraPngFiles_stillPassAndAreListed) {
    const fs::path source = temp / "src";
    std::vector<std::string> names = frameNames();
    names.push_back("shadow.PNG");
    names.push_back("aa.png");
    writeFrames(source, names);

    const auto check = library::checkSourceFolder(fs_, source);
    EXPECT_TRUE(check.passed());
    ASSERT_EQ(check.files.size(), 23u);
    EXPECT_EQ(check.files.front(), "aa.png");
    EXPECT_EQ(check.files.back(), "shadow.PNG");
}

TEST(OwnBallBrandChoice, selectedEntryWins_elseTypedListedBrandIgnoringCase) {
    const std::vector<std::string> listed{"Alpha", "Beta"};
    EXPECT_EQ(library::resolveBrand(std::string("Beta"), "alpha", listed), "Beta");
    EXPECT_EQ(library::resolveBrand(std::nullopt, "aLPHA", listed), "Alpha");
    EXPECT_EQ(library::resolveBrand(std::nullopt, "Gamma", listed), std::nullopt);
    EXPECT_EQ(library::resolveBrand(std::nullopt, "", listed), std::nullopt);
}

class OwnBallAdd : public OwnBallLibrary {
protected:
    void SetUp() override {
        writeMarker(balls() / "Alpha", "Auth=1");
        writeFrames(source(), frameNames());
    }
    fs::path source() const { return temp / "user/Comet frames"; }
    fs::path ball() const { return balls() / "Alpha/Comet"; }
    AddBallOutcome add(platform::FileSystem& fileSystem, const std::vector<std::string>& files) {
        return library::addOwnBall(fileSystem, app(), "Alpha", "Comet", source(), files);
    }
    // No ball folder and no hidden assembly folder left in the brand.
    void expectBrandUntouched() {
        std::vector<std::string> entries;
        for (const auto& entry : fs::directory_iterator(balls() / "Alpha")) {
            entries.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(entries, std::vector<std::string>{"tst.ini"});
    }
};

TEST_F(OwnBallAdd, completeFolder_entersLibraryTaggedAndMarked_sourceUnchanged) {
    const TreeSnapshot sourceBefore = snapshot(source());
    int copied = 0;
    const auto outcome =
        library::addOwnBall(fs_, app(), "Alpha", "Comet", source(), frameNames(), [&] { ++copied; });

    EXPECT_EQ(outcome, AddBallOutcome::Added);
    EXPECT_EQ(copied, 21);
    for (const std::string& frame : frameNames()) {
        EXPECT_EQ(library::ReadBallTag(ball() / frame), "Alpha|Comet") << frame;
        const auto original = readBytes(source() / frame);
        const auto copy = readBytes(ball() / frame);
        ASSERT_EQ(copy.size(), original.size() + 11 + 4) << frame;
        EXPECT_TRUE(std::equal(original.begin(), original.end(), copy.begin())) << frame;
    }
    EXPECT_EQ(authOf(ball()), "1");
    EXPECT_EQ(snapshot(source()), sourceBefore);
    EXPECT_EQ(snapshot(balls() / "Alpha").size(), 1u + 1u + 21u + 1u); // marker, ball folder, frames, marker
}

TEST_F(OwnBallAdd, extraPngFiles_areCopiedAlong) {
    writeFrames(source(), {"extra1.png", "extra2.png"});
    const auto files = library::checkSourceFolder(fs_, source()).files;
    ASSERT_EQ(files.size(), 23u);

    EXPECT_EQ(add(fs_, files), AddBallOutcome::Added);
    EXPECT_EQ(library::ReadBallTag(ball() / "extra2.png"), "Alpha|Comet");
    EXPECT_EQ(library::checkSourceFolder(fs_, ball()).files, files);
}

TEST_F(OwnBallAdd, sameNameTwice_secondIsRefusedLeavingFirstIntact) {
    ASSERT_EQ(add(fs_, frameNames()), AddBallOutcome::Added);
    const TreeSnapshot first = snapshot(balls());
    EXPECT_EQ(add(fs_, frameNames()), AddBallOutcome::AlreadyExists);
    EXPECT_EQ(snapshot(balls()), first);
}

TEST_F(OwnBallAdd, copyFailingOnTenthFrame_leavesNoBallAndNoAssemblyFolder) {
    FailingCopyFileSystem failing(10, 101);
    try {
        add(failing, frameNames());
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(e.code(), 101);
    }
    EXPECT_EQ(failing.copies, 10);
    expectBrandUntouched();
}

TEST_F(OwnBallAdd, frameTooShortToTag_leavesNoBallAndNoAssemblyFolder) {
    writeFile(source() / "zz.png", "ab"); // copies fine, but a tag needs 4 bytes to read
    std::vector<std::string> files = frameNames();
    files.push_back("zz.png");
    EXPECT_THROW(add(fs_, files), IoError);
    expectBrandUntouched();
}

TEST_F(OwnBallAdd, sourceFileVanished_raisesFileNotFoundLeavingNothing) {
    fs::remove(source() / "ball_52.png");
    try {
        add(fs_, frameNames());
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(e.code(), 2);
    }
    expectBrandUntouched();
}

TEST_F(OwnBallAdd, leftoverAssemblyFolder_isReplaced) {
    writeFile(balls() / "Alpha/.Comet.adding/junk.png", "junk");
    EXPECT_EQ(add(fs_, frameNames()), AddBallOutcome::Added);
    EXPECT_FALSE(fs::exists(ball() / "junk.png"));
    EXPECT_FALSE(fs::exists(balls() / "Alpha/.Comet.adding"));
}

TEST_F(OwnBallAdd, unsafeBallOrBrandName_createsNothing) {
    const TreeSnapshot before = snapshot(temp.path());
    for (const char* name : {"..", "../../outside", "CON", "a|b", "x."}) {
        EXPECT_EQ(library::addOwnBall(fs_, app(), "Alpha", name, source(), frameNames()),
                  AddBallOutcome::InvalidName)
            << name;
        EXPECT_EQ(library::addOwnBall(fs_, app(), name, "Comet", source(), frameNames()),
                  AddBallOutcome::InvalidName)
            << name;
    }
    EXPECT_EQ(snapshot(temp.path()), before);
}

} // namespace
} // namespace orbisto::test
