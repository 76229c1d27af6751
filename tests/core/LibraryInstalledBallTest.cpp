#include <gtest/gtest.h>

#include "core/LibraryTestFileSystem.h"
#include "library/InstalledBall.h"
#include "platform/Errors.h"
#include "support/TempFolder.h"

namespace orbisto::test {
namespace {

using library::installedFrame;
using library::kInstalledNormalFrame;
using library::kInstalledWinterFrame;

class LibraryInstalledBall : public ::testing::Test {
protected:
    fs::path normal() const { return temp / "game" / "data/graphics/pitch/balls/ball_73.png"; }
    fs::path winter() const { return temp / "game" / "data/graphics/pitch/balls/winter/ball_73.png"; }
    std::string game() const { return (temp / "game").string() + "/"; }

    TempFolder temp;
    HidingFileSystem files;
};

TEST_F(LibraryInstalledBall, frames_foundOnlyAsVisiblePlainFiles) {
    EXPECT_FALSE(installedFrame(files, game(), kInstalledNormalFrame));

    writeFile(normal(), makePng(17, 17, 0xFF0000FFu));
    EXPECT_EQ(installedFrame(files, game(), kInstalledNormalFrame), normal());
    EXPECT_FALSE(installedFrame(files, game(), kInstalledWinterFrame));

    fs::create_directories(winter()); // a folder of that name is no frame
    EXPECT_FALSE(installedFrame(files, game(), kInstalledWinterFrame));

    files.hiddenFiles.insert(normal());
    EXPECT_FALSE(installedFrame(files, game(), kInstalledNormalFrame));
}

TEST_F(LibraryInstalledBall, noGameFolder_looksNothingUp) {
    EXPECT_FALSE(installedFrame(files, "", kInstalledNormalFrame));
    EXPECT_FALSE(installedFrame(files, "", kInstalledWinterFrame));
    EXPECT_EQ(files.fileTests, 0);
}

TEST_F(LibraryInstalledBall, name_isTheTagWithBarsAsBlanks) {
    auto bytes = makePng(17, 17, 0xFF0000FFu);
    writeFile(normal(), bytes);
    EXPECT_EQ(library::installedBallName(normal()), "");

    for (const char c : std::string("Alpha|Comet|2")) {
        bytes.push_back(static_cast<std::uint8_t>(c));
    }
    bytes.insert(bytes.end(), {17, 0, 0, 0});
    writeFile(normal(), bytes);
    EXPECT_EQ(library::installedBallName(normal()), "Alpha Comet 2");

    writeFile(normal(), "ab");
    EXPECT_THROW(library::installedBallName(normal()), IoError);
}

} // namespace
} // namespace orbisto::test
