#include "platform/Text.h"

#include <gtest/gtest.h>

namespace orbisto {
namespace {

using Pieces = std::vector<std::string>;

TEST(PlatformSplitText, separatorsEndPiecesAndEmptyPiecesAreDropped) {
    EXPECT_EQ(SplitText("Alpha-Comet", "-"), (Pieces{"Alpha", "Comet"}));
    EXPECT_EQ(SplitText("--a---b-", "-"), (Pieces{"a", "b"}));
    EXPECT_EQ(SplitText("Skin[Name]", "["), (Pieces{"Skin", "Name]"}));
    EXPECT_EQ(SplitText("a-b[c", "-["), (Pieces{"a", "b", "c"}));
    EXPECT_TRUE(SplitText("", "-").empty());
    EXPECT_TRUE(SplitText("---", "-").empty());
}

TEST(PlatformSplitText, lineBreaksEndPiecesAndAreSkippedBeforeEach) {
    EXPECT_EQ(SplitText("x\r\ny\rz\n", "-"), (Pieces{"x", "y", "z"}));
    EXPECT_EQ(SplitText("\n\r\n-a", "-"), (Pieces{"a"}));
    EXPECT_EQ(SplitText("a\n-b", "-"), (Pieces{"a", "b"}));
}

TEST(PlatformSplitText, quotesKeepSeparatorsInsideAndStayInThePiece) {
    EXPECT_EQ(SplitText("'a-b'-c", "-"), (Pieces{"'a-b'", "c"}));
    EXPECT_EQ(SplitText("\"a-b\"c-d", "-"), (Pieces{"\"a-b\"c", "d"}));
    EXPECT_EQ(SplitText("ab'c-d'e-f", "-"), (Pieces{"ab'c-d'e", "f"}));
    EXPECT_EQ(SplitText("'a\nb'-c", "-"), (Pieces{"'a\nb'", "c"}));
}

TEST(PlatformSplitText, onlyTheSameQuoteClosesAStretch) {
    EXPECT_EQ(SplitText("'a\"-b'-c", "-"), (Pieces{"'a\"-b'", "c"}));
    EXPECT_EQ(SplitText("\"it's-fine\"-x", "-"), (Pieces{"\"it's-fine\"", "x"}));
    // An unclosed quote runs to the end of the text.
    EXPECT_EQ(SplitText("a-'b-c", "-"), (Pieces{"a", "'b-c"}));
}

TEST(PlatformSplitText, blanksAreSkippedOnlyBeforeAPiece) {
    EXPECT_EQ(SplitText("  a - b", "-", " "), (Pieces{"a ", "b"}));
    EXPECT_EQ(SplitText("\t \t", "-", " \t"), Pieces{});
    EXPECT_EQ(SplitText("  a - b", "-"), (Pieces{"  a ", " b"}));
}

TEST(PlatformCaseHelpers, compareAndLowerIgnoringCase) {
    EXPECT_TRUE(equalsIgnoreCase("Ball_73.PNG", "ball_73.png"));
    EXPECT_FALSE(equalsIgnoreCase("ball_73.png", "ball_73.pn"));
    EXPECT_EQ(toLowerLocale("FM 2006 Skin"), "fm 2006 skin");
    // Accented capitals fold like their small letters (a UTF-8 locale is used even under LANG=C).
    EXPECT_EQ(toLowerLocale("ÄÉÎ Straße"), "äéî straße");
    EXPECT_TRUE(equalsIgnoreCase("ÉLAN", "élan"));
    // Bytes that are not UTF-8 pass unchanged.
    EXPECT_EQ(toLowerLocale("A\xE9Z"), "a\xE9z");
}

TEST(PlatformCaseHelpers, sortOrderIgnoresCase) {
    EXPECT_TRUE(lessIgnoreCaseLocale("alpha", "Beta"));
    EXPECT_FALSE(lessIgnoreCaseLocale("Beta", "alpha"));
    EXPECT_FALSE(lessIgnoreCaseLocale("Nike", "nike"));
    EXPECT_FALSE(lessIgnoreCaseLocale("nike", "Nike"));
}

TEST(PlatformCaseHelpers, tagForDisplayReplacesEveryBar) {
    EXPECT_EQ(tagForDisplay("Adidas|Roteiro|2004"), "Adidas Roteiro 2004");
    EXPECT_EQ(tagForDisplay("plain"), "plain");
}

} // namespace
} // namespace orbisto
