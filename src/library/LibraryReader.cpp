#include "library/LibraryReader.h"

#include "library/NewBallScan.h"
#include "platform/IniProfile.h"
#include "platform/PathText.h"

#include <algorithm>
#include <chrono>
#include <unordered_set>

namespace orbisto::library {

using platform::FileIdentity;
using platform::FolderEntry;

std::vector<FolderEntry> DiskLibraryReader::entries(const Path& folder, std::string_view pattern) {
    return fs_.scanFolder(folder, pattern);
}

bool DiskLibraryReader::markerSet(const Path& folder, std::string_view key) {
    return markerValue(fs_, folder, key) == "1";
}

namespace {

std::string packEntries(const std::vector<FolderEntry>& entries) {
    std::size_t size = 0;
    for (const FolderEntry& entry : entries) {
        size += entry.name.size() + 2;
    }
    std::string packed;
    packed.reserve(size);
    for (const FolderEntry& entry : entries) {
        packed.append(entry.name).push_back('\0');
        packed.push_back(entry.isFolder ? '1' : '0');
    }
    return packed;
}

// Calls `visit(name, isFolder)` for each entry of a packed listing, in order.
template <typename Visit> void forEachEntry(std::string_view packed, Visit&& visit) {
    while (!packed.empty()) {
        const std::size_t end = packed.find('\0');
        visit(packed.substr(0, end), packed[end + 1] == '1');
        packed.remove_prefix(end + 2);
    }
}

std::vector<FolderEntry> unpackEntries(std::string_view packed) {
    std::vector<FolderEntry> entries;
    forEachEntry(packed, [&](std::string_view name, bool isFolder) {
        entries.push_back({std::string(name), isFolder});
    });
    return entries;
}

} // namespace

std::int64_t LibraryKnowledge::systemNow() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

LibraryKnowledge::LibraryKnowledge(const platform::FileSystem& fs, Clock now) : fs_(fs), now_(std::move(now)) {}

bool LibraryKnowledge::settled(const FileIdentity& identity, std::int64_t lookedAt) const {
    // A time in the future (a skewed clock, a copied time stamp) is never settled.
    const std::int64_t limit = lookedAt - kSettleNanoseconds;
    return identity.modified < limit && identity.changed < limit;
}

bool LibraryKnowledge::kindsUnchanged(const Path& folder, const Listing& listing) const {
    bool unchanged = true;
    forEachEntry(listing.entries, [&](std::string_view name, bool isFolder) {
        if (unchanged) {
            const auto identity = fs_.identity(folder / platform::toPath(name));
            const auto expected = isFolder ? FileIdentity::Kind::Folder : FileIdentity::Kind::File;
            unchanged = identity && identity->kind == expected;
        }
    });
    return unchanged;
}

std::vector<FolderEntry> LibraryKnowledge::entries(const Path& folder, std::string_view pattern) {
    const std::int64_t lookedAt = now_();
    const auto identity = fs_.identity(folder);
    if (!identity) {
        // Missing, or the file system cannot tell: nothing to keep.
        if (const auto kept = folders_.find(platform::toText(folder)); kept != folders_.end()) {
            kept->second.listings.clear();
        }
        return fs_.scanFolder(folder, pattern);
    }
    Folder& known = folders_[platform::toText(folder)];
    auto listing = std::find_if(known.listings.begin(), known.listings.end(),
                                [&](const Listing& kept) { return kept.pattern == pattern; });
    if (listing != known.listings.end() && listing->settled && listing->identity == *identity &&
        kindsUnchanged(folder, *listing)) {
        return unpackEntries(listing->entries);
    }
    if (listing == known.listings.end()) {
        listing = known.listings.insert(known.listings.end(), Listing{std::string(pattern), {}, false, {}});
    }
    // Identity first, then the listing: a change in between shows as a new identity next time.
    listing->identity = *identity;
    listing->settled = settled(*identity, lookedAt);
    std::vector<FolderEntry> result = fs_.scanFolder(folder, pattern);
    listing->entries = packEntries(result);
    forgetLeavers(folder);
    // Room for the marker of every sub-folder at once, without the slack of growing one by one.
    const auto subfolders =
        std::count_if(result.begin(), result.end(), [](const FolderEntry& e) { return e.isFolder; });
    known.markers.reserve(static_cast<std::size_t>(subfolders));
    return result;
}

void LibraryKnowledge::forgetLeavers(const Path& folder) {
    Folder& known = folders_[platform::toText(folder)];
    std::unordered_set<std::string_view> present;
    for (const Listing& listing : known.listings) {
        forEachEntry(listing.entries, [&](std::string_view name, bool) { present.insert(name); });
    }
    std::erase_if(known.markers, [&](const Marker& marker) { return !present.contains(marker.name); });
    std::erase_if(folders_, [&](const auto& kept) {
        const Path path = platform::toPath(kept.first);
        return path.parent_path() == folder && !present.contains(platform::toText(path.filename()));
    });
}

bool LibraryKnowledge::markerSet(const Path& folder, std::string_view key) {
    if (key != kAuthKey && key != kNewKey) {
        return markerValue(fs_, folder, key) == "1";
    }
    const Path file = folder / platform::toPath(kMarkerFile);
    const std::int64_t lookedAt = now_();
    const std::string parent = platform::toText(folder.parent_path());
    const std::string name = platform::toText(folder.filename());
    const auto byName = [](const Marker& marker, const std::string& wanted) { return marker.name < wanted; };
    const auto known = folders_.find(parent);
    Marker* kept = nullptr;
    if (known != folders_.end()) {
        auto& markers = known->second.markers;
        const auto found = std::lower_bound(markers.begin(), markers.end(), name, byName);
        if (found != markers.end() && found->name == name) {
            kept = &*found;
        }
    }
    // A kept marker costs one look at its identity while it stays the same.
    if (kept != nullptr && kept->settled) {
        const auto identity = fs_.identity(file);
        if (identity && kept->identity == *identity) {
            return key == kAuthKey ? kept->auth : kept->isNew;
        }
    }
    // Read with the identity of the version read, in one go.
    platform::FileVersion version = fs_.readPlainFileVersion(file);
    // A marker that is missing, hidden, no plain file or unreadable marks nothing.
    const std::string_view text =
        version.content
            ? std::string_view(reinterpret_cast<const char*>(version.content->data()), version.content->size())
            : std::string_view();
    const bool auth = version.content && platform::profileStringIn(text, kMarkerSection, kAuthKey) == "1";
    const bool isNew = version.content && platform::profileStringIn(text, kMarkerSection, kNewKey) == "1";
    if (!version.identity) {
        // Missing, or the file system cannot tell: nothing to keep.
        if (kept != nullptr) {
            auto& markers = known->second.markers;
            markers.erase(markers.begin() + (kept - markers.data()));
        }
    } else {
        if (kept == nullptr) {
            auto& markers = folders_[parent].markers;
            const auto at = std::lower_bound(markers.begin(), markers.end(), name, byName);
            kept = &*markers.insert(at, Marker{name, {}, false, false, false});
        }
        kept->identity = *version.identity;
        kept->settled = settled(*version.identity, lookedAt);
        kept->auth = auth;
        kept->isNew = isNew;
    }
    return key == kAuthKey ? auth : isNew;
}

} // namespace orbisto::library
