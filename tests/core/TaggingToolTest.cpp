#include "library/TaggingTool.h"

#include "core/OwnBallFixtures.h"
#include "library/BallTag.h"
#include "platform/Errors.h"
#include "platform/IniProfile.h"

#include <gtest/gtest.h>

namespace orbisto::test {
namespace {

class TaggingTool : public ::testing::Test {
protected:
    fs::path root() const { return temp / "library"; }
    // An untagged, unmarked ball with the 21 frames.
    fs::path makeBall(const std::string& brand, const std::string& ball) {
        writeFrames(root() / brand / ball);
        return root() / brand / ball;
    }
    std::size_t run(bool markNew) {
        library::TaggingReport report{[this](const std::string& n) { brands.push_back(n); },
                                      [this](const std::string& n) { balls.push_back(n); },
                                      {}};
        return library::tagLibrary(platform::localFileSystem(), root(), markNew, report);
    }
    static std::string auth(const fs::path& folder) {
        return platform::readProfileString(folder / "tst.ini", "Sys", "Auth", "<none>");
    }

    TempFolder temp;
    std::vector<std::string> brands, balls;
};

TEST_F(TaggingTool, onlyFolderBallsWithPngAreMarked_strayFilesAndDottedFoldersLeftAlone) {
    const fs::path ball = makeBall("Alpha", "Comet");
    writeFile(root() / "Alpha/Empty/readme.txt", "no frames");
    writeFile(ball / "info.txt", "text");
    writeFrames(root() / "Alpha/old.version");
    writeFile(root() / "LICENSE", "stray in the root");
    writeFile(root() / "Alpha/NOTES", "stray in a brand");

    EXPECT_EQ(run(true), 21u);
    EXPECT_EQ(brands, std::vector<std::string>{"Alpha"});
    EXPECT_EQ(balls, (std::vector<std::string>{"Comet", "Empty"}));
    EXPECT_EQ(auth(root() / "Alpha"), "1");
    EXPECT_FALSE(fs::exists(root() / "Alpha/Empty/tst.ini"));
    EXPECT_EQ(readText(root() / "LICENSE"), "stray in the root");
    EXPECT_EQ(readText(ball / "info.txt"), "text");
    EXPECT_EQ(library::ReadBallTag(root() / "Alpha/old.version/ball_11.png"), "");
}

TEST_F(TaggingTool, sameBallNameUnderTwoBrands_eachTaggedOnceWithItsOwnBrand) {
    const fs::path alpha = makeBall("Alpha", "Comet");
    const fs::path beta = makeBall("Beta", "Comet");
    const auto untaggedSize = fs::file_size(beta / "ball_11.png");

    EXPECT_EQ(run(false), 42u);
    EXPECT_EQ(library::ReadBallTag(alpha / "ball_11.png"), "Alpha|Comet");
    EXPECT_EQ(library::ReadBallTag(beta / "ball_11.png"), "Beta|Comet");
    EXPECT_EQ(fs::file_size(beta / "ball_11.png"), untaggedSize + 10 + 4);
}

TEST_F(TaggingTool, frameThatCannotBeWritten_stopsRunWithoutMarkingThatBall) {
    const fs::path ball = makeBall("Alpha", "Comet");
    fs::permissions(ball / "ball_22.png", fs::perms::owner_write, fs::perm_options::remove);

    EXPECT_EQ(ioErrorCode([&] { run(true); }), 5);
    EXPECT_EQ(auth(root() / "Alpha"), "1");
    EXPECT_FALSE(fs::exists(ball / "tst.ini"));
    EXPECT_EQ(library::ReadBallTag(ball / "ball_21.png"), "Alpha|Comet");
}

} // namespace
} // namespace orbisto::test
