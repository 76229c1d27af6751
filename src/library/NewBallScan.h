#pragma once

#include "library/Library.h"
#include "library/LibraryReader.h"
#include "platform/FileSystem.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto::library {

// Value of `key` in section Sys of `folder`/tst.ini, or the empty text when that is no plain file.
std::string markerValue(const platform::FileSystem& fs, const Path& folder, std::string_view key);

// What the new-ball scan found: the listed brands, every ball folder of those brands (the ball
// count), and the balls marked New = "1", in the order found.
struct NewBallScanResult {
    std::vector<std::string> brands;
    std::vector<std::string> balls;
    std::vector<NewBallEntry> newBalls;

    bool operator==(const NewBallScanResult&) const = default;
};

// Called after each ball folder found, with the number found so far; lets the caller show the
// growing count and keep its window responsive.
using BallFoundCallback = std::function<void(std::size_t ballsFound)>;

// Walks AppFolder/balls: brands whose marker has Auth "1" (read once per brand), then each brand's
// ball folders (names without a dot; plain files are no balls). A ball whose marker has New "1" is
// a new ball whatever its Auth. A missing library finds nothing.
NewBallScanResult scanNewBalls(LibraryReader& reader, const Path& appFolder, const BallFoundCallback& onBallFound = {});
// The same, read straight from the disk.
NewBallScanResult scanNewBalls(const platform::FileSystem& fs, const Path& appFolder,
                               const BallFoundCallback& onBallFound = {});

} // namespace orbisto::library
