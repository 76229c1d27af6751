#include "platform/ArchiveReader.h"

#include <archive.h>
#include <archive_entry.h>
#include <new>

namespace orbisto::platform {

ArchiveReadError::ArchiveReadError(bool encrypted)
    : Error(encrypted ? "The archive is encrypted" : "The archive cannot be read"), encrypted_(encrypted) {}

void ArchiveReader::Free::operator()(archive* reader) const {
    archive_read_free(reader);
}

ArchiveReader::ArchiveReader(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        throw ArchiveReadError(false);
    }
    reader_.reset(archive_read_new());
    if (!reader_) {
        throw std::bad_alloc();
    }
    archive* a = reader_.get();
    archive_read_support_filter_gzip(a);
    archive_read_support_filter_bzip2(a);
    archive_read_support_filter_xz(a);
    archive_read_support_format_zip(a);
    archive_read_support_format_7zip(a);
    archive_read_support_format_rar(a);
    archive_read_support_format_rar5(a);
    archive_read_support_format_tar(a);
    // No format was chosen when the open fails, so there is nothing to ask about encryption.
    if (archive_read_open_memory(a, bytes.data(), bytes.size()) != ARCHIVE_OK) {
        throw ArchiveReadError(false);
    }
}

ArchiveReader::~ArchiveReader() = default;

void ArchiveReader::fail() const {
    const bool encrypted = (entry_ != nullptr && archive_entry_is_encrypted(entry_)) ||
                           archive_read_has_encrypted_entries(reader_.get()) > 0;
    throw ArchiveReadError(encrypted);
}

std::optional<ArchiveEntry> ArchiveReader::next() {
    archive* a = reader_.get();
    if (ended_) {
        return std::nullopt;
    }
    if (entry_ != nullptr) {
        // Passed over here rather than by the next header, so that damaged data is reported for its
        // own entry.
        const int skipped = archive_read_data_skip(a);
        if (skipped != ARCHIVE_OK && skipped != ARCHIVE_WARN) {
            fail();
        }
    }
    const int status = archive_read_next_header(a, &entry_);
    if (status == ARCHIVE_EOF) {
        entry_ = nullptr;
        ended_ = true;
        return std::nullopt;
    }
    // A warning (a name in another character set, say) still gives a usable entry.
    if (status != ARCHIVE_OK && status != ARCHIVE_WARN) {
        entry_ = nullptr;
        fail();
    }
    ArchiveEntry entry;
    const char* path = archive_entry_pathname_utf8(entry_);
    if (path == nullptr) {
        path = archive_entry_pathname(entry_);
    }
    if (path != nullptr) {
        entry.path = path;
    }
    entry.plainFile = archive_entry_filetype(entry_) == AE_IFREG && archive_entry_hardlink(entry_) == nullptr &&
                      archive_entry_symlink(entry_) == nullptr;
    entry.encrypted = archive_entry_is_encrypted(entry_) != 0;
    if (archive_entry_size_is_set(entry_)) {
        const la_int64_t size = archive_entry_size(entry_);
        entry.size = size > 0 ? static_cast<std::uint64_t>(size) : 0;
    }
    return entry;
}

std::size_t ArchiveReader::read(std::span<std::uint8_t> buffer) {
    const la_ssize_t got = archive_read_data(reader_.get(), buffer.data(), buffer.size());
    if (got < 0) {
        fail();
    }
    return static_cast<std::size_t>(got);
}

std::uint64_t ArchiveReader::packedBytesRead() const {
    const la_int64_t bytes = archive_filter_bytes(reader_.get(), -1);
    return bytes > 0 ? static_cast<std::uint64_t>(bytes) : 0;
}

} // namespace orbisto::platform
