#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/RawFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>

namespace orbisto::platform {
namespace {

namespace fs = std::filesystem;
using test::readText;
using test::TempFolder;
using test::writeFile;
using Names = std::vector<std::string>;

// Runs `action` and gives the code of the IoError it raises (0 when it raises none).
template <typename Action> int ioErrorCode(Action action) {
    try {
        action();
    } catch (const IoError& error) {
        return error.code();
    }
    return 0;
}

void makeReadOnly(const fs::path& file) {
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::remove);
}

// Entries in a folder, hidden ones included: a failed operation must not leave a temporary file.
long entryCount(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

class PlatformFileSystem : public ::testing::Test {
protected:
    TempFolder temp;
    FileSystem& files = localFileSystem();
};

TEST_F(PlatformFileSystem, patternScansSkipHiddenAndSystemEntriesAndSortByName) {
    for (const char* name :
         {"a.png", "B.PNG", ".png", ".hidden.png", "c.pngx", "noext", "dotted.name.txt", "Lang.INI", "z.ini"}) {
        writeFile(temp / name, "x");
    }
    fs::create_directory(temp / "dir.png");
    fs::create_directory(temp / "Sub");
    fs::create_directory(temp / ".git");
    ::mkfifo((temp / "pipe.png").c_str(), 0644); // stands for a system entry

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
    EXPECT_TRUE(files.scanFolder(temp / "missing", "*").empty());
    EXPECT_TRUE(files.scanFolder("", "*").empty());
    EXPECT_TRUE(files.scanFolder(temp / "a.png", "*").empty());

    EXPECT_TRUE(files.isPlainFile(temp / "a.png"));
    for (const char* notPlain : {".png", "dir.png", "pipe.png", "missing.png"}) {
        EXPECT_FALSE(files.isPlainFile(temp / notPlain)) << notPlain;
    }
    EXPECT_FALSE(files.isPlainFile(""));
    EXPECT_TRUE(files.folderExists(temp / ".git"));
    EXPECT_FALSE(files.folderExists(temp / "a.png"));
    EXPECT_FALSE(files.exists(""));
}

TEST_F(PlatformFileSystem, failuresCarryWindowsCodes) {
    writeFile(temp / "file", "x");
    EXPECT_EQ(ioErrorCode([&] { files.readFile(temp / "missing"); }), 2);
    EXPECT_EQ(ioErrorCode([&] { files.readFile(temp.path()); }), 5);
    EXPECT_EQ(ioErrorCode([&] { files.fileSize(temp / "missing"); }), 2);
    EXPECT_EQ(ioErrorCode([&] { files.createFolder(temp.path()); }), 183);
    EXPECT_EQ(ioErrorCode([&] { files.createFolder(temp / "no" / "parent"); }), 2);
    EXPECT_EQ(ioErrorCode([&] { files.createFolder(temp / "file" / "sub"); }), 3);
    EXPECT_EQ(ioErrorCode([&] { files.createFolder(""); }), 3);
    EXPECT_EQ(ioErrorCode([&] { files.createFolders(temp / "file" / "sub"); }), 3);
    EXPECT_EQ(ioErrorCode([&] { files.copyFile(temp / "missing", temp / "copy"); }), 2);
    EXPECT_EQ(ioErrorCode([&] { files.rename(temp / "missing", temp / "other"); }), 2);
    EXPECT_EQ(entryCount(temp.path()), 1);
    EXPECT_TRUE(fs::equivalent(executablePath(), "/proc/self/exe"));
}

TEST_F(PlatformFileSystem, readOnlyFilesRefuseDeletionAndWritingUntilMadeWritable) {
    const fs::path frame = temp / "ball_11.png";
    writeFile(frame, "old");
    makeReadOnly(frame);
    EXPECT_EQ(ioErrorCode([&] { files.removeFile(frame); }), 5);
    EXPECT_EQ(ioErrorCode([&] { RawFile(frame, RawFile::Mode::ReadWrite); }), 5);
    EXPECT_EQ(readText(frame), "old");

    files.makeWritable(frame);
    RawFile(frame, RawFile::Mode::ReadWrite).append(std::vector<std::uint8_t>{'!'});
    EXPECT_EQ(readText(frame), "old!");
    files.removeFile(frame);
    files.removeFile(frame); // a missing file is no error
    EXPECT_FALSE(fs::exists(frame));
    EXPECT_EQ(ioErrorCode([&] { files.removeFile(temp.path()); }), 5);

    writeFile(temp / "tree" / "sub" / "frame.png", "x");
    makeReadOnly(temp / "tree" / "sub" / "frame.png");
    files.removeTree(temp / "tree");
    files.removeTree(temp / "tree"); // a missing folder is no error
    EXPECT_FALSE(fs::exists(temp / "tree"));
}

TEST_F(PlatformFileSystem, copyReplacesAReadOnlyTargetTakesTheSourceAttributesAndFailsCleanly) {
    writeFile(temp / "source.png", "new frame");
    writeFile(temp / "target.png", "old");
    makeReadOnly(temp / "target.png");
    files.copyFile(temp / "source.png", temp / "target.png");
    EXPECT_EQ(readText(temp / "target.png"), "new frame");
    EXPECT_NE(fs::status(temp / "target.png").permissions() & fs::perms::owner_write, fs::perms::none);
    makeReadOnly(temp / "source.png");
    files.copyFile(temp / "source.png", temp / "copy.png");
    EXPECT_EQ(fs::status(temp / "copy.png").permissions() & fs::perms::owner_write, fs::perms::none);

    // Failures leave the old target and no partial file. /proc/self/mem fails at its first byte.
    fs::create_directory(temp / "folder");
    EXPECT_NE(ioErrorCode([&] { files.copyFile("/proc/self/mem", temp / "target.png"); }), 0);
    EXPECT_EQ(ioErrorCode([&] { files.copyFile(temp / "target.png", temp / "missing" / "x.png"); }), 2);
    EXPECT_EQ(ioErrorCode([&] { files.copyFile(temp.path(), temp / "dir-copy"); }), 5);
    EXPECT_EQ(ioErrorCode([&] { files.copyFile(temp / "target.png", temp / "folder"); }), 5);
    EXPECT_EQ(readText(temp / "target.png"), "new frame");
    EXPECT_EQ(entryCount(temp.path()), 4);
    EXPECT_TRUE(fs::is_empty(temp / "folder"));
}

TEST_F(PlatformFileSystem, renameReplacesFilesButNotFolders) {
    writeFile(temp / "a", "a");
    writeFile(temp / "b", "b");
    makeReadOnly(temp / "b");
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

TEST_F(PlatformFileSystem, rawFileReadsByOffsetAndRefusesReadingPastTheEnd) {
    writeFile(temp / "frame", "0123456789");
    {
        RawFile file(temp / "frame", RawFile::Mode::ReadWrite);
        EXPECT_EQ(file.readAt(6, 4), (std::vector<std::uint8_t>{'6', '7', '8', '9'}));
        EXPECT_EQ(ioErrorCode([&] { file.readAt(8, 3); }), 100);
        EXPECT_EQ(ioErrorCode([&] { file.readAt(-1, 1); }), 100);
        file.truncate(4);
        file.append(std::vector<std::uint8_t>{'a', 'b'});
        EXPECT_EQ(file.size(), 6);
    }
    EXPECT_EQ(readText(temp / "frame"), "0123ab");
    RawFile readOnly(temp / "frame", RawFile::Mode::ReadOnly);
    EXPECT_EQ(ioErrorCode([&] { readOnly.append(std::vector<std::uint8_t>{'x'}); }), 5);
    EXPECT_EQ(ioErrorCode([&] { RawFile(temp / "missing", RawFile::Mode::ReadWrite); }), 2);
    EXPECT_EQ(ioErrorCode([&] { RawFile(temp.path(), RawFile::Mode::ReadOnly); }), 5);
    EXPECT_EQ(readText(temp / "frame"), "0123ab");
}

} // namespace
} // namespace orbisto::platform

namespace orbisto::platform {
namespace {

TEST(PlatformPlainFileRead, readsOnlyPlainVisibleFilesAndNeverBlocksOnAPipe) {
    test::TempFolder temp;
    const LocalFileSystem files;
    test::writeFile(temp / "tst.ini", std::string_view("[Sys]\r\nAuth=1\r\n"));
    test::writeFile(temp / ".tst.ini", std::string_view("hidden"));
    std::filesystem::create_directories(temp / "folder");
    ASSERT_EQ(::mkfifo((temp / "pipe").c_str(), 0600), 0);

    const auto marker = files.readPlainFile(temp / "tst.ini");
    ASSERT_TRUE(marker.has_value());
    EXPECT_EQ(std::string(marker->begin(), marker->end()), "[Sys]\r\nAuth=1\r\n");
    EXPECT_FALSE(files.readPlainFile(temp / ".tst.ini").has_value());
    EXPECT_FALSE(files.readPlainFile(temp / "folder").has_value());
    EXPECT_FALSE(files.readPlainFile(temp / "missing").has_value());
    EXPECT_FALSE(files.readPlainFile(temp / "pipe").has_value()); // no writer: a blocking open would hang
}

// The kind matches what a folder scan makes of the entry; links are followed.
TEST(PlatformFileIdentity, kindsFollowTheScanAndLinks_missingGivesNothing) {
    test::TempFolder temp;
    const LocalFileSystem files;
    test::writeFile(temp / "file", std::string_view("12345"));
    test::writeFile(temp / ".hidden", std::string_view("x"));
    std::filesystem::create_directories(temp / "folder");
    std::filesystem::create_directory_symlink(temp / "folder", temp / "link");
    ASSERT_EQ(::mkfifo((temp / "pipe").c_str(), 0600), 0);

    using Kind = FileIdentity::Kind;
    const auto file = files.identity(temp / "file");
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->kind, Kind::File);
    EXPECT_EQ(file->size, 5u);
    EXPECT_EQ(files.identity(temp / "folder")->kind, Kind::Folder);
    EXPECT_EQ(files.identity(temp / "link"), files.identity(temp / "folder"));
    EXPECT_EQ(files.identity(temp / ".hidden")->kind, Kind::Other);
    EXPECT_EQ(files.identity(temp / "pipe")->kind, Kind::Other);
    EXPECT_FALSE(files.identity(temp / "missing").has_value());
    EXPECT_FALSE(files.identity("").has_value());
}

} // namespace
} // namespace orbisto::platform
