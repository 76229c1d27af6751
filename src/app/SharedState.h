#pragma once

#include <string>
#include <vector>

#include "library/Library.h"

namespace orbisto {

// The process-wide values the windows share, owned by the main window for the whole run.
// Empty text means "not set". Folders end in a path separator where they are set from a path.
struct SharedState {
    std::string AppFolder;
    std::string GameFolder;
    std::string Fm2005Folder;
    std::string Fm2006Folder;
    std::string Fm2007Folder;

    std::string ChosenBrand;
    std::string BrandName;
    std::string BallName;
    std::string SourceFolder;
    std::string TargetFolder;
    std::string WinterTargetFolder;
    std::string SkinPreviewMode; // "a" while the install-to-skin window opens for preview only

    // Message texts of the language in use, named after their language-file keys.
    std::string redmsg, selmsg, katmsg, dodmsg, pusmsg, istmsg, ist2msg, resmsg;
    // Messages of the own-ball window's name and frame checks; built-in English when the key is missing.
    std::string namemsg, chkmsg;
    // Messages of archives and drops; built-in English when the key is missing.
    std::string setmsg, nosetmsg, dropmsg;
    std::string arcbadmsg, arcencmsg, arcnummsg, arcsizemsg, arctotmsg, arcbombmsg;

    // Brand and ball of every ">New balls" entry, as the last library scan found them.
    std::vector<library::NewBallEntry> newBalls;
};

} // namespace orbisto
