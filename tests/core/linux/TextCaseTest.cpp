#include "platform/Text.h"

#include <gtest/gtest.h>

namespace orbisto {
namespace {

TEST(LinuxTextCase, accentedCapitalsOfUtf8FoldLikeTheirSmallLettersAndOtherBytesPassUnchanged) {
    // A UTF-8 locale is used even under LANG=C.
    EXPECT_EQ(toLowerLocale("FM ÄÉÎ Straße"), "fm äéî straße");
    EXPECT_TRUE(equalsIgnoreCase("ÉLAN", "élan"));
    EXPECT_EQ(toLowerLocale("A\xE9Z"), "a\xE9z"); // bytes that are not UTF-8 pass unchanged
}

} // namespace
} // namespace orbisto
