#include "platform/AtomicFile.h"

#include "platform/Errors.h"
#include "platform/linux/TempFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace orbisto::platform {

bool isReadOnlyFile(const std::filesystem::path& file) noexcept {
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0;
}

void replaceFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
    struct stat info {};
    mode_t mode = 0;
    if (::stat(target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode) || (info.st_mode & S_IWUSR) == 0) {
            throw IoError(5);
        }
        mode = info.st_mode & 07777; // a replaced file keeps its permissions
    } else {
        mode = newFileMode();
    }
    TempFile temp(target);
    temp.write(bytes.data(), bytes.size());
    temp.commit(mode);
}

} // namespace orbisto::platform
