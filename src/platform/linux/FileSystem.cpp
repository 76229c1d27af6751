#include "platform/FileSystem.h"

#include "platform/Errors.h"
#include "platform/NamePattern.h"
#include "platform/PathText.h"
#include "platform/Text.h"
#include "platform/linux/MissingPath.h"
#include "platform/linux/TempFile.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

namespace orbisto::platform {

namespace {

bool isHiddenName(std::string_view name) {
    return !name.empty() && name.front() == '.';
}

[[noreturn]] void throwErrno(int err) {
    throw IoError::fromErrno(err);
}

struct FolderCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

constexpr std::size_t kReadPiece = 1 << 16;

// Reads `in` to its end, handing each piece read to `take(bytes, size)`, which returns whether to
// read on.
template <typename Take> void readAll(int in, Take take) {
    char buffer[kReadPiece];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwErrno(errno);
        }
        if (got == 0) {
            return;
        }
        if (!take(buffer, static_cast<std::size_t>(got))) {
            return;
        }
    }
}

} // namespace

std::vector<FolderEntry> LocalFileSystem::scanFolder(const Path& folder, std::string_view pattern) const {
    std::vector<FolderEntry> entries;
    if (folder.empty()) {
        return entries;
    }
    std::unique_ptr<DIR, FolderCloser> dir(::opendir(folder.c_str()));
    if (!dir) {
        return entries;
    }
    const int dirFd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (isHiddenName(name) || !matchesPattern(pattern, name)) {
            continue;
        }
        // The entry's type comes with the listing on most file systems; links and file systems that
        // do not say need a stat.
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type != DT_DIR && entry->d_type != DT_REG) {
            struct stat info {};
            if (::fstatat(dirFd, entry->d_name, &info, 0) != 0) {
                continue; // a dangling link is nothing to list
            }
            // Sockets, devices and pipes play the part of system entries.
            if (!S_ISDIR(info.st_mode) && !S_ISREG(info.st_mode)) {
                continue;
            }
            isFolder = S_ISDIR(info.st_mode);
        }
        entries.push_back({std::string(name), isFolder});
    }
    return sortedByName(std::move(entries));
}

bool LocalFileSystem::isPlainFile(const Path& file) const {
    struct stat info {};
    return !file.empty() && !isHiddenName(file.filename().native()) && ::stat(file.c_str(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

bool LocalFileSystem::folderExists(const Path& folder) const {
    struct stat info {};
    return !folder.empty() && ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool LocalFileSystem::exists(const Path& path) const {
    struct stat info {};
    return !path.empty() && ::lstat(path.c_str(), &info) == 0;
}

void LocalFileSystem::createFolder(const Path& folder) {
    if (folder.empty()) {
        throw IoError(3);
    }
    if (::mkdir(folder.c_str(), 0777) != 0) {
        throwErrnoFor(errno, folder);
    }
}

void LocalFileSystem::createFolders(const Path& folder) {
    if (folder.empty()) {
        throw IoError(3);
    }
    Path partial;
    for (const Path& part : folder) {
        partial /= part;
        if (part.empty() || part == "/" || part == "." || part == "..") {
            continue;
        }
        if (::mkdir(partial.c_str(), 0777) != 0) {
            const int err = errno;
            if (err == EEXIST && folderExists(partial)) {
                continue;
            }
            throwErrno(err == EEXIST ? ENOTDIR : err);
        }
    }
}

void LocalFileSystem::copyFile(const Path& source, const Path& target) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        throwErrnoFor(errno, source);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closeIn{in};
    struct stat info {};
    if (::fstat(in, &info) != 0) {
        throwErrno(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        throw IoError(5);
    }
    struct stat targetInfo {};
    if (::stat(target.c_str(), &targetInfo) == 0 && S_ISDIR(targetInfo.st_mode)) {
        throw IoError(5);
    }
    // The copy goes to a hidden name beside the target and replaces it only when complete.
    TempFile temp(target);
    readAll(in, [&](const char* bytes, std::size_t size) {
        temp.write(bytes, size);
        return true;
    });
    // Like the Windows copy, the target takes the source's attributes (the read-only flag included).
    temp.commit(info.st_mode & 07777);
}

void LocalFileSystem::rename(const Path& from, const Path& to) {
    struct stat fromInfo {};
    if (::lstat(from.c_str(), &fromInfo) != 0) {
        throwErrnoFor(errno, from);
    }
    // Only a file replaces an existing file; anything else meets an existing name with a refusal.
    struct stat toInfo {};
    if (::stat(to.c_str(), &toInfo) == 0 && !(toInfo.st_dev == fromInfo.st_dev && toInfo.st_ino == fromInfo.st_ino)) {
        if (S_ISDIR(fromInfo.st_mode)) {
            throw IoError(183);
        }
        if (S_ISDIR(toInfo.st_mode)) {
            throw IoError(5);
        }
    }
    if (::rename(from.c_str(), to.c_str()) == 0) {
        return;
    }
    const int err = errno;
    if (err == EXDEV && S_ISREG(fromInfo.st_mode)) {
        copyFile(from, to);
        if (::unlink(from.c_str()) != 0) {
            throwErrno(errno);
        }
        return;
    }
    if (err == EXDEV) {
        throw IoError(17); // ERROR_NOT_SAME_DEVICE
    }
    throwErrno(err == EISDIR ? EACCES : err == ENOTEMPTY ? EEXIST : err);
}

void LocalFileSystem::removeFile(const Path& file) {
    struct stat info {};
    if (::lstat(file.c_str(), &info) != 0) {
        if (errno == ENOENT) {
            return;
        }
        throwErrno(errno);
    }
    if (S_ISDIR(info.st_mode) || (S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0)) {
        throw IoError(5);
    }
    if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
        throwErrno(errno);
    }
}

void LocalFileSystem::removeTree(const Path& folder) {
    // Like the shell's delete without questions, read-only files inside go too.
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    if (error) {
        throwErrno(error.value());
    }
}

void LocalFileSystem::makeWritable(const Path& file) noexcept {
    struct stat info {};
    if (::stat(file.c_str(), &info) == 0) {
        ::chmod(file.c_str(), (info.st_mode & 07777) | S_IWUSR);
    }
}

namespace {

// Reads an open file to its end; `size` is what fstat gave, so the last read can stop at it.
std::vector<std::uint8_t> readOpenFile(int fd, off_t size) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(size));
    readAll(fd, [&](const char* piece, std::size_t got) {
        bytes.insert(bytes.end(), piece, piece + got);
        // A short read that reached the size: no further read to see the end.
        return !(bytes.size() == static_cast<std::size_t>(size) && got < kReadPiece);
    });
    return bytes;
}

struct FileCloser {
    int fd;
    ~FileCloser() { ::close(fd); }
};

} // namespace

std::vector<std::uint8_t> LocalFileSystem::readFile(const Path& file) const {
    // Non-blocking, so that a pipe under the name cannot stall the open; only plain files are read.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        throwErrnoFor(errno, file);
    }
    const FileCloser closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        throwErrno(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        throw IoError(5);
    }
    return readOpenFile(fd, info.st_size);
}

std::optional<std::vector<std::uint8_t>> LocalFileSystem::readPlainFile(const Path& file) const {
    if (file.empty() || isHiddenName(file.filename().native())) {
        return std::nullopt;
    }
    // Non-blocking, so that a pipe under a marker's name cannot stall the open.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return std::nullopt;
    }
    const FileCloser closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    try {
        return readOpenFile(fd, info.st_size);
    } catch (const IoError&) {
        return std::nullopt;
    }
}

namespace {

std::int64_t nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

FileIdentity identityOf(const struct stat& info, bool hidden) {
    const FileIdentity::Kind kind = hidden                  ? FileIdentity::Kind::Other
                                    : S_ISDIR(info.st_mode) ? FileIdentity::Kind::Folder
                                    : S_ISREG(info.st_mode) ? FileIdentity::Kind::File
                                                            : FileIdentity::Kind::Other;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino),
                        static_cast<std::uint64_t>(info.st_size),
                        nanoseconds(info.st_mtim),
                        nanoseconds(info.st_ctim),
                        static_cast<std::uint32_t>(info.st_mode),
                        kind};
}

} // namespace

std::optional<FileIdentity> LocalFileSystem::identity(const Path& path) const {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return identityOf(info, isHiddenName(path.filename().native()));
}

FileVersion LocalFileSystem::readPlainFileVersion(const Path& file) const {
    if (file.empty() || isHiddenName(file.filename().native())) {
        return {identity(file), std::nullopt};
    }
    // Non-blocking, so that a pipe under the name cannot stall the open.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        // Missing needs no second look; anything else (no permission) may still have an identity.
        return {errno == ENOENT ? std::nullopt : identity(file), std::nullopt};
    }
    const FileCloser closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return {};
    }
    FileVersion version{identityOf(info, false), std::nullopt};
    if (S_ISREG(info.st_mode)) {
        try {
            version.content = readOpenFile(fd, info.st_size);
        } catch (const IoError&) {
        }
    }
    return version;
}

std::uintmax_t LocalFileSystem::fileSize(const Path& file) const {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        throwErrnoFor(errno, file);
    }
    if (S_ISDIR(info.st_mode)) {
        throw IoError(5);
    }
    return static_cast<std::uintmax_t>(info.st_size);
}

Path LocalFileSystem::createPrivateFolder(const Path& parent, std::string_view prefix) {
    if (parent.empty()) {
        throw IoError(3);
    }
    // mkdtemp creates the folder with mode 0700 whatever the umask.
    std::string pattern = toText(parent / toPath(std::string(prefix) + "XXXXXX"));
    if (::mkdtemp(pattern.data()) == nullptr) {
        throwErrno(errno);
    }
    return toPath(pattern);
}

void LocalFileSystem::writeNewFile(const Path& file, std::span<const std::uint8_t> bytes) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        throwErrno(errno);
    }
    try {
        const FileCloser closer{fd};
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throwErrno(errno);
            }
            done += static_cast<std::size_t>(written);
        }
    } catch (...) {
        ::unlink(file.c_str());
        throw;
    }
}

namespace {

// The nearest folder that exists, going up from `folder` (itself when it exists).
Path nearestExistingFolder(const FileSystem& fs, const Path& folder) {
    Path existing = folder;
    while (!existing.empty() && !fs.folderExists(existing)) {
        const Path parent = existing.parent_path();
        if (parent == existing) {
            break;
        }
        existing = parent;
    }
    return existing.empty() ? Path(".") : existing;
}

} // namespace

void LocalFileSystem::copyFileUnflushed(const Path& source, const Path& target) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        throwErrnoFor(errno, source);
    }
    const FileCloser closeIn{in};
    struct stat info {};
    if (::fstat(in, &info) != 0) {
        throwErrno(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        throw IoError(5);
    }
    struct stat targetInfo {};
    if (::lstat(target.c_str(), &targetInfo) == 0) {
        if (S_ISDIR(targetInfo.st_mode)) {
            throw IoError(5);
        }
        // A file left under this name (a read-only one too) goes first, so the write never follows a link.
        if (::unlink(target.c_str()) != 0 && errno != ENOENT) {
            throwErrno(errno);
        }
    }
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (out < 0) {
        throwErrnoFor(errno, target);
    }
    try {
        const FileCloser closeOut{out};
        readAll(in, [&](const char* bytes, std::size_t size) {
            for (std::size_t done = 0; done < size;) {
                const ssize_t written = ::write(out, bytes + done, size - done);
                if (written < 0) {
                    if (errno == EINTR) {
                        continue;
                    }
                    throwErrno(errno);
                }
                done += static_cast<std::size_t>(written);
            }
            return true;
        });
        // Like the Windows copy, the target takes the source's attributes (the read-only flag included).
        if (::fchmod(out, info.st_mode & 07777) != 0) {
            throwErrno(errno);
        }
    } catch (...) {
        ::unlink(target.c_str());
        throw;
    }
}

void LocalFileSystem::flushFiles(std::span<const Path> files) {
    // One syncfs per file system the files lie on: a single wait for the disk. An fdatasync of each
    // file, once all are written, waits for one journal commit per file and measured twice as slow
    // for a ball's 21 frames (bench/README.md, "install one ball"). Since Linux 5.8 syncfs reports
    // a write-back error of the file system, as fdatasync would.
    std::vector<std::pair<dev_t, Path>> devices;
    for (const Path& file : files) {
        struct stat info {};
        if (::lstat(file.c_str(), &info) != 0) {
            throwErrnoFor(errno, file);
        }
        if (std::none_of(devices.begin(), devices.end(), [&](const auto& seen) { return seen.first == info.st_dev; })) {
            devices.emplace_back(info.st_dev, file);
        }
    }
    for (const auto& [device, file] : devices) {
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) {
            throwErrnoFor(errno, file);
        }
        const FileCloser closer{fd};
        if (::syncfs(fd) != 0) {
            throwErrno(errno);
        }
    }
}

void LocalFileSystem::flushFolder(const Path& folder) noexcept {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void LocalFileSystem::checkWritableFolder(const Path& folder) const {
    // A hidden probe file created and removed again: permissions, a read-only mount, a full disk and
    // whatever else refuses a new file all show, as they would at the install.
    const Path existing = nearestExistingFolder(*this, folder);
    std::string probe = (existing / ".orbisto-write-check-XXXXXX").native();
    const int fd = ::mkostemp(probe.data(), O_CLOEXEC);
    if (fd < 0) {
        throwErrno(errno);
    }
    ::close(fd);
    ::unlink(probe.c_str());
}

void LocalFileSystem::checkReplaceable(const Path& file) const {
    // Linux lets a file held open by another program be renamed and replaced; only what stands
    // under the name counts.
    struct stat info {};
    if (::lstat(file.c_str(), &info) != 0) {
        if (errno == ENOENT) {
            return;
        }
        throwErrnoFor(errno, file);
    }
    if (S_ISDIR(info.st_mode)) {
        throw IoError(5);
    }
}

FileSystem& localFileSystem() {
    static LocalFileSystem instance;
    return instance;
}

Path executablePath() {
    std::error_code error;
    Path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? Path() : path;
}

Path workingFolder() {
    std::error_code error;
    Path path = std::filesystem::current_path(error);
    return error ? Path() : path;
}

Path temporaryFolder() {
    std::error_code error;
    Path path = std::filesystem::temp_directory_path(error);
    return error ? Path("/tmp") : path;
}

long currentProcessId() noexcept {
    return static_cast<long>(::getpid());
}

bool processRunning(long id) noexcept {
    // EPERM: it runs, under another user.
    return id > 0 && (::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM);
}

} // namespace orbisto::platform
