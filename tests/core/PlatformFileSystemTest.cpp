#include "platform/Errors.h"
#include "platform/FileSystem.h"
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

// Runs `action` and gives the code of the IoError it raises (0 when it raises none).
template <typename Action> int ioErrorCode(Action action) {
    try {
        action();
    } catch (const IoError& error) {
        return error.code();
    }
    return 0;
}

// Entries in a folder, hidden ones included: a failed operation must not leave a temporary file.
long entryCount(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

// The Windows rules themselves are shared cases (tests/contract); these are the Linux layer's own
// stand-ins: dot names are hidden, pipes are system entries, a failing read leaves no copy.
class PlatformFileSystem : public ::testing::Test {
protected:
    TempFolder temp;
    FileSystem& files = localFileSystem();
};

TEST_F(PlatformFileSystem, dotNamesAreHiddenPipesAreSystemEntriesAndFailedCopiesLeaveNothing) {
    writeFile(temp / ".png", "x");
    writeFile(temp / "a.png", "x");
    ::mkfifo((temp / "pipe.png").c_str(), 0644);
    fs::create_directory(temp / ".git");
    ASSERT_EQ(files.scanFolder(temp.path(), "*").size(), 1u);
    EXPECT_FALSE(files.isPlainFile(temp / ".png"));
    EXPECT_FALSE(files.isPlainFile(temp / "pipe.png"));
    EXPECT_TRUE(files.folderExists(temp / ".git"));

    // /proc/self/mem fails at its first byte: the old target stays and no partial file is left.
    EXPECT_NE(ioErrorCode([&] { files.copyFile("/proc/self/mem", temp / "a.png"); }), 0);
    EXPECT_EQ(readText(temp / "a.png"), "x");
    EXPECT_EQ(entryCount(temp.path()), 4);
    EXPECT_TRUE(fs::equivalent(executablePath(), "/proc/self/exe"));
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

// One open gives what identity() and readPlainFile() give one after the other.
TEST(PlatformPlainFileRead, versionMatchesIdentityAndPlainRead) {
    test::TempFolder temp;
    const LocalFileSystem files;
    test::writeFile(temp / "tst.ini", std::string_view("[Sys]\r\nAuth=1\r\n"));
    test::writeFile(temp / ".tst.ini", std::string_view("hidden"));
    std::filesystem::create_directories(temp / "folder");
    std::filesystem::create_symlink(temp / "tst.ini", temp / "link");
    ASSERT_EQ(::mkfifo((temp / "pipe").c_str(), 0600), 0);

    for (const char* name : {"tst.ini", ".tst.ini", "folder", "link", "pipe", "missing"}) {
        const auto version = files.readPlainFileVersion(temp / name);
        EXPECT_EQ(version.identity, files.identity(temp / name)) << name;
        EXPECT_EQ(version.content, files.readPlainFile(temp / name)) << name;
    }
    EXPECT_FALSE(files.readPlainFileVersion("").identity.has_value());
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
