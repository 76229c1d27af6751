#include "library/NewBallScan.h"

#include "platform/IniProfile.h"

namespace orbisto::library {

std::string markerValue(const platform::FileSystem& fs, const Path& folder, std::string_view key) {
    // A marker that is missing, hidden, not a plain file or unreadable marks nothing.
    const auto marker = fs.readPlainFile(folder / kMarkerFile);
    if (!marker) {
        return {};
    }
    const std::string_view content(reinterpret_cast<const char*>(marker->data()), marker->size());
    return platform::profileStringIn(content, kMarkerSection, key);
}

NewBallScanResult scanNewBalls(const platform::FileSystem& fs, const Path& appFolder,
                               const BallFoundCallback& onBallFound) {
    NewBallScanResult result;
    if (appFolder.empty()) {
        return result;
    }
    const Path library = ballsFolder(appFolder);
    for (const platform::FolderEntry& entry : fs.scanFolder(library, "*.")) {
        if (entry.isFolder && markerValue(fs, library / entry.name, kAuthKey) == "1") {
            result.brands.push_back(entry.name);
        }
    }
    for (const std::string& brand : result.brands) {
        const Path brandFolder = library / brand;
        for (const platform::FolderEntry& entry : fs.scanFolder(brandFolder, "*.")) {
            if (!entry.isFolder) {
                continue;
            }
            result.balls.push_back(entry.name);
            if (markerValue(fs, brandFolder / entry.name, kNewKey) == "1") {
                result.newBalls.push_back({brand + "-" + entry.name, brand, entry.name});
            }
            if (onBallFound) {
                onBallFound(result.balls.size());
            }
        }
    }
    return result;
}

} // namespace orbisto::library
