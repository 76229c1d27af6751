#include "library/ArchiveImport.h"

#include "library/NameCheck.h"
#include "platform/PathText.h"

#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
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

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return lowerAscii(c); });
    return lower;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && lowerAscii(text.substr(text.size() - suffix.size())) == suffix;
}

// Longest first, so ".tar.gz" wins over ".gz"-less ".tar".
constexpr std::array<std::string_view, 10> kArchiveExtensions{".tar.bz2", ".tar.gz", ".tar.xz", ".tbz2", ".zip",
                                                              ".rar",     ".tar",    ".tgz",    ".txz",  ".7z"};

std::optional<std::string_view> archiveExtension(std::string_view fileName) {
    for (std::string_view extension : kArchiveExtensions) {
        if (fileName.size() > extension.size() && endsWithIgnoringCase(fileName, extension)) {
            return extension;
        }
    }
    return std::nullopt;
}

struct ReaderFree {
    void operator()(archive* reader) const { archive_read_free(reader); }
};
using Reader = std::unique_ptr<archive, ReaderFree>;

// The failure of a reader: encrypted when libarchive saw encryption, otherwise unreadable.
[[noreturn]] void failed(archive* reader) {
    throw ArchiveError(archive_read_has_encrypted_entries(reader) > 0 ? ArchiveProblem::Encrypted
                                                                      : ArchiveProblem::Unreadable);
}

// A reader of the kinds we accept, over the archive's bytes in memory.
Reader openReader(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        throw ArchiveError(ArchiveProblem::Unreadable);
    }
    Reader reader(archive_read_new());
    if (!reader) {
        throw std::bad_alloc();
    }
    archive* a = reader.get();
    archive_read_support_filter_gzip(a);
    archive_read_support_filter_bzip2(a);
    archive_read_support_filter_xz(a);
    archive_read_support_format_zip(a);
    archive_read_support_format_7zip(a);
    archive_read_support_format_rar(a);
    archive_read_support_format_rar5(a);
    archive_read_support_format_tar(a);
    // No format was chosen when the open fails, so there is nothing to ask about encryption.
    if (archive_read_open_memory(a, bytes.data(), bytes.size()) != ARCHIVE_OK) {
        throw ArchiveError(ArchiveProblem::Unreadable);
    }
    return reader;
}

// Next entry's header; nothing at the end of the archive.
archive_entry* nextEntry(archive* reader) {
    archive_entry* entry = nullptr;
    const int status = archive_read_next_header(reader, &entry);
    if (status == ARCHIVE_EOF) {
        return nullptr;
    }
    // A warning (a name in another character set, say) still gives a usable entry.
    if (status != ARCHIVE_OK && status != ARCHIVE_WARN) {
        failed(reader);
    }
    return entry;
}

const char* entryPath(archive_entry* entry) {
    const char* path = archive_entry_pathname_utf8(entry);
    return path != nullptr ? path : archive_entry_pathname(entry);
}

// A plain file: no link of either kind, no device, no FIFO, no folder.
bool isPlainFileEntry(archive_entry* entry) {
    return archive_entry_filetype(entry) == AE_IFREG && archive_entry_hardlink(entry) == nullptr &&
           archive_entry_symlink(entry) == nullptr;
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

ArchiveBalls findBallSets(std::span<const std::uint8_t> bytes, const ArchiveLimits& limits) {
    const Reader reader = openReader(bytes);
    std::map<std::string, FolderFiles> folders;
    std::size_t count = 0;
    std::uint64_t total = 0;
    for (archive_entry* entry = nullptr; (entry = nextEntry(reader.get())) != nullptr; ++count) {
        if (count + 1 > limits.maxEntries) {
            throw ArchiveError(ArchiveProblem::TooManyEntries);
        }
        if (archive_entry_is_encrypted(entry)) {
            throw ArchiveError(ArchiveProblem::Encrypted);
        }
        if (archive_entry_size_is_set(entry)) {
            const auto size = static_cast<std::uint64_t>(std::max<la_int64_t>(archive_entry_size(entry), 0));
            if (size > limits.maxEntrySize) {
                throw ArchiveError(ArchiveProblem::EntryTooLarge);
            }
            total += size;
            if (total > limits.maxTotalSize) {
                throw ArchiveError(ArchiveProblem::TooLargeInAll);
            }
        }
        const char* rawPath = entryPath(entry);
        const auto path = rawPath != nullptr ? safeEntryPath(rawPath) : std::nullopt;
        if (path && isPlainFileEntry(entry) && endsWithIgnoringCase(*path, ".png")) {
            const std::size_t slash = path->rfind('/');
            const std::string folder = slash == std::string::npos ? std::string() : path->substr(0, slash);
            const std::string name = slash == std::string::npos ? *path : path->substr(slash + 1);
            const std::string lower = lowerAscii(name);
            // Frames get their lower-case names; other pictures keep theirs when they make a file name.
            if (isFrameName(lower) || isValidFileName(name)) {
                folders[folder].try_emplace(lower, BallSet::File{count, isFrameName(lower) ? lower : name});
            }
        }
        const int skipped = archive_read_data_skip(reader.get());
        if (skipped != ARCHIVE_OK && skipped != ARCHIVE_WARN) {
            failed(reader.get());
        }
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

void unpackBallSet(platform::FileSystem& fs, std::span<const std::uint8_t> bytes, const BallSet& set,
                   const Path& target, const ArchiveLimits& limits) {
    const Reader reader = openReader(bytes);
    archive* a = reader.get();
    std::uint64_t total = 0;
    std::vector<std::uint8_t> data;
    std::array<std::uint8_t, 1 << 16> buffer{};
    auto wanted = set.files.begin(); // sorted by entry
    for (std::size_t index = 0; wanted != set.files.end(); ++index) {
        archive_entry* entry = nextEntry(a);
        if (entry == nullptr) {
            throw ArchiveError(ArchiveProblem::Unreadable); // the set's entries are no longer there
        }
        if (index != wanted->entry) {
            continue; // the next header skips this entry's data
        }
        data.clear();
        for (;;) {
            const la_ssize_t got = archive_read_data(a, buffer.data(), buffer.size());
            if (got < 0) {
                if (archive_entry_is_encrypted(entry)) {
                    throw ArchiveError(ArchiveProblem::Encrypted);
                }
                failed(a);
            }
            if (got == 0) {
                break;
            }
            data.insert(data.end(), buffer.begin(), buffer.begin() + got);
            total += static_cast<std::uint64_t>(got);
            if (data.size() > limits.maxEntrySize) {
                throw ArchiveError(ArchiveProblem::EntryTooLarge);
            }
            if (total > limits.maxTotalSize) {
                throw ArchiveError(ArchiveProblem::TooLargeInAll);
            }
            const auto packed = std::max<std::uint64_t>(static_cast<std::uint64_t>(archive_filter_bytes(a, -1)),
                                                        kMinPackedForExpansion);
            if (limits.maxExpansion > 0 && data.size() / limits.maxExpansion > packed) {
                throw ArchiveError(ArchiveProblem::Bomb);
            }
        }
        fs.writeNewFile(target / platform::toPath(wanted->name), data);
        ++wanted;
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
