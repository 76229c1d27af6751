#include "platform/IniProfile.h"
#include "support/TempFolder.h"

#include <chrono>
#include <gtest/gtest.h>

namespace orbisto::platform {
namespace {

namespace fs = std::filesystem;
using test::readText;
using test::TempFolder;
using test::writeFile;

class PlatformIni : public ::testing::Test {
protected:
    TempFolder temp;
    fs::path ini = temp / "tst.ini";

    std::string read(std::string_view section, std::string_view key, std::string_view fallback = "<default>") {
        return readProfileString(ini, section, key, fallback);
    }
};

// The Windows rules are shared cases (tests/contract); these are what the Linux layer adds:
// UTF-8 files with a byte-order mark, cuts between characters, permissions and atomic writes.
TEST_F(PlatformIni, aByteOrderMarkIsSkippedOnReadingAndKeptOnWriting) {
    writeFile(ini, "\xEF\xBB\xBF  [ Sys ]  \r\n  Auth =  1  \r\n");
    EXPECT_EQ(read("sys", "AUTH"), "1");
    writeProfileString(ini, "Sys", "Auth", "2");
    EXPECT_EQ(readText(ini), "\xEF\xBB\xBF  [ Sys ]  \r\n  Auth=2\r\n");
    writeFile(ini, "\xEF\xBB\xBF");
    writeProfileString(ini, "Sys", "Auth", "1");
    EXPECT_EQ(readText(ini), "\xEF\xBB\xBF[Sys]\r\nAuth=1\r\n");

    writeFile(ini, "[S]\r\nu=" + std::string(2046, 'a') + "é\r\n");
    EXPECT_EQ(read("S", "u"), std::string(2046, 'a')); // a two-byte character across the cut is left out whole
}

TEST_F(PlatformIni, writeKeepsTheFilePermissionsAndLeavesAnUnchangedValueUntouched) {
    writeFile(ini, "[Sys]\nAuth = 1 \n");
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(ini, perms);
    const auto old = fs::last_write_time(ini) - std::chrono::hours(1);
    fs::last_write_time(ini, old);
    writeProfileString(ini, "SYS", "auth", "1");
    EXPECT_EQ(readText(ini), "[Sys]\nAuth = 1 \n");
    EXPECT_EQ(fs::last_write_time(ini), old);

    writeProfileString(ini, "Sys", "Auth", "2");
    EXPECT_EQ(fs::status(ini).permissions(), perms);
}

} // namespace
} // namespace orbisto::platform
