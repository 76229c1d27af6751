// JPEG decoder: any bytes decode to a picture whose pixel buffer matches its size, or raise
// ImageError with a reason; nothing else escapes and no byte outside the input is read.

#include "FuzzSupport.h"
#include "platform/Image.h"

using namespace orbisto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::checkDecoder(platform::decodeJpegBytes, data, size);
    return 0;
}
