#include "library/OwnBall.h"

#include "library/BallTag.h"
#include "library/Library.h"
#include "library/NameCheck.h"
#include "library/WriteCheck.h"
#include "library/NewBallScan.h"
#include "platform/Errors.h"
#include "platform/IniProfile.h"
#include "platform/PathText.h"
#include "platform/Text.h"

#include <algorithm>

namespace orbisto::library {

namespace {

void sortIgnoringCase(std::vector<std::string>& names) {
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return lessIgnoreCaseLocale(a, b); });
}

void writeAuthMarker(const Path& folder) {
    platform::writeProfileString(folder / platform::toPath(kMarkerFile), kMarkerSection, kAuthKey, "1");
}

} // namespace

std::vector<std::string> ownBallBrands(const platform::FileSystem& fs, const Path& appFolder) {
    std::vector<std::string> brands;
    if (appFolder.empty()) {
        return brands;
    }
    const Path library = ballsFolder(appFolder);
    for (std::string& name : platform::folderNames(fs, library)) {
        if (markerValue(fs, library / platform::toPath(name), kAuthKey) == "1") {
            brands.push_back(std::move(name));
        }
    }
    sortIgnoringCase(brands);
    return brands;
}

AddBrandOutcome addBrand(platform::FileSystem& fs, const Path& appFolder, const std::vector<std::string>& listedBrands,
                         const std::string& name) {
    if (name.empty()) {
        return AddBrandOutcome::EmptyName;
    }
    if (!isValidLibraryName(name) || appFolder.empty()) {
        return AddBrandOutcome::InvalidName;
    }
    const bool listed = std::any_of(listedBrands.begin(), listedBrands.end(),
                                    [&](const std::string& brand) { return equalsIgnoreCase(brand, name); });
    if (listed) {
        return AddBrandOutcome::AlreadyListed;
    }
    requireWritableFolder(fs, ballsFolder(appFolder));
    const Path brandFolder = ballsFolder(appFolder) / platform::toPath(name);
    fs.createFolder(brandFolder);
    try {
        writeAuthMarker(brandFolder);
    } catch (...) {
        fs.removeTree(brandFolder); // we created it a moment ago: it holds nothing else
        throw;
    }
    return AddBrandOutcome::Added;
}

SourceFolderCheck checkSourceFolder(const platform::FileSystem& fs, const Path& folder) {
    SourceFolderCheck check;
    if (folder.empty()) {
        return check;
    }
    check.files = pngFiles(fs, folder);
    sortIgnoringCase(check.files);
    for (std::string_view frame : kFrameNames) {
        if (std::find(check.files.begin(), check.files.end(), frame) == check.files.end()) {
            check.missingFrames.emplace_back(frame);
        }
    }
    return check;
}

std::optional<std::string> resolveBrand(const std::optional<std::string>& selected, std::string_view typed,
                                        const std::vector<std::string>& listedBrands) {
    if (selected && !selected->empty()) {
        return selected;
    }
    for (const std::string& brand : listedBrands) {
        if (!typed.empty() && equalsIgnoreCase(brand, typed)) {
            return brand;
        }
    }
    return std::nullopt;
}

AddBallOutcome addOwnBall(platform::FileSystem& fs, const Path& appFolder, const std::string& brand,
                          const std::string& name, const Path& sourceFolder, const std::vector<std::string>& files,
                          const FileCopiedCallback& onFileCopied) {
    if (appFolder.empty() || !isValidLibraryName(brand) || !isValidLibraryName(name)) {
        return AddBallOutcome::InvalidName;
    }
    const Path brandFolder = ballsFolder(appFolder) / platform::toPath(brand);
    const Path ballFolder = brandFolder / platform::toPath(name);
    if (fs.exists(ballFolder)) {
        return AddBallOutcome::AlreadyExists;
    }
    requireWritableFolder(fs, brandFolder);
    // Hidden, so no listing ever shows a ball that is still being assembled.
    const Path staging = brandFolder / platform::toPath("." + name + ".adding");
    fs.removeTree(staging); // left over from an interrupted run
    fs.createFolder(staging);
    try {
        const std::string tag = ballTagText(brand, name);
        for (const std::string& file : files) {
            fs.copyFile(sourceFolder / platform::toPath(file), staging / platform::toPath(file));
            if (onFileCopied) {
                onFileCopied();
            }
            SaveToExe(staging / platform::toPath(file), tag);
        }
        writeAuthMarker(staging);
        if (fs.exists(ballFolder)) {
            throw IoError(183); // appeared while we copied
        }
        fs.rename(staging, ballFolder);
    } catch (...) {
        fs.removeTree(staging);
        throw;
    }
    return AddBallOutcome::Added;
}

} // namespace orbisto::library
