#include "library/InstalledBall.h"

#include "library/BallTag.h"
#include "platform/PathText.h"
#include "platform/Text.h"

namespace orbisto::library {

std::optional<std::filesystem::path> installedFrame(const platform::FileSystem& fs, const std::string& gameFolder,
                                                    std::string_view relativeFrame) {
    if (gameFolder.empty()) {
        return std::nullopt;
    }
    std::filesystem::path frame = platform::toPath(gameFolder) / platform::toPath(relativeFrame);
    if (!fs.isPlainFile(frame)) {
        return std::nullopt;
    }
    return frame;
}

std::string installedBallName(const std::filesystem::path& frame) {
    return tagForDisplay(ReadBallTag(frame));
}

} // namespace orbisto::library
