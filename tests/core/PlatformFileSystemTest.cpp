#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbisto::platform {
namespace {

namespace fs = std::filesystem;
using test::readText;
using test::TempFolder;
using test::writeFile;

// The Windows rules, hidden dot names and pipes as system entries are shared cases (tests/contract);
// these are the Linux layer's own.
TEST(PlatformFileSystem, failedCopyLeavesTheOldTargetAndNoPartialFile) {
    TempFolder temp;
    writeFile(temp / "a.png", "x");
    // /proc/self/mem fails at its first byte.
    EXPECT_NE(test::ioErrorCode([&] { localFileSystem().copyFile("/proc/self/mem", temp / "a.png"); }), 0);
    EXPECT_EQ(readText(temp / "a.png"), "x");
    EXPECT_EQ(test::namesIn(temp.path()), std::vector<std::string>{"a.png"});
    EXPECT_TRUE(fs::equivalent(executablePath(), "/proc/self/exe"));
}

// The rename falls back to a copy where no rename can go: a read-only target is replaced all the same.
TEST(PlatformFileSystem, renameAcrossFileSystems_movesBytesAndRemovesSource) {
    TempFolder temp;
    struct stat shm {
    }, disk{};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(temp.path().c_str(), &disk) != 0 || shm.st_dev == disk.st_dev ||
        ::access("/dev/shm", W_OK) != 0) {
        GTEST_SKIP() << "needs /dev/shm on another file system";
    }
    const fs::path from = fs::path("/dev/shm") / ("orbisto-move-" + std::to_string(::getpid()) + ".png");
    writeFile(from, "frame bytes");
    writeFile(temp / "ball_11.png", "old");
    fs::permissions(temp / "ball_11.png", fs::perms::owner_write, fs::perm_options::remove);
    localFileSystem().rename(from, temp / "ball_11.png");
    EXPECT_EQ(readText(temp / "ball_11.png"), "frame bytes");
    EXPECT_FALSE(fs::exists(from));
}

// One open gives what identity() and readPlainFile() give one after the other; links are followed.
TEST(PlatformFileIdentity, versionMatchesIdentityAndPlainRead_linksFollowed) {
    TempFolder temp;
    const LocalFileSystem files;
    writeFile(temp / "tst.ini", std::string_view("[Sys]\r\nAuth=1\r\n"));
    writeFile(temp / ".tst.ini", std::string_view("hidden"));
    fs::create_directories(temp / "folder");
    fs::create_symlink(temp / "tst.ini", temp / "link");
    fs::create_directory_symlink(temp / "folder", temp / "folder link");
    ASSERT_EQ(::mkfifo((temp / "pipe").c_str(), 0600), 0);

    for (const char* name : {"tst.ini", ".tst.ini", "folder", "link", "folder link", "pipe", "missing"}) {
        const auto version = files.readPlainFileVersion(temp / name);
        EXPECT_EQ(version.identity, files.identity(temp / name)) << name;
        EXPECT_EQ(version.content, files.readPlainFile(temp / name)) << name;
    }
    EXPECT_EQ(files.identity(temp / "folder link"), files.identity(temp / "folder"));
    EXPECT_EQ(files.identity(temp / "pipe")->kind, FileIdentity::Kind::Other);
    const auto linked = files.readPlainFile(temp / "link");
    ASSERT_TRUE(linked.has_value());
    EXPECT_EQ(std::string(linked->begin(), linked->end()), "[Sys]\r\nAuth=1\r\n");
    EXPECT_FALSE(files.readPlainFileVersion("").identity.has_value());
}

} // namespace
} // namespace orbisto::platform
