#include "platform/Errors.h"
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

// A stand-in xdg-open first on PATH writes its argument count and arguments to a file.
TEST(PlatformShell, targetReachesTheOpenerAsOneUninterpretedArgument) {
    TempFolder temp;
    writeFile(temp / "bin" / "xdg-open", "#!/bin/sh\n"
                                         "out=\"$(dirname \"$0\")/../args\"\n"
                                         "printf '%s\\n' \"$#\" \"$@\" > \"$out.part\" && mv \"$out.part\" \"$out\"\n");
    fs::permissions(temp / "bin" / "xdg-open", fs::perms::owner_exec, fs::perm_options::add);
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", ((temp / "bin").string() + ":" + oldPath).c_str(), 1);

    const std::string injection = "/tmp/a b/$(touch " + (temp / "injected").string() + ");'x' \"y\"*.txt";
    for (const std::string& target : {injection, std::string("https://example.org/?a=1&b=2")}) {
        fs::remove(temp / "args");
        shellOpen(target, target == injection);
        // The opener runs on its own; this waits for its report (not a measure of speed).
        for (int i = 0; i < 1000 && !fs::exists(temp / "args"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_EQ(fs::exists(temp / "args") ? readText(temp / "args") : "<opener did not run>", "1\n" + target + "\n");
    }
    EXPECT_FALSE(fs::exists(temp / "injected"));

    // No opener on PATH: the failure is raised with the system's reason, not swallowed.
    ::setenv("PATH", (temp / "empty").c_str(), 1);
    try {
        shellOpen("/tmp/ReadMe.txt", false);
        ADD_FAILURE() << "expected ShellOpenError";
    } catch (const ShellOpenError& error) {
        EXPECT_STREQ(error.what(), "Cannot open \"/tmp/ReadMe.txt\": xdg-open: No such file or directory");
    }
    ::setenv("PATH", oldPath.c_str(), 1);
}

} // namespace
} // namespace orbisto::platform
