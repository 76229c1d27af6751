#include <gtest/gtest.h>

#include "platform/Errors.h"

namespace orbisto {
namespace {

TEST(ErrorBoxText, fullStopAddedOnlyWhenLastCharacterSortsAboveDot) {
    EXPECT_EQ(errorBoxText("File not found"), "File not found.");
    EXPECT_EQ(errorBoxText("Done."), "Done.");
    EXPECT_EQ(errorBoxText("List index out of bounds (21)"), "List index out of bounds (21)");
    EXPECT_EQ(errorBoxText("Failed to set data for 'lang'"), "Failed to set data for 'lang'");
    EXPECT_EQ(errorBoxText("dash-"), "dash-");  // "-" sorts below "."
    EXPECT_EQ(errorBoxText("slash/"), "slash/."); // "/" sorts above "."
    EXPECT_EQ(errorBoxText("I/O error 183"), "I/O error 183.");
    EXPECT_EQ(errorBoxText(""), "");
}

TEST(ErrorTexts, fixedTextsByCodeAndErrnoMapping) {
    EXPECT_STREQ(IoError(2).what(), "File not found");
    EXPECT_STREQ(IoError(3).what(), "Invalid filename");
    EXPECT_STREQ(IoError(4).what(), "Too many open files");
    EXPECT_STREQ(IoError(5).what(), "File access denied");
    EXPECT_STREQ(IoError(100).what(), "Read beyond end of file");
    EXPECT_STREQ(IoError(101).what(), "Disk full");
    EXPECT_STREQ(IoError(106).what(), "Invalid numeric input");
    EXPECT_STREQ(IoError(183).what(), "I/O error 183");
    EXPECT_EQ(IoError::fromErrno(ENOENT).code(), 2);
    EXPECT_EQ(IoError::fromErrno(EROFS).code(), 5);
    EXPECT_EQ(IoError::fromErrno(ENOSPC).code(), 101);
    EXPECT_EQ(IoError::fromErrno(EEXIST).code(), 183);
    EXPECT_STREQ(ListIndexError(21).what(), "List index out of bounds (21)");
    EXPECT_STREQ(IniWriteError("/x/tst.ini").what(), "Unable to write to /x/tst.ini");
    EXPECT_STREQ(SettingsWriteError("value").what(), "Failed to set data for 'value'");
    EXPECT_STREQ(SettingsTypeError("lang").what(), "Invalid data type for 'lang'");
}

} // namespace
} // namespace orbisto
