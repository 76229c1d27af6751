#include "library/OwnBallSource.h"

#include "core/InstallFaults.h"
#include "core/OwnBallFixtures.h"
#include "library/BallTag.h"
#include "platform/PathText.h"
#include "support/ArchiveMaker.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <tuple>

namespace orbisto::test {
namespace {

using library::NewBallOutcome;
using library::OwnBallSource;
using library::SourceOutcome;
using library::SourceTaken;

std::vector<std::string> sortedFrames() {
    std::vector<std::string> names = frameNames();
    std::sort(names.begin(), names.end());
    return names;
}

// A library with the empty brand Alpha, a folder of the 21 frames, a downloads folder for archives and
// a temporary root for the unpacked ones; the source under test counts how often it reports its files.
class OwnBallSourceTest : public ::testing::Test {
protected:
    OwnBallSourceTest() {
        writeMarker(balls() / "Alpha", "Auth=1");
        writeFrames(frames());
        fs::create_directories(tempRoot());
        source.onFilesChanged([this] { ++filesChanged; });
    }
    fs::path app() const { return temp / "app"; }
    fs::path balls() const { return temp / "app/balls"; }
    fs::path frames() const { return temp / "user/Comet frames"; }
    fs::path tempRoot() const { return temp / "tmp"; }
    std::size_t unpackFolders() const { return namesIn(tempRoot()).size(); }

    // A zip of `entries` in the downloads folder, as the core's text.
    std::string archive(const std::string& name, const std::vector<ArchiveEntry>& entries) const {
        const fs::path file = temp / "downloads" / name;
        writeFile(file, makeArchive(ArchiveFormat::Zip, entries));
        return platform::toText(file);
    }
    SourceTaken open(const std::string& file, std::optional<std::size_t> answer = std::nullopt) {
        return source.openArchive(file, [this, answer](const std::vector<std::string>& paths) {
            offered.push_back(paths);
            return answer;
        });
    }
    // "Add ball" with `name` and the brand typed as `brand`.
    static library::NewBallInput input(const std::string& name = "Comet", const std::string& brand = "Alpha") {
        return {name, std::nullopt, brand, {"Alpha"}};
    }

    TempFolder temp;
    OwnBallSource source{platform::localFileSystem(), tempRoot()};
    int filesChanged = 0;
    std::vector<std::vector<std::string>> offered; // the set paths each chooser call was given
};

TEST_F(OwnBallSourceTest, folderChosen_listsItsPngFilesAndWhatItLacks_forgettingKeepsTheFolder) {
    const fs::path folder = temp / "user/partial";
    std::vector<std::string> names = frameNames();
    std::erase(names, std::string("ball_33.png"));
    names.push_back("Extra.PNG");
    writeFrames(folder, names);
    writeFile(folder / "notes.txt", "no frame");

    const SourceTaken taken = source.chooseFolder(platform::toText(folder));
    EXPECT_EQ(taken.outcome, SourceOutcome::Listed);
    EXPECT_FALSE(taken.suggestedName); // a folder suggests no name
    EXPECT_EQ(source.folder(), platform::toText(folder));
    EXPECT_EQ(source.check().files.size(), 21u);
    EXPECT_EQ(source.check().files.front(), "ball_11.png");
    EXPECT_EQ(source.check().files.back(), "Extra.PNG");
    EXPECT_EQ(source.check().missingFrames, std::vector<std::string>{"ball_33.png"});
    EXPECT_EQ(filesChanged, 1);

    source.forgetFiles();
    EXPECT_TRUE(source.check().files.empty());
    EXPECT_EQ(source.folder(), platform::toText(folder));
    EXPECT_EQ(filesChanged, 2);
}

TEST_F(OwnBallSourceTest, archiveSets_oneIsTaken_severalAreChosenByPath_noneOrRefusedKeepThePrevious) {
    const SourceTaken one = open(archive("Nova.zip", frameEntries("")));
    EXPECT_EQ(one.outcome, SourceOutcome::Listed);
    EXPECT_EQ(one.suggestedName, std::optional<std::string>("Nova"));
    EXPECT_TRUE(offered.empty()); // one set is taken without asking
    EXPECT_EQ(source.folder(), platform::toText(source.unpackedFolder()));
    EXPECT_EQ(source.unpackedFolder().parent_path(), tempRoot());
    EXPECT_EQ(source.check().files, sortedFrames());
    EXPECT_TRUE(source.check().passed());

    auto two = frameEntries("Comet/normal");
    append(two, frameEntries("Comet/winter", true));
    const std::string several = archive("Comet.zip", two);
    const SourceTaken winter = open(several, 1);
    EXPECT_EQ(winter.outcome, SourceOutcome::Listed);
    EXPECT_EQ(winter.suggestedName, std::optional<std::string>("winter"));
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0], (std::vector<std::string>{"Comet/normal/", "Comet/winter/"}));
    const std::string chosen = source.folder();

    auto twenty = frameEntries("");
    twenty.erase(twenty.begin() + 8);
    const std::string garbled = platform::toText(temp / "downloads/Garbled.zip");
    writeFile(platform::toPath(garbled), "PK\x03\x04 not really a zip");
    const int changesBefore = filesChanged;
    EXPECT_EQ(open(several).outcome, SourceOutcome::Cancelled);
    EXPECT_EQ(open(several, 2).outcome, SourceOutcome::Cancelled); // past the last set
    const SourceTaken none = open(archive("Twenty.zip", twenty));
    EXPECT_EQ(none.outcome, SourceOutcome::NoBallSet);
    EXPECT_EQ(none.missingFrames, std::vector<std::string>{"ball_33.png"});
    const SourceTaken refused = open(garbled);
    EXPECT_EQ(refused.outcome, SourceOutcome::Refused);
    EXPECT_EQ(refused.problem, library::ArchiveProblem::Unreadable);

    EXPECT_EQ(source.folder(), chosen);
    EXPECT_EQ(source.check().files.size(), 21u);
    EXPECT_EQ(unpackFolders(), 1u);
    EXPECT_EQ(filesChanged, changesBefore);
}

TEST_F(OwnBallSourceTest, drops_takeOneFolderOrOneArchive_otherDropsNothing) {
    const std::string nova = archive("Nova.zip", frameEntries(""));
    writeFile(temp / "downloads/notes.txt", "text");
    const auto& local = platform::localFileSystem();
    EXPECT_EQ(library::droppedSource(local, {frames()}), std::optional<fs::path>(frames()));
    EXPECT_EQ(library::droppedSource(local, {platform::toPath(nova)}), std::optional<fs::path>(platform::toPath(nova)));
    EXPECT_EQ(library::droppedSource(local, {temp / "downloads/notes.txt"}), std::nullopt);
    EXPECT_EQ(library::droppedSource(local, {frames(), platform::toPath(nova)}), std::nullopt);
    EXPECT_EQ(library::droppedSource(local, {}), std::nullopt);

    EXPECT_EQ(source.take(nova, {}).suggestedName, std::optional<std::string>("Nova"));
    EXPECT_EQ(unpackFolders(), 1u);
    const SourceTaken folder = source.take(platform::toText(frames()), {});
    EXPECT_EQ(folder.outcome, SourceOutcome::Listed);
    EXPECT_FALSE(folder.suggestedName);
    EXPECT_EQ(source.folder(), platform::toText(frames()));
    EXPECT_EQ(unpackFolders(), 0u); // the archive taken before is no longer needed
}

TEST_F(OwnBallSourceTest, unpackedFolder_goesWhenReplacedDiscardedOrWithTheSource) {
    const std::string nova = archive("Nova.zip", frameEntries(""));
    open(nova);
    const fs::path first = source.unpackedFolder();
    open(nova); // replaced by another unpacking
    EXPECT_FALSE(fs::exists(first));
    EXPECT_EQ(unpackFolders(), 1u);

    const int changesBefore = filesChanged;
    source.discardUnpacked();
    EXPECT_EQ(unpackFolders(), 0u);
    EXPECT_TRUE(source.folder().empty());
    EXPECT_TRUE(source.check().files.empty());
    EXPECT_EQ(filesChanged, changesBefore + 1);
    source.discardUnpacked(); // nothing left to discard: nothing to report
    EXPECT_EQ(filesChanged, changesBefore + 1);

    {
        OwnBallSource closing(platform::localFileSystem(), tempRoot());
        closing.openArchive(nova, {});
        EXPECT_EQ(unpackFolders(), 1u);
    }
    EXPECT_EQ(unpackFolders(), 0u);
}

TEST_F(OwnBallSourceTest, checkNewBall_refusesInOrder_beforeAnythingIsWritten) {
    EXPECT_EQ(source.checkNewBall(input())->outcome, NewBallOutcome::Incomplete); // nothing chosen yet

    const fs::path partial = temp / "user/partial";
    std::vector<std::string> names = frameNames();
    std::erase(names, std::string("ball_73.png"));
    writeFrames(partial, names);
    source.chooseFolder(platform::toText(partial));
    const std::tuple<std::string, std::string, NewBallOutcome> cases[] = {
        {"", "Alpha", NewBallOutcome::Incomplete},         {"Comet", "", NewBallOutcome::Incomplete},
        {"a|b", "Unknown", NewBallOutcome::InvalidName},   {"Comet", "Unknown", NewBallOutcome::Incomplete},
        {"Comet", "aLPHA", NewBallOutcome::MissingFrames},
    };
    for (const auto& [name, brand, outcome] : cases) {
        const auto refused = source.checkNewBall(input(name, brand));
        ASSERT_TRUE(refused) << name << "/" << brand;
        EXPECT_EQ(refused->outcome, outcome) << name << "/" << brand;
    }
    EXPECT_EQ(source.checkNewBall(input())->missingFrames, std::vector<std::string>{"ball_73.png"});

    source.chooseFolder(platform::toText(frames()));
    EXPECT_FALSE(source.checkNewBall(input()));
    // A selected entry is the brand whatever the text says.
    EXPECT_FALSE(source.checkNewBall({"Comet", std::string("Alpha"), "Alp", {"Alpha"}}));
    const auto before = snapshot(temp.path());
    EXPECT_EQ(source.addBall(app(), input("a|b")).outcome, NewBallOutcome::InvalidName);
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST_F(OwnBallSourceTest, addBall_fromAFolderKeepsIt_fromAnArchiveRemovesTheUnpackedFolder) {
    source.chooseFolder(platform::toText(frames()));
    int copied = 0;
    EXPECT_EQ(source.addBall(app(), input("Comet", "alpha"), [&] { ++copied; }).outcome, NewBallOutcome::Added);
    EXPECT_EQ(copied, 21);
    EXPECT_EQ(library::ReadBallTag(balls() / "Alpha/Comet/ball_73.png"), "Alpha|Comet");
    EXPECT_EQ(source.folder(), platform::toText(frames()));
    EXPECT_EQ(source.check().files.size(), 21u);
    EXPECT_EQ(source.addBall(app(), input()).outcome, NewBallOutcome::AlreadyExists);

    open(archive("Nova.zip", frameEntries("")));
    const int changesBefore = filesChanged;
    EXPECT_EQ(source.addBall(app(), input("Nova")).outcome, NewBallOutcome::Added);
    EXPECT_EQ(library::ReadBallTag(balls() / "Alpha/Nova/ball_11.png"), "Alpha|Nova");
    EXPECT_EQ(unpackFolders(), 0u);
    EXPECT_TRUE(source.folder().empty());
    EXPECT_EQ(filesChanged, changesBefore + 1);
}

TEST_F(OwnBallSourceTest, addBall_failing_removesTheUnpackedFolder_aRefusingBrandKeepsItForAnotherTry) {
    FaultyFileSystem faulty;
    faulty.unwritableFolder = balls() / "Alpha";
    OwnBallSource refusing(faulty, tempRoot());
    refusing.openArchive(archive("Nova.zip", frameEntries("")), {});
    const library::NewBallResult refused = refusing.addBall(app(), input());
    EXPECT_EQ(refused.outcome, NewBallOutcome::NotWritable);
    EXPECT_EQ(refused.folder, balls() / "Alpha");
    EXPECT_EQ(unpackFolders(), 1u);

    open(archive("Nova.zip", frameEntries("")));
    fs::remove(source.unpackedFolder() / "ball_52.png"); // the check passed; the frame goes before adding
    const auto before = snapshot(balls());
    EXPECT_THROW(source.addBall(app(), input()), IoError);
    EXPECT_EQ(snapshot(balls()), before);
    EXPECT_TRUE(source.unpackedFolder().empty());
    EXPECT_TRUE(source.folder().empty());
    EXPECT_TRUE(source.check().files.empty());
    EXPECT_EQ(unpackFolders(), 1u); // the refusing source's only
}

} // namespace
} // namespace orbisto::test
