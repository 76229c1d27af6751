#include "platform/Errors.h"
#include "platform/SettingsStore.h"
#include "support/TempFolder.h"

#include <array>
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

[Environment] 1701963123
#time=1da2906a3d35d2a
"TEMP"=str(2):"%USERPROFILE%\\AppData\\Local\\Temp"

[Software\\Classes\\Wow6432Node\\CLSID] 1701963123
#time=1da2906a3d35d2a
#link
"SymbolicLinkValue"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,\
  00,5c,00,4d,00,61,00,63,00,68,00,69,00,6e,00,65,00

[Software\\Odd\\Br\[ack\]et]
"Name"="bracketed"

[Software\\Sports Interactive\\Football Manager 2006] 1701963200
#time=1da2906d1e0b3c2
@="default text"
"Binary"=hex:00,01,02,03
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

// Round trips, case, typed values and refused writes are shared cases (tests/contract); these are
// the Linux store's own: Wine's file format read and written, and files it must not overwrite.
class PlatformRegistry : public ::testing::Test {
protected:
    TempFolder temp;
    fs::path folder = temp / "settings";
    std::unique_ptr<SettingsStore> store = makeRegistryFileStore(folder);

    void installWineFile() { writeFile(folder / "user.reg", kWineUserReg); }
};

TEST_F(PlatformRegistry, readsAFileWineWroteWithItsEscapesAndLeavesItAsItWas) {
    installWineFile();
    const std::array<std::string_view, 3> cases[] = {
        {kFm2006, "Path", "C:\\Games\\FM 2006"},
        {kFm2006, "Install Dir", "C:\\Games\\FM 2006\\Data"},
        {kFm2006, "", "default text"},
        {kFm2006, "Quoted", "say \"hi\"\ttab"},
        {kFm2006, "Unicode", "Café 日本 éa"},
        {kFm2006, "Raw", "Café"},
        {"Environment", "TEMP", "%USERPROFILE%\\AppData\\Local\\Temp"},
        {"Software\\Odd\\Br[ack]et", "Name", "bracketed"},
        {"software\\SPORTS interactive\\football manager 2006\\", "pATH", "C:\\Games\\FM 2006"},
    };
    for (const auto& [key, name, value] : cases) {
        EXPECT_EQ(store->readText(Hive::CurrentUser, key, name), value) << key << " " << name;
    }
    EXPECT_EQ(readText(folder / "user.reg"), kWineUserReg);
}

TEST_F(PlatformRegistry, writesWinesEscapesKeepsTheFirstSpellingAndEverythingElseOfTheFile) {
    store->writeText(Hive::LocalMachine, "\\Software\\Orbisto", "Version", "2006");
    store->writeText(Hive::LocalMachine, "software\\ORBISTO", "VERSION", "2005");
    const std::string text = "C:\\Games\\\"FM\"\n\tCafé 日本 😀 \x01 end";
    store->writeText(Hive::LocalMachine, "Software\\Orbisto", "Language", text);
    EXPECT_EQ(makeRegistryFileStore(folder)->readText(Hive::LocalMachine, "Software\\Orbisto", "Language"), text);
    const std::string file = readText(folder / "system.reg");
    EXPECT_TRUE(file.starts_with("WINE REGISTRY Version 2\n")) << file;
    for (const char* part : {"\n[Software\\\\Orbisto] ", "\n#time=", "\n\"Version\"=\"2005\"\n",
                             R"("Language"="C:\\Games\\\"FM\"\n\tCaf\xe9 \x65e5\x672c \xd83d\xde00 \1 end")"}) {
        EXPECT_NE(file.find(part), std::string::npos) << part << "\n--- in ---\n" << file;
    }
    EXPECT_EQ(file.find("ORBISTO"), std::string::npos) << file;

    installWineFile();
    store->writeText(Hive::CurrentUser, kFm2006, "Version", "2006");
    EXPECT_EQ(makeRegistryFileStore(folder)->readText(Hive::CurrentUser, kFm2006, "Version"), "2006");
    const std::string user = readText(folder / "user.reg");
    for (const char* kept :
         {";; All keys relative to \\\\User\\\\S-1-5-21-1589142542-3093414385-1398390478-1000\n", "\n#arch=win64\n",
          "\n[Environment] 1701963123\n#time=1da2906a3d35d2a\n",
          "#link\n\"SymbolicLinkValue\"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,\\\n  00,5c,00",
          "\"Count\"=dword:0000002a\n", "\"Multi\"=str(7):\"one\\0two\\0\"\n",
          "\"Install Dir\"=hex(2):43,00,3a,00,5c,00,47,00,61,00,6d,00,65,00,73,00,5c,00,46,\\\n  00,4d,00",
          "[Software\\\\Odd\\\\Br\\[ack\\]et]\n\"Name\"=\"bracketed\"\n"}) {
        EXPECT_NE(user.find(kept), std::string::npos) << kept << "\n--- in ---\n" << user;
    }
}

TEST_F(PlatformRegistry, aFileThatIsNoRegistryOrAFolderInTheWayIsNeverOverwritten) {
    writeFile(temp / "blocker", "a file where a folder should be");
    EXPECT_THROW(
        makeRegistryFileStore(temp / "blocker" / "orbisto")->writeText(Hive::LocalMachine, "Software", "V", "1"),
        SettingsWriteError);
    EXPECT_EQ(readText(temp / "blocker"), "a file where a folder should be");

    writeFile(folder / "system.reg", "not a registry file\n");
    EXPECT_THROW(store->writeText(Hive::LocalMachine, "Software\\Orbisto", "Version", "2006"), SettingsWriteError);
    EXPECT_EQ(readText(folder / "system.reg"), "not a registry file\n");
}

// Only hex data goes on over lines ending in a backslash, and only onto indented lines; a damaged
// value that ends in one must not swallow the key after it, or a value written there would be lost
// on the next read.
TEST_F(PlatformRegistry, valueEndingInBackslash_keepsTheFollowingKeyReadableAndWritable) {
    writeFile(folder / "user.reg", "WINE REGISTRY Version 2\n\n[Software\\\\Damaged] 1\n"
                                   "\"Broken\"=x\"text \\\\\n\n[Software\\\\Orbisto] 1\n\"Language\"=\"Polski\"\n");
    EXPECT_EQ(store->readText(Hive::CurrentUser, "Software\\Orbisto", "Language"), "Polski");
    store->writeText(Hive::CurrentUser, "Software\\New", "Folder", "C:\\Games\\");
    EXPECT_EQ(store->readText(Hive::CurrentUser, "Software\\New", "Folder"), "C:\\Games\\");
    EXPECT_EQ(store->readText(Hive::CurrentUser, "Software\\Orbisto", "Language"), "Polski");

    // Damaged hex data at the very end of the file, ending in two backslashes and no line end.
    writeFile(folder / "user.reg", "WINE REGISTRY Version 2\n\n[Software\\\\Damaged] 1\n\"Bytes\"=hex(ol \\\\User\\\\");
    store->writeText(Hive::CurrentUser, "Software\\New", "Folder", "C:\\Games\\");
    EXPECT_EQ(store->readText(Hive::CurrentUser, "Software\\New", "Folder"), "C:\\Games\\");
}

// Sets an environment variable for one scope and puts the old value back.
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
    for (const char* config : std::initializer_list<const char*>{"/tmp/config", "", nullptr}) {
        ScopedEnvironment xdg("XDG_CONFIG_HOME", config);
        const bool set = config && *config;
        EXPECT_EQ(defaultSettingsFolder(), fs::path(set ? "/tmp/config/orbisto" : "/home/player/.config/orbisto"));
    }
}

} // namespace
} // namespace orbisto::platform
