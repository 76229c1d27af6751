#include "library/NewBallScan.h"

#include "platform/IniProfile.h"

namespace orbisto::library {

std::string markerValue(const platform::FileSystem& fs, const Path& folder, std::string_view key) {
    const Path marker = folder / kMarkerFile;
    if (!fs.isPlainFile(marker)) {
        return {};
    }
    return platform::readProfileString(marker, kMarkerSection, key);
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
