#include "platform/Errors.h"
#include "platform/IniProfile.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>

namespace orbisto::platform {
namespace {

namespace fs = std::filesystem;
using test::readText;
using test::TempFolder;
using test::writeFile;

// Names in the folder, hidden ones included: a failed write must not leave its temporary file.
std::vector<std::string> allNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class PlatformIni : public ::testing::Test {
protected:
    TempFolder temp;
    fs::path ini = temp / "tst.ini";

    std::string read(std::string_view section, std::string_view key, std::string_view fallback = "<default>") {
        return readProfileString(ini, section, key, fallback);
    }
};

TEST_F(PlatformIni, readTrimsNamesAndValuesAndIgnoresCase) {
    writeFile(ini, "  [ Sys ]  \r\n  Auth =  1  \r\n\tNew\t=\t0\t\r\n");
    EXPECT_EQ(read("sys", "AUTH"), "1");
    EXPECT_EQ(read(" Sys\t", " auth "), "1");
    EXPECT_EQ(read("SYS", "new"), "0");
}

TEST_F(PlatformIni, readRemovesOneMatchingPairOfQuotes) {
    writeFile(ini,
              "[S]\r\nq=\"  q  \"\r\ns='x'\r\nopen=\"abc\r\nmixed=\"x'\r\none=\"\r\ntwo=\"\"\r\nnested=\"'a'\"\r\n");
    EXPECT_EQ(read("S", "q"), "  q  ");
    EXPECT_EQ(read("S", "s"), "x");
    EXPECT_EQ(read("S", "open"), "\"abc");
    EXPECT_EQ(read("S", "mixed"), "\"x'");
    EXPECT_EQ(read("S", "one"), "\"");
    EXPECT_EQ(read("S", "two"), "");
    EXPECT_EQ(read("S", "nested"), "'a'");
}

TEST_F(PlatformIni, readSplitsAtTheFirstEqualsAndKnowsNoComments) {
    writeFile(ini, "[S]\r\neq=a=b\r\nempty=\r\n;c=semi\r\nval=v ; x\r\n#h=hash\r\nnoequals\r\n");
    EXPECT_EQ(read("S", "eq"), "a=b");
    EXPECT_EQ(read("S", "empty"), "");
    EXPECT_EQ(read("S", ";c"), "semi");
    EXPECT_EQ(read("S", "val"), "v ; x");
    EXPECT_EQ(read("S", "#h"), "hash");
    EXPECT_EQ(read("S", "noequals"), "<default>");
}

TEST_F(PlatformIni, readGivesTheDefaultForMissingFileSectionOrKey) {
    EXPECT_EQ(read("Sys", "Auth"), "<default>");
    writeFile(ini, "[Sys]\r\nAuth=1\r\n");
    EXPECT_EQ(read("Other", "Auth"), "<default>");
    EXPECT_EQ(read("Sys", "New"), "<default>");
    EXPECT_EQ(readProfileString(ini, "Sys", "New"), "");
    // The profile API drops the default's trailing blanks.
    EXPECT_EQ(read("Sys", "New", "d  "), "d");
    EXPECT_EQ(readProfileString(temp.path(), "Sys", "Auth", "folder"), "folder");
}

TEST_F(PlatformIni, readTakesTheFirstKeyOfTheFirstSectionOnly) {
    writeFile(ini, "[A]\nk=1\nk=2\n[B]\nk=3\n[a]\nk=4\nj=5\n");
    EXPECT_EQ(read("A", "k"), "1");
    EXPECT_EQ(read("B", "k"), "3");
    EXPECT_EQ(read("a", "j"), "<default>");
}

TEST_F(PlatformIni, readAcceptsEveryLineEndAndAByteOrderMark) {
    writeFile(ini, "[A]\rk=cr\r[B]\nk=lf\n[C]\r\nk=crlf");
    EXPECT_EQ(read("A", "k"), "cr");
    EXPECT_EQ(read("B", "k"), "lf");
    EXPECT_EQ(read("C", "k"), "crlf");
    writeFile(ini, "\xEF\xBB\xBF[Sys]\r\nAuth=é\r\n");
    EXPECT_EQ(read("Sys", "Auth"), "é");
}

TEST_F(PlatformIni, readCutsValuesAt2047Characters) {
    writeFile(ini, "[S]\r\nlong=" + std::string(3000, 'x') + "\r\nquoted=\"" + std::string(2100, 'y') +
                       "\"\r\nexact=" + std::string(2047, 'z') + "\r\n");
    EXPECT_EQ(read("S", "long"), std::string(2047, 'x'));
    EXPECT_EQ(read("S", "quoted"), std::string(2047, 'y'));
    EXPECT_EQ(read("S", "exact"), std::string(2047, 'z'));
    // A two-byte character across the cut is left out whole.
    writeFile(ini, "[S]\r\nu=" + std::string(2046, 'a') + "é\r\n");
    EXPECT_EQ(read("S", "u"), std::string(2046, 'a'));
}

TEST_F(PlatformIni, writeCreatesAMissingFile) {
    writeProfileString(ini, "Sys", "Auth", "1");
    EXPECT_EQ(readText(ini), "[Sys]\r\nAuth=1\r\n");
}

TEST_F(PlatformIni, writeReplacesAKeyInPlaceKeepingItsSpellingAndTheRest) {
    writeFile(ini, "; head\n[sys]\n  AUTH = 0\nOther=x\n[Next]\nk=v");
    writeProfileString(ini, "Sys", "auth", "1");
    EXPECT_EQ(readText(ini), "; head\n[sys]\n  AUTH=1\nOther=x\n[Next]\nk=v");
}

TEST_F(PlatformIni, writeAddsAMissingKeyAfterTheLastLineOfItsSection) {
    writeFile(ini, "[A]\r\nk=1\r\n\r\n[B]\r\nk=2\r\n");
    writeProfileString(ini, "a", "j", "5");
    EXPECT_EQ(readText(ini), "[A]\r\nk=1\r\nj=5\r\n\r\n[B]\r\nk=2\r\n");

    writeFile(ini, "[A]\r\nk=1");
    writeProfileString(ini, "A", "j", "5");
    EXPECT_EQ(readText(ini), "[A]\r\nk=1\r\nj=5\r\n");

    writeFile(ini, "[A]\n[B]\n");
    writeProfileString(ini, "A", "j", "5");
    EXPECT_EQ(readText(ini), "[A]\nj=5\r\n[B]\n");
}

TEST_F(PlatformIni, writeAppendsAMissingSectionWithALineBreakFirstWhenNeeded) {
    writeFile(ini, "[A]\r\nk=1");
    writeProfileString(ini, "B", "k", "2");
    EXPECT_EQ(readText(ini), "[A]\r\nk=1\r\n[B]\r\nk=2\r\n");

    writeFile(ini, "[A]\nk=1\n");
    writeProfileString(ini, " B ", " k ", "2");
    EXPECT_EQ(readText(ini), "[A]\nk=1\n[B]\r\nk=2\r\n");
    EXPECT_EQ(read("B", "k"), "2");
}

TEST_F(PlatformIni, writeOnlyTouchesTheFirstSectionOfAName) {
    writeFile(ini, "[A]\r\nk=1\r\n[A]\r\nj=2\r\n");
    writeProfileString(ini, "A", "j", "3");
    EXPECT_EQ(readText(ini), "[A]\r\nk=1\r\nj=3\r\n[A]\r\nj=2\r\n");
}

TEST_F(PlatformIni, writeKeepsAByteOrderMark) {
    writeFile(ini, "\xEF\xBB\xBF[Sys]\r\nAuth=0\r\n");
    writeProfileString(ini, "Sys", "Auth", "1");
    writeProfileString(ini, "Sys", "New", "1");
    EXPECT_EQ(readText(ini), "\xEF\xBB\xBF[Sys]\r\nAuth=1\r\nNew=1\r\n");
    writeFile(ini, "\xEF\xBB\xBF");
    writeProfileString(ini, "Sys", "Auth", "1");
    EXPECT_EQ(readText(ini), "\xEF\xBB\xBF[Sys]\r\nAuth=1\r\n");
}

TEST_F(PlatformIni, writingTheSameValueLeavesTheFileUntouched) {
    writeFile(ini, "[Sys]\nAuth = 1 \n");
    const auto old = fs::last_write_time(ini) - std::chrono::hours(1);
    fs::last_write_time(ini, old);
    writeProfileString(ini, "SYS", "auth", "1");
    EXPECT_EQ(readText(ini), "[Sys]\nAuth = 1 \n");
    EXPECT_EQ(fs::last_write_time(ini), old);
}

TEST_F(PlatformIni, aRefusedWriteRaisesAndKeepsTheOldFile) {
    const fs::path missing = temp / "no-such-folder" / "tst.ini";
    try {
        writeProfileString(missing, "Sys", "Auth", "1");
        FAIL() << "expected IniWriteError";
    } catch (const IniWriteError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + missing.string());
    }
    EXPECT_FALSE(fs::exists(missing.parent_path()));

    fs::create_directory(temp / "folder.ini");
    EXPECT_THROW(writeProfileString(temp / "folder.ini", "Sys", "Auth", "1"), IniWriteError);

    writeFile(ini, "[Sys]\r\nAuth=0\r\n");
    fs::permissions(ini, fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_THROW(writeProfileString(ini, "Sys", "Auth", "1"), IniWriteError);
    EXPECT_EQ(readText(ini), "[Sys]\r\nAuth=0\r\n");
    EXPECT_EQ(allNames(temp.path()), (std::vector<std::string>{"folder.ini", "tst.ini"}));
}

TEST_F(PlatformIni, writeKeepsTheFilePermissions) {
    writeFile(ini, "[Sys]\r\nAuth=0\r\n");
    fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    writeProfileString(ini, "Sys", "Auth", "1");
    EXPECT_EQ(fs::status(ini).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

} // namespace
} // namespace orbisto::platform
