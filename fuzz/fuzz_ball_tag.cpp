// Ball tag trailer: reading never fails on a file of 4 bytes or more; writing keeps every byte
// before the old trailer and the tag read back is the tag written, also when written twice.

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "library/BallTag.h"
#include "platform/Errors.h"

using namespace orbisto;

namespace {

std::string trailer(const std::string& text) {
    std::string bytes = text;
    const auto length = static_cast<std::uint32_t>(text.size() + 4);
    for (int shift = 0; shift < 32; shift += 8) {
        bytes += static_cast<char>((length >> shift) & 0xFF);
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string first = input.ConsumeRandomLengthString(300);
    const std::string second = input.ConsumeRandomLengthString(300);
    const std::string content = input.ConsumeRemainingBytesAsString();
    const auto file = fuzz::scratchFolder() / "ball_73.png";
    fuzz::writeBytes(file, content);

    if (content.size() < 4) {
        bool readFailed = false;
        try {
            library::ReadBallTag(file);
        } catch (const IoError&) {
            readFailed = true;
        }
        fuzz::check(readFailed, "a file shorter than 4 bytes cannot be read");
        bool writeFailed = false;
        try {
            library::SaveToExe(file, first);
        } catch (const IoError&) {
            writeFailed = true;
        }
        fuzz::check(writeFailed, "a file shorter than 4 bytes cannot be tagged");
        fuzz::check(fuzz::readBytes(file) == content, "a refused tag leaves the file as it was");
        return 0;
    }

    // The trailer length as the format defines it: signed, little-endian, 4 <= L <= size.
    const auto* tail = reinterpret_cast<const unsigned char*>(content.data() + content.size() - 4);
    const auto length = static_cast<std::int64_t>(
        static_cast<std::int32_t>(tail[0] | (tail[1] << 8) | (tail[2] << 16) | (std::uint32_t(tail[3]) << 24)));
    const auto fileSize = static_cast<std::int64_t>(content.size());
    const bool tagged = length >= 4 && length <= fileSize;
    const std::string own = tagged ? content.substr(0, static_cast<std::size_t>(fileSize - length)) : content;
    const std::string oldTag =
        tagged ? content.substr(own.size(), static_cast<std::size_t>(length - 4)) : std::string();

    fuzz::check(library::ReadBallTag(file) == oldTag, "the tag read is the one the trailer holds");

    library::SaveToExe(file, first);
    fuzz::check(fuzz::readBytes(file) == own + trailer(first), "a written tag replaces only the old trailer");
    fuzz::check(library::ReadBallTag(file) == first, "the tag read back is the tag written");

    library::SaveToExe(file, second);
    fuzz::check(fuzz::readBytes(file) == own + trailer(second), "tagging twice leaves exactly one tag");
    fuzz::check(library::ReadBallTag(file) == second, "the second tag reads back");
    return 0;
}
