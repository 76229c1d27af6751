#include "library/LibraryScan.h"

#include "library/NewBallScan.h"
#include "platform/Errors.h"
#include "platform/IniProfile.h"
#include "platform/PathText.h"
#include "platform/Text.h"

#include <algorithm>

namespace orbisto::library {

namespace {

// Listed sub-folders of `folder` among the names matching `pattern`. A plain file is skipped
// without a look inside: no marker can lie below it.
std::vector<std::string> listedSubfolders(LibraryReader& reader, const Path& folder, std::string_view pattern) {
    std::vector<std::string> names;
    for (std::string& name : platform::folderNames(reader.entries(folder, pattern))) {
        // A folder named like the pseudo-brand could never be told apart from it.
        if (name != kNewBalls && reader.markerSet(folder / platform::toPath(name), kAuthKey)) {
            names.push_back(std::move(name));
        }
    }
    sortForLibrary(names);
    return names;
}

} // namespace

bool isListedFolder(const platform::FileSystem& fs, const Path& folder) {
    return markerValue(fs, folder, kAuthKey) == "1";
}

bool libraryLess(std::string_view a, std::string_view b) {
    const bool aNew = a == kNewBalls;
    const bool bNew = b == kNewBalls;
    if (aNew || bNew) {
        return aNew && !bNew;
    }
    return lessIgnoreCaseLocale(a, b);
}

void sortForLibrary(std::vector<std::string>& names) {
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return libraryLess(a, b); });
}

std::vector<std::string> listBrands(LibraryReader& reader, const Path& appFolder) {
    if (appFolder.empty()) {
        return {};
    }
    return listedSubfolders(reader, ballsFolder(appFolder), "*");
}

std::vector<std::string> listBalls(LibraryReader& reader, const Path& appFolder, std::string_view brand) {
    // An empty brand would scan the library root itself and offer its brands as balls.
    if (appFolder.empty() || brand.empty() || brand == kNewBalls) {
        return {};
    }
    return listedSubfolders(reader, ballsFolder(appFolder) / platform::toPath(brand), "*.");
}

std::vector<std::string> brandBoxItems(LibraryReader& reader, const Path& appFolder) {
    std::vector<std::string> items{std::string(kNewBalls)};
    for (std::string& name : listBrands(reader, appFolder)) {
        items.push_back(std::move(name));
    }
    return items;
}

std::vector<std::string> ballListItems(LibraryReader& reader, const Path& appFolder, std::string_view brand,
                                       const std::vector<NewBallEntry>& newBalls) {
    if (brand != kNewBalls) {
        return listBalls(reader, appFolder, brand);
    }
    std::vector<std::string> items;
    items.reserve(newBalls.size());
    for (const NewBallEntry& entry : newBalls) {
        items.push_back(entry.text);
    }
    sortForLibrary(items);
    return items;
}

std::vector<std::string> listBrands(const platform::FileSystem& fs, const Path& appFolder) {
    DiskLibraryReader reader(fs);
    return listBrands(reader, appFolder);
}

std::vector<std::string> listBalls(const platform::FileSystem& fs, const Path& appFolder, std::string_view brand) {
    DiskLibraryReader reader(fs);
    return listBalls(reader, appFolder, brand);
}

std::vector<std::string> brandBoxItems(const platform::FileSystem& fs, const Path& appFolder) {
    DiskLibraryReader reader(fs);
    return brandBoxItems(reader, appFolder);
}

std::vector<std::string> ballListItems(const platform::FileSystem& fs, const Path& appFolder, std::string_view brand,
                                       const std::vector<NewBallEntry>& newBalls) {
    DiskLibraryReader reader(fs);
    return ballListItems(reader, appFolder, brand, newBalls);
}

} // namespace orbisto::library
