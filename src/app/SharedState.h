#pragma once

#include "i18n/LanguageTexts.h"
#include "library/GameFolders.h"
#include "library/Library.h"

#include <array>
#include <string>
#include <vector>

namespace orbisto {

// The process-wide values the windows share, owned by the main window for the whole run.
// Empty text means "not set". Folders end in a path separator where they are set from a path.
struct SharedState {
    std::string AppFolder;
    std::string GameFolder;
    std::string Fm2005Folder;
    std::string Fm2006Folder;
    std::string Fm2007Folder;
    // The folder of a version (an index into library::gameVersions()): one of the three above.
    std::string& versionFolder(std::size_t version);
    const std::string& versionFolder(std::size_t version) const;
    std::array<std::string, library::kVersionCount> versionFolders() const {
        return {Fm2005Folder, Fm2006Folder, Fm2007Folder};
    }

    std::string ChosenBrand;
    std::string BrandName;
    std::string BallName;
    std::string SourceFolder;
    std::string TargetFolder;
    std::string WinterTargetFolder;
    std::string SkinPreviewMode; // "a" while the install-to-skin window opens for preview only

    // Message texts of the language in use, by message.
    i18n::Messages messages;

    // Each version's folder (FM 2005, FM 2006, FM 2007) with where it came from, as found at start.
    std::array<library::GameFolder, library::kVersionCount> FolderSources{};

    // Brand and ball of every ">New balls" entry, as the last library scan found them.
    std::vector<library::NewBallEntry> newBalls;
};

// The folder members in the order of library::gameVersions().
inline constexpr std::array<std::string SharedState::*, library::kVersionCount> kVersionFolders{
    &SharedState::Fm2005Folder, &SharedState::Fm2006Folder, &SharedState::Fm2007Folder};

inline std::string& SharedState::versionFolder(std::size_t version) {
    return this->*kVersionFolders.at(version);
}
inline const std::string& SharedState::versionFolder(std::size_t version) const {
    return this->*kVersionFolders.at(version);
}

} // namespace orbisto
