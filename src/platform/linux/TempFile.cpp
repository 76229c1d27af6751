#include "platform/linux/TempFile.h"

#include "platform/Errors.h"
#include "platform/PathText.h"
#include "platform/linux/MissingPath.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace orbisto::platform {

mode_t newFileMode() noexcept {
    // umask() can only be read by setting it, which would race with other threads; the kernel shows it
    // in /proc. The program never changes its umask, so it is read once.
    static const mode_t mode = [] {
        mode_t mask = 022;
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("Umask:", 0) == 0) {
                mask = static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
                break;
            }
        }
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

TempFile::TempFile(const std::filesystem::path& target) : target_(target) {
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string pattern = toText(folder / toPath("." + toText(target.filename()) + ".XXXXXX"));
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) {
        throwErrnoFor(errno, target);
    }
    temp_ = toPath(pattern);
}

TempFile::~TempFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
    }
}

void TempFile::write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd_, bytes, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw IoError::fromErrno(errno);
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

void TempFile::commit(mode_t mode) {
    if (::fchmod(fd_, mode) != 0 || ::fsync(fd_) != 0) {
        throw IoError::fromErrno(errno);
    }
    const int closeResult = ::close(fd_);
    fd_ = -1;
    if (closeResult != 0) {
        throw IoError::fromErrno(errno);
    }
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        throw IoError::fromErrno(errno == EISDIR ? EACCES : errno);
    }
    temp_.clear();
    // Make the rename itself durable; a failure here loses nothing that the rename did not already show.
    const std::filesystem::path folder = target_.has_parent_path() ? target_.parent_path() : ".";
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

} // namespace orbisto::platform
