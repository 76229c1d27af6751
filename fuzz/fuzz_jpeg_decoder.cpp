// JPEG decoder: any bytes decode to a picture whose pixel buffer matches its size, or raise
// ImageError with a reason; nothing else escapes and no byte outside the input is read.

#include "FuzzSupport.h"
#include "platform/Errors.h"
#include "platform/Image.h"

using namespace orbisto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const Image image = platform::decodeJpegBytes(data, size);
        fuzz::check(!image.empty(), "a decoded picture has pixels");
        fuzz::check(image.rgba.size() == static_cast<std::size_t>(image.width) * image.height * 4,
                    "the pixel buffer holds width x height RGBA pixels");
    } catch (const ImageError& error) {
        fuzz::check(error.what()[0] != '\0', "a refused picture says why");
    }
    return 0;
}
