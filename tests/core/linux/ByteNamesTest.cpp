#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Text.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace orbisto::platform {
namespace {

// A Linux file name is any bytes: one written in Latin-1 by another program is scanned, read and
// named again by its own bytes, and shown through the ANSI code page.
TEST(LinuxByteNames, aNameThatIsNotUtf8KeepsItsBytes) {
    test::TempFolder temp;
    const std::string name = "Caf\xE9";
    EXPECT_EQ(toText(toPath(name)), name);
    localFileSystem().createFolder(temp.path() / toPath(name));
    const auto entries = localFileSystem().scanFolder(temp.path(), "*.");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, name);
    EXPECT_TRUE(localFileSystem().folderExists(temp.path() / toPath(entries[0].name)));
    EXPECT_EQ(tagForDisplay(name + "|Ball"), "Caf\xC3\xA9 Ball");
}

} // namespace
} // namespace orbisto::platform
