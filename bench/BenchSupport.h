#pragma once

// Shared by the benchmarks: a temporary folder made once per process with the generated libraries,
// tagging library, game and skins; and the paired measurement that reports program / reference.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace orbisto::bench {

namespace fs = std::filesystem;

// Everything is generated below one temporary folder, removed when the process ends.
const fs::path& benchFolder();

// Program folder (AppFolder, ending in "/") of a library of `brands` x `ballsPerBrand` balls with
// tst.ini markers (Auth=1; every tenth ball New=1) and no frames: the library reads never open frames.
fs::path readLibrary(int brands, int ballsPerBrand);
// A library folder of 10 brands x 50 balls x 20 frames = 10,000 small untagged PNG-like frames.
fs::path taggingLibrary();
// One ball of 21 real PNG frames (about 1 KB each, tagged) and a game folder to install it into.
fs::path installSource();
fs::path installGame();
// A game folder with `count` skins, each with a description of about 40 entries.
fs::path skinGame(int count);

// Times a program run and a reference run that does the same work, alternately in every iteration,
// so both see the same machine load. The iteration time is the program's; the counters give both
// means in milliseconds and their ratio, which is also kept for the summary.
template <typename Program, typename Reference>
void comparePaired(benchmark::State& state, const std::string& name, double target, Program&& program,
                   Reference&& reference);

// Records one ratio for the summary that main() prints at the end (median per name).
void recordRatio(const std::string& name, double ratio, double target);
// Prints "ratio <name> <median> (target <= x) OK|MISSED" lines; returns the number missed.
int printRatioSummary();
// The benchmark programs' main: runs the benchmarks the arguments select, then prints the summary.
int runBenchmarks(int& argc, char** argv);

template <typename Program, typename Reference>
void comparePaired(benchmark::State& state, const std::string& name, double target, Program&& program,
                   Reference&& reference) {
    using Clock = std::chrono::steady_clock;
    double programSeconds = 0;
    double referenceSeconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        program();
        const auto middle = Clock::now();
        reference();
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
    recordRatio(name, programSeconds / referenceSeconds, target);
}

} // namespace orbisto::bench
