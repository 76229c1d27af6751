#include "library/Library.h"

#include "platform/Errors.h"
#include "platform/PathText.h"
#include "platform/Text.h"

namespace orbisto::library {

const std::array<std::string_view, 21> kFrameNames = {
    "ball_11.png", "ball_12.png", "ball_13.png", "ball_21.png", "ball_22.png", "ball_23.png", "ball_31.png",
    "ball_32.png", "ball_33.png", "ball_41.png", "ball_42.png", "ball_43.png", "ball_51.png", "ball_52.png",
    "ball_53.png", "ball_61.png", "ball_62.png", "ball_63.png", "ball_71.png", "ball_72.png", "ball_73.png"};

Path ballsFolder(const Path& appFolder) {
    return appFolder / "balls";
}

std::vector<std::string> pngFiles(const platform::FileSystem& fs, const Path& folder) {
    return platform::fileNames(fs, folder, "*.png");
}

Path ballFolder(const Path& appFolder, const BallRef& ball) {
    return ballsFolder(appFolder) / platform::toPath(ball.brand) / platform::toPath(ball.ball);
}

BallRef resolveNewBallEntry(std::string_view entryText, const std::vector<NewBallEntry>& entries) {
    for (const NewBallEntry& entry : entries) {
        if (entry.text == entryText) {
            return {entry.brand, entry.ball};
        }
    }
    // No pair recorded: take the entry apart at "-" (first piece brand, second ball).
    std::vector<std::string> pieces = SplitText(entryText, "-");
    if (pieces.size() < 2) {
        throw ListIndexError(static_cast<long>(pieces.size()));
    }
    return {std::move(pieces[0]), std::move(pieces[1])};
}

} // namespace orbisto::library
