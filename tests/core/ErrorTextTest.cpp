#include "platform/Errors.h"

#include <gtest/gtest.h>

namespace orbisto {
namespace {

TEST(ErrorBoxText, fullStopAddedOnlyWhenLastCharacterSortsAboveDot) {
    const std::pair<const char*, const char*> cases[] = {
        {"File not found", "File not found."},
        {"Done.", "Done."},
        {"bounds (21)", "bounds (21)"},
        {"dash-", "dash-"} /* "-" sorts below "." */,
        {"slash/", "slash/."},
        {"I/O error 183", "I/O error 183."},
        {"", ""},
    };
    for (const auto& [message, shown] : cases) {
        EXPECT_EQ(errorBoxText(message), shown) << message;
    }
}

TEST(ErrorTexts, errnoMapsToTheWindowsCodeAndItsText) {
    EXPECT_EQ(IoError::fromErrno(ENOENT).code(), 2);
    EXPECT_EQ(IoError::fromErrno(EROFS).code(), 5);
    EXPECT_STREQ(IoError::fromErrno(ENOSPC).what(), "Disk full");
    EXPECT_STREQ(IoError::fromErrno(EEXIST).what(), "I/O error 183");
}

} // namespace
} // namespace orbisto
