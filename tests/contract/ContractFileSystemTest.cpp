// File operations with the Windows rules: pattern scans, error codes, read-only files, copies.
// Reading and writing at an offset (RawFile) is checked through the ball tag's tests on both layers.
#include "contract/Host.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/RawFile.h"
#include "platform/ShellCopy.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace orbisto::platform {
namespace {

namespace fs = std::filesystem;
namespace host = test::host;
using test::ioErrorCode;
using test::namesIn;
using test::readText;
using test::TempFolder;
using test::writeFile;
using Names = std::vector<std::string>;

class SharedFileSystem : public ::testing::Test {
protected:
    TempFolder temp;
    FileSystem& files = localFileSystem();
};

TEST_F(SharedFileSystem, patternScansSkipHiddenAndSystemEntriesAndSortByName) {
    for (const char* name : {"a.png", "B.PNG", "c.pngx", "noext", "dotted.name.txt", "Lang.INI", "z.ini"}) {
        writeFile(temp / name, "x");
    }
    const fs::path hidden = host::makeHiddenFile(temp.path(), "hidden.png");
    fs::create_directory(temp / "dir.png");
    fs::create_directory(temp / "Sub");
    host::makeSystemEntry(temp / "system.png");

    const Names all{"a.png", "B.PNG", "c.pngx", "dir.png/", "dotted.name.txt", "Lang.INI", "noext", "Sub/", "z.ini"};
    const std::pair<const char*, Names> cases[] = {
        {"*.png", {"a.png", "B.PNG", "dir.png/"}},
        {"*.PNG", {"a.png", "B.PNG", "dir.png/"}},
        {"*.", {"noext", "Sub/"}},
        {"*", all},
        {"*.*", all},
        {"*.ini", {"Lang.INI", "z.ini"}},
    };
    for (const auto& [pattern, expected] : cases) {
        Names names;
        for (const auto& entry : files.scanFolder(temp.path(), pattern)) {
            names.push_back(entry.name + (entry.isFolder ? "/" : ""));
        }
        EXPECT_EQ(names, expected) << pattern;
    }
    // An empty path is no folder: never the working folder or the root.
    for (const fs::path& notFolder : {temp / "missing", fs::path(), temp / "a.png"}) {
        EXPECT_TRUE(files.scanFolder(notFolder, "*").empty()) << notFolder;
        EXPECT_FALSE(files.folderExists(notFolder)) << notFolder;
    }
    EXPECT_TRUE(files.isPlainFile(temp / "a.png"));
    for (const fs::path& notPlain : {hidden, temp / "dir.png", temp / "system.png", temp / "missing.png", fs::path()}) {
        EXPECT_FALSE(files.isPlainFile(notPlain)) << notPlain;
        EXPECT_FALSE(files.readPlainFile(notPlain).has_value()) << notPlain;
    }
    EXPECT_TRUE(files.exists(hidden));
}

TEST_F(SharedFileSystem, failuresCarryWindowsCodes) {
    writeFile(temp / "file", "x");
    // 2: the file is missing; 3: a folder on its way is missing or is a file; 5: a folder is no file.
    EXPECT_EQ(ioErrorCode([&] { files.readFile(temp / "missing"); }), 2);
    EXPECT_EQ(ioErrorCode([&] { files.readFile(temp.path()); }), 5);
    EXPECT_EQ(ioErrorCode([&] { files.fileSize(temp.path()); }), 5);
    EXPECT_EQ(ioErrorCode([&] { files.createFolder(temp / "file"); }), 183);
    EXPECT_EQ(ioErrorCode([&] { files.createFolder(temp / "no" / "parent"); }), 3);
    EXPECT_EQ(ioErrorCode([&] { files.createFolder(temp / "file" / "sub"); }), 3);
    EXPECT_EQ(ioErrorCode([&] { files.createFolder(""); }), 3);
    EXPECT_EQ(ioErrorCode([&] { files.createFolders(temp / "file" / "sub"); }), 3);
    EXPECT_EQ(ioErrorCode([&] { files.copyFile(temp / "missing", temp / "copy"); }), 2);
    EXPECT_EQ(ioErrorCode([&] { files.copyFile(temp / "file", temp / "missing" / "x.png"); }), 3);
    EXPECT_EQ(ioErrorCode([&] { files.rename(temp / "missing", temp / "other"); }), 2);
    EXPECT_EQ(ioErrorCode([&] { RawFile(temp / "missing", RawFile::Mode::ReadOnly); }), 2);
    EXPECT_EQ(ioErrorCode([&] { RawFile(temp / "missing" / "frame", RawFile::Mode::ReadOnly); }), 3);
    EXPECT_EQ(namesIn(temp.path()), Names{"file"});

    files.createFolders(temp / "deep" / "er" / "folder");
    files.createFolders(temp / "deep" / "er"); // an existing folder is fine
    EXPECT_TRUE(files.folderExists(temp / "deep" / "er" / "folder"));
    EXPECT_TRUE(fs::is_regular_file(executablePath()));
}

TEST_F(SharedFileSystem, readOnlyFilesRefuseDeletionAndWritingUntilMadeWritable) {
    const fs::path frame = temp / "ball_11.png";
    writeFile(frame, "old");
    host::makeReadOnly(frame);
    EXPECT_EQ(ioErrorCode([&] { files.removeFile(frame); }), 5);
    EXPECT_EQ(ioErrorCode([&] { RawFile(frame, RawFile::Mode::ReadWrite); }), 5);
    EXPECT_EQ(readText(frame), "old");

    files.makeWritable(frame);
    EXPECT_FALSE(host::isReadOnly(frame));
    RawFile(frame, RawFile::Mode::ReadWrite).append(std::vector<std::uint8_t>{'!'});
    EXPECT_EQ(readText(frame), "old!");
    files.removeFile(frame);
    files.removeFile(frame); // a missing file is no error
    EXPECT_FALSE(fs::exists(frame));
    EXPECT_EQ(ioErrorCode([&] { files.removeFile(temp.path()); }), 5);

    writeFile(temp / "tree" / "sub" / "frame.png", "x");
    host::makeReadOnly(temp / "tree" / "sub" / "frame.png");
    host::makeHiddenFile(temp / "tree", "hidden");
    files.removeTree(temp / "tree");
    files.removeTree(temp / "tree"); // a missing folder is no error
    EXPECT_FALSE(fs::exists(temp / "tree"));
}

TEST_F(SharedFileSystem, copyReplacesAReadOnlyTargetTakesTheSourceAttributesAndFailsCleanly) {
    writeFile(temp / "source.png", "new frame");
    writeFile(temp / "target.png", "old");
    host::makeReadOnly(temp / "target.png");
    files.copyFile(temp / "source.png", temp / "target.png");
    EXPECT_EQ(readText(temp / "target.png"), "new frame");
    EXPECT_FALSE(host::isReadOnly(temp / "target.png"));
    host::makeReadOnly(temp / "source.png");
    files.copyFile(temp / "source.png", temp / "copy.png");
    EXPECT_TRUE(host::isReadOnly(temp / "copy.png"));

    // Failures leave the old target and no partial file.
    fs::create_directory(temp / "folder");
    EXPECT_EQ(ioErrorCode([&] { files.copyFile(temp.path(), temp / "dir-copy"); }), 5);
    EXPECT_EQ(ioErrorCode([&] { files.copyFile(temp / "target.png", temp / "folder"); }), 5);
    EXPECT_EQ(readText(temp / "target.png"), "new frame");
    EXPECT_EQ(namesIn(temp.path()), (Names{"copy.png", "folder", "source.png", "target.png"}));
    EXPECT_TRUE(fs::is_empty(temp / "folder"));
}

// The steps of an install's copy: a staged copy replaces what a crashed install left, keeps the
// source's attributes through the flush; the checks before the renames change nothing.
TEST_F(SharedFileSystem, stagedCopyFlushAndChecksBeforeRenaming) {
    writeFile(temp / "source.png", "new frame");
    host::makeReadOnly(temp / "source.png");
    writeFile(temp / "staged.png", "left over");
    host::makeReadOnly(temp / "staged.png");
    files.copyFileUnflushed(temp / "source.png", temp / "staged.png");
    const std::vector<fs::path> staged{temp / "staged.png"};
    files.flushFiles(staged);
    files.flushFolder(temp.path());
    EXPECT_EQ(readText(temp / "staged.png"), "new frame");
    EXPECT_TRUE(host::isReadOnly(temp / "staged.png"));

    fs::create_directory(temp / "folder");
    EXPECT_EQ(ioErrorCode([&] { files.copyFileUnflushed(temp / "missing", temp / "copy.png"); }), 2);
    EXPECT_EQ(ioErrorCode([&] { files.copyFileUnflushed(temp / "source.png", temp / "folder"); }), 5);
    const std::vector<fs::path> missing{temp / "missing"};
    EXPECT_EQ(ioErrorCode([&] { files.flushFiles(missing); }), 2);

    files.checkWritableFolder(temp.path());
    files.checkWritableFolder(temp / "not/yet/made"); // checked where it would be created
    files.checkReplaceable(temp / "staged.png");
    files.checkReplaceable(temp / "missing");
    EXPECT_EQ(ioErrorCode([&] { files.checkReplaceable(temp / "folder"); }), 5);
    EXPECT_EQ(namesIn(temp.path()), (Names{"folder", "source.png", "staged.png"}));

    writeFile(temp / "frame.png", "held");
    {
        const auto hold = host::holdWithoutDeleteSharing(temp / "frame.png");
        if (host::holdsRefuseRenames()) {
            EXPECT_EQ(ioErrorCode([&] { files.checkReplaceable(temp / "frame.png"); }), 32);
            EXPECT_EQ(ioErrorCode([&] { files.rename(temp / "frame.png", temp / "aside.png"); }), 32);
        } else {
            files.checkReplaceable(temp / "frame.png");
        }
    }
    files.checkReplaceable(temp / "frame.png");
}

TEST_F(SharedFileSystem, renameReplacesFilesButNotFolders) {
    writeFile(temp / "a", "a");
    writeFile(temp / "b", "b");
    host::makeReadOnly(temp / "b");
    files.rename(temp / "a", temp / "b");
    EXPECT_EQ(readText(temp / "b"), "a");
    EXPECT_FALSE(fs::exists(temp / "a"));

    fs::create_directories(temp / "d1");
    fs::create_directories(temp / "d2");
    EXPECT_EQ(ioErrorCode([&] { files.rename(temp / "d1", temp / "d2"); }), 183);
    EXPECT_EQ(ioErrorCode([&] { files.rename(temp / "b", temp / "d2"); }), 5);
    EXPECT_EQ(ioErrorCode([&] { files.rename(temp / "d1", temp / "b"); }), 183);
    files.rename(temp / "d1", temp / "d3");
    EXPECT_TRUE(fs::is_directory(temp / "d3"));
}

TEST_F(SharedFileSystem, shellCopyMakesTheTargetFolderFirstAndReplacesReadOnlyFrames) {
    writeFile(temp / "ball" / "ball_11.png", "frame 11");
    writeFile(temp / "ball" / "notes.txt", "not a frame");
    // One matching file and a missing target: the folder is made, not a file of its name.
    shellCopy(temp / "ball", "*.png", temp / "game" / "balls" / "winter", false);
    EXPECT_EQ(readText(temp / "game" / "balls" / "winter" / "ball_11.png"), "frame 11");
    EXPECT_FALSE(fs::exists(temp / "game" / "balls" / "winter" / "notes.txt"));

    writeFile(temp / "ball" / "ball_12.png", "frame 12");
    host::makeReadOnly(temp / "game" / "balls" / "winter" / "ball_11.png");
    writeFile(temp / "ball" / "ball_11.png", "new 11");
    shellCopy(temp / "ball", "*.png", temp / "game" / "balls" / "winter", false);
    EXPECT_EQ(readText(temp / "game" / "balls" / "winter" / "ball_11.png"), "new 11");
    EXPECT_EQ(readText(temp / "game" / "balls" / "winter" / "ball_12.png"), "frame 12");

    // A pattern that matches nothing copies nothing and still leaves the folder made.
    shellCopy(temp / "ball", "*.jpg", temp / "empty", false);
    EXPECT_TRUE(fs::is_directory(temp / "empty"));
    EXPECT_TRUE(fs::is_empty(temp / "empty"));
}

TEST_F(SharedFileSystem, newFilesNeverReplaceAnythingAndPrivateFoldersAreFresh) {
    // Where they go and what they hold shows in the archive tests, which unpack through them.
    const fs::path first = files.createPrivateFolder(temp.path(), "unpack-");
    EXPECT_NE(files.createPrivateFolder(temp.path(), "unpack-"), first);
    EXPECT_NE(ioErrorCode([&] { files.createPrivateFolder(temp / "missing", "unpack-"); }), 0);

    const std::vector<std::uint8_t> frame{'P', 'N', 'G', 0, 1, 2};
    writeFile(first / "ball_12.png", "was here");
    EXPECT_EQ(ioErrorCode([&] { files.writeNewFile(first / "ball_12.png", frame); }), 183);
    EXPECT_EQ(readText(first / "ball_12.png"), "was here");
    EXPECT_EQ(ioErrorCode([&] { files.writeNewFile(first, frame); }), 183);
    const int missingFolder = ioErrorCode([&] { files.writeNewFile(temp / "missing" / "ball_13.png", frame); });
    EXPECT_TRUE(missingFolder == 2 || missingFolder == 3) << missingFolder;
    EXPECT_FALSE(fs::exists(temp / "missing"));
    files.writeNewFile(first / "empty.png", {});
    EXPECT_EQ(fs::file_size(first / "empty.png"), 0u);

    // The process and temporary folder the unpacking relies on.
    EXPECT_TRUE(fs::is_directory(temporaryFolder()));
    EXPECT_TRUE(processRunning(currentProcessId()));
    EXPECT_FALSE(processRunning(0));
    EXPECT_FALSE(processRunning(-1));
}

TEST_F(SharedFileSystem, identityTellsKindsAndVersionsApart_missingGivesNothing) {
    writeFile(temp / "tst.ini", "Auth=1");
    fs::create_directory(temp / "Comet");
    const fs::path hidden = host::makeHiddenFile(temp.path(), "hidden.ini");
    const auto before = files.identity(temp / "tst.ini");
    ASSERT_TRUE(before.has_value());
    EXPECT_EQ(before->kind, FileIdentity::Kind::File);
    EXPECT_EQ(before->size, 6u);
    EXPECT_NE(before->modified, 0);
    EXPECT_EQ(files.identity(temp / "tst.ini"), before);
    EXPECT_EQ(files.identity(temp / "Comet")->kind, FileIdentity::Kind::Folder);
    EXPECT_EQ(files.identity(hidden)->kind, FileIdentity::Kind::Other);
    EXPECT_NE(files.identity(temp / "Comet")->fileId, before->fileId);
    EXPECT_FALSE(files.identity(temp / "missing.ini").has_value());
    EXPECT_FALSE(files.identity("").has_value());

    // Replaced by another file of the same size and time: still another version.
    const auto time = fs::last_write_time(temp / "tst.ini");
    writeFile(temp / "other.ini", "Auth=2");
    fs::last_write_time(temp / "other.ini", time);
    files.rename(temp / "other.ini", temp / "tst.ini");
    EXPECT_NE(files.identity(temp / "tst.ini"), before);
    host::makeReadOnly(temp / "tst.ini");
    const auto readOnly = files.identity(temp / "tst.ini");
    files.makeWritable(temp / "tst.ini");
    EXPECT_NE(files.identity(temp / "tst.ini"), readOnly);
}

} // namespace
} // namespace orbisto::platform
