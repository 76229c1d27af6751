// Benchmarks of the windows (offscreen): the new-ball scan inside the main window against the core
// scan alone, and the program's start-up against an empty Qt Widgets window, both in the same run.

#include <QApplication>

#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <ctime>

#include "BenchSupport.h"
#include "app/TForm1.h"
#include "library/NewBallScan.h"
#include "platform/FileSystem.h"
#include "support/GuiFixture.h"

extern char** environ;

namespace orbisto::bench {
namespace {

void scanInMainWindow(benchmark::State& state) {
    const int balls = static_cast<int>(state.range(0));
    test::GuiFixture fixture;
    fs::create_directory_symlink(readLibrary(100, balls / 100) / "balls", fixture.appFolder() / "balls");
    TForm1& main = fixture.start();
    const fs::path app = fixture.context->state.AppFolder;
    comparePaired(
        state, "scan in main window " + std::to_string(balls), 2.0, [&] { main.JvXPButton1Click(); },
        [&] { benchmark::DoNotOptimize(library::scanNewBalls(platform::localFileSystem(), app).balls.size()); });
}
BENCHMARK(scanInMainWindow)->Arg(1000)->Arg(10000)->Iterations(5)->Repetitions(5)->UseManualTime()
    ->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);

struct ProbeRun {
    double startupMs = 0;
    double peakMiB = 0;
};

std::int64_t monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Starts the probe, waits for it and reads the start-up time and peak memory it reports.
ProbeRun runProbe(const std::string& mode, const fs::path& programFolder) {
    const fs::path resultFile = benchFolder() / ("probe-" + mode);
    std::string probe = ORBISTO_STARTUP_PROBE;
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

// A program folder with a library of 1,000 balls (100 brands x 10) and what the program ships.
fs::path startupFolder() {
    const fs::path folder = benchFolder() / "startup";
    if (!fs::exists(folder)) {
        fs::create_directories(folder);
        fs::copy(readLibrary(100, 10) / "balls", folder / "balls", fs::copy_options::recursive);
        fs::copy(fs::path(ORBISTO_SOURCE_DIR) / "data/Languages", folder / "Languages", fs::copy_options::recursive);
        fs::copy_file(fs::path(ORBISTO_SOURCE_DIR) / "data/logo.jpg", folder / "logo.jpg");
    }
    return folder;
}

void startupWithLibrary(benchmark::State& state) {
    const fs::path folder = startupFolder();
    double startup = 0, empty = 0, peak = 0, emptyPeak = 0;
    for (auto _ : state) {
        const ProbeRun program = runProbe("orbisto", folder);
        const ProbeRun reference = runProbe("empty", folder);
        state.SetIterationTime(program.startupMs / 1000);
        startup += program.startupMs;
        empty += reference.startupMs;
        peak = std::max(peak, program.peakMiB);
        emptyPeak = std::max(emptyPeak, reference.peakMiB);
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["startup_ms"] = startup / runs;
    state.counters["empty_window_ms"] = empty / runs;
    state.counters["peak_MiB"] = peak;
    state.counters["empty_window_peak_MiB"] = emptyPeak;
    state.counters["ratio"] = peak / emptyPeak;
    recordRatio("start-up peak memory 1000 balls", peak / emptyPeak, 1.5);
    recordRatio("start-up time 1000 balls", startup / empty, 0);
}
BENCHMARK(startupWithLibrary)->Iterations(3)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond)
    ->ReportAggregatesOnly(true);

} // namespace
} // namespace orbisto::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    return orbisto::bench::runBenchmarks(argc, argv);
}
