#pragma once

#include "platform/Errors.h"

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

namespace orbisto::platform {

// The Windows code of a failed call on `path`. A missing name is code 2 when only its last part is
// missing and code 3 when a folder on its way is, as Windows tells a missing file from a missing path.
inline int codeForErrno(int err, const std::filesystem::path& path) {
    if (err == ENOENT && path.has_parent_path()) {
        struct stat info {};
        if (::stat(path.parent_path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            return 3;
        }
    }
    return IoError::codeFromErrno(err);
}

[[noreturn]] inline void throwErrnoFor(int err, const std::filesystem::path& path) {
    throw IoError(codeForErrno(err, path));
}

} // namespace orbisto::platform
