#include "platform/Errors.h"
#include "platform/Image.h"
#include "platform/XmlReader.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <jpeglib.h>

namespace orbisto::platform {
namespace {

namespace fs = std::filesystem;
using test::makePng;
using test::TempFolder;
using test::writeFile;

const fs::path kPngTestData = fs::path(ORBISTO_SHARED_TESTDATA) / "png";

std::vector<fs::path> pngFilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".png") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// A JPEG of one colour (or grey), encoded with libjpeg at the best quality.
std::vector<std::uint8_t> makeJpeg(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b, bool grey) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row;
    for (int x = 0; x < width; ++x) {
        grey ? row.push_back(r) : (row.push_back(r), row.push_back(g), row.push_back(b));
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW rowPointer = row.data();
        jpeg_write_scanlines(&info, &rowPointer, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

void expectEveryPixelNear(const Image& image, int r, int g, int b, int a) {
    for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
        ASSERT_NEAR(image.rgba[i], r, 3) << "pixel " << i / 4;
        ASSERT_NEAR(image.rgba[i + 1], g, 3) << "pixel " << i / 4;
        ASSERT_NEAR(image.rgba[i + 2], b, 3) << "pixel " << i / 4;
        ASSERT_EQ(image.rgba[i + 3], a) << "pixel " << i / 4;
    }
}

TEST(PlatformPng, decodesToRgbaWithAlpha) {
    const auto png = makePng(3, 2, 0x11223380);
    const Image image = decodePngBytes(png.data(), png.size());
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    ASSERT_EQ(image.rgba.size(), 3u * 2 * 4);
    expectEveryPixelNear(image, 0x11, 0x22, 0x33, 0x80);
}

TEST(PlatformPng, decodesAFrameWithATagAfterItsEnd) {
    auto frame = makePng(4, 4, 0x00FF00FF);
    const std::string tag = "Alpha|Comet";
    frame.insert(frame.end(), tag.begin(), tag.end());
    frame.insert(frame.end(), {static_cast<std::uint8_t>(tag.size() + 4), 0, 0, 0});
    const Image image = decodePngBytes(frame.data(), frame.size());
    EXPECT_EQ(image.width, 4);
    expectEveryPixelNear(image, 0, 0xFF, 0, 0xFF);
}

TEST(PlatformPng, decodesEveryFileOfThePngSuite) {
    const fs::path folder = kPngTestData / "valid";
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << "PNG suite not found at " << folder;
    }
    const auto files = pngFilesIn(folder);
    ASSERT_FALSE(files.empty());
    for (const auto& file : files) {
        try {
            const Image image = decodePngFile(file);
            EXPECT_GT(image.width, 0) << file;
            EXPECT_GT(image.height, 0) << file;
            EXPECT_EQ(image.rgba.size(), static_cast<std::size_t>(image.width) * image.height * 4) << file;
        } catch (const Error& error) {
            ADD_FAILURE() << file << ": " << error.what();
        }
    }
}

TEST(PlatformPng, hostileFilesDecodeOrRaiseImageError) {
    const fs::path folder = kPngTestData / "hostile";
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << "hostile PNG files not found at " << folder;
    }
    for (const auto& file : pngFilesIn(folder)) {
        try {
            const Image image = decodePngFile(file);
            EXPECT_EQ(image.rgba.size(), static_cast<std::size_t>(image.width) * image.height * 4) << file;
        } catch (const ImageError& error) {
            EXPECT_STRNE(error.what(), "") << file;
        }
    }
}

TEST(PlatformPng, brokenInputRaisesImageErrorAndAMissingFileIoError) {
    TempFolder temp;
    auto png = makePng(16, 16, 0xFF0000FF);
    EXPECT_THROW(decodePngBytes(png.data(), png.size() / 2), ImageError);
    png[png.size() / 2] ^= 0xFF; // breaks the data's checksum
    EXPECT_THROW(decodePngBytes(png.data(), png.size()), ImageError);

    // A chunk that claims two gigabytes is refused before anything is allocated for it.
    auto huge = makePng(1, 1, 0);
    const std::uint8_t header[] = {0x7F, 0xFF, 0xFF, 0xF0, 't', 'E', 'X', 't'};
    huge.insert(huge.begin() + 33, std::begin(header), std::end(header)); // right after IHDR
    try {
        decodePngBytes(huge.data(), huge.size());
        ADD_FAILURE() << "expected ImageError";
    } catch (const ImageError& error) {
        EXPECT_NE(std::string(error.what()).find("tEXt"), std::string::npos) << error.what();
    }

    writeFile(temp / "text.png", "this is not a picture");
    EXPECT_THROW(decodePngFile(temp / "text.png"), ImageError);
    writeFile(temp / "empty.png", "");
    EXPECT_THROW(decodePngFile(temp / "empty.png"), ImageError);
    try {
        decodePngFile(temp / "missing.png");
        FAIL() << "expected IoError";
    } catch (const IoError& error) {
        EXPECT_EQ(error.code(), 2);
    }
}

TEST(PlatformJpeg, colourAndGreyPicturesDecodeToOpaqueRgba) {
    const auto colour = makeJpeg(16, 8, 200, 100, 50, false);
    const Image image = decodeJpegBytes(colour.data(), colour.size());
    EXPECT_EQ(image.width, 16);
    EXPECT_EQ(image.height, 8);
    ASSERT_EQ(image.rgba.size(), 16u * 8 * 4);
    expectEveryPixelNear(image, 200, 100, 50, 255);

    TempFolder temp;
    writeFile(temp / "logo.jpg", makeJpeg(5, 3, 90, 0, 0, true));
    const Image grey = decodeJpegFile(temp / "logo.jpg");
    EXPECT_EQ(grey.width, 5);
    expectEveryPixelNear(grey, 90, 90, 90, 255);
}

TEST(PlatformJpeg, aFileThatIsNotAJpegRaisesImageError) {
    TempFolder temp;
    writeFile(temp / "logo.jpg", "GIF89a not a jpeg");
    try {
        decodeJpegFile(temp / "logo.jpg");
        FAIL() << "expected ImageError";
    } catch (const ImageError& error) {
        EXPECT_STRNE(error.what(), "");
    }
    const auto png = makePng(2, 2, 0);
    EXPECT_THROW(decodeJpegBytes(png.data(), png.size()), ImageError);
    EXPECT_THROW(decodeJpegBytes(nullptr, 0), ImageError);
    EXPECT_THROW(decodeJpegFile(temp / "missing.jpg"), IoError);
}

TEST(PlatformXml, readsTheAttributesOfTheDocumentElementsChildrenInOrder) {
    TempFolder temp;
    writeFile(temp / "skin.xml", R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- a skin description -->
<record>
  <!-- comment between children -->
  <string id="name" value="Steklo &amp; Glass"/>
  text is skipped
  <?processing instruction?>
  <integer id="version" value="3">
    <deeper id="not read"/>
  </integer>
  <flag/>
</record>
)");
    const auto children = readDocumentChildren(temp / "skin.xml");
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(children[0].attribute("id"), "name");
    EXPECT_EQ(children[0].attribute("value"), "Steklo & Glass");
    EXPECT_EQ(children[1].attribute("value"), "3");
    EXPECT_EQ(children[1].attributes.size(), 2u);
    EXPECT_TRUE(children[2].attributes.empty());
    EXPECT_EQ(children[2].attribute("id"), std::nullopt);
}

TEST(PlatformXml, malformedOrMissingFilesRaise) {
    TempFolder temp;
    writeFile(temp / "broken.xml", "<record><string id=\"a\"></record>");
    EXPECT_THROW(readDocumentChildren(temp / "broken.xml"), XmlError);
    writeFile(temp / "empty.xml", "<!-- only a comment -->");
    EXPECT_THROW(readDocumentChildren(temp / "empty.xml"), XmlError);
    EXPECT_THROW(readDocumentChildren(temp / "missing.xml"), IoError);
}

} // namespace
} // namespace orbisto::platform
