#pragma once

#include <cstddef>
#include <filesystem>
#include <sys/types.h>

namespace orbisto::platform {

// Permissions of a newly created file: rw for everyone, less the process's umask.
mode_t newFileMode() noexcept;

// A hidden temporary file beside `target` that becomes the target on commit(): its bytes are
// flushed to the disk, then it is renamed over the target. Destroyed without commit, it is removed.
class TempFile {
public:
    explicit TempFile(const std::filesystem::path& target);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd() const { return fd_; }
    void write(const void* data, std::size_t size);
    void commit(mode_t mode);

private:
    std::filesystem::path target_;
    std::filesystem::path temp_;
    int fd_ = -1;
};

} // namespace orbisto::platform
