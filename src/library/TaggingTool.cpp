#include "library/TaggingTool.h"

#include "library/BallTag.h"
#include "library/Library.h"
#include "platform/IniProfile.h"
#include "platform/PathText.h"

#include <vector>

namespace orbisto::library {

namespace {

void report(const std::function<void(const std::string&)>& callback, const std::string& name) {
    if (callback) {
        callback(name);
    }
}

// Tags the PNG files of one ball and marks the ball once they all carry the tag.
std::size_t tagBall(const platform::FileSystem& fs, const Path& ballFolder, const std::string& tag,
                    const char* newValue, const TaggingReport& reports) {
    std::size_t tagged = 0;
    for (const std::string& frame : pngFiles(fs, ballFolder)) {
        report(reports.frameTagged, frame);
        SaveToExe(ballFolder / platform::toPath(frame), tag);
        ++tagged;
    }
    if (tagged > 0) {
        const Path marker = ballFolder / platform::toPath(kMarkerFile);
        platform::writeProfileString(marker, kMarkerSection, kAuthKey, "1");
        platform::writeProfileString(marker, kMarkerSection, kNewKey, newValue);
    }
    return tagged;
}

} // namespace

std::size_t tagLibrary(const platform::FileSystem& fs, const Path& folder, bool markNew, const TaggingReport& reports) {
    if (folder.empty()) {
        return 0;
    }
    const char* newValue = markNew ? "1" : "0";
    const std::vector<std::string> brands = platform::folderNames(fs, folder);
    for (const std::string& brand : brands) {
        report(reports.brandFound, brand);
        platform::writeProfileString(folder / platform::toPath(brand) / platform::toPath(kMarkerFile), kMarkerSection,
                                     kAuthKey, "1");
    }
    std::size_t tagged = 0;
    for (const std::string& brand : brands) {
        for (const std::string& ball : platform::folderNames(fs, folder / platform::toPath(brand))) {
            report(reports.ballFound, ball);
            tagged += tagBall(fs, folder / platform::toPath(brand) / platform::toPath(ball), ballTagText(brand, ball),
                              newValue, reports);
        }
    }
    return tagged;
}

} // namespace orbisto::library
