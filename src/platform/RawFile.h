#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace orbisto::platform {

// A file opened for raw access by byte offset, closed when the object goes away.
// Opening for writing honours the read-only flag (see FileSystem). Failures raise IoError;
// reading past the end raises IoError 100 ("Read beyond end of file").
class RawFile {
public:
    enum class Mode { ReadOnly, ReadWrite };

    RawFile(const std::filesystem::path& file, Mode mode);
    ~RawFile();
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    std::int64_t size() const;
    // Reads exactly `count` bytes at `offset` (a negative offset or a short read is IoError 100).
    std::vector<std::uint8_t> readAt(std::int64_t offset, std::size_t count) const;
    void truncate(std::int64_t size);
    void append(std::span<const std::uint8_t> bytes);
    // Flushes written bytes to the disk.
    void sync();

private:
    // The file descriptor (Linux) or HANDLE (Windows); -1 is "none" on both.
    std::intptr_t handle_ = -1;
    // The file's size as this handle left it: only this handle changes the file while it is open.
    std::int64_t size_ = 0;
};

} // namespace orbisto::platform
