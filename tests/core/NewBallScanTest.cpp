#include "library/NewBallScan.h"

#include "core/OwnBallFixtures.h"

#include <gtest/gtest.h>

namespace orbisto::test {
namespace {

class NewBallScan : public ::testing::Test {
protected:
    fs::path balls() const { return temp / "app/balls"; }
    library::NewBallScanResult scan() {
        return library::scanNewBalls(platform::localFileSystem(), temp / "app",
                                     [this](std::size_t found) { counts.push_back(found); });
    }
    TempFolder temp;
    std::vector<std::size_t> counts;
};

TEST_F(NewBallScan, ballsOfListedBrandsOnly_countedAsFound) {
    for (const char* brand : {"Alpha", "Beta", "Gamma"}) {
        writeMarker(balls() / brand, "Auth=1");
        fs::create_directories(balls() / brand / "One");
        fs::create_directories(balls() / brand / "Two");
    }
    writeFile(balls() / "Beta/README", "a file is no ball");
    fs::create_directories(balls() / "Unlisted/Three");
    writeFile(balls() / "Folded/tst.ini/x", "a folder named like the marker");
    fs::create_directories(balls() / "Folded/Four");

    const auto result = scan();
    EXPECT_EQ(result.brands, (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(result.balls.size(), 6u);
    EXPECT_EQ(counts, (std::vector<std::size_t>{1, 2, 3, 4, 5, 6})); // reported as each ball is found
}

TEST_F(NewBallScan, ballMarkedNew_isListedWhateverItsAuth_withItsBrandAndBall) {
    writeMarker(balls() / "Ad-Lib", "Auth=1");
    writeMarker(balls() / "Ad-Lib/Pro-1", "New=1");
    writeMarker(balls() / "Ad-Lib/Old", "Auth=1\r\nNew=0");
    writeMarker(balls() / "Ad-Lib/Odd", "Auth=1\r\nNew=yes");
    writeMarker(balls() / "Unlisted", "Auth=0");
    writeMarker(balls() / "Unlisted/Hidden", "New=1");

    const auto result = scan();
    ASSERT_EQ(result.newBalls.size(), 1u);
    EXPECT_EQ(result.newBalls[0].text, "Ad-Lib-Pro-1");
    EXPECT_EQ(result.newBalls[0].brand, "Ad-Lib");
    EXPECT_EQ(result.newBalls[0].ball, "Pro-1");
}

} // namespace
} // namespace orbisto::test
