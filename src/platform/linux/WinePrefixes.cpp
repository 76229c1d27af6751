#include "platform/linux/WinePrefixes.h"

#include "platform/HiveSearch.h"
#include "platform/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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

// Reads whole files into one buffer kept from file to file, never filled with zeros first. Nothing
// for anything but a readable plain file. The access time is left alone where the owner allows it,
// since the prefix belongs to Wine.
class FileReader {
public:
    std::optional<std::string_view> read(const Path& file) {
        int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOATIME);
        if (fd < 0 && errno == EPERM) {
            fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        }
        if (fd < 0) {
            return std::nullopt;
        }
        struct stat info {};
        std::optional<std::string_view> content;
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
            const auto size = static_cast<std::size_t>(info.st_size);
            if (size > capacity_) {
                buffer_.reset(static_cast<char*>(::operator new(size, kAlignment)));
                capacity_ = size;
            }
            std::size_t done = 0;
            while (done < size) {
                const ssize_t got = ::read(fd, buffer_.get() + done, size - done);
                if (got < 0 && errno == EINTR) {
                    continue;
                }
                if (got <= 0) {
                    break;
                }
                done += static_cast<std::size_t>(got);
            }
            content = std::string_view(buffer_.get(), done); // a file cut short meanwhile is read as far as it goes
        }
        ::close(fd);
        return content;
    }

private:
    // The buffer starts on a page boundary: on some processors (measured on AMD EPYC) the kernel
    // copies a file six times slower into a buffer 16 bytes past one, where large blocks from
    // malloc start.
    static constexpr std::align_val_t kAlignment{4096};
    struct Release {
        void operator()(char* buffer) const { ::operator delete(buffer, kAlignment); }
    };

    std::unique_ptr<char, Release> buffer_;
    std::size_t capacity_ = 0;
};

std::vector<std::string> sortedNames(const Path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool isFolder(const Path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

std::string_view trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
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
            add(inside ? container / name / inside : container / name);
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
                found[game_[k]] = RecordedFolder{std::move(*folder), prefix.string()};
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
    environment.home = variable("HOME");
    if (environment.home.empty()) {
        const passwd* user = ::getpwuid(::getuid());
        environment.home = user && user->pw_dir ? user->pw_dir : "";
    }
    // Relative values of the XDG variables are invalid and ignored.
    environment.dataHome = variable("XDG_DATA_HOME");
    if (!environment.dataHome.is_absolute()) {
        environment.dataHome = environment.home.empty() ? Path() : environment.home / ".local/share";
    }
    environment.winePrefix = variable("WINEPREFIX");
    return environment;
}

Path lutrisPrefix(std::string_view gameFile, const Path& home) {
    std::size_t start = 0;
    while (start < gameFile.size()) {
        std::size_t end = gameFile.find('\n', start);
        end = end == std::string_view::npos ? gameFile.size() : end;
        const std::string_view line = trim(gameFile.substr(start, end - start));
        start = end + 1;
        if (!line.starts_with("prefix:")) {
            continue;
        }
        std::string_view value = trim(line.substr(7));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        } else if (const std::size_t comment = value.find(" #"); comment != std::string_view::npos) {
            value = trim(value.substr(0, comment));
        }
        if (value == "~" || value.starts_with("~/")) {
            if (home.empty()) {
                return {};
            }
            return value.size() <= 2 ? home : home / value.substr(2);
        }
        return Path(value);
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
                if (const auto content = reader.read(games / name)) {
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
    Path folder = prefix / "dosdevices" / std::string{drive, ':'};
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
        const Path exact = folder / part;
        if (isFolder(exact)) {
            folder = exact;
            continue;
        }
        // Windows paths ignore case: the first entry of that name in any case.
        const auto names = sortedNames(folder);
        const auto match = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
            return equalsIgnoreCase(name, part) && isFolder(folder / name);
        });
        if (match == names.end()) {
            return std::nullopt;
        }
        folder /= *match;
    }
    const Path real = fs::canonical(folder, error);
    if (error || !isFolder(real)) {
        return std::nullopt;
    }
    std::string result = real.string();
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
