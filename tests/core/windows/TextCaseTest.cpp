#include "platform/Text.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace orbisto {
namespace {

TEST(WindowsTextCase, accentedCapitalsOfTheAnsiCodePageFoldLikeTheirSmallLetters) {
    if (::GetACP() != 1252) {
        GTEST_SKIP() << "the bytes below are Windows-1252 text; this system's code page is " << ::GetACP();
    }
    // "FM ÄÉÎ Straße" and "ÉLAN" in Windows-1252.
    EXPECT_EQ(toLowerLocale("FM \xC4\xC9\xCE Stra\xDF"
                            "e"),
              "fm \xE4\xE9\xEE stra\xDF"
              "e");
    EXPECT_TRUE(equalsIgnoreCase("\xC9LAN", "\xE9lan"));
    EXPECT_FALSE(equalsIgnoreCase("\xC9LAN", "elan"));
    EXPECT_TRUE(lessIgnoreCaseLocale("\xE9"
                                     "clair",
                                     "Zulu"));
}

} // namespace
} // namespace orbisto
