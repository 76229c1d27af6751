#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "library/Library.h"
#include "platform/FileSystem.h"

namespace orbisto::library {

// Reports of a tagging run, each called as the run reaches the brand, ball or frame file.
struct TaggingReport {
    std::function<void(const std::string& brand)> brandFound;
    std::function<void(const std::string& ball)> ballFound;
    std::function<void(const std::string& frame)> frameTagged;
};

// Marks and tags a whole library folder. Every sub-folder of `folder` without a dot in its name is a
// brand and gets the marker Auth "1"; every such sub-folder of a brand is a ball: each of its PNG files
// gets the tag brand|ball, and then the ball's marker gets Auth "1" and New "1" (markNew) or "0".
// A ball folder without PNG files gets no marker; plain files are never brands or balls.
// Returns the number of frame files tagged. An empty folder path walks nothing. A failure stops the run
// with its error; what was written before stays.
std::size_t tagLibrary(const platform::FileSystem& fs, const Path& folder, bool markNew,
                       const TaggingReport& report = {});

} // namespace orbisto::library
