#pragma once

#include "library/Library.h"
#include "platform/FileSystem.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orbisto::library {

// How the library's folders and markers are read. The new-ball scan, the brand box and the ball list
// all go through one, so that reading straight from the disk and reading through kept knowledge run
// the same steps and differ only in where the answers come from.
class LibraryReader {
public:
    virtual ~LibraryReader() = default;

    // Entries of `folder` matching `pattern`, as FileSystem::scanFolder lists them.
    virtual std::vector<platform::FolderEntry> entries(const Path& folder, std::string_view pattern) = 0;
    // True when `folder`/tst.ini is a marker file whose `key` in section Sys reads exactly "1".
    virtual bool markerSet(const Path& folder, std::string_view key) = 0;
};

// Asks the disk every time.
class DiskLibraryReader final : public LibraryReader {
public:
    explicit DiskLibraryReader(const platform::FileSystem& fs) : fs_(fs) {}

    std::vector<platform::FolderEntry> entries(const Path& folder, std::string_view pattern) override;
    bool markerSet(const Path& folder, std::string_view key) override;

private:
    const platform::FileSystem& fs_;
};

// Time stamps this close to the moment they were looked at may still be shared by a later version
// of the same entry: two writes within the file system's time resolution (two seconds on FAT, one
// clock tick elsewhere) can leave every field of the identity as it was.
inline constexpr std::int64_t kSettleNanoseconds = 2'000'000'000;

// Keeps what it read, each folder listing and marker with the identity its folder or file had just
// before the read. A later call answers from what was kept when the identity is still the same and
// was settled (its time stamps older than kSettleNanoseconds when it was read); otherwise it reads
// again. A kept listing also has each entry's kind checked, since an entry reached through a link
// can change kind without its folder changing. The answers are those of DiskLibraryReader. Nothing
// is kept on disk; knowledge of entries that left a folder is dropped when the folder is re-listed.
class LibraryKnowledge final : public LibraryReader {
public:
    // Nanoseconds since 1970-01-01 UTC, the scale of FileIdentity's times.
    using Clock = std::function<std::int64_t()>;
    static std::int64_t systemNow();

    explicit LibraryKnowledge(const platform::FileSystem& fs, Clock now = systemNow);

    std::vector<platform::FolderEntry> entries(const Path& folder, std::string_view pattern) override;
    // Auth and New are kept (both read at once); any other key is read from the disk.
    bool markerSet(const Path& folder, std::string_view key) override;

private:
    struct Listing {
        std::string pattern;
        platform::FileIdentity identity;
        bool settled = false;
        // The entries packed into one text, each as its name, a NUL and '1' for a folder or '0':
        // a quarter of the memory of a vector of entries, for thousands of balls.
        std::string entries;
    };
    struct Marker {
        std::string name; // of the sub-folder that holds the marker
        platform::FileIdentity identity;
        bool settled = false;
        bool auth = false;
        bool isNew = false;
    };
    // What is kept of one folder: its listings and the markers of its sub-folders, sorted by name
    // (a plain vector: ten thousand markers take a third less memory than in a hash map).
    struct Folder {
        std::vector<Listing> listings;
        std::vector<Marker> markers;
    };

    bool settled(const platform::FileIdentity& identity, std::int64_t lookedAt) const;
    bool kindsUnchanged(const Path& folder, const Listing& listing) const;
    void forgetLeavers(const Path& folder);

    const platform::FileSystem& fs_;
    Clock now_;
    // By the folder's path as text: cheaper to compare than paths, which compare part by part.
    std::unordered_map<std::string, Folder> folders_;
};

} // namespace orbisto::library
