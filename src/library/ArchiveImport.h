#pragma once

#include "library/ArchiveProblem.h"
#include "library/Library.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto::library {

// What an archive may hold before it is refused: guards against archive bombs and full disks.
struct ArchiveLimits {
    std::size_t maxEntries = 2000;
    std::uint64_t maxEntrySize = 16u << 20;
    std::uint64_t maxTotalSize = 128u << 20;
    // An entry may not unpack to more than this many times the archive bytes read up to its end.
    std::uint64_t maxExpansion = 200;
};

// An archive that is refused; what() is a built-in English text, the window shows the language's.
class ArchiveError : public Error {
public:
    explicit ArchiveError(ArchiveProblem problem);
    ArchiveProblem problem() const noexcept { return problem_; }

private:
    ArchiveProblem problem_;
};

// True for a file name with an archive extension we read: .zip, .7z, .rar, .tar, .tar.gz, .tgz,
// .tar.bz2, .tbz2, .tar.xz, .txz (any case).
bool isArchiveName(std::string_view fileName);
// The same names as file patterns for a file chooser: "*.zip *.7z ... *.txz".
std::string archiveFilePatterns();
// The file name without its archive extension ("Comet.tar.gz" -> "Comet").
std::string archiveBaseName(std::string_view fileName);

// An entry's path made safe: its '/'- or '\'-separated parts joined by '/', "." parts dropped.
// Nothing for a path that could lead anywhere but below the folder it is unpacked in: absolute
// paths, drive letters, ".." parts, empty results, NUL or other control characters.
std::optional<std::string> safeEntryPath(std::string_view path);

// A folder of the archive holding all 21 frames (names matched ignoring case).
struct BallSet {
    std::string folder; // path inside the archive, parts joined by '/'; empty for the top level
    // Every PNG file of the folder: its entry's position in the archive and the name it is written
    // under (frames in lower case, other PNG files as they are named).
    struct File {
        std::size_t entry;
        std::string name;
    };
    std::vector<File> files;
};

// The ball sets an archive offers. Without any, `missingFrames` names the frames the folder with
// the most of them lacks (all 21 when no folder holds a frame).
struct ArchiveBalls {
    std::vector<BallSet> sets; // sorted by folder
    std::vector<std::string> missingFrames;
};

// Reads an archive's entries (no data is unpacked) and finds its ball sets. Only plain files with
// safe paths count; links, devices and FIFOs are passed over. Raises ArchiveError.
ArchiveBalls findBallSets(std::span<const std::uint8_t> archive, const ArchiveLimits& limits = {});

// The name a set suggests for the ball: its folder's name, or the archive's name for a set at the top.
std::string suggestedBallName(const BallSet& set, std::string_view archiveFileName);

// A private temporary folder holding one unpacked ball set; removed with everything in it when
// destroyed. Its name tells the process that made it, so a later start can remove it after a crash.
class UnpackedBall {
public:
    UnpackedBall(platform::FileSystem& fs, const Path& tempRoot);
    ~UnpackedBall();
    UnpackedBall(const UnpackedBall&) = delete;
    UnpackedBall& operator=(const UnpackedBall&) = delete;

    const Path& folder() const { return folder_; }

private:
    platform::FileSystem& fs_;
    Path folder_;
};

// Unpacks `set` of `archive` into `target` (an empty private folder): only the set's PNG files, each
// written new under its name, so nothing is created anywhere else. The limits hold for the bytes
// actually unpacked. Raises ArchiveError or the file system's IoError.
void unpackBallSet(platform::FileSystem& fs, std::span<const std::uint8_t> archive, const BallSet& set,
                   const Path& target, const ArchiveLimits& limits = {});

// Reads an archive file whole, refusing one larger than the limits allow to unpack.
std::vector<std::uint8_t> readArchiveFile(const platform::FileSystem& fs, const Path& file,
                                          const ArchiveLimits& limits = {});

// Removes the unpack folders in `tempRoot` whose process no longer runs (left by a crash).
void removeStaleUnpackFolders(platform::FileSystem& fs, const Path& tempRoot);

// What a drop hands over.
enum class DropKind { Folder, Archive, Unsupported };
// One folder, or one file with an archive's name; anything else (several items, other files) is
// Unsupported.
DropKind classifyDrop(const platform::FileSystem& fs, const std::vector<Path>& paths);

} // namespace orbisto::library
