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
        {"x\r\ny\rz\n-\n\r\n-a", "-", "", {"x", "y", "z", "a"}}, // CR and LF end pieces and are skipped before each
        {"'a-b'-c", "-", "", {"'a-b'", "c"}},                    // quotes keep separators and stay in the piece
        {"ab'c-d'e-f", "-", "", {"ab'c-d'e", "f"}},
        {"'a\nb'-c", "-", "", {"'a\nb'", "c"}},
        {"\"it's-fine\"-x", "-", "", {"\"it's-fine\"", "x"}}, // only the same quote closes a stretch
        {"a-'b-c", "-", "", {"a", "'b-c"}},                   // an unclosed quote runs to the end
        {"  a - b", "-", " ", {"a ", "b"}},                   // blanks are skipped only before a piece
        {"  a - b", "-", "", {"  a ", " b"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitText(c.text, c.separators, c.blanks), c.pieces) << "text: " << c.text;
    }
}

TEST(PlatformCaseHelpers, compareLowerSortAndDisplayIgnoringCase) {
    EXPECT_FALSE(equalsIgnoreCase("ball_73.png", "ball_73.pn"));
    EXPECT_TRUE(lessIgnoreCaseLocale("alpha", "Beta"));
    EXPECT_FALSE(lessIgnoreCaseLocale("Beta", "alpha"));
    EXPECT_FALSE(lessIgnoreCaseLocale("Nike", "nike"));
    EXPECT_EQ(tagForDisplay("Adidas|Roteiro|2004"), "Adidas Roteiro 2004");
}

} // namespace
} // namespace orbisto
