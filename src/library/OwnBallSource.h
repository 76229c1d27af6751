#pragma once

#include "library/ArchiveImport.h"
#include "library/ArchiveProblem.h"
#include "library/Library.h"
#include "library/OwnBall.h"
#include "platform/FileSystem.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orbisto::library {

// What taking a folder or an archive as a new ball's source came to.
enum class SourceOutcome {
    Listed,    // its PNG files are the source's now
    NoBallSet, // an archive with no folder of all 21 frames
    Refused,   // an archive that cannot be read
    Cancelled, // none of an archive's ball sets was chosen
};
struct SourceTaken {
    SourceOutcome outcome = SourceOutcome::Listed;
    std::vector<std::string> missingFrames{}; // NoBallSet: the frames the best folder lacks
    ArchiveProblem problem{};                 // Refused: why
    // Listed from an archive: the ball name its set suggests, byte for byte. Nothing for a folder.
    std::optional<std::string> suggestedName{};
};

// Which of an archive's ball sets to unpack, given their paths ("Comet/normal/", "" for the top
// level); nothing, or a number past the last, takes none.
using BallSetChooser = std::function<std::optional<std::size_t>(const std::vector<std::string>& setPaths)>;

// What "Add ball" is given: the name, the brand box's entry when it is selected and shows unedited,
// the text the box shows, and the brands it lists.
struct NewBallInput {
    std::string name;
    std::optional<std::string> selectedBrand;
    std::string typedBrand;
    std::vector<std::string> listedBrands;
};

enum class NewBallOutcome {
    Added,         // in the library
    Incomplete,    // no name, no brand named, a brand not listed, or no PNG file to add
    InvalidName,   // a name isValidLibraryName rejects
    MissingFrames, // the source lacks some of the 21 frames
    AlreadyExists, // the brand has a ball (or file) of that name
    NotWritable,   // the brand folder refuses new files
};
struct NewBallResult {
    NewBallOutcome outcome = NewBallOutcome::Added;
    std::vector<std::string> missingFrames{}; // MissingFrames: in frame order
    Path folder{};                            // NotWritable: the folder that refuses
};

// Where the frames of a new own ball come from: a folder chosen or dropped, or the ball set of an
// archive unpacked into a private temporary folder. That folder is removed when another source
// replaces it, when it is discarded, when a ball is added from it (or fails to be) and with this
// object. Errors of the file system go on to the caller; a refused archive is an outcome.
class OwnBallSource {
public:
    OwnBallSource(platform::FileSystem& fs, Path tempRoot);
    ~OwnBallSource();
    OwnBallSource(const OwnBallSource&) = delete;
    OwnBallSource& operator=(const OwnBallSource&) = delete;

    // Called whenever check().files may have changed, so a window can list them; never by the destructor.
    void onFilesChanged(std::function<void()> listener);

    // The source folder as text; empty when there is none. A folder chosen stays until replaced.
    const std::string& folder() const { return folder_; }
    // Its PNG files and the frames it lacks, as read when it was taken.
    const SourceFolderCheck& check() const { return check_; }
    // The private folder holding the archive's set opened last; empty when there is none.
    Path unpackedFolder() const;

    // Takes `folderText` as the source and reads its PNG files; an unpacked archive goes.
    SourceTaken chooseFolder(const std::string& folderText);
    // Finds the ball sets of the archive `fileText`, asks `choose` when there are several, and
    // unpacks the set into a new private folder that becomes the source. An archive refused, without
    // a set or with none chosen leaves the source as it was.
    SourceTaken openArchive(const std::string& fileText, const BallSetChooser& choose);
    // A folder as chooseFolder, anything else as openArchive (as a drop or a pending choice hands over).
    SourceTaken take(const std::string& pathText, const BallSetChooser& choose);
    // Forgets the PNG files read; the folder stays (the window lists nothing until it is taken again).
    void forgetFiles();
    // Removes the unpacked archive; when it was the source, there is no source any more.
    void discardUnpacked();

    // "Check a new ball": the checks "Add ball" makes before it writes anything, in order; the first
    // refusal (Incomplete, InvalidName or MissingFrames), or nothing when the ball may be added.
    std::optional<NewBallResult> checkNewBall(const NewBallInput& input) const;
    // Checks, then adds the source's PNG files as ball input.name of the resolved brand, tagged and
    // marked (see addOwnBall). An added ball, or an error on the way, removes the unpacked archive;
    // a refusal keeps it for another try.
    NewBallResult addBall(const Path& appFolder, const NewBallInput& input,
                          const FileCopiedCallback& onFileCopied = {});

private:
    void list(std::string folderText);
    // Removes the unpacked archive; true when it was the source.
    bool dropUnpacked();
    void filesChanged() const;

    platform::FileSystem& fs_;
    Path tempRoot_;
    std::string folder_;
    SourceFolderCheck check_;
    std::unique_ptr<UnpackedBall> unpacked_;
    std::function<void()> listener_;
};

// The one folder or archive file a drop hands over; nothing for any other drop (see classifyDrop).
std::optional<Path> droppedSource(const platform::FileSystem& fs, const std::vector<Path>& paths);

} // namespace orbisto::library
