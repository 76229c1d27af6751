#include "library/ArchiveImport.h"
#include "platform/Text.h"

#include "core/OwnBallFixtures.h"
#include "support/ArchiveMaker.h"

#include <algorithm>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace orbisto;
using namespace orbisto::library;
using namespace orbisto::test;
using Type = ArchiveEntry::Type;

namespace {

std::vector<std::string> folders(const ArchiveBalls& balls) {
    std::vector<std::string> result;
    for (const BallSet& set : balls.sets) {
        result.push_back(set.folder);
    }
    return result;
}

std::vector<std::string> sortedFrameNames(std::vector<std::string> extra = {}) {
    std::vector<std::string> names = frameNames();
    names.insert(names.end(), extra.begin(), extra.end());
    std::sort(names.begin(), names.end());
    return names;
}

ArchiveEntry file(const std::string& path, std::string_view text = "x") {
    return {path, std::vector<std::uint8_t>(text.begin(), text.end())};
}

ArchiveLimits limitsWith(std::uint64_t ArchiveLimits::*limit, std::uint64_t value) {
    ArchiveLimits limits;
    limits.*limit = value;
    return limits;
}

ArchiveProblem problemOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ArchiveError& error) {
        return error.problem();
    }
    ADD_FAILURE() << "no ArchiveError";
    return ArchiveProblem::Unreadable;
}

// A temporary root for unpack folders, beside an "outside" folder that no entry may reach.
struct UnpackSetup {
    fs::path root() const { return temp / "tmp"; }
    fs::path outside() const { return temp / "outside"; }
    UnpackSetup() {
        fs::create_directories(root());
        fs::create_directories(outside());
    }

    // Finds the only set of `archive` and unpacks it; returns the names written.
    std::vector<std::string> unpackOnly(const std::vector<std::uint8_t>& archive) {
        const ArchiveBalls balls = findBallSets(archive);
        EXPECT_EQ(balls.sets.size(), 1u);
        UnpackedBall unpacked(platform::localFileSystem(), root());
        unpackBallSet(platform::localFileSystem(), archive, balls.sets.at(0), unpacked.folder());
        return namesIn(unpacked.folder());
    }

    TempFolder temp;
};

} // namespace

TEST(ArchiveSets, foldersWithAllFramesAreSets_otherwiseTheBestFolderNamesWhatItLacks) {
    struct Case {
        const char* name;
        std::vector<ArchiveEntry> entries;
        std::vector<std::string> sets;
        std::vector<std::string> missing;
    };
    auto twenty = frameEntries("Comet");
    twenty.erase(twenty.begin() + 8); // ball_33.png
    auto withExtras = frameEntries("");
    append(withExtras, {file("ReadMe.txt"), file("preview.PNG"), {"docs", {}, Type::Folder}});
    auto twoSets = frameEntries("Comet/normal");
    append(twoSets, frameEntries("Comet/winter", true));
    append(twoSets, {file("Comet/winter/ball_11.png")}); // a second ball_11 in another case: the first counts
    auto partial = twenty;
    append(partial, {file("Other/ball_11.png"), file("Other/ball_12.png")});
    const std::vector<Case> cases{
        {"top level", frameEntries(""), {""}, {}},
        {"sub-folder", frameEntries("Downloads/Comet"), {"Downloads/Comet"}, {}},
        {"mixed case", frameEntries("Comet", true), {"Comet"}, {}},
        {"extras beside", withExtras, {""}, {}},
        {"two sets", twoSets, {"Comet/normal", "Comet/winter"}, {}},
        {"twenty frames", twenty, {}, {"ball_33.png"}},
        {"best of several", partial, {}, {"ball_33.png"}},
        {"no frames", {file("ReadMe.txt")}, {}, frameNames()},
        {"windows separators", frameEntries("Comet\\normal"), {"Comet/normal"}, {}},
    };
    for (const Case& c : cases) {
        const ArchiveBalls balls = findBallSets(makeArchive(ArchiveFormat::Zip, c.entries));
        EXPECT_EQ(folders(balls), c.sets) << c.name;
        EXPECT_EQ(balls.missingFrames, c.missing) << c.name;
    }
}

TEST(ArchiveSets, everyFormatUnpacksTheSetByteForByteUnderLowerCaseNames) {
    std::vector<ArchiveFormat> formats{ArchiveFormat::Zip, ArchiveFormat::SevenZip, ArchiveFormat::Tar,
                                       ArchiveFormat::TarGz, ArchiveFormat::TarXz};
#ifndef _WIN32
    // The Windows build's libarchive comes without bzip2.
    formats.push_back(ArchiveFormat::TarBz2);
#endif
    for (ArchiveFormat format : formats) {
        UnpackSetup setup;
        auto entries = frameEntries("Comet", true);
        append(entries, {file("Comet/ReadMe.txt"), file("Comet/Preview.png", "picture"), file("ball_11.png")});
        const auto archive = makeArchive(format, entries);
        const ArchiveBalls balls = findBallSets(archive);
        ASSERT_EQ(folders(balls), std::vector<std::string>{"Comet"});
        UnpackedBall unpacked(platform::localFileSystem(), setup.root());
        unpackBallSet(platform::localFileSystem(), archive, balls.sets[0], unpacked.folder());

        EXPECT_EQ(namesIn(unpacked.folder()), sortedFrameNames({"Preview.png"}));
        EXPECT_EQ(readBytes(unpacked.folder() / "ball_43.png"), entries[11].data);
        EXPECT_EQ(readText(unpacked.folder() / "Preview.png"), "picture");
#ifndef _WIN32
        // Windows has no modes: the folder is private by the access rights of the temporary folder.
        struct stat info {};
        ASSERT_EQ(::stat(unpacked.folder().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
#endif
    }
}

TEST(ArchiveSets, suggestedNameIsTheFolderOrTheArchive) {
    EXPECT_EQ(suggestedBallName({"Downloads/Comet", {}}, "x.zip"), "Comet");
    EXPECT_EQ(suggestedBallName({"", {}}, "Comet 2006.tar.gz"), "Comet 2006");
    EXPECT_EQ(archiveBaseName("Comet.TGZ"), "Comet");
    for (const char* name : {"a.zip", "a.7z", "a.RAR", "a.tar", "a.tar.gz", "a.tgz", "a.tbz2", "a.tar.xz"}) {
        EXPECT_TRUE(isArchiveName(name)) << name;
    }
    for (const char* name : {"a.txt", "a.gz", "zip", ".zip", "a.zip.txt"}) {
        EXPECT_FALSE(isArchiveName(name)) << name;
    }
}

// The file chooser offers exactly the names the import reads, and each name loses all of its
// extension, also where a shorter one (".tar" of ".tar.gz") matches first.
TEST(ArchiveSets, theChoosersPatternsAreTheNamesRead) {
    const std::string patterns = archiveFilePatterns();
    EXPECT_EQ(patterns, "*.zip *.7z *.rar *.tar *.tar.gz *.tgz *.tar.bz2 *.tbz2 *.tar.xz *.txz");
    for (const std::string& pattern : SplitText(patterns, " ")) {
        const std::string name = "Comet" + pattern.substr(1);
        EXPECT_TRUE(isArchiveName(name)) << name;
        EXPECT_EQ(archiveBaseName(name), "Comet") << name;
    }
}

TEST(ArchivePaths, pathsThatCouldLeadOutAreRefused) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases{
        {"Comet/ball_11.png", "Comet/ball_11.png"},
        {"./Comet//ball_11.png", "Comet/ball_11.png"},
        {"Comet\\winter\\ball_11.png", "Comet/winter/ball_11.png"},
        {"..hidden/x.png", "..hidden/x.png"},
        {"../../x.png", std::nullopt},
        {"Comet/../../x.png", std::nullopt},
        {"Comet\\..\\..\\x.png", std::nullopt},
        {"/etc/x.png", std::nullopt},
        {"\\\\server\\share\\x.png", std::nullopt},
        {"C:\\x.png", std::nullopt},
        {"C:x.png", std::nullopt},
        {"Comet/x.png:stream", std::nullopt},
        {"Comet/.. /x.png", std::nullopt},
        {"Comet/.../x.png", std::nullopt},
        {std::string("Comet/x\0.png", 12), std::nullopt},
        {"Comet/x\n.png", std::nullopt},
        {"", std::nullopt},
        {"./", std::nullopt},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(safeEntryPath(path), expected) << path;
    }
}

TEST(ArchivePaths, hostileEntriesCreateNothingOutsideTheUnpackFolder) {
    UnpackSetup setup;
    const std::string outside = setup.outside().string();
    auto entries = frameEntries("");
    append(entries, {
                        file("../outside/y.png"),
                        file(outside + "/abs.png"),
                        {"link.png", {}, Type::Symlink, outside + "/linked.png"},
                        {"hard.png", {}, Type::Hardlink, outside + "/hard.png"},
                        {"device.png", {}, Type::Device},
                        {"fifo.png", {}, Type::Fifo},
                    });
    const TreeSnapshot before = snapshot(setup.temp.path());
    EXPECT_EQ(setup.unpackOnly(makeArchive(ArchiveFormat::Tar, entries)), sortedFrameNames());
    EXPECT_EQ(snapshot(setup.temp.path()), before);

    // A frame that is a link does not count: the set lacks it.
    auto linked = frameEntries("Comet");
    linked[0] = {"Comet/ball_11.png", {}, Type::Symlink, outside + "/ball_11.png"};
    linked[1] = {"Comet/ball_12.png", {}, Type::Hardlink, "Comet/ball_13.png"};
    append(linked, frameEntries("../Comet"));
    EXPECT_EQ(findBallSets(makeArchive(ArchiveFormat::Tar, linked)).missingFrames,
              (std::vector<std::string>{"ball_11.png", "ball_12.png"}));
}

TEST(ArchiveLimitsTest, eachLimitRefusesTheArchive) {
    const auto frames = makeArchive(ArchiveFormat::Zip, frameEntries(""));
    ArchiveLimits entries;
    entries.maxEntries = 20;
    EXPECT_EQ(problemOf([&] { findBallSets(frames, entries); }), ArchiveProblem::TooManyEntries);
    entries.maxEntries = 21;
    EXPECT_NO_THROW(findBallSets(frames, entries));
    const ArchiveLimits smallEntries = limitsWith(&ArchiveLimits::maxEntrySize, 40);
    const ArchiveLimits smallTotal = limitsWith(&ArchiveLimits::maxTotalSize, 300);
    EXPECT_EQ(problemOf([&] { findBallSets(frames, smallEntries); }), ArchiveProblem::EntryTooLarge);
    EXPECT_EQ(problemOf([&] { findBallSets(frames, smallTotal); }), ArchiveProblem::TooLargeInAll);

    // The unpacked bytes are counted too, whatever the headers said.
    UnpackSetup setup;
    const BallSet set = findBallSets(frames).sets.at(0);
    fs::path folder;
    for (const ArchiveLimits& limits : {smallEntries, smallTotal}) {
        UnpackedBall unpacked(platform::localFileSystem(), setup.root());
        folder = unpacked.folder();
        EXPECT_THROW(unpackBallSet(platform::localFileSystem(), frames, set, folder, limits), ArchiveError);
    }
    EXPECT_FALSE(fs::exists(folder));

    // A frame of 8 MiB zeros packs to a few KiB: a bomb, found while unpacking it.
    auto bomb = frameEntries("");
    bomb[0].data.assign(8u << 20, 0);
    const auto bombArchive = makeArchive(ArchiveFormat::Zip, bomb);
    ASSERT_LT(bombArchive.size(), 64u * 1024);
    const BallSet bombSet = findBallSets(bombArchive).sets.at(0);
    UnpackedBall unpacked(platform::localFileSystem(), setup.root());
    EXPECT_EQ(problemOf([&] { unpackBallSet(platform::localFileSystem(), bombArchive, bombSet, unpacked.folder()); }),
              ArchiveProblem::Bomb);
    EXPECT_TRUE(namesIn(unpacked.folder()).empty());
}

TEST(ArchiveDamage, truncatedGarbledAndEncryptedArchivesSaySo) {
    const auto zip = makeArchive(ArchiveFormat::Zip, frameEntries(""));
    const auto tarGz = makeArchive(ArchiveFormat::TarGz, frameEntries(""));
    auto garbled = zip;
    for (std::size_t i = 0; i < garbled.size(); i += 7) {
        garbled[i] = static_cast<std::uint8_t>(garbled[i] ^ 0x5A);
    }
    const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> unreadable{
        {"empty", {}},
        {"text", {'h', 'e', 'l', 'l', 'o', '\n'}},
        {"zip cut", {zip.begin(), zip.begin() + static_cast<long>(zip.size() / 2)}},
        {"tar.gz cut", {tarGz.begin(), tarGz.begin() + static_cast<long>(tarGz.size() / 2)}},
        {"zip garbled", garbled},
    };
    for (const auto& [name, bytes] : unreadable) {
        EXPECT_EQ(problemOf([&] { findBallSets(bytes); }), ArchiveProblem::Unreadable) << name;
    }
    const auto encrypted = makeArchive(ArchiveFormat::Zip, frameEntries(""), "secret");
    EXPECT_EQ(problemOf([&] { findBallSets(encrypted); }), ArchiveProblem::Encrypted);

    // Data damaged behind intact headers shows while unpacking, and the folder still goes.
    UnpackSetup setup;
    auto damaged = makeArchive(ArchiveFormat::Zip, frameEntries(""));
    const BallSet set = findBallSets(damaged).sets.at(0);
    std::fill(damaged.begin() + 40, damaged.begin() + 200, std::uint8_t{0});
    fs::path folder;
    {
        UnpackedBall unpacked(platform::localFileSystem(), setup.root());
        folder = unpacked.folder();
        EXPECT_THROW(unpackBallSet(platform::localFileSystem(), damaged, set, folder), ArchiveError);
    }
    EXPECT_FALSE(fs::exists(folder));
}

TEST(ArchiveTempFolders, staleFoldersOfFinishedProcessesAreRemovedAtStart) {
    UnpackSetup setup;
    const fs::path root = setup.root();
    fs::create_directories(root / "orbisto-unpack-999999999-abc123/Comet");
    writeFile(root / "orbisto-unpack-999999999-abc123/Comet/ball_11.png", "x");
    fs::create_directories(root / "orbisto-unpack-notanumber");
    fs::create_directories(root / "other-999999999-abc");
    writeFile(root / "orbisto-unpack-999999999-file", "a file, not ours");
    fs::path live;
    {
        UnpackedBall running(platform::localFileSystem(), root);
        live = running.folder();
        EXPECT_EQ(live.parent_path(), root);
        removeStaleUnpackFolders(platform::localFileSystem(), root);
        std::vector<std::string> kept{"orbisto-unpack-999999999-file", "orbisto-unpack-notanumber",
                                      live.filename().string(), "other-999999999-abc"};
        std::sort(kept.begin(), kept.end());
        EXPECT_EQ(namesIn(root), kept);
    }
    EXPECT_FALSE(fs::exists(live));
}

TEST(ArchiveFiles, dropsTakeOneFolderOrOneArchive_oversizedArchivesAreNotRead) {
    TempFolder temp;
    writeFile(temp / "Comet.zip", "zip");
    writeFile(temp / "notes.txt", "text");
    fs::create_directories(temp / "Comet");
    fs::create_directories(temp / "folder.zip");
    const auto& local = platform::localFileSystem();
    EXPECT_EQ(classifyDrop(local, {temp / "Comet"}), DropKind::Folder);
    EXPECT_EQ(classifyDrop(local, {temp / "folder.zip"}), DropKind::Folder);
    EXPECT_EQ(classifyDrop(local, {temp / "Comet.zip"}), DropKind::Archive);
    EXPECT_EQ(classifyDrop(local, {temp / "notes.txt"}), DropKind::Unsupported);
    EXPECT_EQ(classifyDrop(local, {temp / "missing.zip"}), DropKind::Unsupported);
    EXPECT_EQ(classifyDrop(local, {temp / "Comet", temp / "Comet.zip"}), DropKind::Unsupported);
    EXPECT_EQ(classifyDrop(local, {}), DropKind::Unsupported);

    // An archive file larger than the limits allow to unpack is not even read.
    EXPECT_EQ(readArchiveFile(local, temp / "Comet.zip").size(), 3u);
    EXPECT_EQ(
        problemOf([&] { readArchiveFile(local, temp / "Comet.zip", limitsWith(&ArchiveLimits::maxTotalSize, 2)); }),
        ArchiveProblem::TooLargeInAll);
#ifndef _WIN32
    // A pipe or a device chosen as the archive is refused, neither waited on nor read without end.
    ASSERT_EQ(::mkfifo((temp / "pipe.zip").c_str(), 0600), 0);
    EXPECT_THROW(readArchiveFile(local, temp / "pipe.zip"), IoError);
    EXPECT_THROW(readArchiveFile(local, "/dev/zero"), IoError);
#endif
}
