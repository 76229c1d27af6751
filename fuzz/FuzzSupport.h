#pragma once

// Helpers shared by the fuzz targets: a scratch folder per process, file writing and a check
// that stops the run with a message (libFuzzer records the input that got there).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "platform/Errors.h"
#include "platform/Image.h"

namespace orbisto::fuzz {

// A fresh folder, removed when the process ends. In memory (/dev/shm) where there is one: the core
// flushes every file it replaces to the disk, which would make each run wait for the disk.
inline const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path base =
            ::access("/dev/shm", W_OK) == 0 ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path();
        std::string pattern = (base / "orbisto-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        static std::filesystem::path removeAtExit;
        removeAtExit = pattern;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removeAtExit, ignored);
        });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

inline void writeBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        std::abort();
    }
}

inline std::string readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Stops the run when a property of the code under test does not hold.
inline void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "property violated: %s\n", what);
        std::abort();
    }
}

// The decoders' property: any bytes give a picture whose pixel buffer holds width x height RGBA
// pixels, or an ImageError that says why; nothing else escapes.
template <typename Decode> void checkDecoder(Decode decode, const std::uint8_t* data, std::size_t size) {
    try {
        const Image image = decode(data, size);
        check(!image.empty(), "a decoded picture has pixels");
        check(image.rgba.size() == static_cast<std::size_t>(image.width) * image.height * 4,
              "the pixel buffer holds width x height RGBA pixels");
    } catch (const ImageError& error) {
        check(error.what()[0] != '\0', "a refused picture says why");
    }
}

} // namespace orbisto::fuzz
