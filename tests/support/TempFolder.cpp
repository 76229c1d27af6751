#include "support/TempFolder.h"

#include <png.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <random>
#include <stdexcept>
#include <unistd.h>

namespace orbisto::test {

namespace {

const char* const kFrames[] = {"ball_11.png", "ball_12.png", "ball_13.png", "ball_21.png", "ball_22.png",
                               "ball_23.png", "ball_31.png", "ball_32.png", "ball_33.png", "ball_41.png",
                               "ball_42.png", "ball_43.png", "ball_51.png", "ball_52.png", "ball_53.png",
                               "ball_61.png", "ball_62.png", "ball_63.png", "ball_71.png", "ball_72.png",
                               "ball_73.png"};

void appendTag(std::vector<std::uint8_t>& bytes, const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    const auto length = static_cast<std::uint32_t>(text.size() + 4);
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
    }
}

} // namespace

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    path_ = fs::temp_directory_path() /
            ("orbisto-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
             std::to_string(random()));
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Frames made read-only by a test must not keep the folder alive.
    for (auto it = fs::recursive_directory_iterator(path_, ignored); it != fs::recursive_directory_iterator();
         it.increment(ignored)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(path_, ignored);
}

void writeFile(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    if (file.has_parent_path()) {
        fs::create_directories(file.parent_path());
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write test file " + file.string());
    }
}

void writeFile(const fs::path& file, std::string_view text) {
    writeFile(file, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::uint8_t> readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read test file " + file.string());
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string readText(const fs::path& file) {
    const auto bytes = readBytes(file);
    return {bytes.begin(), bytes.end()};
}

std::string utf16le(std::u16string_view text) {
    std::string out = "\xFF\xFE";
    for (const char16_t unit : text) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
    return out;
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::uint8_t> makePng(int width, int height, std::uint32_t rgba) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = static_cast<std::uint8_t>(rgba >> 24);
        pixels[i + 1] = static_cast<std::uint8_t>(rgba >> 16);
        pixels[i + 2] = static_cast<std::uint8_t>(rgba >> 8);
        pixels[i + 3] = static_cast<std::uint8_t>(rgba);
    }
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr)) {
        throw std::runtime_error("libpng cannot size the test image");
    }
    std::vector<std::uint8_t> bytes(size);
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), 0, nullptr)) {
        throw std::runtime_error("libpng cannot encode the test image");
    }
    bytes.resize(size);
    return bytes;
}

void writeMarker(const fs::path& folder, std::string_view lines) {
    writeFile(folder / "tst.ini", "[Sys]\r\n" + std::string(lines) + "\r\n");
}

fs::path makeLibraryBall(const fs::path& appFolder, const std::string& brand, const std::string& ball, bool tagged,
                         bool listed) {
    const fs::path brandFolder = appFolder / "balls" / brand;
    const fs::path ballFolder = brandFolder / ball;
    fs::create_directories(ballFolder);
    if (listed) {
        writeMarker(brandFolder, "Auth=1");
        writeMarker(ballFolder, "Auth=1");
    }
    std::uint32_t colour = 0x20406000u | 0xFFu;
    for (const char* frame : kFrames) {
        auto bytes = makePng(17, 17, colour);
        colour += 0x01000000u;
        if (tagged) {
            appendTag(bytes, brand + "|" + ball);
        }
        writeFile(ballFolder / frame, bytes);
    }
    return ballFolder;
}

} // namespace orbisto::test
