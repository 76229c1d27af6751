#include "platform/Image.h"

#include <csetjmp>
#include <cstdio>
#include <png.h>
#include <string>

// jpeglib.h needs FILE and size_t declared first.
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <jpeglib.h>

namespace orbisto::platform {

namespace {

// Larger pictures are refused rather than allocated: a frame is a few hundred pixels wide.
constexpr std::uint64_t kMaxPixels = 64ull * 1024 * 1024;
constexpr unsigned kMaxSide = 32768;

void checkSize(std::uint64_t width, std::uint64_t height) {
    if (width == 0 || height == 0) {
        throw ImageError("The picture has no pixels");
    }
    if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels) {
        throw ImageError("The picture is too large (" + std::to_string(width) + "x" + std::to_string(height) + ")");
    }
}

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back here.
struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onJpegError(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    manager->base.format_message(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void ignoreJpegMessage(j_common_ptr, int) {}

struct JpegJob {
    const std::uint8_t* data;
    std::size_t size;
    Image* image;
    JpegErrorManager* errors;
    const char* failure; // set when the picture is refused before libjpeg fails
};

// Holds no object with a destructor, so the jump out of libjpeg skips nothing.
bool decodeJpeg(jpeg_decompress_struct* info, JpegJob* job) {
    info->err = jpeg_std_error(&job->errors->base);
    job->errors->base.error_exit = onJpegError;
    job->errors->base.emit_message = ignoreJpegMessage;
    if (setjmp(job->errors->jump) != 0) {
        jpeg_destroy_decompress(info);
        return false;
    }
    jpeg_create_decompress(info);
    jpeg_mem_src(info, job->data, static_cast<unsigned long>(job->size));
    jpeg_read_header(info, TRUE);
    const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
    info->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    if (info->image_width == 0 || info->image_height == 0 || info->image_width > kMaxSide ||
        info->image_height > kMaxSide ||
        static_cast<std::uint64_t>(info->image_width) * info->image_height > kMaxPixels) {
        job->failure = "The picture is too large";
        jpeg_destroy_decompress(info);
        return false;
    }
    jpeg_start_decompress(info);
    Image* image = job->image;
    image->width = static_cast<int>(info->output_width);
    image->height = static_cast<int>(info->output_height);
    image->rgba.resize(static_cast<std::size_t>(info->output_width) * info->output_height * 4);
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = image->rgba.data() + static_cast<std::size_t>(info->output_scanline) * info->output_width * 4;
        jpeg_read_scanlines(info, &row, 1);
    }
    if (cmyk) {
        // Adobe writes CMYK inverted; each pixel becomes RGB scaled by K.
        for (std::size_t i = 0; i < image->rgba.size(); i += 4) {
            const unsigned k = image->rgba[i + 3];
            for (std::size_t c = 0; c < 3; ++c) {
                image->rgba[i + c] = static_cast<std::uint8_t>(image->rgba[i + c] * k / 255);
            }
            image->rgba[i + 3] = 255;
        }
    }
    jpeg_finish_decompress(info);
    jpeg_destroy_decompress(info);
    return true;
}

// Checks that every chunk's declared length fits in the data. libpng would find out too, but only
// after allocating and clearing a buffer of that length: gigabytes for a 60-byte hostile file.
void checkPngChunks(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kSignature = 8;
    std::size_t pos = kSignature;
    while (size >= kSignature && pos + 8 <= size) {
        const std::uint32_t length = (std::uint32_t{data[pos]} << 24) | (std::uint32_t{data[pos + 1]} << 16) |
                                     (std::uint32_t{data[pos + 2]} << 8) | std::uint32_t{data[pos + 3]};
        std::string type(reinterpret_cast<const char*>(data + pos + 4), 4);
        for (char& c : type) { // the type names the chunk in the error text: printable only
            if (c < 0x20 || c > 0x7E) {
                c = '?';
            }
        }
        if (length > 0x7FFFFFFFu || length + 12ull > size - pos) {
            throw ImageError(type + ": chunk longer than the file");
        }
        if (type == "IEND") {
            return;
        }
        pos += length + 12ull;
    }
}

} // namespace

Image decodePngBytes(const std::uint8_t* data, std::size_t size) {
    checkPngChunks(data, size);
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data, size)) {
        throw ImageError(png.message[0] ? png.message : "Not a PNG picture");
    }
    try {
        checkSize(png.width, png.height);
    } catch (...) {
        png_image_free(&png);
        throw;
    }
    png.format = PNG_FORMAT_RGBA;
    Image image;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.rgba.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr)) {
        const std::string reason = png.message[0] ? png.message : "The PNG picture is damaged";
        png_image_free(&png);
        throw ImageError(reason);
    }
    return image;
}

Image decodePngFile(const std::filesystem::path& file) {
    const auto bytes = localFileSystem().readFile(file);
    return decodePngBytes(bytes.data(), bytes.size());
}

Image decodeJpegBytes(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        throw ImageError("Empty JPEG file");
    }
    Image image;
    JpegErrorManager errors{};
    JpegJob job{data, size, &image, &errors, nullptr};
    jpeg_decompress_struct info{};
    if (!decodeJpeg(&info, &job)) {
        throw ImageError(job.failure ? job.failure : errors.message);
    }
    return image;
}

Image decodeJpegFile(const std::filesystem::path& file) {
    const auto bytes = localFileSystem().readFile(file);
    return decodeJpegBytes(bytes.data(), bytes.size());
}

} // namespace orbisto::platform
