#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace orbisto::test {

// One entry of an archive a test makes.
struct ArchiveEntry {
    enum class Type { File, Folder, Symlink, Hardlink, Device, Fifo };
    ArchiveEntry(std::string path_, std::vector<std::uint8_t> data_ = {}, Type type_ = Type::File,
                 std::string linkTarget_ = {})
        : path(std::move(path_)), data(std::move(data_)), type(type_), linkTarget(std::move(linkTarget_)) {}
    std::string path;
    std::vector<std::uint8_t> data;
    Type type = Type::File;
    std::string linkTarget; // of a symlink or hard link
};

enum class ArchiveFormat { Zip, SevenZip, Tar, TarGz, TarBz2, TarXz };

// An archive of the entries, written with libarchive. A passphrase encrypts a zip's entries.
std::vector<std::uint8_t> makeArchive(ArchiveFormat format, const std::vector<ArchiveEntry>& entries,
                                      const std::string& passphrase = {});

// The 21 frames as small distinct PNG files in `folder` ("" for the top level); `upperCase` names
// them "Ball_11.PNG" and so on.
std::vector<ArchiveEntry> frameEntries(const std::string& folder, bool upperCase = false);

// Appends the entries of `more` to `entries`.
void append(std::vector<ArchiveEntry>& entries, const std::vector<ArchiveEntry>& more);

} // namespace orbisto::test
