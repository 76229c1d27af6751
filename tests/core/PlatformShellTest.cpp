#include "platform/Shell.h"
#include "support/TempFolder.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

namespace orbisto::platform {
namespace {

namespace fs = std::filesystem;
using test::readText;
using test::TempFolder;
using test::writeFile;

// A stand-in xdg-open first on PATH that writes its argument count and arguments to a file.
class PlatformShell : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path opener = temp / "bin" / "xdg-open";
        writeFile(opener, "#!/bin/sh\n"
                          "out=\"$(dirname \"$0\")/../args\"\n"
                          "printf '%s\\n' \"$#\" \"$@\" > \"$out.part\" && mv \"$out.part\" \"$out\"\n");
        fs::permissions(opener, fs::perms::owner_exec, fs::perm_options::add);
        const char* path = std::getenv("PATH");
        oldPath_ = path ? path : "";
        ::setenv("PATH", ((temp / "bin").string() + ":" + oldPath_).c_str(), 1);
    }
    void TearDown() override { ::setenv("PATH", oldPath_.c_str(), 1); }

    // The opener runs on its own; this waits for its report (not a measure of speed).
    std::string openerArguments() {
        for (int i = 0; i < 1000 && !fs::exists(temp / "args"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return fs::exists(temp / "args") ? readText(temp / "args") : "<opener did not run>";
    }

    TempFolder temp;

private:
    std::string oldPath_;
};

TEST_F(PlatformShell, targetReachesTheOpenerAsOneUninterpretedArgument) {
    const std::string target = "/tmp/a b/$(touch " + (temp / "injected").string() + ");'x' \"y\"*.txt";
    shellOpen(target, true);
    EXPECT_EQ(openerArguments(), "1\n" + target + "\n");
    EXPECT_FALSE(fs::exists(temp / "injected"));
}

TEST_F(PlatformShell, aWebAddressIsPassedAsItIs) {
    shellOpen("https://example.org/?a=1&b=2", false);
    EXPECT_EQ(openerArguments(), "1\nhttps://example.org/?a=1&b=2\n");
}

} // namespace
} // namespace orbisto::platform
