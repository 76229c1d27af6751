#include "library/LibraryReader.h"

#include "library/NewBallScan.h"
#include "platform/IniProfile.h"

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
    for (const FolderEntry& entry : listing.entries) {
        const auto identity = fs_.identity(folder / entry.name);
        const auto expected = entry.isFolder ? FileIdentity::Kind::Folder : FileIdentity::Kind::File;
        if (!identity || identity->kind != expected) {
            return false;
        }
    }
    return true;
}

std::vector<FolderEntry> LibraryKnowledge::entries(const Path& folder, std::string_view pattern) {
    const std::int64_t lookedAt = now_();
    const auto identity = fs_.identity(folder);
    if (!identity) {
        // Missing, or the file system cannot tell: nothing to keep.
        if (const auto kept = folders_.find(folder.string()); kept != folders_.end()) {
            kept->second.listings.clear();
        }
        return fs_.scanFolder(folder, pattern);
    }
    Folder& known = folders_[folder.string()];
    auto listing = std::find_if(known.listings.begin(), known.listings.end(),
                                [&](const Listing& kept) { return kept.pattern == pattern; });
    if (listing != known.listings.end() && listing->settled && listing->identity == *identity &&
        kindsUnchanged(folder, *listing)) {
        return listing->entries;
    }
    if (listing == known.listings.end()) {
        listing = known.listings.insert(known.listings.end(), Listing{std::string(pattern), {}, false, {}});
    }
    // Identity first, then the listing: a change in between shows as a new identity next time.
    listing->identity = *identity;
    listing->settled = settled(*identity, lookedAt);
    listing->entries = fs_.scanFolder(folder, pattern);
    std::vector<FolderEntry> result = listing->entries;
    forgetLeavers(folder);
    return result;
}

void LibraryKnowledge::forgetLeavers(const Path& folder) {
    Folder& known = folders_[folder.string()];
    std::unordered_set<std::string_view> present;
    for (const Listing& listing : known.listings) {
        for (const FolderEntry& entry : listing.entries) {
            present.insert(entry.name);
        }
    }
    std::erase_if(known.markers, [&](const Marker& marker) { return !present.contains(marker.name); });
    std::erase_if(folders_, [&](const auto& kept) {
        const Path path = kept.first;
        return path.parent_path() == folder && !present.contains(path.filename().string());
    });
}

bool LibraryKnowledge::markerSet(const Path& folder, std::string_view key) {
    if (key != kAuthKey && key != kNewKey) {
        return markerValue(fs_, folder, key) == "1";
    }
    const Path file = folder / kMarkerFile;
    const std::int64_t lookedAt = now_();
    const auto identity = fs_.identity(file);
    const std::string name = folder.filename().string();
    const auto byName = [](const Marker& marker, const std::string& wanted) { return marker.name < wanted; };
    if (!identity) {
        if (const auto parent = folders_.find(folder.parent_path().string()); parent != folders_.end()) {
            auto& markers = parent->second.markers;
            const auto kept = std::lower_bound(markers.begin(), markers.end(), name, byName);
            if (kept != markers.end() && kept->name == name) {
                markers.erase(kept);
            }
        }
        return markerValue(fs_, folder, key) == "1";
    }
    auto& markers = folders_[folder.parent_path().string()].markers;
    auto kept = std::lower_bound(markers.begin(), markers.end(), name, byName);
    if (kept == markers.end() || kept->name != name) {
        kept = markers.insert(kept, Marker{name, {}, false, false, false});
    }
    Marker& marker = *kept;
    if (!(marker.settled && marker.identity == *identity)) {
        marker.identity = *identity;
        marker.settled = settled(*identity, lookedAt);
        // A marker that is missing, hidden, no plain file or unreadable marks nothing.
        const auto content = fs_.readPlainFile(file);
        const std::string_view text =
            content ? std::string_view(reinterpret_cast<const char*>(content->data()), content->size())
                    : std::string_view();
        marker.auth = content && platform::profileStringIn(text, kMarkerSection, kAuthKey) == "1";
        marker.isNew = content && platform::profileStringIn(text, kMarkerSection, kNewKey) == "1";
    }
    return key == kAuthKey ? marker.auth : marker.isNew;
}

} // namespace orbisto::library
