#include "library/WriteCheck.h"

#include "platform/FileSystem.h"
#include "platform/PathText.h"

#include <utility>

namespace orbisto::library {

FolderNotWritable::FolderNotWritable(std::filesystem::path folder)
    : Error("Cannot write into the folder \"" + platform::toText(folder) + "\": " + IoError::textFor(5)),
      folder_(std::move(folder)) {}

void requireWritableFolder(const platform::FileSystem& fs, const std::filesystem::path& folder) {
    try {
        fs.checkWritableFolder(folder);
    } catch (const IoError& e) {
        if (e.code() == 5) {
            throw FolderNotWritable(folder);
        }
        throw Error("Cannot write into the folder \"" + platform::toText(folder) + "\": " + e.what());
    }
}

std::string messageWithPath(std::string_view message, const std::filesystem::path& path) {
    return std::string(message) + "\n" + platform::toText(std::filesystem::path(path).make_preferred());
}

} // namespace orbisto::library
