#include "library/OwnBall.h"

#include "core/InstallFaults.h"
#include "core/OwnBallFixtures.h"
#include "library/BallTag.h"
#include "library/NameCheck.h"
#include "library/WriteCheck.h"
#include "platform/Errors.h"
#include "platform/IniProfile.h"

#include <gtest/gtest.h>

namespace orbisto::test {
namespace {

using library::AddBallOutcome;

TEST(OwnBallNames, unsafeOrReservedNamesAreRefused_ordinaryOnesAccepted) {
    const std::string longest(library::kMaxLibraryNameLength, 'x');
    // 100 characters of two bytes each: the limit counts characters, not bytes.
    std::string longestPolish;
    for (std::size_t i = 0; i < library::kMaxLibraryNameLength; ++i) {
        longestPolish += "ż";
    }
    for (const std::string& name : std::vector<std::string>{
             "",         "   ",         ".",           "..",        "a/b",       "a\\b",     "a:b",
             "a*b",      "a?b",         "a\"b",        "a<b",       "a>b",       "a|b",       "a\tb",
             "a\177b",   "x.",          "x ",          ".hidden",   "CON",       "con",       "Con.txt",
             "CON .png", "PRN",         "aux",         "NUL",       "COM1",      "com9",      "LPT1",
             "lpt9.ini", "x.y",         "Teamgeist 2.0", "CONIN$",  "conout$",   "CONIN$.txt", "COM0",
             "lpt0",     "COM¹",        "com²",        "COM³.png",  "LPT¹",      "lpt²",      "LPT³",
             longest + "x", longestPolish + "ż"}) {
        EXPECT_FALSE(library::isValidLibraryName(name)) << '"' << name << '"';
    }
    for (const std::string& name :
         std::vector<std::string>{"Alpha", "Nike-Pro", "Ball 2", " Lead", "COM10", "COM", "LPT4x", "COM¹0", "CONIN",
                                  "CONSOLE", "Zażółć", longest, longestPolish}) {
        EXPECT_TRUE(library::isValidLibraryName(name)) << '"' << name << '"';
    }
    // Names of other pictures in an archive keep their dot; the reserved names stay refused.
    EXPECT_TRUE(library::isValidFileName("extra.png"));
    EXPECT_FALSE(library::isValidFileName("COM¹.png"));
    EXPECT_FALSE(library::isValidFileName("conout$.png"));
}

// A library with the empty brand Alpha, and a source folder with the 21 frames.
class OwnBall : public ::testing::Test {
protected:
    void SetUp() override {
        writeMarker(balls() / "Alpha", "Auth=1");
        writeFrames(source());
    }
    fs::path app() const { return temp / "app"; }
    fs::path balls() const { return temp / "app/balls"; }
    fs::path source() const { return temp / "user/Comet frames"; }
    fs::path ball() const { return balls() / "Alpha/Comet"; }
    AddBallOutcome add(platform::FileSystem& fileSystem, const std::vector<std::string>& files) {
        return library::addOwnBall(fileSystem, app(), "Alpha", "Comet", source(), files);
    }
    // No ball folder and no hidden assembly folder: the brand holds its marker only.
    std::size_t brandEntries() const { return snapshot(balls() / "Alpha").size(); }

    platform::FileSystem& fs_ = platform::localFileSystem();
    TempFolder temp;
};

TEST_F(OwnBall, brandsOffered_areMarkedFoldersWithoutDot_sortedIgnoringCase) {
    writeMarker(balls() / "beta", "Auth=1");
    writeMarker(balls() / "Charlie", "Auth=1");
    writeMarker(balls() / "Gamma", "Auth=0");
    fs::create_directories(balls() / "Unmarked");
    writeMarker(balls() / "Dotted.x", "Auth=1");
    writeMarker(balls() / ".Hidden", "Auth=1");
    writeFile(balls() / "stray", "not a brand");

    EXPECT_EQ(library::ownBallBrands(fs_, app()), (std::vector<std::string>{"Alpha", "beta", "Charlie"}));
}

TEST_F(OwnBall, completeFolder_entersLibraryTaggedAndMarked_sourceUnchanged) {
    const TreeSnapshot sourceBefore = snapshot(source());
    EXPECT_EQ(add(fs_, frameNames()), AddBallOutcome::Added);
    for (const std::string& frame : frameNames()) {
        EXPECT_EQ(library::ReadBallTag(ball() / frame), "Alpha|Comet") << frame;
        const auto original = readBytes(source() / frame);
        const auto copy = readBytes(ball() / frame);
        ASSERT_EQ(copy.size(), original.size() + 11 + 4) << frame;
        EXPECT_TRUE(std::equal(original.begin(), original.end(), copy.begin())) << frame;
    }
    EXPECT_EQ(platform::readProfileString(ball() / "tst.ini", "Sys", "Auth"), "1");
    EXPECT_EQ(snapshot(source()), sourceBefore);
    EXPECT_EQ(brandEntries(), 1u + 1u + 21u + 1u); // marker, ball folder, frames, marker
}

TEST_F(OwnBall, copyOrTagFailing_leavesNoBallAndNoAssemblyFolder_nextAddReplacesLeftovers) {
    FaultyFileSystem failing;
    failing.copiesBeforeFull = 9;
    EXPECT_EQ(ioErrorCode([&] { add(failing, frameNames()); }), 101);
    EXPECT_EQ(failing.copies, 9);
    EXPECT_EQ(brandEntries(), 1u);

    writeFile(source() / "zz.png", "ab"); // copies fine, but a tag needs 4 bytes to read
    std::vector<std::string> files = frameNames();
    files.push_back("zz.png");
    EXPECT_THROW(add(fs_, files), IoError);
    EXPECT_EQ(brandEntries(), 1u);

    writeFile(balls() / "Alpha/.Comet.adding/junk.png", "junk");
    EXPECT_EQ(add(fs_, frameNames()), AddBallOutcome::Added);
    EXPECT_EQ(brandEntries(), 1u + 1u + 21u + 1u); // no junk, no assembly folder
}

TEST_F(OwnBall, libraryThatRefusesWriting_namesItsFolder_andCreatesNothing) {
    const TreeSnapshot before = snapshot(app());
    FaultyFileSystem faulty;
    faulty.unwritableFolder = balls();
    const auto refused = [](const auto& add) {
        try {
            add();
        } catch (const library::FolderNotWritable& e) {
            return e.folder();
        }
        return fs::path("<added>");
    };
    EXPECT_EQ(refused([&] { library::addBrand(faulty, app(), {"Alpha"}, "Beta"); }), balls());
    EXPECT_EQ(refused([&] { add(faulty, frameNames()); }), balls() / "Alpha");
    EXPECT_EQ(faulty.copies, 0);
    EXPECT_EQ(snapshot(app()), before);
}

} // namespace
} // namespace orbisto::test
