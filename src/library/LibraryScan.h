#pragma once

#include "library/Library.h"
#include "library/LibraryReader.h"
#include "platform/FileSystem.h"

#include <string>
#include <string_view>
#include <vector>

namespace orbisto::library {

// True when `folder` holds a marker file (a plain tst.ini, not hidden) whose Auth in section Sys
// reads exactly "1". A marker that cannot be read counts as not set.
bool isListedFolder(const platform::FileSystem& fs, const Path& folder);

// Order of the brand box and the ball list: ">New balls" before everything, the rest in the
// user's locale, ignoring case.
bool libraryLess(std::string_view a, std::string_view b);
void sortForLibrary(std::vector<std::string>& names);

// The listed brands of the library (every name, files skipped), sorted.
std::vector<std::string> listBrands(LibraryReader& reader, const Path& appFolder);
// The listed balls of one brand (names without a dot only), sorted. An empty brand or a brand
// without a folder has none.
std::vector<std::string> listBalls(LibraryReader& reader, const Path& appFolder, std::string_view brand);

// Items of the brand box: ">New balls", then the listed brands.
std::vector<std::string> brandBoxItems(LibraryReader& reader, const Path& appFolder);
// Items of the ball list for the chosen brand: for ">New balls" the texts of the new-ball entries,
// otherwise the brand's listed balls; sorted. An empty brand (nothing selected) gives nothing.
std::vector<std::string> ballListItems(LibraryReader& reader, const Path& appFolder, std::string_view brand,
                                       const std::vector<NewBallEntry>& newBalls);

// The same, read straight from the disk.
std::vector<std::string> listBrands(const platform::FileSystem& fs, const Path& appFolder);
std::vector<std::string> listBalls(const platform::FileSystem& fs, const Path& appFolder, std::string_view brand);
std::vector<std::string> brandBoxItems(const platform::FileSystem& fs, const Path& appFolder);
std::vector<std::string> ballListItems(const platform::FileSystem& fs, const Path& appFolder, std::string_view brand,
                                       const std::vector<NewBallEntry>& newBalls);

} // namespace orbisto::library
