#include "platform/Text.h"

#include <gtest/gtest.h>

namespace orbisto {
namespace {

struct SplitCase {
    std::string_view text;
    std::string_view separators;
    std::string_view blanks;
    std::vector<std::string> pieces;
};

TEST(PlatformSplitText, separatorsLineBreaksQuotesAndBlanks) {
    const SplitCase cases[] = {
        {"--a---b-", "-", "", {"a", "b"}}, // empty pieces are dropped
        {"Skin[Name]", "[", "", {"Skin", "Name]"}},
        {"a-b[c", "-[", "", {"a", "b", "c"}},
        {"", "-", "", {}},
        {"x\r\ny\rz\n", "-", "", {"x", "y", "z"}}, // CR and LF end pieces and are skipped before each
        {"\n\r\n-a", "-", "", {"a"}},
        {"a\n-b", "-", "", {"a", "b"}},
        {"'a-b'-c", "-", "", {"'a-b'", "c"}}, // quotes keep separators and stay in the piece
        {"ab'c-d'e-f", "-", "", {"ab'c-d'e", "f"}},
        {"'a\nb'-c", "-", "", {"'a\nb'", "c"}},
        {"'a\"-b'-c", "-", "", {"'a\"-b'", "c"}}, // only the same quote closes a stretch
        {"\"it's-fine\"-x", "-", "", {"\"it's-fine\"", "x"}},
        {"a-'b-c", "-", "", {"a", "'b-c"}}, // an unclosed quote runs to the end
        {"  a - b", "-", " ", {"a ", "b"}}, // blanks are skipped only before a piece
        {"\t \t", "-", " \t", {}},
        {"  a - b", "-", "", {"  a ", " b"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitText(c.text, c.separators, c.blanks), c.pieces) << "text: " << c.text;
    }
}

TEST(PlatformCaseHelpers, compareLowerSortAndDisplayIgnoringCase) {
    EXPECT_TRUE(equalsIgnoreCase("Ball_73.PNG", "ball_73.png"));
    EXPECT_FALSE(equalsIgnoreCase("ball_73.png", "ball_73.pn"));
    EXPECT_EQ(toLowerLocale("FM 2006 Ball_73"), "fm 2006 ball_73");
    EXPECT_TRUE(lessIgnoreCaseLocale("alpha", "Beta"));
    EXPECT_FALSE(lessIgnoreCaseLocale("Beta", "alpha"));
    EXPECT_FALSE(lessIgnoreCaseLocale("Nike", "nike"));
    EXPECT_EQ(tagForDisplay("Adidas|Roteiro|2004"), "Adidas Roteiro 2004");
}

} // namespace
} // namespace orbisto
