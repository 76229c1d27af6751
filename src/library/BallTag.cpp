#include "library/BallTag.h"

#include "platform/Errors.h"
#include "platform/RawFile.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace orbisto::library {

namespace {

using platform::RawFile;

constexpr std::int64_t kLengthBytes = 4;

// The trailer length L stored in the last 4 bytes, or 0 when it is outside 4..size (no tag).
// A file shorter than 4 bytes fails the read with IoError.
std::int64_t trailerLength(const std::vector<std::uint8_t>& tail, std::int64_t size) {
    const std::uint8_t* bytes = tail.data() + tail.size() - kLengthBytes;
    const std::uint32_t raw = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
                              (static_cast<std::uint32_t>(bytes[2]) << 16) |
                              (static_cast<std::uint32_t>(bytes[3]) << 24);
    const auto length = static_cast<std::int64_t>(static_cast<std::int32_t>(raw));
    return (length < kLengthBytes || length > size) ? 0 : length;
}

std::int64_t trailerLength(const RawFile& file, std::int64_t size) {
    return trailerLength(file.readAt(size - kLengthBytes, kLengthBytes), size);
}

// Bytes read at once from the end of a file being tagged: the length field and, for a tag of
// usual length, the whole old trailer in one read.
constexpr std::int64_t kTailRead = 256;

std::vector<std::uint8_t> trailerFor(std::string_view text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    const auto length = static_cast<std::uint32_t>(text.size() + kLengthBytes);
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<std::uint8_t>(length >> shift));
    }
    return bytes;
}

} // namespace

std::string ReadBallTag(const std::filesystem::path& file) {
    const RawFile frame(file, RawFile::Mode::ReadOnly);
    const std::int64_t size = frame.size();
    const std::int64_t length = trailerLength(frame, size);
    if (length == 0) {
        return {};
    }
    const auto text = frame.readAt(size - length, static_cast<std::size_t>(length - kLengthBytes));
    return {text.begin(), text.end()};
}

bool hasBallTag(const std::filesystem::path& file) {
    const RawFile frame(file, RawFile::Mode::ReadOnly);
    const std::int64_t size = frame.size();
    return size >= kLengthBytes && trailerLength(frame, size) != 0;
}

void SaveToExe(const std::filesystem::path& file, std::string_view text) {
    RawFile frame(file, RawFile::Mode::ReadWrite);
    const std::int64_t size = frame.size();
    // A file shorter than 4 bytes fails this read, as the reader does.
    const std::int64_t tailSize = std::clamp(size, kLengthBytes, kTailRead);
    const std::vector<std::uint8_t> tail = frame.readAt(size - tailSize, static_cast<std::size_t>(tailSize));
    const std::int64_t oldLength = trailerLength(tail, size);
    const std::int64_t contentSize = size - oldLength;
    // Kept so that a write that fails half-way (a full disk) can put the old trailer back.
    const std::vector<std::uint8_t> oldTrailer =
        oldLength <= tailSize ? std::vector<std::uint8_t>(tail.end() - oldLength, tail.end())
                              : frame.readAt(contentSize, static_cast<std::size_t>(oldLength));
    const std::vector<std::uint8_t> newTrailer = trailerFor(text);

    frame.truncate(contentSize);
    try {
        frame.append(newTrailer);
    } catch (const Error&) {
        // The blocks of the old trailer were just freed, so putting it back normally succeeds;
        // the original failure is reported either way.
        try {
            frame.truncate(contentSize);
            frame.append(oldTrailer);
        } catch (const Error&) {
            // The original error below is the one the user needs to see.
        }
        throw;
    }
}

std::string ballTagText(std::string_view brand, std::string_view ball) {
    std::string text;
    text.reserve(brand.size() + 1 + ball.size());
    text.append(brand).append("|").append(ball);
    return text;
}

} // namespace orbisto::library
