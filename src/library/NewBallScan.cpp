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
    for (std::string& brand : platform::folderNames(reader.entries(library, "*."))) {
        if (reader.markerSet(library / platform::toPath(brand), kAuthKey)) {
            result.brands.push_back(std::move(brand));
        }
    }
    for (const std::string& brand : result.brands) {
        const Path brandFolder = library / platform::toPath(brand);
        for (std::string& ball : platform::folderNames(reader.entries(brandFolder, "*."))) {
            if (reader.markerSet(brandFolder / platform::toPath(ball), kNewKey)) {
                result.newBalls.push_back({brand + "-" + ball, brand, ball});
            }
            result.balls.push_back(std::move(ball));
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
