#include "library/LibraryScan.h"

#include "core/LibraryTestFileSystem.h"
#include "library/Library.h"
#include "platform/Errors.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orbisto::test {
namespace {

using Names = std::vector<std::string>;

class LibraryListing : public ::testing::Test {
protected:
    // A brand folder with the given marker lines (no marker when empty).
    fs::path brandFolder(const std::string& name, std::string_view marker = "Auth=1") {
        const fs::path folder = temp / "balls" / name;
        fs::create_directories(folder);
        if (!marker.empty()) {
            writeMarker(folder, marker);
        }
        return folder;
    }
    fs::path ballFolder(const std::string& brand, const std::string& ball, std::string_view marker = "Auth=1") {
        const fs::path folder = temp / "balls" / brand / ball;
        fs::create_directories(folder);
        if (!marker.empty()) {
            writeMarker(folder, marker);
        }
        return folder;
    }
    Names brands() { return library::listBrands(files, temp.path()); }
    Names balls(const std::string& brand) { return library::listBalls(files, temp.path(), brand); }

    TempFolder temp;
    HidingFileSystem files;
};

TEST_F(LibraryListing, brandMarkers_onlyAuthExactlyOneLists) {
    brandFolder("Listed");
    brandFolder("NoMarker", "");
    brandFolder("Zero", "Auth=0");
    brandFolder("Yes", "Auth=yes");
    brandFolder("OtherKey", "New=1");
    brandFolder("Padded", "Auth = 1 ");
    const fs::path hidden = brandFolder("HiddenMarker");
    files.hiddenFiles.insert(hidden / "tst.ini");
    // A folder named like the marker is no marker.
    fs::create_directories(brandFolder("FolderMarker", "") / "tst.ini");

    EXPECT_EQ(brands(), (Names{"Listed", "Padded"}));
}

TEST_F(LibraryListing, dottedNames_brandListedButBallNever) {
    brandFolder("Brand.Co");
    ballFolder("Brand.Co", "Comet");
    ballFolder("Brand.Co", "Comet.2006");

    EXPECT_EQ(brands(), Names{"Brand.Co"});
    EXPECT_EQ(balls("Brand.Co"), Names{"Comet"});
}

TEST_F(LibraryListing, plainFilesAndHiddenFolders_areNeverListed) {
    brandFolder("Alpha");
    ballFolder("Alpha", "Comet");
    writeFile(temp / "balls" / "loose", "Auth=1");
    writeFile(temp / "balls" / "Alpha" / "loosefile", "Auth=1");
    brandFolder(".Secret");
    ballFolder("Alpha", ".Hidden");

    EXPECT_EQ(brands(), Names{"Alpha"});
    EXPECT_EQ(balls("Alpha"), Names{"Comet"});
}

TEST_F(LibraryListing, ballMarkers_followTheSameRule) {
    brandFolder("Alpha");
    ballFolder("Alpha", "Listed");
    ballFolder("Alpha", "Unmarked", "");
    ballFolder("Alpha", "Zero", "Auth=0");
    ballFolder("Alpha", "NewOnly", "New=1");

    EXPECT_EQ(balls("Alpha"), Names{"Listed"});
}

TEST_F(LibraryListing, emptyOrMissingLibrary_onlyTheNewBallsItem) {
    EXPECT_EQ(library::brandBoxItems(files, temp.path()), Names{">New balls"});
    fs::create_directories(temp / "balls");
    EXPECT_EQ(library::brandBoxItems(files, temp.path()), Names{">New balls"});
    EXPECT_EQ(balls("Missing"), Names{});
    // Without a program folder nothing is looked up at all.
    EXPECT_EQ(library::brandBoxItems(files, ""), Names{">New balls"});
    EXPECT_EQ(files.scans, 3);
}

TEST_F(LibraryListing, noBrandSelected_listsNothingRatherThanTheBrandsAsBalls) {
    brandFolder("Alpha");
    brandFolder("Beta");
    EXPECT_EQ(balls(""), Names{});
    EXPECT_EQ(library::ballListItems(files, temp.path(), "", {}), Names{});
    EXPECT_EQ(files.scans, 0);
}

TEST_F(LibraryListing, sorting_caseInsensitiveWithNewBallsFirst) {
    for (const char* name : {"zeta", "Alpha", "beta", "Gamma", "!Bang", "#1", "0zero", "alpha2"}) {
        brandFolder(name);
    }
    EXPECT_EQ(library::brandBoxItems(files, temp.path()),
              (Names{">New balls", "!Bang", "#1", "0zero", "Alpha", "alpha2", "beta", "Gamma", "zeta"}));

    for (const char* ball : {"comet", "Bolt", "arrow"}) {
        ballFolder("beta", ball);
    }
    EXPECT_EQ(balls("beta"), (Names{"arrow", "Bolt", "comet"}));
}

TEST_F(LibraryListing, newBallsBrand_listsTheRecordedEntriesSorted) {
    // A folder that carries the pseudo-brand's name is never taken for it.
    brandFolder(">New balls");
    ballFolder(">New balls", "Fake");
    const std::vector<library::NewBallEntry> entries{
        {"beta-Comet", "beta", "Comet"}, {"Alpha-Bolt", "Alpha", "Bolt"}, {"alpha-arrow", "alpha", "arrow"}};

    EXPECT_EQ(library::ballListItems(files, temp.path(), ">New balls", entries),
              (Names{"alpha-arrow", "Alpha-Bolt", "beta-Comet"}));
    EXPECT_EQ(library::brandBoxItems(files, temp.path()), Names{">New balls"});
}

TEST_F(LibraryListing, listing_scansOnceAndTestsOneMarkerPerFolder) {
    for (int i = 0; i < 20; ++i) {
        brandFolder("Brand" + std::to_string(i), i % 2 == 0 ? "Auth=1" : "");
    }
    writeFile(temp / "balls" / "readme.txt", "x");

    EXPECT_EQ(brands().size(), 10u);
    EXPECT_EQ(files.scans, 1);
    EXPECT_EQ(files.fileTests, 20);
}

TEST(LibraryNewBallEntry, recordedPairWins_elseSplitAtHyphen) {
    const std::vector<library::NewBallEntry> entries{{"Best-Ball-X", "Best-Ball", "X"}};

    const library::BallRef recorded = library::resolveNewBallEntry("Best-Ball-X", entries);
    EXPECT_EQ(recorded.brand, "Best-Ball");
    EXPECT_EQ(recorded.ball, "X");

    const library::BallRef split = library::resolveNewBallEntry("Alpha-Comet", entries);
    EXPECT_EQ(split.brand, "Alpha");
    EXPECT_EQ(split.ball, "Comet");

    // Split without a record, a hyphenated name goes wrong: its second piece is taken as the ball.
    EXPECT_EQ(library::resolveNewBallEntry("Best-Ball-X", {}).ball, "Ball");
}

TEST(LibraryNewBallEntry, entryWithoutSecondPiece_raisesListIndexError) {
    EXPECT_THROW(library::resolveNewBallEntry("Lonely", {}), ListIndexError);
    try {
        library::resolveNewBallEntry("Lonely-", {});
        FAIL() << "no error";
    } catch (const ListIndexError& error) {
        EXPECT_STREQ(error.what(), "List index out of bounds (1)");
    }
}

} // namespace
} // namespace orbisto::test
