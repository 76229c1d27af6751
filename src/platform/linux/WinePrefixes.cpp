#include "platform/linux/WinePrefixes.h"

#include "platform/linux/HiveSearch.h"
#include "platform/PathText.h"
#include "platform/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <pwd.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace orbisto::platform::wine {

namespace {

namespace fs = std::filesystem;

// Opens a plain file of a prefix for reading: without blocking on a pipe, and leaving the access
// time alone where the owner allows it, since the prefix belongs to Wine. -1 when it cannot be
// opened or is no plain file; `size` is its size.
int openPlainFile(const Path& file, std::size_t& size) {
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOATIME);
    if (fd < 0 && errno == EPERM) {
        fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    }
    struct stat info {};
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd);
        fd = -1;
    }
    size = static_cast<std::size_t>(info.st_size);
    return fd;
}

// Reads the files of the prefixes into buffers kept from file to file, never filled with zeros
// first. The buffers start on a page boundary: on some processors (measured on AMD EPYC) the kernel
// copies a file six times slower into a buffer 16 bytes past one, where large blocks from malloc
// start.
class FileReader {
public:
    // The whole file; nothing for anything but a readable plain file.
    std::optional<std::string_view> read(const Path& file) {
        std::size_t size = 0;
        const int fd = openPlainFile(file, size);
        if (fd < 0) {
            return std::nullopt;
        }
        if (size > capacity_) {
            whole_.reset(static_cast<char*>(::operator new(size, kAlignment)));
            capacity_ = size;
        }
        std::size_t done = 0;
        while (done < size) {
            const ssize_t got = ::read(fd, whole_.get() + done, size - done);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                break; // a file cut short meanwhile is read as far as it goes
            }
            done += static_cast<std::size_t>(got);
        }
        ::close(fd);
        return std::string_view(whole_.get(), done);
    }

    // Whether `holds` is true for a piece of the file. The file is read through a small buffer that
    // stays in the processor's cache, in pieces that overlap by `overlap` bytes, so that any text
    // that long lies whole in one of them. False for anything but a readable plain file.
    template <typename Holds> bool anyPiece(const Path& file, std::size_t overlap, Holds&& holds) {
        if (overlap > kCarry) {
            return true; // cannot tell from pieces
        }
        std::size_t size = 0;
        const int fd = openPlainFile(file, size);
        if (fd < 0) {
            return false;
        }
        if (!pieces_) {
            pieces_.reset(static_cast<char*>(::operator new(kCarry + kPiece, kAlignment)));
        }
        bool held = false;
        std::size_t carried = 0; // the end of the last piece, kept before the next
        for (;;) {
            const ssize_t got = ::read(fd, pieces_.get() + kCarry, kPiece);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                break;
            }
            const std::string_view piece(pieces_.get() + kCarry - carried, carried + static_cast<std::size_t>(got));
            if (holds(piece)) {
                held = true;
                break;
            }
            carried = std::min(overlap, piece.size());
            std::memmove(pieces_.get() + kCarry - carried, piece.data() + piece.size() - carried, carried);
        }
        ::close(fd);
        return held;
    }

private:
    static constexpr std::size_t kPiece = 256 * 1024;
    static constexpr std::size_t kCarry = 4096;
    static constexpr std::align_val_t kAlignment{4096};
    struct Release {
        void operator()(char* buffer) const { ::operator delete(buffer, kAlignment); }
    };

    std::unique_ptr<char, Release> whole_;
    std::size_t capacity_ = 0;
    std::unique_ptr<char, Release> pieces_;
};

std::vector<std::string> sortedNames(const Path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        names.push_back(toText(it->path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool isFolder(const Path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// The search order of the prefixes, each folder once.
class PrefixList {
public:
    void add(const Path& folder) {
        // The hive names its prefix: a prefix reached again through a link has the same one.
        struct stat hive {};
        if (folder.empty() || ::stat((folder / "user.reg").c_str(), &hive) != 0 || !S_ISREG(hive.st_mode)) {
            return;
        }
        if (seen_.insert({hive.st_dev, hive.st_ino}).second) {
            list_.push_back(folder);
        }
    }

    // Every entry of `container` in name order, or its `inside` sub-folder (Steam's pfx).
    void addEach(const Path& container, const char* inside = nullptr) {
        for (const std::string& name : sortedNames(container)) {
            add(inside ? container / toPath(name) / toPath(inside) : container / toPath(name));
        }
    }

    std::vector<Path> take() { return std::move(list_); }

private:
    std::set<std::pair<dev_t, ino_t>> seen_;
    std::vector<Path> list_;
};

// "Software\X" also lives as "Software\Wow6432Node\X" in the machine hive of a 64-bit prefix.
std::optional<std::string> wow64Key(std::string_view keyPath) {
    while (keyPath.starts_with('\\')) {
        keyPath.remove_prefix(1);
    }
    const std::size_t separator = keyPath.find('\\');
    if (separator == std::string_view::npos || !equalsIgnoreCase(keyPath.substr(0, separator), "Software")) {
        return std::nullopt;
    }
    return std::string(keyPath.substr(0, separator)) + "\\Wow6432Node" + std::string(keyPath.substr(separator));
}

// The lookup of the games still missing in one hive file of each prefix: user.reg, or system.reg,
// where a key below Software also counts below Software\Wow6432Node. Each game takes its first key
// whose value names an existing folder. The search is made anew only when a game has been found.
class HiveLookup {
public:
    HiveLookup(std::span<const std::vector<std::string>> keySets, std::string_view valueName, bool withWow64)
        : keySets_(keySets), valueName_(valueName), withWow64_(withWow64) {}

    void search(FileReader& reader, const Path& file, const Path& prefix,
                std::vector<std::optional<RecordedFolder>>& found) {
        const std::vector<bool> missing = missingGames(found);
        if (!search_ || missing != missing_) {
            prepare(missing);
        }
        // Most files hold none of the keys: they are read once, in pieces searched as they come.
        // Only a file whose pieces hold the text the keys share is read again, whole, to decode
        // its values.
        const auto mayHold = [this](std::string_view piece) { return search_->mayHoldKeys(piece); };
        if (!reader.anyPiece(file, search_->overlap(), mayHold)) {
            return;
        }
        const auto content = reader.read(file);
        if (!content) {
            return;
        }
        const auto texts = search_->find(*content);
        for (std::size_t k = 0; k < keys_.size(); ++k) {
            if (found[game_[k]] || !texts[k]) {
                continue;
            }
            if (auto folder = folderOf(prefix, *texts[k])) {
                found[game_[k]] = RecordedFolder{std::move(*folder), toText(prefix)};
            }
        }
    }

private:
    static std::vector<bool> missingGames(const std::vector<std::optional<RecordedFolder>>& found) {
        std::vector<bool> missing;
        for (const auto& folder : found) {
            missing.push_back(!folder);
        }
        return missing;
    }

    void prepare(const std::vector<bool>& missing) {
        missing_ = missing;
        keys_.clear();
        game_.clear();
        for (std::size_t i = 0; i < keySets_.size(); ++i) {
            if (!missing[i]) {
                continue;
            }
            for (const std::string& key : keySets_[i]) {
                keys_.push_back(key);
                game_.push_back(i);
                if (const auto wow = withWow64_ ? wow64Key(key) : std::nullopt) {
                    keys_.push_back(*wow);
                    game_.push_back(i);
                }
            }
        }
        search_.emplace(keys_, valueName_);
    }

    std::span<const std::vector<std::string>> keySets_;
    std::string_view valueName_;
    bool withWow64_;
    std::vector<bool> missing_;
    std::vector<std::string> keys_;
    std::vector<std::size_t> game_; // the game of each key
    std::optional<HiveSearch> search_;
};

class PrefixSearch final : public InstallRecords {
public:
    explicit PrefixSearch(Environment environment) : environment_(std::move(environment)) {}

    std::vector<std::optional<RecordedFolder>> find(std::span<const std::vector<std::string>> keySets,
                                                    std::string_view valueName) const override {
        std::vector<std::optional<RecordedFolder>> found(keySets.size());
        const auto missing = [&] { return std::any_of(found.begin(), found.end(), [](auto& f) { return !f; }); };
        if (!missing()) {
            return found;
        }
        FileReader reader;
        HiveLookup user(keySets, valueName, false);
        HiveLookup machine(keySets, valueName, true);
        for (const Path& prefix : prefixes(environment_)) {
            user.search(reader, prefix / "user.reg", prefix, found);
            if (!missing()) {
                break;
            }
            machine.search(reader, prefix / "system.reg", prefix, found);
            if (!missing()) {
                break;
            }
        }
        return found;
    }

private:
    Environment environment_;
};

} // namespace

Environment Environment::fromProcess() {
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::string(value) : std::string();
    };
    Environment environment;
    environment.home = toPath(variable("HOME"));
    if (environment.home.empty()) {
        const passwd* user = ::getpwuid(::getuid());
        environment.home = toPath(user && user->pw_dir ? user->pw_dir : "");
    }
    // Relative values of the XDG variables are invalid and ignored.
    environment.dataHome = toPath(variable("XDG_DATA_HOME"));
    if (!environment.dataHome.is_absolute()) {
        environment.dataHome = environment.home.empty() ? Path() : environment.home / ".local/share";
    }
    environment.winePrefix = toPath(variable("WINEPREFIX"));
    return environment;
}

Path lutrisPrefix(std::string_view gameFile, const Path& home) {
    std::size_t start = 0;
    while (start < gameFile.size()) {
        std::size_t end = gameFile.find('\n', start);
        end = end == std::string_view::npos ? gameFile.size() : end;
        const std::string_view line = trim(gameFile.substr(start, end - start), " \t\r");
        start = end + 1;
        if (!line.starts_with("prefix:")) {
            continue;
        }
        std::string_view value = trim(line.substr(7), " \t\r");
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        } else if (const std::size_t comment = value.find(" #"); comment != std::string_view::npos) {
            value = trim(value.substr(0, comment), " \t\r");
        }
        if (value == "~" || value.starts_with("~/")) {
            if (home.empty()) {
                return {};
            }
            return value.size() <= 2 ? home : home / toPath(value.substr(2));
        }
        return toPath(value);
    }
    return {};
}

std::vector<Path> prefixes(const Environment& environment) {
    PrefixList list;
    list.add(environment.winePrefix);
    const Path& home = environment.home;
    if (!home.empty()) {
        list.add(home / ".wine");
    }
    if (!environment.dataHome.empty()) {
        list.addEach(environment.dataHome / "bottles/bottles");
    }
    if (!home.empty()) {
        list.addEach(home / ".var/app/com.usebottles.bottles/data/bottles/bottles");
        list.addEach(home / ".PlayOnLinux/wineprefix");
        list.addEach(home / ".cxoffice");
        list.addEach(home / "Games");
        list.addEach(home / ".steam/steam/steamapps/compatdata", "pfx");
        list.addEach(home / ".local/share/Steam/steamapps/compatdata", "pfx");
    }
    FileReader reader;
    for (const Path& games : {home.empty() ? Path() : home / ".config/lutris/games",
                              environment.dataHome.empty() ? Path() : environment.dataHome / "lutris/games"}) {
        if (games.empty()) {
            continue;
        }
        for (const std::string& name : sortedNames(games)) {
            if (name.size() > 4 && name.ends_with(".yml")) {
                if (const auto content = reader.read(games / toPath(name))) {
                    list.add(lutrisPrefix(*content, home));
                }
            }
        }
    }
    return list.take();
}

std::optional<std::string> folderOf(const Path& prefix, std::string_view windowsPath) {
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (windowsPath.size() < 2 || !isLetter(windowsPath[0]) || windowsPath[1] != ':') {
        return std::nullopt; // a UNC path (\\server\share) or a relative one
    }
    std::string_view rest = windowsPath.substr(2);
    if (!rest.empty() && rest.front() != '\\' && rest.front() != '/') {
        return std::nullopt; // "C:folder" is relative to the drive's current folder
    }
    const char drive = static_cast<char>(windowsPath[0] | 0x20);
    Path folder = prefix / "dosdevices" / toPath(std::string{drive, ':'});
    std::error_code error;
    if (!fs::exists(fs::symlink_status(folder, error))) {
        if (drive != 'c') {
            return std::nullopt;
        }
        folder = prefix / "drive_c";
    }

    // The parts of the path, ".." taken away as Windows does before it looks at the disk.
    std::vector<std::string_view> parts;
    while (!rest.empty()) {
        const std::size_t separator = rest.find_first_of("\\/");
        const std::string_view part = rest.substr(0, separator);
        rest = separator == std::string_view::npos ? std::string_view() : rest.substr(separator + 1);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
    }
    for (const std::string_view part : parts) {
        const Path exact = folder / toPath(part);
        if (isFolder(exact)) {
            folder = exact;
            continue;
        }
        // Windows paths ignore case: the first entry of that name in any case.
        const auto names = sortedNames(folder);
        const auto match = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
            return equalsIgnoreCase(name, part) && isFolder(folder / toPath(name));
        });
        if (match == names.end()) {
            return std::nullopt;
        }
        folder /= toPath(*match);
    }
    const Path real = fs::canonical(folder, error);
    if (error || !isFolder(real)) {
        return std::nullopt;
    }
    std::string result = toText(real);
    if (result.back() != '/') {
        result += '/';
    }
    return result;
}

std::unique_ptr<InstallRecords> makePrefixSearch(Environment environment) {
    return std::make_unique<PrefixSearch>(std::move(environment));
}

} // namespace orbisto::platform::wine

namespace orbisto::platform {

std::unique_ptr<InstallRecords> makeInstallRecords() {
    return wine::makePrefixSearch(wine::Environment::fromProcess());
}

} // namespace orbisto::platform
