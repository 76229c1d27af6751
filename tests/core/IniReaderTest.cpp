// The one INI reader and writer of every platform: the reading rules real Windows applies (as
// measured on Windows by the IniFileFormatReverseEngineering suite, whose test each row names),
// the encodings it reads beyond Windows, and writes that keep a file's encoding.
#include "platform/AnsiText.h"
#include "platform/FileSystem.h"
#include "platform/IniProfile.h"
#include "platform/IniText.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace orbisto::platform {
namespace {

namespace fs = std::filesystem;
using test::readText;
using test::TempFolder;
using test::utf16le;
using test::writeFile;

struct ReadRule {
    const char* peer; // the suite's test that measured the rule on Windows
    std::string_view file;
    const char* section;
    const char* key;
    const char* expected; // "<default>" when the key is not found
};

TEST(IniReader, readsByTheRulesRealWindowsApplies) {
    const ReadRule rules[] = {
        {"Semicolon_Tests.Given_AnIniFileWithSemicolonAtBeginOfKey_When_TheValueIsRead_Then_WeGetTheDefaultValue",
         "[S]\r\n;c=semi\r\n", "S", ";c", "<default>"},
        {"Semicolon_Tests (a comment after blanks)", "[S]\r\n  \t;c=semi\r\nk=1\r\n", "S", ";c", "<default>"},
        {"Semicolon_Tests.Given_AnIniFileWrittenWithSemicolonInValue_When_TheValueIsRead_Then_WeGetTheSemicolon",
         "[S]\r\nval=v ; x\r\n", "S", "val", "v ; x"},
        {"Semicolon_Tests (a commented header opens no section)", "[S]\r\nk=1\r\n;[T]\r\nj=2\r\n", "S", "j", "2"},
        {"SquareBracket_Tests.Given_ASectionNameWithMissingClosingBracket_When_WeAccessAKey_Then_WeGetTheValue",
         "[lang   \r\nk=1\r\n", "lang", "k", "1"},
        {"SquareBracket_Tests.Given_ASectionNameWithClosingBracket_When_TheContentIsAccessed_Then_WeDontGetTheValue",
         "[lang]x]\r\nk=1\r\n", "lang", "k", "1"},
        {"SquareBracket_Tests.Given_ASectionNameWithClosingBracket (the name stops at the first bracket)",
         "[lang]x]\r\nk=1\r\n", "lang]x", "k", "<default>"},
        {"SquareBracket_Tests.Given_ASectionParameterWithOpeningBracket_When_TheValueIsRead_Then_WeGetTheExpectedValue",
         "[[x]\r\nk=1\r\n", "[x", "k", "1"},
        {"SquareBracket_Tests.Given_ASectionNameWithMissingOpeningBracket_When_WeAccessAKey_Then_WeDontGetTheValue",
         "lang]\r\nk=1\r\n", "lang", "k", "<default>"},
        {"EdgeCases_Tests.Given_ASectionWithNoName_When_UsingEmptyString_Then_WeGetTheValue", "[]\r\nk=1\r\n", "", "k",
         "1"},
        {"WhiteSpace_Tests.Given_ASectionNameWithWhitespacesBeforeTheBracket_When_TheValueIsRead_Then_"
         "TheWhitespaceIsIgnored",
         " \t\v[S]\r\nk=1\r\n", "S", "k", "1"},
        {"WhiteSpace_Tests.Given_ASectionNameWithWhitespacesWithinTheBracket_When_TheValueIsRead_Then_"
         "TheWhitespaceIsIgnored",
         "[ \tS\v ]\r\nk=1\r\n", "S", "k", "1"},
        {"WhiteSpace_Tests.Given_ASectionParameterWithSpace_When_TheValueIsRead_Then_TheSpacesAreStripped",
         "[S]\r\nk=1\r\n", "  S  ", "k", "1"},
        {"WhiteSpace_Tests.Given_ASectionParameterWithTabs_When_TheValueIsRead_Then_TheTabsAreNotStripped",
         "[S]\r\nk=1\r\n", "\tS", "k", "<default>"},
        {"WhiteSpace_Tests.Given_AKeyWithSpacesBeforeAndAfter_When_TheValueIsRead_Then_TheWhitespacesAreStripped",
         "[S]\r\n \t k \t = \t v \t \r\n", "S", "k", "v"},
        {"WhiteSpace_Tests.Given_AKeyParameterWithWhitespaces_When_TheValueIsRead_Then_TheKeyCannotBeFound",
         "[S]\r\nk=1\r\n", "S", "k\t", "<default>"},
        {"Concept_Transfer_Tests.Given_ASectionWithQuotes_When_TheKeyIsUsed_Then_NoQuotesAreStripped",
         "[\"S\"]\r\nk=1\r\n", "\"S\"", "k", "1"},
        {"Quotes_Tests.Given_AValueWithQuotesInQuotes_When_TheValueIsRetrieved_Then_TheOutermostQuotesAreStripped",
         "[S]\r\nk=\"'a'\"\r\n", "S", "k", "'a'"},
        {"Quotes_Tests.Given_AValueWithDifferentQuotes_When_TheValueIsRetrieved_Then_NoQuotesAreStripped",
         "[S]\r\nk=\"a'\r\n", "S", "k", "\"a'"},
        {"Reading_Tests.Given_AnIniFileWithDuplicateSections_When_TheKeyIsRead_Then_OnlyTheFirstSectionIsConsidered",
         "[S]\r\nk=1\r\n[s]\r\nj=2\r\n", "S", "j", "<default>"},
        {"Casing_Tests.Given_AnSectionWithUpperCaseLetters_When_TheContentIsAccessedWithLowerCase_Then_"
         "WeGetTheExpectedValue",
         "[SECTION]\r\nKey=Value\r\n", "section", "KEY", "Value"},
    };
    TempFolder temp;
    const fs::path ini = temp / "rules.ini";
    for (const ReadRule& rule : rules) {
        writeFile(ini, rule.file);
        EXPECT_EQ(readProfileString(ini, rule.section, rule.key, "<default>"), rule.expected) << rule.peer;
        EXPECT_EQ(profileStringIn(rule.file, rule.section, rule.key, "<default>"), rule.expected) << rule.peer;
    }
    // WhiteSpace_Tests.Given_ADefaultValueWithTrailingWhitespace_When_TheDefaultValueIsReturned_Then_OnlySpacesAreStripped
    EXPECT_EQ(readProfileString(ini, "none", "k", " d\t  "), " d\t");
}

// A file in each encoding Orbisto reads, holding "Hinzufügen" and "Piłka" (or what its code page has).
struct EncodedFile {
    const char* name;
    std::string bytes;
    ini::Encoding encoding;
};

TEST(IniReader, readsUtf16AndUtf8WithOrWithoutByteOrderMarkAndFindsTheFirstSection) {
    const EncodedFile files[] = {
        {"UTF-16 LE", utf16le(u"[lang]\r\nadd=Hinzuf\u00fcgen\r\nball=Pi\u0142ka\r\n"), ini::Encoding::Utf16Le},
        {"UTF-8 with BOM", "\xEF\xBB\xBF[lang]\r\nadd=Hinzuf\xC3\xBCgen\r\nball=Pi\xC5\x82ka\r\n",
         ini::Encoding::Utf8Bom},
        {"UTF-8", "[lang]\nadd=Hinzuf\xC3\xBCgen\nball=Pi\xC5\x82ka\n", ini::Encoding::Utf8},
    };
    TempFolder temp;
    for (const EncodedFile& file : files) {
        const fs::path ini = temp / "lang.ini";
        writeFile(ini, file.bytes);
        EXPECT_EQ(readProfileString(ini, "lang", "add"), "Hinzuf\xC3\xBCgen") << file.name;
        EXPECT_EQ(readProfileString(ini, "LANG", "ball"), "Pi\xC5\x82ka") << file.name;
        EXPECT_EQ(ini::decode(file.bytes).encoding, file.encoding) << file.name;

        // A write keeps the encoding and its byte-order mark; the rest keeps its bytes.
        writeProfileString(ini, "lang", "ball", "\xC5\x81\xC3\xB3\x64\xC5\xBA"); // "Łódź"
        const ini::Decoded after = ini::decode(readText(ini));
        EXPECT_EQ(after.encoding, file.encoding) << file.name;
        EXPECT_EQ(ini::encode(after.text, after.encoding), readText(ini)) << file.name;
        EXPECT_EQ(readProfileString(ini, "lang", "ball"), "\xC5\x81\xC3\xB3\x64\xC5\xBA") << file.name;
        EXPECT_EQ(readProfileString(ini, "lang", "add"), "Hinzuf\xC3\xBCgen") << file.name;
    }
    // An odd byte after the UTF-16 text is no character; a lone surrogate reads as U+FFFD.
    EXPECT_EQ(profileStringIn(utf16le(u"[S]\r\nk=a\xD800") + "x", "S", "k"), "a\xEF\xBF\xBD");
}

TEST(IniReader, eightBitFilesReadAndWriteInTheAnsiCodePage) {
    TempFolder temp;
    const fs::path ini = temp / "old.ini";
    // Windows-1252 and Windows-1250 agree on "é" (0xE9); "ł" (0xB3 in 1250) is "³" in 1252.
    const std::string bytes = "[Sys]\r\nball=Caf\xE9\r\nlabel=Pi\xB3ka\r\n";
    writeFile(ini, bytes);
    EXPECT_EQ(ini::decode(bytes).encoding, ini::Encoding::Ansi);
    EXPECT_EQ(readProfileString(ini, "Sys", "ball"), "Caf\xC3\xA9");
    EXPECT_EQ(readProfileString(ini, "Sys", "label"), ansiToUtf8("Pi\xB3ka"));

    // The file stays 8-bit: the new value in the code page, every other byte as it was.
    writeProfileString(ini, "Sys", "ball", "R\xC3\xA9gion"); // "Région"
    EXPECT_EQ(readText(ini), "[Sys]\r\nball=R\xE9gion\r\nlabel=Pi\xB3ka\r\n");
    // A character the code page lacks is written as "?".
    writeProfileString(ini, "Sys", "new", "\xE2\x98\x83"); // a snowman
    EXPECT_EQ(readText(ini), "[Sys]\r\nball=R\xE9gion\r\nlabel=Pi\xB3ka\r\nnew=?\r\n");
}

TEST(IniReader, windows1252RoundTripsEveryByte) {
    std::string all;
    for (int byte = 1; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    EXPECT_EQ(utf8ToWindows1252(windows1252ToUtf8(all)), all);
    EXPECT_EQ(windows1252ToUtf8("\x80\x8A\x9F\xE9"), "\xE2\x82\xAC\xC5\xA0\xC5\xB8\xC3\xA9"); // € Š Ÿ é
    EXPECT_EQ(displayText("Caf\xC3\xA9"), "Caf\xC3\xA9");
    EXPECT_EQ(displayText("Caf\xE9|Ball"), ansiToUtf8("Caf\xE9|Ball"));
}

TEST(IniReader, aNewFileIsUtf8AndAWriteReplacesTheFileWhole) {
    TempFolder temp;
    const fs::path ini = temp / "tst.ini";
    writeProfileString(ini, "Sys", "Brand", "\xC5\xBB\x75\x62r"); // "Żubr"
    EXPECT_EQ(readText(ini), "[Sys]\r\nBrand=\xC5\xBB\x75\x62r\r\n");

    // The old file is replaced by a new one, never rewritten in place, so a crash leaves one of the two.
    const auto before = localFileSystem().identity(ini);
    writeProfileString(ini, "Sys", "Auth", "1");
    const auto after = localFileSystem().identity(ini);
    ASSERT_TRUE(before && after);
    EXPECT_NE(before->fileId, after->fileId);
    EXPECT_EQ(test::namesIn(temp.path()), std::vector<std::string>{"tst.ini"});
}

} // namespace
} // namespace orbisto::platform
