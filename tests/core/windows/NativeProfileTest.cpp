// Orbisto's INI reader against the system's own profile function, GetPrivateProfileStringW, on a
// table of files. Under Wine the system's function is Wine's, which differs from real Windows in a
// few rules; every difference found must be one listed here with its reason, and each is printed.
#include "platform/IniProfile.h"
#include "platform/windows/Win32.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>
#include <set>

namespace orbisto::platform {
namespace {

namespace fs = std::filesystem;
using test::utf16le;

struct Probe {
    const char* name;
    std::string bytes;
    const char* section;
    const char* key;
};

// Why Orbisto's reader may answer differently from the system's function.
struct KnownDifference {
    const char* name;
    const char* reason;
};

std::string nativeRead(const fs::path& file, const char* section, const char* key) {
    wchar_t buffer[2048];
    const DWORD length = ::GetPrivateProfileStringW(win32::wide(section).c_str(), win32::wide(key).c_str(),
                                                    L"<default>", buffer, 2048, fs::absolute(file).c_str());
    return win32::utf8(std::wstring_view(buffer, length));
}

TEST(NativeProfile, everyDifferenceFromTheSystemsProfileFunctionIsAKnownOne) {
    const Probe probes[] = {
        {"plain", "[Sys]\r\nAuth=1\r\nNew= 0 \r\n", "sys", "AUTH"},
        {"quotes", "[S]\r\nq=\"  q  \"\r\n", "S", "q"},
        {"first section wins", "[S]\r\nk=1\r\n[S]\r\nj=2\r\n", "S", "j"},
        {"first key wins", "[S]\r\nk=1\r\nk=2\r\n", "S", "k"},
        {"equals in value", "[S]\r\neq=a=b\r\n", "S", "eq"},
        {"empty value", "[S]\r\nempty=\r\n", "S", "empty"},
        {"lone CR line ends", "[A]\rk=cr\r", "A", "k"},
        {"UTF-16 LE", utf16le(u"[lang]\r\nadd=Hinzuf\u00fcgen\r\n"), "lang", "add"},
        {"Windows-1252 / 1250 byte", "[lang]\r\nadd=Caf\xE9\r\n", "lang", "add"},
        {"UTF-8 with BOM", "\xEF\xBB\xBF[lang]\r\nadd=Hinzuf\xC3\xBCgen\r\n", "lang", "add"},
        {"UTF-8 without BOM", "[lang]\r\nadd=Hinzuf\xC3\xBCgen\r\n", "lang", "add"},
        {"comment", "[S]\r\n;c=semi\r\n", "S", ";c"},
        {"header without ]", "[lang   \r\nk=1\r\n", "lang", "k"},
        {"header with two ]", "[lang]x]\r\nk=1\r\n", "lang", "k"},
    };
    const KnownDifference known[] = {
        {"UTF-8 without BOM", "mended encoding: the system reads the bytes in the ANSI code page, Orbisto as UTF-8"},
        {"comment", "Wine reads a key starting with \";\"; real Windows takes the line as a comment "
                    "(Semicolon_Tests.Given_AnIniFileWithSemicolonAtBeginOfKey)"},
        {"header without ]", "Wine sees no section without \"]\"; real Windows ends the name at the line's end "
                             "(SquareBracket_Tests.Given_ASectionNameWithMissingClosingBracket)"},
        {"header with two ]", "Wine ends the name at the last \"]\"; real Windows at the first "
                              "(SquareBracket_Tests.Given_ASectionNameWithClosingBracket)"},
        {"UTF-8 with BOM", "real Windows breaks the first section on the BOM's line, Wine and Orbisto read it"},
    };
    test::TempFolder temp;
    std::set<std::string> differing;
    for (const Probe& probe : probes) {
        const fs::path file = temp / "probe.ini";
        test::writeFile(file, probe.bytes);
        const std::string ours = readProfileString(file, probe.section, probe.key, "<default>");
        const std::string system = nativeRead(file, probe.section, probe.key);
        if (ours == system) {
            continue;
        }
        differing.insert(probe.name);
        const auto reason = std::find_if(std::begin(known), std::end(known),
                                         [&](const KnownDifference& k) { return probe.name == std::string(k.name); });
        if (reason == std::end(known)) {
            ADD_FAILURE() << probe.name << ": Orbisto reads \"" << ours << "\", the system \"" << system << "\"";
        } else {
            std::cout << "  differs, " << probe.name << ": Orbisto \"" << ours << "\", system \"" << system << "\" ("
                      << reason->reason << ")\n";
        }
    }
    // Orbisto's own answers for the listed cases, whatever the system says.
    EXPECT_TRUE(differing.contains("UTF-8 without BOM"));
    EXPECT_TRUE(differing.contains("comment"));
}

} // namespace
} // namespace orbisto::platform
