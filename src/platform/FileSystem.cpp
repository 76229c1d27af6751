#include "platform/FileSystem.h"

#include "platform/Errors.h"

namespace orbisto::platform {

Path FileSystem::createPrivateFolder(const Path& parent, std::string_view prefix) {
    return localFileSystem().createPrivateFolder(parent, prefix);
}

void FileSystem::writeNewFile(const Path& file, std::span<const std::uint8_t> bytes) {
    localFileSystem().writeNewFile(file, bytes);
}

std::optional<std::vector<std::uint8_t>> FileSystem::readPlainFile(const Path& file) const {
    if (!isPlainFile(file)) {
        return std::nullopt;
    }
    try {
        return readFile(file);
    } catch (const IoError&) {
        return std::nullopt;
    }
}

std::optional<FileIdentity> FileSystem::identity(const Path&) const {
    return std::nullopt;
}

FileVersion FileSystem::readPlainFileVersion(const Path& file) const {
    FileVersion version;
    version.identity = identity(file);
    version.content = readPlainFile(file);
    return version;
}

} // namespace orbisto::platform
