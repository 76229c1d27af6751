#pragma once

#include "platform/Errors.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

struct archive;
struct archive_entry;

namespace orbisto::platform {

// An archive that cannot be read on: damaged, truncated, of a kind not read, or encrypted.
class ArchiveReadError : public Error {
public:
    explicit ArchiveReadError(bool encrypted);
    bool encrypted() const noexcept { return encrypted_; }

private:
    bool encrypted_;
};

// One entry's header.
struct ArchiveEntry {
    std::optional<std::string> path; // as stored (UTF-8 where the archive says so); nothing when unnamed
    bool plainFile = false;          // no folder, link of either kind, device or FIFO
    bool encrypted = false;
    std::optional<std::uint64_t> size; // when the header tells it
};

// Reads the entries of an archive in memory, one after the other: zip, 7z, rar (4 and 5) and tar,
// the tar also compressed with gzip, bzip2 or xz. The bytes must outlive the reader.
class ArchiveReader {
public:
    // Raises ArchiveReadError for empty bytes or bytes of no kind read.
    explicit ArchiveReader(std::span<const std::uint8_t> bytes);
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    // The next entry's header, passing over what is left of the current entry's data; nothing at the
    // end of the archive.
    std::optional<ArchiveEntry> next();
    // Reads the current entry's data into `buffer`: the number of bytes read, 0 at its end.
    std::size_t read(std::span<std::uint8_t> buffer);
    // How many bytes of the archive have been read so far.
    std::uint64_t packedBytesRead() const;

private:
    [[noreturn]] void fail() const;

    struct Free {
        void operator()(archive* reader) const;
    };
    std::unique_ptr<archive, Free> reader_;
    archive_entry* entry_ = nullptr;
    bool ended_ = false; // libarchive refuses a header asked for after the end
};

} // namespace orbisto::platform
