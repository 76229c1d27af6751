#include "platform/PathText.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace orbisto::platform {
namespace {

// A folder from Qt's chooser comes with "/"; the settings store gets it the way the system writes it.
TEST(PlatformPathText, nativeSeparatorsAreTheSystemsAndKeepEverythingElse) {
    const std::string chosen = "C:/Gry/Mened\xC5\xBC"
                               "er 2006/data\\skins/";
    if constexpr (std::filesystem::path::preferred_separator == '\\') {
        EXPECT_EQ(withNativeSeparators(chosen), "C:\\Gry\\Mened\xC5\xBC"
                                                "er 2006\\data\\skins\\");
        EXPECT_EQ(withNativeSeparators("//server/share/FM"), "\\\\server\\share\\FM");
    } else {
        EXPECT_EQ(withNativeSeparators(chosen), chosen);
        EXPECT_EQ(withNativeSeparators("/home/gracz/Gry/FM 2006"), "/home/gracz/Gry/FM 2006");
    }
    EXPECT_EQ(withNativeSeparators(""), "");
}

} // namespace
} // namespace orbisto::platform
