#pragma once

#include "platform/Errors.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto::test {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return path_; }
    fs::path operator/(const fs::path& relative) const { return path_ / relative; }

private:
    fs::path path_;
};

// Writes a file (creating its folders) with the given bytes or text.
void writeFile(const fs::path& file, const std::vector<std::uint8_t>& bytes);
void writeFile(const fs::path& file, std::string_view text);
std::vector<std::uint8_t> readBytes(const fs::path& file);
std::string readText(const fs::path& file);
// Text as the bytes of a UTF-16 LE file: the byte-order mark, then each unit low byte first.
std::string utf16le(std::u16string_view text);
// The names in `folder`, sorted, hidden ones included (so a left-over temporary file shows).
std::vector<std::string> namesIn(const fs::path& folder);

// The code of the IoError that `action` raises (0 when it raises none).
template <typename Action> int ioErrorCode(Action action) {
    try {
        action();
    } catch (const IoError& error) {
        return error.code();
    }
    return 0;
}

// The text of the error of type E that `action` raises ("<no error>" when it raises none).
template <typename E = Error, typename Action> std::string errorText(Action action) {
    try {
        action();
    } catch (const E& error) {
        return error.what();
    }
    return "<no error>";
}

// A small valid PNG of one colour (RGBA, 0xRRGGBBAA), encoded with libpng.
std::vector<std::uint8_t> makePng(int width, int height, std::uint32_t rgba);

// Marker file tst.ini in `folder` with section Sys and the given key lines (e.g. "Auth=1").
void writeMarker(const fs::path& folder, std::string_view lines);

// A ball of the library below `appFolder`: balls/<brand>/<ball> with the 21 frames (tagged
// brand|ball when `tagged`), both marked Auth=1 unless `listed` is false.
fs::path makeLibraryBall(const fs::path& appFolder, const std::string& brand, const std::string& ball,
                         bool tagged = true, bool listed = true);

} // namespace orbisto::test
