#include "platform/Errors.h"
#include "platform/Image.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace orbisto::platform {
namespace {

namespace fs = std::filesystem;
using test::makePng;
using test::TempFolder;
using test::writeFile;

TEST(PlatformPng, decodesATaggedFrameToRgbaWithAlpha) {
    auto frame = makePng(3, 2, 0x11223380);
    const std::string tag = "Alpha|Comet";
    frame.insert(frame.end(), tag.begin(), tag.end());
    frame.insert(frame.end(), {static_cast<std::uint8_t>(tag.size() + 4), 0, 0, 0});
    const Image image = decodePngBytes(frame.data(), frame.size());
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    // Filled by index: GCC 12 at -O3 takes repeated inserts into an empty vector for an overflow.
    const std::uint8_t pixel[] = {0x11, 0x22, 0x33, 0x80};
    std::vector<std::uint8_t> pixels(6 * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = pixel[i % 4];
    }
    EXPECT_EQ(image.rgba, pixels);
}

// Every valid file decodes; every hostile one decodes or raises ImageError, without a crash.
TEST(PlatformPng, decodesThePngSuiteAndSurvivesHostileFiles) {
    for (const bool hostile : {false, true}) {
        const fs::path folder = fs::path(ORBISTO_SHARED_TESTDATA) / "png" / (hostile ? "hostile" : "valid");
        if (!fs::is_directory(folder)) {
            GTEST_SKIP() << "PNG test files not found at " << folder;
        }
        int files = 0;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() != ".png") {
                continue;
            }
            ++files;
            try {
                const Image image = decodePngFile(entry.path());
                EXPECT_EQ(image.rgba.size(), static_cast<std::size_t>(image.width) * image.height * 4) << entry;
                EXPECT_TRUE(hostile || (image.width > 0 && image.height > 0)) << entry;
            } catch (const ImageError& error) {
                EXPECT_TRUE(hostile) << entry << ": " << error.what();
            }
        }
        EXPECT_GT(files, 0) << folder;
    }
}

TEST(PlatformImage, brokenInputRaisesImageErrorAndAMissingFileIoError) {
    TempFolder temp;
    auto png = makePng(16, 16, 0xFF0000FF);
    EXPECT_THROW(decodePngBytes(png.data(), png.size() / 2), ImageError);
    // A chunk that claims two gigabytes is refused before anything is allocated for it.
    auto huge = makePng(1, 1, 0);
    const std::uint8_t header[] = {0x7F, 0xFF, 0xFF, 0xF0, 't', 'E', 'X', 't'};
    huge.insert(huge.begin() + 33, std::begin(header), std::end(header)); // right after IHDR
    EXPECT_NE(test::errorText<ImageError>([&] { decodePngBytes(huge.data(), huge.size()); }).find("tEXt"),
              std::string::npos);

    // The JPEG decoder's own failure comes back from libjpeg as an error, not an exit.
    EXPECT_THROW(decodeJpegBytes(png.data(), png.size()), ImageError);
    EXPECT_THROW(decodeJpegBytes(nullptr, 0), ImageError);
    EXPECT_THROW(decodePngFile(temp / "missing.png"), IoError);
    EXPECT_THROW(decodeJpegFile(temp / "missing.jpg"), IoError);
}

} // namespace
} // namespace orbisto::platform
