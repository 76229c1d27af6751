// The sample library and logo shipped in data/, the generator that draws them, and the demo game
// that scripts/run prepares. The shipped data is read through the program's own library code, so
// a frame or marker the program would not accept fails here.
#include "core/OwnBallFixtures.h"
#include "install/SkinCatalogue.h"
#include "library/BallTag.h"
#include "library/Library.h"
#include "library/LibraryScan.h"
#include "library/NewBallScan.h"
#include "platform/FileSystem.h"
#include "platform/Image.h"
#include "platform/SettingsStore.h"
#include "platform/linux/WinePrefixes.h"
#include "support/WinePrefixMaker.h"
#include "tools/DemoGame.h"
#include "tools/SampleArt.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace orbisto {
namespace {

namespace fs = std::filesystem;
using test::frameNames;
using test::TempFolder;

// The shipped data folder doubles as a program folder: balls/ lies directly in it.
fs::path shippedData() {
    return fs::path(ORBISTO_SOURCE_DIR) / "data";
}

std::uint8_t alphaAt(const Image& image, int x, int y) {
    return image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4 + 3];
}

// Each brand lists two or three balls, each of 21 tagged frames, transparent around the ball and
// different within a row so the preview turns.
TEST(SampleLibrary, brandsOfListedBallsOfTwentyOneTaggedFramesThatTurn) {
    auto& fs = platform::localFileSystem();
    const auto brands = library::listBrands(fs, shippedData());
    ASSERT_GE(brands.size(), 4u);
    for (const auto& brand : brands) {
        const auto balls = library::listBalls(fs, shippedData(), brand);
        EXPECT_TRUE(balls.size() == 2 || balls.size() == 3) << brand;
        // Every ball folder on disk is listed: none lacks its marker.
        EXPECT_EQ(fs.scanFolder(library::ballsFolder(shippedData()) / brand, "*.").size(), balls.size()) << brand;
        for (const auto& ball : balls) {
            // ">New balls" entries are split at "-", so no sample name may contain one.
            EXPECT_EQ((brand + ball).find('-'), std::string::npos) << brand << "/" << ball;
            const fs::path folder = library::ballFolder(shippedData(), {brand, ball});
            std::vector<std::string> pngs;
            for (const auto& entry : fs.scanFolder(folder, "*.png")) {
                pngs.push_back(entry.name);
            }
            std::sort(pngs.begin(), pngs.end());
            ASSERT_EQ(pngs, frameNames()) << folder;
            std::vector<std::uint8_t> previous;
            for (const auto& frame : pngs) {
                SCOPED_TRACE(brand + "/" + ball + "/" + frame);
                const Image image = platform::decodePngFile(folder / frame);
                ASSERT_EQ(image.width, 17);
                ASSERT_EQ(image.height, 17);
                EXPECT_EQ(alphaAt(image, 0, 0), 0);
                EXPECT_EQ(alphaAt(image, 16, 16), 0);
                EXPECT_EQ(alphaAt(image, 8, 8), 255);
                EXPECT_EQ(library::ReadBallTag(folder / frame), brand + "|" + ball);
                EXPECT_TRUE(frame.ends_with("1.png") || image.rgba != previous);
                previous = image.rgba;
            }
        }
    }
}

TEST(SampleLibrary, oneOrTwoBallsAreMarkedNewAndTheLogoFitsTheWindow) {
    const auto scan = library::scanNewBalls(platform::localFileSystem(), shippedData());
    EXPECT_GE(scan.newBalls.size(), 1u);
    EXPECT_LE(scan.newBalls.size(), 2u);
    const Image logo = platform::decodeJpegFile(shippedData() / "logo.jpg");
    EXPECT_EQ(logo.width, 145);
    EXPECT_EQ(logo.height, 297);
    EXPECT_EQ(alphaAt(logo, 0, 0), 255); // decoded as RGBA, not RGB
    EXPECT_EQ(alphaAt(logo, 144, 296), 255);
}

TEST(SampleIcon, everySizeIsTheBallOnATransparentGroundAndTheSvgPanelsLieWhereThePngShowsThem) {
    for (const int size : sample::kIconSizes) {
        SCOPED_TRACE(size);
        const Image icon =
            platform::decodePngFile(shippedData() / "icons" / ("orbisto-" + std::to_string(size) + ".png"));
        ASSERT_EQ(icon.width, size);
        ASSERT_EQ(icon.height, size);
        EXPECT_EQ(alphaAt(icon, 0, 0), 0);
        EXPECT_EQ(alphaAt(icon, size - 1, size - 1), 0);
        EXPECT_EQ(alphaAt(icon, size / 2, size / 2), 255);
    }

    pugi::xml_document svg;
    ASSERT_TRUE(svg.load_file((shippedData() / "icons/orbisto.svg").c_str()));
    const pugi::xml_node root = svg.child("svg");
    EXPECT_STREQ(root.attribute("xmlns").value(), "http://www.w3.org/2000/svg");
    EXPECT_STREQ(root.attribute("viewBox").value(), "0 0 256 256");
    // A panel seen whole is drawn as its rim's outline; its middle must be a dark panel pixel of the
    // 256-pixel picture too, which fails when the vector drawing is turned or mirrored.
    const Image big = platform::decodePngFile(shippedData() / "icons/orbisto-256.png");
    int wholePanels = 0;
    for (const pugi::xml_node polygon : root.children("polygon")) {
        std::istringstream points(polygon.attribute("points").value());
        double x = 0, y = 0, sumX = 0, sumY = 0;
        char comma = 0;
        int count = 0;
        while (points >> x >> comma >> y) {
            EXPECT_LE(std::hypot(x - 128, y - 128), 256 * 0.46 + 0.01) << "a panel reaches beyond the ball";
            sumX += x;
            sumY += y;
            ++count;
        }
        ASSERT_GE(count, 3);
        if (count != 72) {
            continue; // reaches round the edge
        }
        ++wholePanels;
        const int px = static_cast<int>(sumX / count);
        const int py = static_cast<int>(sumY / count);
        EXPECT_LT(big.rgba[(static_cast<std::size_t>(py) * 256 + px) * 4], 110) << "panel middle " << px << "," << py;
    }
    EXPECT_GE(wholePanels, 3);
}

TEST(SampleGenerator, redrawingGivesTheShippedFilesByteForByte) {
    TempFolder temp;
    sample::writeSampleData(temp.path());
    for (const char* folder : {"balls", "icons"}) {
        const auto drawn = test::snapshot(temp / folder);
        const auto shipped = test::snapshot(shippedData() / folder);
        ASSERT_EQ(drawn.size(), shipped.size()) << folder << ": run cmake --build <build> --target sample_data";
        for (const auto& [name, bytes] : drawn) {
            EXPECT_TRUE(shipped.count(name) && bytes == shipped.at(name)) << name << " differs from a fresh drawing";
        }
    }
    EXPECT_TRUE(test::readBytes(temp / "logo.jpg") == test::readBytes(shippedData() / "logo.jpg"));
}

TEST(SampleGenerator, failedWriteNamesTheFileAndLeavesNothingBehind) {
    TempFolder temp;
    const fs::path missingFolder = temp / "missing";
    try {
        sample::writeFileAtomically(missingFolder / "ball_11.png", {1, 2, 3});
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("ball_11.png"), std::string::npos) << error.what();
    }
    EXPECT_FALSE(fs::exists(missingFolder));

    // A data folder that is a file is refused before anything is drawn.
    test::writeFile(temp / "data", "not a folder");
    EXPECT_ANY_THROW(sample::writeSampleData(temp / "data"));
    EXPECT_EQ(test::readText(temp / "data"), "not a folder");
}

TEST(DemoGame, hasTheGamesUntaggedNormalAndWinterBallsAndTwoListedSkinsOfThree) {
    TempFolder temp;
    const fs::path game = temp / "Football Manager 2006";
    ASSERT_TRUE(sample::prepareDemoGame(game));

    const fs::path balls = game / "data/graphics/pitch/balls";
    for (const fs::path& folder : {balls, balls / "winter"}) {
        for (const auto& frame : frameNames()) {
            ASSERT_TRUE(fs::is_regular_file(folder / frame)) << folder << frame;
            EXPECT_FALSE(library::hasBallTag(folder / frame)) << folder << frame;
        }
    }
    EXPECT_NE(test::readBytes(balls / "ball_73.png"), test::readBytes(balls / "winter/ball_73.png"));

    const auto catalogue = install::readSkinCatalogue(platform::localFileSystem(), game);
    EXPECT_TRUE(catalogue.errors.empty());
    const std::vector<install::SkinEntry> listed = {{"midnight", "Midnight "}, {"daylight", "Daylight "}};
    EXPECT_EQ(catalogue.skins, listed);
    EXPECT_TRUE(fs::exists(game / "data/skins/classic/classic.xml")); // there, but without "hnfn"
    EXPECT_FALSE(fs::exists(game / "data/skins/daylight/graphics"));
    EXPECT_EQ(library::ReadBallTag(game / "data/skins/midnight/graphics/pitch/balls/ball_73.png"), "Northwind|Gale");
}

TEST(DemoGame, isMadeOnceAndNeverOverwritesAnExistingFolder) {
    TempFolder temp;
    const fs::path game = temp / "fm2006";
    ASSERT_TRUE(sample::prepareDemoGame(game));
    const fs::path frame = game / "data/graphics/pitch/balls/ball_73.png";
    test::writeFile(frame, "installed by the user");

    EXPECT_FALSE(sample::prepareDemoGame(game));
    EXPECT_EQ(test::readText(frame), "installed by the user");
    // Only the game itself is left beside it: no half-made copy.
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path()), fs::directory_iterator()), 1);
}

// Configured: the fall-back key Orbisto's demo set-up writes, a game's own key, or a game in a Wine prefix.
TEST(DemoGame, aGameCountsAsConfiguredByTheFallBackKeyItsOwnKeyOrAWinePrefix) {
    TempFolder temp;
    const fs::path home = temp / "home";
    const auto wine = platform::wine::makePrefixSearch({home, home / ".local/share", {}});
    EXPECT_FALSE(sample::hasConfiguredGame(temp / "settings", wine.get()));
    test::wine::makePrefix(home / ".wine", test::wine::hive(test::wine::gameKey("Football Manager 2005", "C:\\FM")));
    fs::create_directories(home / ".wine/drive_c/fm");
    EXPECT_TRUE(sample::hasConfiguredGame(temp / "settings", wine.get()));

    sample::pointSettingsAtGame(temp / "settings", temp / "game");
    EXPECT_TRUE(sample::hasConfiguredGame(temp / "settings"));
    auto store = platform::makeRegistryFileStore(temp / "settings");
    EXPECT_EQ(store->readText(platform::Hive::LocalMachine, "\\SOFTWARE\\VESKO\\zvk3\\path\\fm2006", "Path"),
              (temp / "game").generic_string());
    // The game's own keys stay untouched.
    const std::string fm2007 = "\\Software\\Sports Interactive Ltd\\Installs\\Football Manager 2007 Gold Demo";
    EXPECT_EQ(store->readText(platform::Hive::CurrentUser, fm2007, "Path"), "");

    platform::makeRegistryFileStore(temp / "own")->writeText(platform::Hive::CurrentUser, fm2007, "Path", "/fm");
    EXPECT_TRUE(sample::hasConfiguredGame(temp / "own"));
}

} // namespace
} // namespace orbisto
