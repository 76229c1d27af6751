#include "platform/Errors.h"
#include "platform/Image.h"
#include "platform/XmlReader.h"
#include "support/TempFolder.h"

#include <array>
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

// A JPEG of one colour at the best quality: `pixel` holds one grey value or red, green and blue.
std::vector<std::uint8_t> makeJpeg(int width, int height, const std::vector<std::uint8_t>& pixel) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = static_cast<int>(pixel.size());
    info.in_color_space = pixel.size() == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row;
    for (int x = 0; x < width; ++x) {
        row.insert(row.end(), pixel.begin(), pixel.end());
    }
    for (JSAMPROW rowPointer = row.data(); info.next_scanline < info.image_height;) {
        jpeg_write_scanlines(&info, &rowPointer, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

// Checks the size and that every pixel is `rgba` (colours within 3, alpha exact).
void expectImage(const Image& image, int width, int height, std::array<int, 4> rgba) {
    EXPECT_EQ(image.width, width);
    EXPECT_EQ(image.height, height);
    ASSERT_EQ(image.rgba.size(), static_cast<std::size_t>(width) * height * 4);
    for (std::size_t i = 0; i < image.rgba.size(); ++i) {
        ASSERT_NEAR(image.rgba[i], rgba[i % 4], i % 4 == 3 ? 0 : 3) << "byte " << i;
    }
}

TEST(PlatformPng, decodesATaggedFrameToRgbaWithAlpha) {
    auto frame = makePng(3, 2, 0x11223380);
    const std::string tag = "Alpha|Comet";
    frame.insert(frame.end(), tag.begin(), tag.end());
    frame.insert(frame.end(), {static_cast<std::uint8_t>(tag.size() + 4), 0, 0, 0});
    expectImage(decodePngBytes(frame.data(), frame.size()), 3, 2, {0x11, 0x22, 0x33, 0x80});
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
    EXPECT_THROW(decodePngFile(temp / "missing.png"), IoError);
}

TEST(PlatformJpeg, colourAndGreyPicturesDecodeToOpaqueRgbaAndOthersRaise) {
    const auto colour = makeJpeg(16, 8, {200, 100, 50});
    expectImage(decodeJpegBytes(colour.data(), colour.size()), 16, 8, {200, 100, 50, 255});
    TempFolder temp;
    writeFile(temp / "logo.jpg", makeJpeg(5, 3, {90}));
    expectImage(decodeJpegFile(temp / "logo.jpg"), 5, 3, {90, 90, 90, 255});

    writeFile(temp / "logo.jpg", "GIF89a not a jpeg");
    EXPECT_THROW(decodeJpegFile(temp / "logo.jpg"), ImageError);
    const auto png = makePng(2, 2, 0);
    EXPECT_THROW(decodeJpegBytes(png.data(), png.size()), ImageError);
    EXPECT_THROW(decodeJpegBytes(nullptr, 0), ImageError);
    EXPECT_THROW(decodeJpegFile(temp / "missing.jpg"), IoError);
}

TEST(PlatformXml, readsTheAttributesOfTheDocumentElementsChildrenInOrderOrRaises) {
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
    EXPECT_EQ(children[2].attribute("id"), std::nullopt);

    writeFile(temp / "broken.xml", "<record><string id=\"a\"></record>");
    EXPECT_THROW(readDocumentChildren(temp / "broken.xml"), XmlError);
    writeFile(temp / "empty.xml", "<!-- only a comment -->");
    EXPECT_THROW(readDocumentChildren(temp / "empty.xml"), XmlError);
    EXPECT_THROW(readDocumentChildren(temp / "missing.xml"), IoError);
}

} // namespace
} // namespace orbisto::platform
