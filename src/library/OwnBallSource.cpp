#include "library/OwnBallSource.h"

#include "library/NameCheck.h"
#include "library/WriteCheck.h"
#include "platform/PathText.h"

#include <cstdint>
#include <utility>

namespace orbisto::library {

namespace {

// The set to unpack: the only one, or the one `choose` picks by its path.
std::optional<std::size_t> chosenSet(const std::vector<BallSet>& sets, const BallSetChooser& choose) {
    if (sets.size() == 1) {
        return 0;
    }
    std::vector<std::string> paths;
    for (const BallSet& set : sets) {
        paths.push_back(set.folder + "/");
    }
    const std::optional<std::size_t> answer = choose ? choose(paths) : std::nullopt;
    if (!answer || *answer >= sets.size()) {
        return std::nullopt;
    }
    return answer;
}

} // namespace

OwnBallSource::OwnBallSource(platform::FileSystem& fs, Path tempRoot) : fs_(fs), tempRoot_(std::move(tempRoot)) {}

OwnBallSource::~OwnBallSource() = default;

void OwnBallSource::onFilesChanged(std::function<void()> listener) {
    listener_ = std::move(listener);
}

Path OwnBallSource::unpackedFolder() const {
    return unpacked_ ? unpacked_->folder() : Path();
}

SourceTaken OwnBallSource::chooseFolder(const std::string& folderText) {
    dropUnpacked();
    list(folderText);
    return {};
}

SourceTaken OwnBallSource::openArchive(const std::string& fileText, const BallSetChooser& choose) {
    const Path file = platform::toPath(fileText);
    try {
        const std::vector<std::uint8_t> bytes = readArchiveFile(fs_, file);
        const ArchiveBalls balls = findBallSets(bytes);
        if (balls.sets.empty()) {
            return {.outcome = SourceOutcome::NoBallSet, .missingFrames = balls.missingFrames};
        }
        const std::optional<std::size_t> chosen = chosenSet(balls.sets, choose);
        if (!chosen) {
            return {.outcome = SourceOutcome::Cancelled};
        }
        // Unpacked in full before the previous source goes, so a failure leaves that one as it was.
        auto unpacked = std::make_unique<UnpackedBall>(fs_, tempRoot_);
        unpackBallSet(fs_, bytes, balls.sets[*chosen], unpacked->folder());
        dropUnpacked();
        unpacked_ = std::move(unpacked);
        list(platform::toText(unpacked_->folder()));
        const std::string fileName = platform::toText(file.filename());
        return {.outcome = SourceOutcome::Listed, .suggestedName = suggestedBallName(balls.sets[*chosen], fileName)};
    } catch (const ArchiveError& error) {
        return {.outcome = SourceOutcome::Refused, .problem = error.problem()};
    }
}

SourceTaken OwnBallSource::take(const std::string& pathText, const BallSetChooser& choose) {
    if (fs_.folderExists(platform::toPath(pathText))) {
        return chooseFolder(pathText);
    }
    return openArchive(pathText, choose);
}

void OwnBallSource::forgetFiles() {
    check_ = {};
    filesChanged();
}

void OwnBallSource::discardUnpacked() {
    if (dropUnpacked()) {
        filesChanged();
    }
}

bool OwnBallSource::dropUnpacked() {
    if (!unpacked_) {
        return false;
    }
    const bool wasSource = folder_ == platform::toText(unpacked_->folder());
    if (wasSource) {
        folder_.clear();
        check_ = {};
    }
    unpacked_.reset();
    return wasSource;
}

void OwnBallSource::list(std::string folderText) {
    folder_ = std::move(folderText);
    check_ = {};
    try {
        check_ = checkSourceFolder(fs_, platform::toPath(folder_));
    } catch (...) {
        filesChanged(); // the folder's files are unknown now: none are listed
        throw;
    }
    filesChanged();
}

void OwnBallSource::filesChanged() const {
    if (listener_) {
        listener_();
    }
}

std::optional<NewBallResult> OwnBallSource::checkNewBall(const NewBallInput& input) const {
    if (input.name.empty() || input.typedBrand.empty() || check_.files.empty()) {
        return NewBallResult{.outcome = NewBallOutcome::Incomplete};
    }
    if (!isValidLibraryName(input.name)) {
        return NewBallResult{.outcome = NewBallOutcome::InvalidName};
    }
    if (!resolveBrand(input.selectedBrand, input.typedBrand, input.listedBrands)) {
        return NewBallResult{.outcome = NewBallOutcome::Incomplete};
    }
    if (!check_.passed()) {
        return NewBallResult{.outcome = NewBallOutcome::MissingFrames, .missingFrames = check_.missingFrames};
    }
    return std::nullopt;
}

NewBallResult OwnBallSource::addBall(const Path& appFolder, const NewBallInput& input,
                                     const FileCopiedCallback& onFileCopied) {
    if (std::optional<NewBallResult> refused = checkNewBall(input)) {
        return std::move(*refused);
    }
    const std::string brand = *resolveBrand(input.selectedBrand, input.typedBrand, input.listedBrands);
    // Copies: events handled while the files are copied may take another source meanwhile.
    const Path folder = platform::toPath(folder_);
    const std::vector<std::string> files = check_.files;
    AddBallOutcome added{};
    try {
        added = addOwnBall(fs_, appFolder, brand, input.name, folder, files, onFileCopied);
    } catch (const FolderNotWritable& e) {
        return {.outcome = NewBallOutcome::NotWritable, .folder = e.folder()}; // nothing was written
    } catch (...) {
        discardUnpacked();
        throw;
    }
    switch (added) {
    case AddBallOutcome::AlreadyExists:
        return {.outcome = NewBallOutcome::AlreadyExists};
    case AddBallOutcome::InvalidName:
        return {.outcome = NewBallOutcome::InvalidName};
    case AddBallOutcome::Added:
        break;
    }
    discardUnpacked();
    return {.outcome = NewBallOutcome::Added};
}

std::optional<Path> droppedSource(const platform::FileSystem& fs, const std::vector<Path>& paths) {
    if (classifyDrop(fs, paths) == DropKind::Unsupported) {
        return std::nullopt;
    }
    return paths.front();
}

} // namespace orbisto::library
