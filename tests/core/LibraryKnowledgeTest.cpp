#include "library/LibraryReader.h"
#include "library/LibraryScan.h"
#include "library/NewBallScan.h"
#include "platform/IniProfile.h"
#include "support/TempFolder.h"

#include <chrono>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <thread>

namespace orbisto::test {
namespace {

using Names = std::vector<std::string>;
constexpr std::int64_t kSecond = 1'000'000'000;

// The local file system as a user other than root sees it (a file without read permission cannot be
// read), counting the listings and the reads of existing files asked for. With `coarse` set it keeps time stamps in
// whole seconds and no change time, like the file systems where two writes within a second leave
// every field of the identity as it was.
class WatchedFileSystem : public platform::LocalFileSystem {
public:
    using Path = platform::Path;

    mutable int listings = 0;
    mutable int reads = 0;
    bool coarse = false;

    std::vector<platform::FolderEntry> scanFolder(const Path& folder, std::string_view pattern) const override {
        ++listings;
        return LocalFileSystem::scanFolder(folder, pattern);
    }
    std::optional<std::vector<std::uint8_t>> readPlainFile(const Path& file) const override {
        struct stat info {};
        if (::stat(file.c_str(), &info) != 0) {
            return std::nullopt; // a look for a missing marker reads nothing
        }
        ++reads;
        if ((info.st_mode & S_IRUSR) == 0) {
            return std::nullopt;
        }
        return LocalFileSystem::readPlainFile(file);
    }
    std::optional<platform::FileIdentity> identity(const Path& path) const override {
        auto identity = LocalFileSystem::identity(path);
        if (identity && coarse) {
            identity->modified -= identity->modified % kSecond;
            identity->changed = 0;
        }
        return identity;
    }
    // Through the two overrides above.
    platform::FileVersion readPlainFileVersion(const Path& file) const override {
        return FileSystem::readPlainFileVersion(file);
    }
};

// A library below a temporary program folder, read through kept knowledge and compared with a fresh
// read of the disk. The clock is the system's moved by `clockOffset`.
class LibraryKnowledgeTest : public ::testing::Test {
protected:
    fs::path balls() const { return temp / "balls"; }
    // A folder below balls/ with the given marker lines (no marker when empty).
    void folder(const fs::path& relative, std::string_view marker) {
        fs::create_directories(balls() / relative);
        if (!marker.empty()) {
            writeMarker(balls() / relative, marker);
        }
    }
    // Brands Alpha and Beta listed, Gamma not; a few balls, some of them new.
    void makeLibrary() {
        folder("Alpha", "Auth=1");
        folder("Alpha/One", "Auth=1\r\nNew=1");
        folder("Alpha/Two", "Auth=1\r\nNew=0");
        folder("Alpha/Three", "Auth=1");
        folder("Alpha/Un.listed", "Auth=1\r\nNew=1");
        folder("Beta", "Auth=1");
        folder("Beta/Four", "Auth=1\r\nNew=1");
        folder("Brand.Co", "Auth=1");
        folder("Gamma", "");
        folder("Gamma/Five", "Auth=1\r\nNew=1");
        writeFile(balls() / "Alpha/loose", "not a ball");
    }

    library::NewBallScanResult keptScan() { return library::scanNewBalls(*kept, temp.path()); }
    // Starts again with nothing kept.
    void forget() {
        kept.emplace(files, [this] { return library::LibraryKnowledge::systemNow() + clockOffset; });
    }

    // The scan, the brand box and every brand's ball list read through the kept knowledge equal a
    // fresh read of the disk.
    void expectSameAsFreshRead() {
        library::DiskLibraryReader disk(files);
        EXPECT_EQ(keptScan(), library::scanNewBalls(disk, temp.path()));
        const Names brands = library::brandBoxItems(disk, temp.path());
        EXPECT_EQ(library::brandBoxItems(*kept, temp.path()), brands);
        for (const std::string& brand : brands) {
            EXPECT_EQ(library::listBalls(*kept, temp.path(), brand), library::listBalls(disk, temp.path(), brand))
                << brand;
        }
    }

    TempFolder temp;
    WatchedFileSystem files;
    std::int64_t clockOffset = 0;
    std::optional<library::LibraryKnowledge> kept;

    void SetUp() override { forget(); }
};

// Overwrites a file in place (same inode) with text of the same length.
void overwrite(const fs::path& file, std::string_view text) {
    std::fstream stream(file, std::ios::in | std::ios::out | std::ios::binary);
    stream.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// With the clock an hour ahead everything read counts as settled, so only the identities can tell a
// change. Each change comes a few clock ticks after the last read, as any change later than the
// settle time does.
TEST_F(LibraryKnowledgeTest, eachKindOfChange_keptReadEqualsFreshRead) {
    const fs::path elsewhere = temp / "elsewhere";
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"ball added", [&] { folder("Alpha/Six", "Auth=1\r\nNew=1"); }},
        {"ball removed", [&] { fs::remove_all(balls() / "Alpha/One"); }},
        {"ball renamed", [&] { fs::rename(balls() / "Alpha/One", balls() / "Alpha/Uno"); }},
        {"ball without marker", [&] { fs::create_directories(balls() / "Beta/Bare"); }},
        {"ball replaced by a file",
         [&] {
             fs::remove_all(balls() / "Alpha/Two");
             writeFile(balls() / "Alpha/Two", "x");
         }},
        {"brand added",
         [&] {
             folder("Delta", "Auth=1");
             folder("Delta/Seven", "New=1");
         }},
        {"brand removed", [&] { fs::remove_all(balls() / "Beta"); }},
        {"brand renamed", [&] { fs::rename(balls() / "Beta", balls() / "Bravo"); }},
        {"brands swapped",
         [&] {
             fs::rename(balls() / "Alpha", balls() / "Swap");
             fs::rename(balls() / "Gamma", balls() / "Alpha");
             fs::rename(balls() / "Swap", balls() / "Gamma");
         }},
        {"brand marker edited in place", [&] { overwrite(balls() / "Alpha/tst.ini", "[Sys]\r\nAuth=0"); }},
        {"ball marker edited in place", [&] { overwrite(balls() / "Alpha/Two/tst.ini", "[Sys]\r\nAuth=1\r\nNew=1"); }},
        {"ball marker written by the program",
         [&] { platform::writeProfileString(balls() / "Alpha/Three/tst.ini", "Sys", "New", "1"); }},
        {"marker copied over keeping its old time",
         [&] {
             const fs::path marker = balls() / "Alpha/One/tst.ini";
             const auto time = fs::last_write_time(marker);
             writeFile(temp / "copy.ini", "[Sys]\r\nAuth=1\r\nNew=0\r\n");
             fs::copy_file(temp / "copy.ini", marker, fs::copy_options::overwrite_existing);
             fs::last_write_time(marker, time);
         }},
        {"marker made unreadable", [&] { fs::permissions(balls() / "Beta/Four/tst.ini", fs::perms::none); }},
        {"brand marker made unreadable", [&] { fs::permissions(balls() / "Beta/tst.ini", fs::perms::none); }},
        {"marker removed", [&] { fs::remove(balls() / "Beta/Four/tst.ini"); }},
        {"marker appears", [&] { writeMarker(balls() / "Gamma", "Auth=1"); }},
        {"linked ball's folder becomes a file",
         [&] {
             fs::remove_all(elsewhere / "Linked");
             writeFile(elsewhere / "Linked", "x");
         }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        for (const auto& entry : fs::directory_iterator(temp.path())) {
            fs::remove_all(entry.path());
        }
        makeLibrary();
        folder("../elsewhere/Linked", "New=1");
        fs::create_directory_symlink(elsewhere / "Linked", balls() / "Beta/Linked");
        clockOffset = 3600 * kSecond;
        forget();
        expectSameAsFreshRead(); // everything read once and kept
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        change();
        expectSameAsFreshRead();
        expectSameAsFreshRead();
    }
}

// Time stamps in whole seconds, no change time: the edit leaves the identity exactly as it was. The
// marker was read within the settle time, so it is read again, and again until it has settled.
TEST_F(LibraryKnowledgeTest, sameSizeEditWithinTheSameSecond_readAgainUntilSettled) {
    files.coarse = true;
    makeLibrary();
    const fs::path marker = balls() / "Alpha/One/tst.ini";
    const auto time = fs::last_write_time(marker);
    expectSameAsFreshRead();
    const auto identity = files.identity(marker);

    overwrite(marker, "[Sys]\r\nAuth=1\r\nNew=0");
    fs::last_write_time(marker, time);
    ASSERT_EQ(files.identity(marker), identity);
    expectSameAsFreshRead();
    EXPECT_TRUE(keptScan().newBalls.size() == 1); // only Beta-Four

    // Read again when looked at settle time later; afterwards what was kept serves.
    clockOffset = library::kSettleNanoseconds + kSecond;
    files.reads = 0;
    keptScan();
    EXPECT_GT(files.reads, 0);
    files.reads = 0;
    files.listings = 0;
    keptScan();
    EXPECT_EQ(files.reads, 0);
    EXPECT_EQ(files.listings, 0);
}

// Only what changed is read again, and the brand box and ball lists use what the scan kept.
TEST_F(LibraryKnowledgeTest, settledLibrary_readsOnlyWhatChanged) {
    makeLibrary();
    clockOffset = 3600 * kSecond;
    keptScan();

    files.reads = 0;
    files.listings = 0;
    keptScan();
    library::listBalls(*kept, temp.path(), "Alpha");
    EXPECT_EQ(files.reads, 0);
    EXPECT_EQ(files.listings, 0);

    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    overwrite(balls() / "Alpha/Two/tst.ini", "[Sys]\r\nAuth=1\r\nNew=1");
    folder("Beta/Six", "New=1");
    files.reads = 0;
    keptScan();
    EXPECT_EQ(files.reads, 2);    // the edited and the new marker
    EXPECT_EQ(files.listings, 1); // Beta, where a ball was added

    // The brand box lists the root with another pattern; the brands' markers are known already.
    files.reads = 0;
    library::listBrands(*kept, temp.path());
    EXPECT_EQ(files.reads, 1); // Brand.Co, which the scan leaves out for its dot
}

} // namespace
} // namespace orbisto::test
