#include "library/ArchiveImport.h"

#include "library/NameCheck.h"
#include "platform/ArchiveReader.h"
#include "platform/PathText.h"
#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <memory>
#include <new>

namespace orbisto::library {

namespace {

constexpr std::string_view kUnpackPrefix = "orbisto-unpack-";

// Below this many archive bytes read, the expansion test compares with this instead: the headers of
// a small archive alone would otherwise make any entry of some size look like a bomb.
constexpr std::uint64_t kMinPackedForExpansion = 4096;

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && lowerAscii(text.substr(text.size() - suffix.size())) == suffix;
}

// Every archive name read, in the order the file chooser lists them.
constexpr std::array<std::string_view, 10> kArchiveExtensions{".zip", ".7z",      ".rar",  ".tar",    ".tar.gz",
                                                              ".tgz", ".tar.bz2", ".tbz2", ".tar.xz", ".txz"};

// The longest extension the name ends in, so "Comet.tar.gz" is a ".tar.gz" and not a ".gz"-less ".tar".
std::optional<std::string_view> archiveExtension(std::string_view fileName) {
    std::optional<std::string_view> found;
    for (std::string_view extension : kArchiveExtensions) {
        if (fileName.size() > extension.size() && endsWithIgnoringCase(fileName, extension) &&
            (!found || extension.size() > found->size())) {
            found = extension;
        }
    }
    return found;
}

// The reader's failure as the archive's problem.
[[noreturn]] void refused(const platform::ArchiveReadError& e) {
    throw ArchiveError(e.encrypted() ? ArchiveProblem::Encrypted : ArchiveProblem::Unreadable);
}

bool isFrameName(std::string_view lowerName) {
    return std::find(kFrameNames.begin(), kFrameNames.end(), lowerName) != kFrameNames.end();
}

// The PNG files of one folder of the archive, by lower-case name; the first of a name wins.
using FolderFiles = std::map<std::string, BallSet::File>;

std::size_t frameCount(const FolderFiles& files) {
    return static_cast<std::size_t>(
        std::count_if(files.begin(), files.end(), [](const auto& file) { return isFrameName(file.first); }));
}

} // namespace

ArchiveError::ArchiveError(ArchiveProblem problem)
    : Error(std::string(archiveProblemText(problem))), problem_(problem) {}

std::string archiveFilePatterns() {
    std::string patterns;
    for (std::string_view extension : kArchiveExtensions) {
        patterns += (patterns.empty() ? "*" : " *") + std::string(extension);
    }
    return patterns;
}

bool isArchiveName(std::string_view fileName) {
    return archiveExtension(fileName).has_value();
}

std::string archiveBaseName(std::string_view fileName) {
    const auto extension = archiveExtension(fileName);
    return std::string(extension ? fileName.substr(0, fileName.size() - extension->size()) : fileName);
}

std::optional<std::string> safeEntryPath(std::string_view path) {
    if (path.empty() || path.front() == '/' || path.front() == '\\') {
        return std::nullopt;
    }
    if (std::any_of(path.begin(), path.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; })) {
        return std::nullopt;
    }
    std::string safe;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find_first_of("/\\", start), path.size());
        const std::string_view part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") {
            continue;
        }
        // Windows drops trailing dots and blanks, so ".. " is ".." there; a colon is a drive or a stream.
        if (part.find_last_not_of(". ") == std::string_view::npos || part.find(':') != std::string_view::npos) {
            return std::nullopt;
        }
        safe += (safe.empty() ? "" : "/") + std::string(part);
    }
    if (safe.empty()) {
        return std::nullopt;
    }
    return safe;
}

namespace {

// The PNG files of each folder of the archive, read from the entries' headers alone.
std::map<std::string, FolderFiles> pngFilesByFolder(std::span<const std::uint8_t> bytes, const ArchiveLimits& limits) {
    platform::ArchiveReader reader(bytes);
    std::map<std::string, FolderFiles> folders;
    std::uint64_t total = 0;
    for (std::size_t count = 0;; ++count) {
        const std::optional<platform::ArchiveEntry> entry = reader.next();
        if (!entry) {
            return folders;
        }
        if (count + 1 > limits.maxEntries) {
            throw ArchiveError(ArchiveProblem::TooManyEntries);
        }
        if (entry->encrypted) {
            throw ArchiveError(ArchiveProblem::Encrypted);
        }
        if (entry->size) {
            if (*entry->size > limits.maxEntrySize) {
                throw ArchiveError(ArchiveProblem::EntryTooLarge);
            }
            total += *entry->size;
            if (total > limits.maxTotalSize) {
                throw ArchiveError(ArchiveProblem::TooLargeInAll);
            }
        }
        const auto path = entry->path ? safeEntryPath(*entry->path) : std::nullopt;
        if (path && entry->plainFile && endsWithIgnoringCase(*path, ".png")) {
            const std::size_t slash = path->rfind('/');
            const std::string folder = slash == std::string::npos ? std::string() : path->substr(0, slash);
            const std::string name = slash == std::string::npos ? *path : path->substr(slash + 1);
            const std::string lower = lowerAscii(name);
            // Frames get their lower-case names; other pictures keep theirs when they make a file name.
            if (isFrameName(lower) || isValidFileName(name)) {
                folders[folder].try_emplace(lower, BallSet::File{count, isFrameName(lower) ? lower : name});
            }
        }
    }
}

} // namespace

ArchiveBalls findBallSets(std::span<const std::uint8_t> bytes, const ArchiveLimits& limits) {
    std::map<std::string, FolderFiles> folders;
    try {
        folders = pngFilesByFolder(bytes, limits);
    } catch (const platform::ArchiveReadError& e) {
        refused(e);
    }

    ArchiveBalls balls;
    const FolderFiles* best = nullptr;
    for (const auto& [folder, files] : folders) {
        const std::size_t frames = frameCount(files);
        if (frames == kFrameNames.size()) {
            BallSet set{folder, {}};
            for (const auto& file : files) {
                set.files.push_back(file.second);
            }
            std::sort(set.files.begin(), set.files.end(),
                      [](const BallSet::File& a, const BallSet::File& b) { return a.entry < b.entry; });
            balls.sets.push_back(std::move(set));
        } else if (best == nullptr || frames > frameCount(*best)) {
            best = &files;
        }
    }
    if (balls.sets.empty()) {
        for (std::string_view frame : kFrameNames) {
            if (best == nullptr || best->count(std::string(frame)) == 0) {
                balls.missingFrames.emplace_back(frame);
            }
        }
    }
    return balls;
}

std::string suggestedBallName(const BallSet& set, std::string_view archiveFileName) {
    if (set.folder.empty()) {
        return archiveBaseName(archiveFileName);
    }
    const std::size_t slash = set.folder.rfind('/');
    return slash == std::string::npos ? set.folder : set.folder.substr(slash + 1);
}

UnpackedBall::UnpackedBall(platform::FileSystem& fs, const Path& tempRoot)
    : fs_(fs), folder_(fs.createPrivateFolder(tempRoot, std::string(kUnpackPrefix) +
                                                            std::to_string(platform::currentProcessId()) + "-")) {}

UnpackedBall::~UnpackedBall() {
    try {
        fs_.removeTree(folder_);
    } catch (const IoError&) {
        // Left for the next start, which removes what a finished process left behind.
    }
}

namespace {

// The data of the entry the reader stands at, within the limits; `total` counts every entry's.
std::vector<std::uint8_t> entryData(platform::ArchiveReader& reader, const ArchiveLimits& limits, std::uint64_t& total) {
    std::vector<std::uint8_t> data;
    std::array<std::uint8_t, 1 << 16> buffer{};
    while (const std::size_t got = reader.read(buffer)) {
        data.insert(data.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(got));
        total += got;
        if (data.size() > limits.maxEntrySize) {
            throw ArchiveError(ArchiveProblem::EntryTooLarge);
        }
        if (total > limits.maxTotalSize) {
            throw ArchiveError(ArchiveProblem::TooLargeInAll);
        }
        const std::uint64_t packed = std::max(reader.packedBytesRead(), kMinPackedForExpansion);
        if (limits.maxExpansion > 0 && data.size() / limits.maxExpansion > packed) {
            throw ArchiveError(ArchiveProblem::Bomb);
        }
    }
    return data;
}

} // namespace

void unpackBallSet(platform::FileSystem& fs, std::span<const std::uint8_t> bytes, const BallSet& set,
                   const Path& target, const ArchiveLimits& limits) {
    try {
        platform::ArchiveReader reader(bytes);
        std::uint64_t total = 0;
        auto wanted = set.files.begin(); // sorted by entry
        for (std::size_t index = 0; wanted != set.files.end(); ++index) {
            if (!reader.next()) {
                throw ArchiveError(ArchiveProblem::Unreadable); // the set's entries are no longer there
            }
            if (index == wanted->entry) {
                fs.writeNewFile(target / platform::toPath(wanted->name), entryData(reader, limits, total));
                ++wanted;
            }
        }
    } catch (const platform::ArchiveReadError& e) {
        refused(e);
    }
}

std::vector<std::uint8_t> readArchiveFile(const platform::FileSystem& fs, const Path& file,
                                          const ArchiveLimits& limits) {
    if (fs.fileSize(file) > limits.maxTotalSize) {
        throw ArchiveError(ArchiveProblem::TooLargeInAll);
    }
    return fs.readFile(file);
}

void removeStaleUnpackFolders(platform::FileSystem& fs, const Path& tempRoot) {
    for (const platform::FolderEntry& entry : fs.scanFolder(tempRoot, std::string(kUnpackPrefix) + "*")) {
        const std::string_view rest = std::string_view(entry.name).substr(kUnpackPrefix.size());
        long process = 0;
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), process);
        const bool named =
            error == std::errc() && end != rest.data() && end != rest.data() + rest.size() && *end == '-';
        if (!entry.isFolder || !named || platform::processRunning(process)) {
            continue;
        }
        try {
            fs.removeTree(tempRoot / platform::toPath(entry.name));
        } catch (const IoError&) {
            // Someone else's, or not ours to remove: it stays.
        }
    }
}

DropKind classifyDrop(const platform::FileSystem& fs, const std::vector<Path>& paths) {
    if (paths.size() != 1) {
        return DropKind::Unsupported;
    }
    if (fs.folderExists(paths.front())) {
        return DropKind::Folder;
    }
    if (fs.isPlainFile(paths.front()) && isArchiveName(platform::toText(paths.front().filename()))) {
        return DropKind::Archive;
    }
    return DropKind::Unsupported;
}

} // namespace orbisto::library
