#include <gtest/gtest.h>

#include "core/OwnBallFixtures.h"
#include "library/NewBallScan.h"

namespace orbisto::test {
namespace {

class NewBallScan : public ::testing::Test {
protected:
    fs::path app() const { return temp / "app"; }
    fs::path balls() const { return temp / "app/balls"; }
    library::NewBallScanResult scan() {
        counts.clear();
        return library::scanNewBalls(platform::localFileSystem(), app(),
                                     [this](std::size_t found) { counts.push_back(found); });
    }
    TempFolder temp;
    std::vector<std::size_t> counts;
};

TEST_F(NewBallScan, threeListedBrandsWithTwoBallsEach_countSix) {
    for (const char* brand : {"Alpha", "Beta", "Gamma"}) {
        writeMarker(balls() / brand, "Auth=1");
        fs::create_directories(balls() / brand / "One");
        fs::create_directories(balls() / brand / "Two");
    }
    writeFile(balls() / "Beta/README", "a file is no ball");
    fs::create_directories(balls() / "Unlisted/Three");

    const auto result = scan();
    EXPECT_EQ(result.brands, (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(result.balls.size(), 6u);
    EXPECT_EQ(counts, (std::vector<std::size_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(result.newBalls.empty());
}

TEST_F(NewBallScan, ballMarkedNew_isListedWhateverItsAuth) {
    writeMarker(balls() / "Alpha", "Auth=1");
    writeMarker(balls() / "Alpha/Comet", "New=1");
    writeMarker(balls() / "Alpha/Old", "Auth=1\r\nNew=0");
    writeMarker(balls() / "Alpha/Odd", "Auth=1\r\nNew=yes");
    writeMarker(balls() / "Unlisted", "Auth=0");
    writeMarker(balls() / "Unlisted/Hidden", "New=1");

    const auto result = scan();
    ASSERT_EQ(result.newBalls.size(), 1u);
    EXPECT_EQ(result.newBalls[0].text, "Alpha-Comet");
    EXPECT_EQ(result.newBalls[0].brand, "Alpha");
    EXPECT_EQ(result.newBalls[0].ball, "Comet");
}

TEST_F(NewBallScan, missingOrEmptyLibrary_findsNothingAndReportsNothing) {
    EXPECT_TRUE(scan().newBalls.empty());
    EXPECT_TRUE(counts.empty());

    writeMarker(balls() / "Alpha", "Auth=1");
    const auto result = scan();
    EXPECT_EQ(result.brands.size(), 1u);
    EXPECT_TRUE(result.balls.empty());
    EXPECT_TRUE(counts.empty());
}

TEST_F(NewBallScan, markerThatIsAFolder_doesNotListBrand) {
    writeFile(balls() / "Alpha/tst.ini/x", "a folder named like the marker");
    writeMarker(balls() / "Alpha/Comet", "New=1");

    EXPECT_TRUE(scan().brands.empty());
}

} // namespace
} // namespace orbisto::test
