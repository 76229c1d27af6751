// The search of the Wine prefixes against a plain read(2) of the same registry files.

#include "BenchSupport.h"
#include "library/GameFolders.h"
#include "platform/linux/WinePrefixes.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <span>
#include <string>
#include <unistd.h>
#include <vector>

namespace orbisto::bench {
namespace {

// A home with ten bottles, each with the shipped system.reg (1.7 MB) and a user.reg without the
// games' keys, so that every file is searched to its end.
fs::path wineHome() {
    const fs::path home = benchFolder() / "wine-home";
    if (fs::exists(home)) {
        return home;
    }
    const fs::path fixtures = fs::path(ORBISTO_SHARED_TESTDATA) / "wine";
    std::string user = test::readText(fixtures / "user.reg");
    const std::size_t from = user.find("[Software\\\\Sports Interactive Ltd");
    const std::size_t to = user.find("[Software\\\\Wine\\\\AppDefaults]");
    user.erase(from, to - from);
    for (int i = 0; i < 10; ++i) {
        const fs::path prefix = home / ".local/share/bottles/bottles" / ("bottle-" + std::to_string(i));
        fs::create_directories(prefix / "drive_c");
        test::writeFile(prefix / "user.reg", user);
        fs::copy_file(fixtures / "system.reg", prefix / "system.reg");
    }
    return home;
}

std::size_t plainRead(const std::vector<fs::path>& files, std::span<char> buffer) {
    std::size_t total = 0;
    for (const fs::path& file : files) {
        const int fd = ::open(file.c_str(), O_RDONLY);
        ssize_t got = 0;
        while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) {
            total += static_cast<std::size_t>(got);
        }
        ::close(fd);
    }
    return total;
}

void winePrefixSearch(benchmark::State& state) {
    const fs::path home = wineHome();
    const auto search = platform::wine::makePrefixSearch({home, home / ".local/share", {}});
    std::vector<std::vector<std::string>> keySets;
    for (const auto& version : library::gameVersions()) {
        keySets.push_back(version.gameKeys);
    }
    std::vector<fs::path> files;
    for (const fs::path& prefix : platform::wine::prefixes({home, home / ".local/share", {}})) {
        files.push_back(prefix / "user.reg");
        files.push_back(prefix / "system.reg");
    }
    if (files.size() != 20) {
        state.SkipWithError("the ten prefixes are missing");
        return;
    }
    // Page-aligned, as the search's own buffer: the kernel's copy into a misaligned buffer can be
    // several times slower, which would flatter the ratio.
    constexpr std::size_t kBufferSize = 4 << 20;
    const std::unique_ptr<char, decltype(&std::free)> buffer(static_cast<char*>(std::aligned_alloc(4096, kBufferSize)),
                                                             &std::free);
    comparePaired(
        state, "wine prefixes 10 x 1.7 MB", 1.5,
        [&] { benchmark::DoNotOptimize(search->find(keySets, library::kFolderValue)); },
        [&] {
            benchmark::DoNotOptimize(plainRead(files, {buffer.get(), kBufferSize}));
        });
}
BENCHMARK(winePrefixSearch)
    ->Iterations(20)
    ->Repetitions(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->ReportAggregatesOnly(true);

} // namespace
} // namespace orbisto::bench
