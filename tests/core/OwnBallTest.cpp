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

std::string authOf(const fs::path& folder) {
    return platform::readProfileString(folder / "tst.ini", "Sys", "Auth");
}

TEST(OwnBallNames, unsafeOrReservedNames_areRefused) {
    for (const char* name : {"", "   ", ".", "..", "a/b", "a\\b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b",
                             "a\tb", "a\177b", "x.", "x ", ".hidden", "CON", "con", "Con.txt", "CON .png", "PRN", "aux",
                             "NUL", "COM1", "com9", "LPT1", "lpt9.ini"}) {
        EXPECT_FALSE(library::isValidLibraryName(name)) << '"' << name << '"';
    }
}

TEST(OwnBallNames, ordinaryNames_areAccepted) {
    for (const char* name :
         {"Alpha", "Nike-Pro", "x.y", "Ball 2", " Lead", "COM10", "COM0", "LPT", "CONSOLE", "Console.txt", "Zażółć"}) {
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
    const auto outcome = library::addOwnBall(fs_, app(), "Alpha", "Comet", source(), frameNames(), [&] { ++copied; });

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

TEST_F(OwnBallAdd, leftoverAssemblyFolder_isReplaced) {
    writeFile(balls() / "Alpha/.Comet.adding/junk.png", "junk");
    EXPECT_EQ(add(fs_, frameNames()), AddBallOutcome::Added);
    EXPECT_FALSE(fs::exists(ball() / "junk.png"));
    EXPECT_FALSE(fs::exists(balls() / "Alpha/.Comet.adding"));
}

TEST_F(OwnBallAdd, unsafeBallOrBrandName_createsNothing) {
    const TreeSnapshot before = snapshot(temp.path());
    for (const char* name : {"..", "../../outside", "CON", "a|b", "x."}) {
        EXPECT_EQ(library::addOwnBall(fs_, app(), "Alpha", name, source(), frameNames()), AddBallOutcome::InvalidName)
            << name;
        EXPECT_EQ(library::addOwnBall(fs_, app(), name, "Comet", source(), frameNames()), AddBallOutcome::InvalidName)
            << name;
    }
    EXPECT_EQ(snapshot(temp.path()), before);
}

} // namespace
} // namespace orbisto::test
