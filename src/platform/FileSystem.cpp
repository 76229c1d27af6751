#include "platform/FileSystem.h"

#include "platform/Errors.h"
#include "platform/Text.h"

#include <algorithm>
#include <utility>

namespace orbisto::platform {

std::vector<FolderEntry> sortedByName(std::vector<FolderEntry> entries) {
    // Each lower-case name is computed once; names equal but for case keep a fixed order too.
    std::vector<std::pair<std::string, std::size_t>> keys;
    keys.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        keys.emplace_back(toLowerLocale(entries[i].name), i);
    }
    std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : entries[a.second].name < entries[b.second].name;
    });
    std::vector<FolderEntry> sorted;
    sorted.reserve(entries.size());
    for (const auto& key : keys) {
        sorted.push_back(std::move(entries[key.second]));
    }
    return sorted;
}

namespace {

std::vector<std::string> namesOfKind(std::vector<FolderEntry> entries, bool folders) {
    std::vector<std::string> names;
    for (FolderEntry& entry : entries) {
        if (entry.isFolder == folders) {
            names.push_back(std::move(entry.name));
        }
    }
    return names;
}

} // namespace

std::vector<std::string> fileNames(std::vector<FolderEntry> entries) {
    return namesOfKind(std::move(entries), false);
}

std::vector<std::string> folderNames(std::vector<FolderEntry> entries) {
    return namesOfKind(std::move(entries), true);
}

std::vector<std::string> fileNames(const FileSystem& fs, const Path& folder, std::string_view pattern) {
    return fileNames(fs.scanFolder(folder, pattern));
}

std::vector<std::string> folderNames(const FileSystem& fs, const Path& folder, std::string_view pattern) {
    return folderNames(fs.scanFolder(folder, pattern));
}

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

void FileSystem::copyFileUnflushed(const Path& source, const Path& target) {
    copyFile(source, target);
}

void FileSystem::flushFiles(std::span<const Path>) {}

void FileSystem::flushFolder(const Path&) noexcept {}

void FileSystem::checkWritableFolder(const Path&) const {}

void FileSystem::checkReplaceable(const Path&) const {}

} // namespace orbisto::platform
