#include "platform/RawFile.h"

#include "platform/Errors.h"
#include "platform/linux/MissingPath.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbisto::platform {

namespace {

int descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

// A write through a handle opened for reading is refused like on Windows, not reported as EBADF.
[[noreturn]] void throwErrno(int err) {
    throw IoError::fromErrno(err == EBADF ? EACCES : err);
}

} // namespace

RawFile::RawFile(const std::filesystem::path& file, Mode mode) {
    const int fd = ::open(file.c_str(), (mode == Mode::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0) {
        throwErrnoFor(errno == EISDIR ? EACCES : errno, file);
    }
    handle_ = fd;
    // The type and the read-only flag are checked on the open file: one call, and no gap between
    // the check and the open.
    struct stat info {};
    const bool known = ::fstat(descriptor(handle_), &info) == 0;
    const int err = errno;
    if (!known || S_ISDIR(info.st_mode) || (mode == Mode::ReadWrite && (info.st_mode & S_IWUSR) == 0)) {
        ::close(descriptor(handle_));
        handle_ = -1;
        if (!known) {
            throwErrno(err);
        }
        throw IoError(5);
    }
    size_ = static_cast<std::int64_t>(info.st_size);
}

RawFile::~RawFile() {
    if (handle_ >= 0) {
        ::close(descriptor(handle_));
    }
}

std::int64_t RawFile::size() const {
    return size_;
}

std::vector<std::uint8_t> RawFile::readAt(std::int64_t offset, std::size_t count) const {
    if (offset < 0) {
        throw IoError(100);
    }
    std::vector<std::uint8_t> bytes(count);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(descriptor(handle_), bytes.data() + done, count - done,
                                    static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwErrno(errno);
        }
        if (got == 0) {
            throw IoError(100);
        }
        done += static_cast<std::size_t>(got);
    }
    return bytes;
}

void RawFile::truncate(std::int64_t size) {
    if (size < 0) {
        throw IoError(3);
    }
    if (::ftruncate(descriptor(handle_), static_cast<off_t>(size)) != 0) {
        throwErrno(errno == EINVAL ? EBADF : errno);
    }
    size_ = size;
}

void RawFile::append(std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::pwrite(descriptor(handle_), bytes.data() + done, bytes.size() - done, static_cast<off_t>(size_));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwErrno(errno);
        }
        done += static_cast<std::size_t>(written);
        size_ += written;
    }
}

void RawFile::sync() {
    if (::fsync(descriptor(handle_)) != 0) {
        throwErrno(errno);
    }
}

} // namespace orbisto::platform
