#include "library/NewBallScan.h"

#include "platform/IniProfile.h"
#include "platform/PathText.h"

namespace orbisto::library {

std::string markerValue(const platform::FileSystem& fs, const Path& folder, std::string_view key) {
    // A marker that is missing, hidden, not a plain file or unreadable marks nothing.
    const auto marker = fs.readPlainFile(folder / platform::toPath(kMarkerFile));
    if (!marker) {
        return {};
    }
    const std::string_view content(reinterpret_cast<const char*>(marker->data()), marker->size());
    return platform::profileStringIn(content, kMarkerSection, key);
}

NewBallScanResult scanNewBalls(LibraryReader& reader, const Path& appFolder, const BallFoundCallback& onBallFound) {
    NewBallScanResult result;
    if (appFolder.empty()) {
        return result;
    }
    const Path library = ballsFolder(appFolder);
    for (platform::FolderEntry& entry : reader.entries(library, "*.")) {
        if (entry.isFolder && reader.markerSet(library / platform::toPath(entry.name), kAuthKey)) {
            result.brands.push_back(std::move(entry.name));
        }
    }
    for (const std::string& brand : result.brands) {
        const Path brandFolder = library / platform::toPath(brand);
        for (platform::FolderEntry& entry : reader.entries(brandFolder, "*.")) {
            if (!entry.isFolder) {
                continue;
            }
            if (reader.markerSet(brandFolder / platform::toPath(entry.name), kNewKey)) {
                result.newBalls.push_back({brand + "-" + entry.name, brand, entry.name});
            }
            result.balls.push_back(std::move(entry.name));
            if (onBallFound) {
                onBallFound(result.balls.size());
            }
        }
    }
    return result;
}

NewBallScanResult scanNewBalls(const platform::FileSystem& fs, const Path& appFolder,
                               const BallFoundCallback& onBallFound) {
    DiskLibraryReader reader(fs);
    return scanNewBalls(reader, appFolder, onBallFound);
}

} // namespace orbisto::library
