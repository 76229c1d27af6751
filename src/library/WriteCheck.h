#pragma once

#include "platform/Errors.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace orbisto::platform {
class FileSystem;
}

namespace orbisto::library {

// Raised before anything changed when a folder an operation has to write into refuses new files: a
// game under Program Files for a standard user, a library beside a program installed there, a folder
// protected by Controlled Folder Access. `folder` is the one refused.
class FolderNotWritable : public Error {
public:
    explicit FolderNotWritable(std::filesystem::path folder);
    const std::filesystem::path& folder() const noexcept { return folder_; }

private:
    std::filesystem::path folder_;
};

// Checks that a new file can be created in `folder` (a missing folder where it would be created).
// Raises FolderNotWritable when that is refused (code 5), and an Error naming the folder and the
// reason for any other failure. Leaves nothing behind.
void requireWritableFolder(const platform::FileSystem& fs, const std::filesystem::path& folder);

// A message of the language file followed by the path it is about, on a line of its own, written
// the way the system writes paths.
std::string messageWithPath(std::string_view message, const std::filesystem::path& path);

} // namespace orbisto::library
