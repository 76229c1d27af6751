// INI files through the profile functions: reading with the Windows rules, writing in place.
#include "contract/Host.h"
#include "platform/Errors.h"
#include "platform/IniProfile.h"
#include "support/TempFolder.h"

#include <array>
#include <chrono>
#include <gtest/gtest.h>
#include <iterator>

namespace orbisto::platform {
namespace {

namespace fs = std::filesystem;
using test::readText;
using test::TempFolder;
using test::writeFile;

class SharedIni : public ::testing::Test {
protected:
    TempFolder temp;
    fs::path ini = temp / "tst.ini";

    std::string read(std::string_view section, std::string_view key, std::string_view fallback = "<default>") {
        return readProfileString(ini, section, key, fallback);
    }
};

TEST_F(SharedIni, readTrimsUnquotesIgnoresCaseAndTakesTheFirstMatch) {
    writeFile(ini, "  [ Sys ]  \r\n  Auth =  1  \r\n\tNew\t=\t0\t\r\n"
                   "[S]\r\nq=\"  q  \"\r\ns='x'\r\nmixed=\"x'\r\none=\"\r\nnested=\"'a'\"\r\n"
                   "eq=a=b\r\nempty=\r\n;c=semi\r\nval=v ; x\r\nhash=#1\r\nnoequals\r\nk=1\r\nk=2\r\n"
                   "[A]\rk=cr\r[B]\nk=lf\n[s]\r\nk=3\r\nj=5\r\n");
    const std::array<std::string_view, 3> cases[] = {
        {"sys", "AUTH", "1"},
        {"SYS", "new", "0"},
        {" Sys ", " Auth ", "1"},
        // The names asked for lose their spaces only: a tab stays and matches nothing.
        {" Sys\t", " Auth ", "<default>"},
        // One matching pair of quotes is removed.
        {"S", "q", "  q  "},
        {"S", "s", "x"},
        {"S", "mixed", "\"x'"},
        {"S", "one", "\""},
        // The first "=" splits; a line whose first non-blank character is ";" is a comment.
        {"S", "eq", "a=b"},
        {"S", "empty", ""},
        {"S", ";c", "<default>"},
        {"S", "val", "v ; x"},
        {"S", "noequals", "<default>"},
        // The first key of the first section of a name; CR, LF and CR LF all end lines.
        {"S", "k", "1"},
        {"s", "j", "<default>"},
        {"A", "k", "cr"},
        {"B", "k", "lf"},
    };
    for (const auto& [section, key, value] : cases) {
        EXPECT_EQ(read(section, key), value) << "[" << section << "] " << key;
    }
}

TEST_F(SharedIni, readGivesTheDefaultForMissingFileSectionOrKeyAndCutsAt2047Characters) {
    EXPECT_EQ(read("Sys", "Auth"), "<default>");
    writeFile(ini, "[Sys]\r\nAuth=1\r\n");
    EXPECT_EQ(read("Other", "Auth"), "<default>");
    EXPECT_EQ(read("Sys", "New"), "<default>");
    EXPECT_EQ(readProfileString(ini, "Sys", "New"), "");
    EXPECT_EQ(read("Sys", "New", "d  "), "d"); // the default's trailing blanks are dropped
    EXPECT_EQ(readProfileString(temp.path(), "Sys", "Auth", "folder"), "folder");

    writeFile(ini, "[S]\r\nlong=" + std::string(3000, 'x') + "\r\nquoted=\"" + std::string(2100, 'y') +
                       "\"\r\nexact=" + std::string(2047, 'z') + "\r\n");
    EXPECT_EQ(read("S", "long"), std::string(2047, 'x'));
    EXPECT_EQ(read("S", "quoted"), std::string(2047, 'y'));
    EXPECT_EQ(read("S", "exact"), std::string(2047, 'z'));
}

struct WriteCase {
    const char* before; // nullptr: no file
    const char* section;
    const char* key;
    const char* value;
    std::string_view after;
    // Wine's profile functions write the whole file anew in their own layout (one blank line
    // between sections, keys without their blanks), where Windows changes the one line.
    bool wineRewrites = false;
};

TEST_F(SharedIni, writeReplacesInPlaceOrAddsAfterTheSectionOrAppendsASection) {
    const WriteCase cases[] = {
        {nullptr, "Sys", "Auth", "1", "[Sys]\r\nAuth=1\r\n"},
        // In place, keeping the key's spelling and everything else.
        {"; head\n[sys]\n  AUTH = 0\nOther=x\n[Next]\nk=v", "Sys", "auth", "1",
         "; head\n[sys]\n  AUTH=1\nOther=x\n[Next]\nk=v", true},
        {"[Sys]\r\nAuth=0\r\nNew=1\r\n", "Sys", "Auth", "1", "[Sys]\r\nAuth=1\r\nNew=1\r\n"},
        // A missing key goes after the last line of the first section of that name.
        {"[A]\r\nk=1\r\n\r\n[B]\r\nk=2\r\n", "a", "j", "5", "[A]\r\nk=1\r\nj=5\r\n\r\n[B]\r\nk=2\r\n", true},
        {"[A]\r\nk=1", "A", "j", "5", "[A]\r\nk=1\r\nj=5\r\n"},
        {"[A]\n[B]\n", "A", "j", "5", "[A]\nj=5\r\n[B]\n", true},
        {"[A]\r\nk=1\r\n[A]\r\nj=2\r\n", "A", "j", "3", "[A]\r\nk=1\r\nj=3\r\n[A]\r\nj=2\r\n"},
        // A missing section is appended, with a line break first when needed.
        {"[A]\r\nk=1", "B", "k", "2", "[A]\r\nk=1\r\n[B]\r\nk=2\r\n"},
        {"[A]\nk=1\n", " B ", " k ", "2", "[A]\nk=1\n[B]\r\nk=2\r\n", true},
    };
    for (const auto& c : cases) {
        fs::remove(ini);
        if (c.before) {
            writeFile(ini, c.before);
        }
        writeProfileString(ini, c.section, c.key, c.value);
        if (!(c.wineRewrites && test::host::underWine())) {
            EXPECT_EQ(readText(ini), c.after) << "before: " << (c.before ? c.before : "<no file>");
        }
        EXPECT_EQ(readProfileString(ini, c.section, c.key), c.value);
    }
}

TEST_F(SharedIni, aRefusedWriteRaisesAndKeepsTheOldFile) {
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
    test::host::makeReadOnly(ini);
    EXPECT_THROW(writeProfileString(ini, "Sys", "Auth", "1"), IniWriteError);
    EXPECT_EQ(readText(ini), "[Sys]\r\nAuth=0\r\n");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path()), fs::directory_iterator()), 2);
}

} // namespace
} // namespace orbisto::platform
