#include "platform/AnsiText.h"
#include "platform/IniProfile.h"
#include "platform/PathText.h"
#include "platform/Text.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace orbisto {
namespace {

TEST(WindowsTextCase, accentedCapitalsOfUtf8FoldLikeTheirSmallLettersWhateverTheCodePage) {
    // Text is UTF-8 whatever the system's code page: letters of 1250 and 1252 alike.
    EXPECT_EQ(toLowerLocale("FM ÄÉÎ Straße ŻUBR ŁÓDŹ"), "fm äéî straße żubr łódź");
    EXPECT_TRUE(equalsIgnoreCase("ÉLAN", "élan"));
    EXPECT_TRUE(equalsIgnoreCase("PIŁKA", "piłka"));
    EXPECT_FALSE(equalsIgnoreCase("ÉLAN", "elan"));
    EXPECT_TRUE(lessIgnoreCaseLocale("éclair", "Zulu"));
}

TEST(WindowsAnsiText, eightBitTextIsReadInTheSystemsCodePage) {
    // 0xB3 is "ł" in Windows-1250 and "³" in Windows-1252; 0xE9 is "é" in both.
    const UINT codePage = ::GetACP();
    if (codePage == 1250) {
        EXPECT_EQ(platform::ansiToUtf8("Pi\xB3ka Caf\xE9"), "Piłka Café");
        EXPECT_EQ(platform::utf8ToAnsi("Łódź"), "\xA3\xF3\x64\x9F");
    } else if (codePage == 1252) {
        EXPECT_EQ(platform::ansiToUtf8("Pi\xB3ka Caf\xE9"), "Pi³ka Café");
        EXPECT_EQ(platform::utf8ToAnsi("Łódź"), "?\xF3\x64?"); // no look-alike letters
    } else {
        GTEST_SKIP() << "no expectations for code page " << codePage;
    }
    // A tag written in the code page by an older tool shows in it; "|" separates as ever.
    EXPECT_EQ(tagForDisplay("Caf\xE9|Ball"), "Café Ball");
    // So does a name that is not UTF-8 when it becomes a path, instead of an error of the library.
    EXPECT_EQ(platform::toText(platform::toPath("Caf\xE9")), "Café");
}

} // namespace
} // namespace orbisto
