#include "platform/Errors.h"
#include "platform/SettingsStore.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

namespace orbisto::platform {
namespace {

namespace fs = std::filesystem;
using test::readText;
using test::TempFolder;
using test::writeFile;

// user.reg as Wine writes it: signature, comment, architecture, keys with timestamps and #time
// lines, a symbolic link key, escapes, typed values and hex data continued over indented lines.
// "Raw" holds unescaped UTF-8, which Wine itself never writes but reads.
constexpr std::string_view kWineUserReg = R"REG(WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-1589142542-3093414385-1398390478-1000

#arch=win64

[Control Panel\\International] 1701963123
#time=1da2906a3d2c5f4
"iCountry"="1"
"Locale"="00000409"
"sShortDate"="M/d/yyyy"

[Environment] 1701963123
#time=1da2906a3d35d2a
"TEMP"=str(2):"%USERPROFILE%\\AppData\\Local\\Temp"

[Software\\Classes\\Wow6432Node\\CLSID] 1701963123
#time=1da2906a3d35d2a
#link
"SymbolicLinkValue"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,\
  00,5c,00,4d,00,61,00,63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,6f,00,66,00,\
  74,00,77,00,61,00,72,00,65,00,5c,00,43,00,6c,00,61,00,73,00,73,00,65,00,73,\
  00

[Software\\Odd\\Br\[ack\]et]
"Name"="bracketed"

[Software\\Sports Interactive\\Football Manager 2006] 1701963200
#time=1da2906d1e0b3c2
@="default text"
"Binary"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\
  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27
"Count"=dword:0000002a
"Install Dir"=hex(2):43,00,3a,00,5c,00,47,00,61,00,6d,00,65,00,73,00,5c,00,46,\
  00,4d,00,20,00,32,00,30,00,30,00,36,00,5c,00,44,00,61,00,74,00,61,00,00,00
"Multi"=str(7):"one\0two\0"
"Path"="C:\\Games\\FM 2006"
"Quoted"="say \"hi\"\ttab"
"Raw"="Café"
"Unicode"="Caf\xe9 \x65e5\x672c \x00e9a"
)REG";

constexpr std::string_view kFm2006 = "\\Software\\Sports Interactive\\Football Manager 2006";

std::optional<std::string> typeErrorOf(SettingsStore& store, std::string_view valueName) {
    try {
        store.readText(Hive::CurrentUser, kFm2006, valueName);
    } catch (const SettingsTypeError& error) {
        return error.what();
    }
    return std::nullopt;
}

class PlatformRegistry : public ::testing::Test {
protected:
    TempFolder temp;
    fs::path folder = temp / "settings";
    std::unique_ptr<SettingsStore> store = makeRegistryFileStore(folder);

    void installWineFile() { writeFile(folder / "user.reg", kWineUserReg); }
};

TEST_F(PlatformRegistry, readsTheTextValuesOfAFileWineWrote) {
    installWineFile();
    EXPECT_EQ(store->readText(Hive::CurrentUser, kFm2006, "Path"), "C:\\Games\\FM 2006");
    EXPECT_EQ(store->readText(Hive::CurrentUser, kFm2006, "Install Dir"), "C:\\Games\\FM 2006\\Data");
    EXPECT_EQ(store->readText(Hive::CurrentUser, kFm2006, ""), "default text");
    EXPECT_EQ(store->readText(Hive::CurrentUser, kFm2006, "Quoted"), "say \"hi\"\ttab");
    EXPECT_EQ(store->readText(Hive::CurrentUser, kFm2006, "Unicode"), "Café 日本 éa");
    EXPECT_EQ(store->readText(Hive::CurrentUser, kFm2006, "Raw"), "Café");
    EXPECT_EQ(store->readText(Hive::CurrentUser, "Environment", "TEMP"), "%USERPROFILE%\\AppData\\Local\\Temp");
    EXPECT_EQ(store->readText(Hive::CurrentUser, "Software\\Odd\\Br[ack]et", "Name"), "bracketed");
    EXPECT_EQ(store->readText(Hive::CurrentUser, "\\Control Panel\\International", "sShortDate"), "M/d/yyyy");
    EXPECT_EQ(store->readText(Hive::LocalMachine, kFm2006, "Path"), "");
}

TEST_F(PlatformRegistry, readingANonTextValueRaisesTheTypeError) {
    installWineFile();
    EXPECT_EQ(typeErrorOf(*store, "Count"), "Invalid data type for 'Count'");
    EXPECT_EQ(typeErrorOf(*store, "binary"), "Invalid data type for 'binary'");
    EXPECT_EQ(typeErrorOf(*store, "Multi"), "Invalid data type for 'Multi'");
    EXPECT_EQ(typeErrorOf(*store, "Path"), std::nullopt);
}

TEST_F(PlatformRegistry, keyPathsAndValueNamesIgnoreCase) {
    installWineFile();
    EXPECT_EQ(store->readText(Hive::CurrentUser, "software\\SPORTS interactive\\football manager 2006\\", "pATH"),
              "C:\\Games\\FM 2006");
    EXPECT_EQ(store->readText(Hive::CurrentUser, "Software\\Sports Interactive", "Path"), "");
}

TEST_F(PlatformRegistry, writtenTextIsReadBackByANewStoreAndKeepsTheFirstSpelling) {
    store->writeText(Hive::LocalMachine, "\\Software\\Orbisto", "Version", "2006");
    EXPECT_EQ(makeRegistryFileStore(folder)->readText(Hive::LocalMachine, "Software\\Orbisto", "Version"), "2006");
    EXPECT_EQ(store->readText(Hive::CurrentUser, "Software\\Orbisto", "Version"), "");
    EXPECT_FALSE(fs::exists(folder / "user.reg"));

    store->writeText(Hive::LocalMachine, "software\\ORBISTO", "VERSION", "2005");
    EXPECT_EQ(store->readText(Hive::LocalMachine, "\\Software\\Orbisto", "version"), "2005");
    const std::string file = readText(folder / "system.reg");
    EXPECT_TRUE(file.starts_with("WINE REGISTRY Version 2\n")) << file;
    EXPECT_NE(file.find("\n[Software\\\\Orbisto] "), std::string::npos) << file;
    EXPECT_NE(file.find("\n\"Version\"=\"2005\"\n"), std::string::npos) << file;
    EXPECT_EQ(file.find("ORBISTO"), std::string::npos) << file;
    EXPECT_NE(file.find("\n#time="), std::string::npos) << file;
}

TEST_F(PlatformRegistry, escapedCharactersSurviveARoundTrip) {
    const std::string text = "C:\\Games\\\"FM\"\n\tCafé 日本 😀 \x01 end";
    store->writeText(Hive::CurrentUser, "Software\\Orbisto", "Language", text);
    EXPECT_EQ(makeRegistryFileStore(folder)->readText(Hive::CurrentUser, "Software\\Orbisto", "Language"), text);
    const std::string file = readText(folder / "user.reg");
    EXPECT_NE(file.find(R"("Language"="C:\\Games\\\"FM\"\n\tCaf\xe9 \x65e5\x672c \xd83d\xde00 \1 end")"),
              std::string::npos)
        << file;
}

TEST_F(PlatformRegistry, keysAndValuesAreWrittenSortedIgnoringCase) {
    for (const char* key : {"Software\\b", "Software\\A", "Software\\c", "Software\\A\\Sub"}) {
        for (const char* name : {"z", "Y", "x"}) {
            store->writeText(Hive::CurrentUser, key, name, "1");
        }
    }
    const std::string file = readText(folder / "user.reg");
    const auto at = [&](std::string_view text) { return file.find(text); };
    EXPECT_LT(at("[Software\\\\A]"), at("[Software\\\\A\\\\Sub]"));
    EXPECT_LT(at("[Software\\\\A\\\\Sub]"), at("[Software\\\\b]"));
    EXPECT_LT(at("[Software\\\\b]"), at("[Software\\\\c]"));
    const std::size_t keyA = at("[Software\\\\A]");
    EXPECT_LT(file.find("\"x\"", keyA), file.find("\"Y\"", keyA));
    EXPECT_LT(file.find("\"Y\"", keyA), file.find("\"z\"", keyA));
}

TEST_F(PlatformRegistry, writingIntoAWineFileKeepsEverythingElse) {
    installWineFile();
    store->writeText(Hive::CurrentUser, kFm2006, "Version", "2006");
    EXPECT_EQ(store->readText(Hive::CurrentUser, kFm2006, "Version"), "2006");
    EXPECT_EQ(store->readText(Hive::CurrentUser, kFm2006, "Install Dir"), "C:\\Games\\FM 2006\\Data");
    EXPECT_EQ(store->readText(Hive::CurrentUser, kFm2006, "Unicode"), "Café 日本 éa");
    EXPECT_EQ(typeErrorOf(*store, "Count"), "Invalid data type for 'Count'");
    const std::string file = readText(folder / "user.reg");
    for (const char* kept :
         {";; All keys relative to \\\\User\\\\S-1-5-21-1589142542-3093414385-1398390478-1000\n", "\n#arch=win64\n",
          "\n[Environment] 1701963123\n#time=1da2906a3d35d2a\n",
          "#link\n\"SymbolicLinkValue\"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,\\\n  00,5c,00",
          "\"Count\"=dword:0000002a\n", "\"Multi\"=str(7):\"one\\0two\\0\"\n",
          "\"Install Dir\"=hex(2):43,00,3a,00,5c,00,47,00,61,00,6d,00,65,00,73,00,5c,00,46,\\\n  00,4d,00",
          "[Software\\\\Odd\\\\Br\\[ack\\]et]\n\"Name\"=\"bracketed\"\n"}) {
        EXPECT_NE(file.find(kept), std::string::npos) << kept << "\n--- in ---\n" << file;
    }
}

TEST_F(PlatformRegistry, readingAMissingKeyOrValueGivesEmptyTextAndCreatesNothing) {
    EXPECT_EQ(store->readText(Hive::LocalMachine, "Software\\Orbisto", "Version"), "");
    EXPECT_FALSE(fs::exists(folder));
    fs::create_directories(folder);
    EXPECT_EQ(store->readText(Hive::CurrentUser, "Software\\Orbisto", "Version"), "");
    EXPECT_TRUE(fs::is_empty(folder));
    installWineFile();
    EXPECT_EQ(store->readText(Hive::CurrentUser, kFm2006, "Missing"), "");
    EXPECT_EQ(readText(folder / "user.reg"), kWineUserReg);
}

TEST_F(PlatformRegistry, aRefusedWriteRaisesAndChangesNothing) {
    writeFile(temp / "blocker", "a file where a folder should be");
    auto blocked = makeRegistryFileStore(temp / "blocker" / "orbisto");
    try {
        blocked->writeText(Hive::LocalMachine, "Software\\Orbisto", "Version", "2006");
        FAIL() << "expected SettingsWriteError";
    } catch (const SettingsWriteError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'Version'");
    }
    EXPECT_EQ(readText(temp / "blocker"), "a file where a folder should be");

    installWineFile();
    fs::permissions(folder / "user.reg", fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_THROW(store->writeText(Hive::CurrentUser, kFm2006, "Path", "D:\\"), SettingsWriteError);
    EXPECT_EQ(readText(folder / "user.reg"), kWineUserReg);

    writeFile(folder / "system.reg", "not a registry file\n");
    EXPECT_THROW(store->writeText(Hive::LocalMachine, "Software\\Orbisto", "Version", "2006"), SettingsWriteError);
    EXPECT_EQ(readText(folder / "system.reg"), "not a registry file\n");
    EXPECT_EQ(store->readText(Hive::LocalMachine, "Software\\Orbisto", "Version"), "");

    fs::remove(folder / "system.reg");
    fs::create_directory(folder / "system.reg");
    EXPECT_THROW(store->writeText(Hive::LocalMachine, "Software\\Orbisto", "Version", "2006"), SettingsWriteError);
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnvironment() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(PlatformSettingsFolder, followsXdgConfigHomeOrFallsBackToDotConfig) {
    ScopedEnvironment home("HOME", "/home/player");
    {
        ScopedEnvironment config("XDG_CONFIG_HOME", "/tmp/config");
        EXPECT_EQ(defaultSettingsFolder(), fs::path("/tmp/config/orbisto"));
    }
    {
        ScopedEnvironment config("XDG_CONFIG_HOME", "");
        EXPECT_EQ(defaultSettingsFolder(), fs::path("/home/player/.config/orbisto"));
    }
    ScopedEnvironment config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(defaultSettingsFolder(), fs::path("/home/player/.config/orbisto"));
}

} // namespace
} // namespace orbisto::platform
