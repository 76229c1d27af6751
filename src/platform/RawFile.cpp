#include "platform/RawFile.h"

#include "platform/Errors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbisto::platform {

namespace {

// A write through a handle opened for reading is refused like on Windows, not reported as EBADF.
[[noreturn]] void throwErrno(int err) {
    throw IoError::fromErrno(err == EBADF ? EACCES : err);
}

} // namespace

RawFile::RawFile(const std::filesystem::path& file, Mode mode) {
    struct stat info {};
    if (::stat(file.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode) || (mode == Mode::ReadWrite && (info.st_mode & S_IWUSR) == 0)) {
            throw IoError(5);
        }
    }
    fd_ = ::open(file.c_str(), (mode == Mode::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd_ < 0) {
        throwErrno(errno == EISDIR ? EACCES : errno);
    }
}

RawFile::~RawFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::int64_t RawFile::size() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        throwErrno(errno);
    }
    return static_cast<std::int64_t>(info.st_size);
}

std::vector<std::uint8_t> RawFile::readAt(std::int64_t offset, std::size_t count) const {
    if (offset < 0) {
        throw IoError(100);
    }
    std::vector<std::uint8_t> bytes(count);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(fd_, bytes.data() + done, count - done,
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
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) {
        throwErrno(errno == EINVAL ? EBADF : errno);
    }
}

void RawFile::append(std::span<const std::uint8_t> bytes) {
    off_t offset = static_cast<off_t>(size());
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, offset);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwErrno(errno);
        }
        done += static_cast<std::size_t>(written);
        offset += written;
    }
}

void RawFile::sync() {
    if (::fsync(fd_) != 0) {
        throwErrno(errno);
    }
}

} // namespace orbisto::platform
