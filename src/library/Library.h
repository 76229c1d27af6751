#pragma once

#include "platform/FileSystem.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto::library {

using Path = std::filesystem::path;

// The pseudo-brand that lists the balls marked as new; no folder has this name.
inline constexpr std::string_view kNewBalls = ">New balls";
// Marker file of brand and ball folders, its section and keys.
inline constexpr std::string_view kMarkerFile = "tst.ini";
inline constexpr std::string_view kMarkerSection = "Sys";
inline constexpr std::string_view kAuthKey = "Auth";
inline constexpr std::string_view kNewKey = "New";

// The 21 frame names ball_11.png ... ball_73.png, row by row.
extern const std::array<std::string_view, 21> kFrameNames;

// An entry of ">New balls": its text (brand + "-" + ball) and the brand and ball it came from,
// so names that contain "-" still resolve to their own folders.
struct NewBallEntry {
    std::string text;
    std::string brand;
    std::string ball;

    bool operator==(const NewBallEntry&) const = default;
};

// A ball of the library: its brand folder and ball folder names.
struct BallRef {
    std::string brand;
    std::string ball;
};

// AppFolder + "balls"
Path ballsFolder(const Path& appFolder);
// AppFolder + "balls/" + brand + "/" + ball
Path ballFolder(const Path& appFolder, const BallRef& ball);

// The PNG files of a folder (a ball's frames and any other picture beside them), in scan order.
std::vector<std::string> pngFiles(const platform::FileSystem& fs, const Path& folder);

// Resolves a ">New balls" entry: through the pair recorded for it in `entries`, and only when none
// is known, by SplitText at "-" (first piece brand, second ball). Fewer than two pieces raise
// ListIndexError.
BallRef resolveNewBallEntry(std::string_view entryText, const std::vector<NewBallEntry>& entries);

} // namespace orbisto::library
