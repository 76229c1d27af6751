#include "library/LibraryScan.h"

#include "core/LibraryTestFileSystem.h"
#include "library/Library.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace orbisto::test {
namespace {

using Names = std::vector<std::string>;
const std::string kNewBalls = ">New balls";

class LibraryListing : public ::testing::Test {
protected:
    // A brand or ball folder below balls/ with the given marker lines (no marker when empty).
    fs::path folder(const fs::path& relative, std::string_view marker = "Auth=1") {
        const fs::path path = temp / "balls" / relative;
        fs::create_directories(path);
        if (!marker.empty()) {
            writeMarker(path, marker);
        }
        return path;
    }
    Names brands() { return library::listBrands(files, temp.path()); }
    Names balls(const std::string& brand) { return library::listBalls(files, temp.path(), brand); }
    Names brandBox() { return library::brandBoxItems(files, temp.path()); }

    TempFolder temp;
    HidingFileSystem files;
};

// Only folders with a visible marker saying Auth=1 list; a dot in a name keeps only a ball out.
TEST_F(LibraryListing, markersDotsFilesAndHiddenEntries_onlyMarkedFoldersListed) {
    const std::pair<std::string, std::string> markers[] = {
        {"Listed", "Auth=1"},       {"NoMarker", ""},       {"Zero", "Auth=0"},
        {"Yes", "Auth=yes"},        {"OtherKey", "New=1"},  {"Padded", "Auth = 1 "},
        {"HiddenMarker", "Auth=1"}, {"Brand.Co", "Auth=1"}, {".Secret", "Auth=1"}};
    for (const auto& [name, marker] : markers) {
        folder(name, marker);
        folder(fs::path("Listed") / ("ball" + name), marker);
    }
    files.hiddenFiles.insert(temp / "balls/HiddenMarker/tst.ini");
    files.hiddenFiles.insert(temp / "balls/Listed/ballHiddenMarker/tst.ini");
    fs::create_directories(folder("FolderMarker", "") / "tst.ini"); // a folder named like the marker
    writeFile(temp / "balls/loose", "Auth=1");
    writeFile(temp / "balls/Listed/loose", "Auth=1");

    EXPECT_EQ(brands(), (Names{"Brand.Co", "Listed", "Padded"}));
    EXPECT_EQ(balls("Listed"), (Names{"ballListed", "ballPadded"}));
}

TEST_F(LibraryListing, emptyMissingOrNoBrand_listsNothingBelowTheRoot) {
    EXPECT_EQ(brandBox(), Names{kNewBalls});
    fs::create_directories(temp / "balls");
    EXPECT_EQ(brandBox(), Names{kNewBalls});
    EXPECT_EQ(balls("Missing"), Names{});
    EXPECT_EQ(library::brandBoxItems(files, ""), Names{kNewBalls}); // no program folder: no lookup at all
    EXPECT_EQ(files.scans, 3);

    // No brand selected: the brands are never listed as balls.
    folder("Alpha");
    EXPECT_EQ(balls(""), Names{});
    EXPECT_EQ(library::ballListItems(files, temp.path(), "", {}), Names{});
    EXPECT_EQ(files.scans, 3);
}

TEST_F(LibraryListing, sorting_caseInsensitiveWithNewBallsFirst) {
    for (const char* name : {"zeta", "Alpha", "beta", "!Bang", "alpha2"}) {
        folder(name);
    }
    EXPECT_EQ(brandBox(), (Names{kNewBalls, "!Bang", "Alpha", "alpha2", "beta", "zeta"}));

    for (const char* ball : {"comet", "Bolt", "arrow"}) {
        folder(fs::path("beta") / ball);
    }
    EXPECT_EQ(balls("beta"), (Names{"arrow", "Bolt", "comet"}));
}

TEST_F(LibraryListing, newBallsBrand_listsTheRecordedEntriesNeverAFolderOfThatName) {
    try {
        folder(kNewBalls);
        folder(fs::path(kNewBalls) / "Fake");
    } catch (const fs::filesystem_error&) {
        // Windows allows no ">" in a name: there the folder cannot exist, and the rest still holds.
    }
    const std::vector<library::NewBallEntry> entries{
        {"beta-Comet", "beta", "Comet"}, {"Alpha-Bolt", "Alpha", "Bolt"}, {"alpha-arrow", "alpha", "arrow"}};

    EXPECT_EQ(library::ballListItems(files, temp.path(), kNewBalls, entries),
              (Names{"alpha-arrow", "Alpha-Bolt", "beta-Comet"}));
    EXPECT_EQ(brandBox(), Names{kNewBalls});
}

TEST(LibraryNewBallEntry, recordedPairWins_elseSplitAtHyphen) {
    const std::vector<library::NewBallEntry> entries{{"Best-Ball-X", "Best-Ball", "X"}};
    const library::BallRef recorded = library::resolveNewBallEntry("Best-Ball-X", entries);
    EXPECT_EQ(recorded.brand + "/" + recorded.ball, "Best-Ball/X");
    const library::BallRef split = library::resolveNewBallEntry("Alpha-Comet", entries);
    EXPECT_EQ(split.brand + "/" + split.ball, "Alpha/Comet");
    EXPECT_EQ(library::resolveNewBallEntry("Best-Ball-X", {}).ball, "Ball"); // split: second piece

    EXPECT_THROW(library::resolveNewBallEntry("Lonely", {}), ListIndexError);
    EXPECT_EQ(errorText<ListIndexError>([] { library::resolveNewBallEntry("Lonely-", {}); }),
              "List index out of bounds (1)");
}

} // namespace
} // namespace orbisto::test
