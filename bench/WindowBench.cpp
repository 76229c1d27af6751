// Benchmarks of the windows (offscreen): the main window's activation (its new-ball scan) against a
// plain walk of the library, and the program's start-up against an empty Qt Widgets window plus a
// plain read of every marker, each in the same run.

#include <QApplication>

#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "BenchSupport.h"
#include "app/TForm1.h"
#include "library/LibraryReader.h"
#include "library/NewBallScan.h"
#include "platform/FileSystem.h"
#include "support/GuiFixture.h"
#include "support/TempFolder.h"

extern char** environ;

namespace orbisto::bench {
namespace {

// --- plain references --------------------------------------------------------------------------

// Names of a folder without a dot (the brands and balls the scan looks at), by readdir.
std::vector<std::string> namesWithoutDot(const fs::path& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (std::strchr(entry->d_name, '.') == nullptr) {
                names.emplace_back(entry->d_name);
            }
        }
        ::closedir(dir);
    }
    return names;
}

bool statOk(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// Reads one marker with open / read / close.
std::size_t readMarker(const fs::path& marker) {
    char buffer[512];
    const int fd = ::open(marker.c_str(), O_RDONLY);
    if (fd < 0) {
        return 0;
    }
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

// Walks the library as the scan does and only stats: each brand folder and its marker, each ball
// folder and its marker.
std::size_t plainStatWalk(const fs::path& balls) {
    std::size_t found = statOk(balls) ? 1 : 0;
    for (const std::string& brand : namesWithoutDot(balls)) {
        found += statOk(balls / brand) + statOk(balls / brand / "tst.ini");
        for (const std::string& ball : namesWithoutDot(balls / brand)) {
            found += statOk(balls / brand / ball) + statOk(balls / brand / ball / "tst.ini");
        }
    }
    return found;
}

// Walks the library and reads every brand's and ball's marker.
std::size_t plainReadEveryMarker(const fs::path& balls) {
    std::size_t bytes = 0;
    for (const std::string& brand : namesWithoutDot(balls)) {
        bytes += readMarker(balls / brand / "tst.ini");
        for (const std::string& ball : namesWithoutDot(balls / brand)) {
            bytes += readMarker(balls / brand / ball / "tst.ini");
        }
    }
    return bytes;
}

// Waits until everything just written is older than the settle time: what a library looks like
// that nobody has touched in the last seconds.
void letSettle() {
    std::this_thread::sleep_for(std::chrono::nanoseconds(library::kSettleNanoseconds) + std::chrono::milliseconds(200));
}

// --- activation --------------------------------------------------------------------------------

// The main window of a started program over the 10,000-ball library, activated once.
struct ActivatedWindow {
    test::GuiFixture fixture;
    fs::path balls;
    TForm1* main = nullptr;

    ActivatedWindow() {
        const fs::path library = readLibrary(100, 100) / "balls";
        balls = fixture.appFolder() / "balls";
        fs::create_directory_symlink(library, balls);
        letSettle();
        main = &fixture.start();
        main->FormActivate();
    }
};

void activationUnchanged(benchmark::State& state) {
    ActivatedWindow window;
    comparePaired(
        state, "activation unchanged 10000", 1.5, [&] { window.main->FormActivate(); },
        [&] { benchmark::DoNotOptimize(plainStatWalk(window.balls)); });
}
BENCHMARK(activationUnchanged)->Iterations(10)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond)
    ->ReportAggregatesOnly(true);

// Each iteration rewrites the marker of one ball in a hundred in place (New flipped, same size; a
// different ball each time), then times the activation against the stat walk plus a plain read of
// those markers. Before that, changes of the iteration before are left to settle and read once more,
// untimed: a marker changed within the settle time is read again at the next activation.
void activationOnePercentChanged(benchmark::State& state) {
    ActivatedWindow window;
    using Clock = std::chrono::steady_clock;
    double programSeconds = 0;
    double referenceSeconds = 0;
    int round = 0;
    for (auto _ : state) {
        letSettle();
        window.main->FormActivate();
        std::vector<fs::path> changed;
        for (int brand = 0; brand < 100; ++brand) {
            const fs::path marker = window.balls / ("Brand" + std::to_string(brand)) /
                                    ("Ball" + std::to_string((brand + round * 7) % 100)) / "tst.ini";
            const std::string text = test::readText(marker);
            std::fstream stream(marker, std::ios::in | std::ios::out | std::ios::binary);
            stream.seekp(static_cast<std::streamoff>(text.find("New=") + 4));
            stream.put(text[text.find("New=") + 4] == '1' ? '0' : '1');
            changed.push_back(marker);
        }
        ++round;
        const auto start = Clock::now();
        window.main->FormActivate();
        const auto middle = Clock::now();
        std::size_t bytes = plainStatWalk(window.balls);
        for (const fs::path& marker : changed) {
            bytes += readMarker(marker);
        }
        benchmark::DoNotOptimize(bytes);
        const auto end = Clock::now();
        const double programTime = std::chrono::duration<double>(middle - start).count();
        programSeconds += programTime;
        referenceSeconds += std::chrono::duration<double>(end - middle).count();
        state.SetIterationTime(programTime);
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["program_ms"] = programSeconds * 1000 / runs;
    state.counters["reference_ms"] = referenceSeconds * 1000 / runs;
    state.counters["ratio"] = programSeconds / referenceSeconds;
    recordRatio("activation 1% changed 10000", programSeconds / referenceSeconds, 1.5);
}
BENCHMARK(activationOnePercentChanged)->Iterations(3)->Repetitions(5)->UseManualTime()
    ->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);

// --- start-up ----------------------------------------------------------------------------------

struct ProbeRun {
    double startupMs = 0;
    double peakMiB = 0;
};

std::int64_t monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Starts the probe (by default the one of this build, linked to the system's libraries), waits for
// it and reads the start-up time and peak memory it reports.
ProbeRun runProbe(const std::string& mode, const fs::path& programFolder,
                  std::string probe = ORBISTO_STARTUP_PROBE) {
    const fs::path resultFile = benchFolder() / ("probe-" + mode);
    std::string spawned = std::to_string(monotonicNanoseconds());
    std::string modeArgument = mode;
    std::string folder = programFolder.string();
    std::string result = resultFile.string();
    char* argv[] = {probe.data(), modeArgument.data(), folder.data(), spawned.data(), result.data(), nullptr};
    pid_t child = 0;
    if (::posix_spawn(&child, argv[0], nullptr, nullptr, argv, environ) != 0) {
        std::abort();
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "the start-up probe (%s) failed with status %d\n", mode.c_str(), status);
        std::abort();
    }
    double nanoseconds = 0;
    double peakKiB = 0;
    std::ifstream(resultFile) >> nanoseconds >> peakKiB;
    return {nanoseconds / 1e6, peakKiB / 1024.0};
}

// A program folder with a library of `balls` balls (100 brands) and what the program ships.
fs::path startupFolder(int balls) {
    const fs::path folder = benchFolder() / ("startup-" + std::to_string(balls));
    if (!fs::exists(folder)) {
        fs::create_directories(folder);
        fs::copy(readLibrary(100, balls / 100) / "balls", folder / "balls", fs::copy_options::recursive);
        fs::copy(fs::path(ORBISTO_SOURCE_DIR) / "data/Languages", folder / "Languages", fs::copy_options::recursive);
        fs::copy_file(fs::path(ORBISTO_SOURCE_DIR) / "data/logo.jpg", folder / "logo.jpg");
        letSettle();
    }
    return folder;
}

// Start-up to the end of the first activation against the empty window's plus a plain read of
// every marker; peak memory against the empty window's.
void startupWithLibrary(benchmark::State& state) {
    const int balls = static_cast<int>(state.range(0));
    const fs::path folder = startupFolder(balls);
    double startup = 0, empty = 0, markers = 0, peak = 0, emptyPeak = 0;
    for (auto _ : state) {
        const ProbeRun program = runProbe("orbisto", folder);
        const ProbeRun reference = runProbe("empty", folder);
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(plainReadEveryMarker(folder / "balls"));
        markers += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(program.startupMs / 1000);
        startup += program.startupMs;
        empty += reference.startupMs;
        peak = std::max(peak, program.peakMiB);
        emptyPeak = std::max(emptyPeak, reference.peakMiB);
    }
    const auto runs = static_cast<double>(state.iterations());
    const std::string size = std::to_string(balls) + " balls";
    state.counters["startup_ms"] = startup / runs;
    state.counters["empty_window_ms"] = empty / runs;
    state.counters["read_markers_ms"] = markers / runs;
    state.counters["peak_MiB"] = peak;
    state.counters["empty_window_peak_MiB"] = emptyPeak;
    state.counters["ratio"] = startup / (empty + markers);
    recordRatio("start-up peak memory " + size, peak / emptyPeak, 1.5);
    // The time target is set for the big library; the smaller one is recorded beside it.
    recordRatio("start-up time " + size, startup / (empty + markers), balls >= 10000 ? 2.0 : 0);
}
BENCHMARK(startupWithLibrary)->Arg(1000)->Arg(10000)->Iterations(3)->Repetitions(5)->UseManualTime()
    ->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);

// The release's start-up: the probe placed in an installed program folder, so that it loads the
// folder's libraries and Qt plugins (scripts/bench puts it there and names it in
// ORBISTO_BUNDLED_STARTUP_PROBE), against the probe of this build, linked to the system's, over the
// same library. Both run on the platform the caller names (scripts/bench: xcb on a virtual X server).
void startupBundled(benchmark::State& state, const std::string& bundledProbe) {
    const int balls = static_cast<int>(state.range(0));
    const fs::path folder = startupFolder(balls);
    double bundled = 0, system = 0;
    for (auto _ : state) {
        const ProbeRun bundle = runProbe("orbisto", folder, bundledProbe);
        const ProbeRun linked = runProbe("orbisto", folder);
        state.SetIterationTime(bundle.startupMs / 1000);
        bundled += bundle.startupMs;
        system += linked.startupMs;
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["bundled_ms"] = bundled / runs;
    state.counters["system_ms"] = system / runs;
    state.counters["ratio"] = bundled / system;
    recordRatio("start-up of the release folder " + std::to_string(balls) + " balls", bundled / system, 1.2);
}

} // namespace

// Registered only when scripts/bench has made the program folder with the probe in it.
void registerBundledStartup() {
    const QByteArray probe = qgetenv("ORBISTO_BUNDLED_STARTUP_PROBE");
    if (probe.isEmpty()) {
        return;
    }
    benchmark::RegisterBenchmark("startupBundled", startupBundled, probe.toStdString())
        ->Arg(1000)->Arg(10000)->Iterations(3)->Repetitions(5)->UseManualTime()
        ->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);
}

} // namespace orbisto::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    orbisto::bench::registerBundledStartup();
    return orbisto::bench::runBenchmarks(argc, argv);
}
