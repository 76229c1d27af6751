#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace orbisto::library {

// The ball tag trailer: a frame file's own bytes, then the tag text, then a 4-byte little-endian
// signed length L = text length + 4. A file has a tag when 4 <= L <= file size.

// Tag text of a file, or the empty text when it has none. The file is opened read-only.
// A file that cannot be opened, or is shorter than 4 bytes, raises IoError.
std::string ReadBallTag(const std::filesystem::path& file);

// True when the file carries a tag trailer (an empty tag too), by the same length rule as the reader.
// A file shorter than 4 bytes carries none. The file is opened read-only; one that cannot be opened
// raises IoError.
bool hasBallTag(const std::filesystem::path& file);

// Writes or replaces the tag of a file; the bytes before the trailer never change.
// A file that cannot be opened for writing (also a read-only one), or is shorter than 4 bytes,
// raises IoError and is left unchanged.
void SaveToExe(const std::filesystem::path& file, std::string_view text);

// The text a library frame carries: brand + "|" + ball.
std::string ballTagText(std::string_view brand, std::string_view ball);

} // namespace orbisto::library
