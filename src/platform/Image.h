#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace orbisto {

// A decoded picture: 8-bit RGBA, rows top to bottom, no padding.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba; // width * height * 4 bytes

    bool empty() const { return width == 0 || height == 0; }
};

} // namespace orbisto

namespace orbisto::platform {

// Decoders of the platform (libpng, libjpeg-turbo). A file that cannot be opened raises IoError;
// a file that is not a valid picture raises ImageError with the decoder's reason.
Image decodePngFile(const std::filesystem::path& file);
Image decodePngBytes(const std::uint8_t* data, std::size_t size);
Image decodeJpegFile(const std::filesystem::path& file);
Image decodeJpegBytes(const std::uint8_t* data, std::size_t size);

} // namespace orbisto::platform
