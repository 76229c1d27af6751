// Benchmarks of the core against plain references doing the same work in the same run.

#include <algorithm>
#include <chrono>
#include <archive.h>
#include <archive_entry.h>
#include <cstring>
#include <fcntl.h>
#include <pugixml.hpp>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "BenchSupport.h"
#include "install/Install.h"
#include "install/InstallBall.h"
#include "install/OriginalBall.h"
#include "install/SkinCatalogue.h"
#include "library/ArchiveImport.h"
#include "library/LibraryScan.h"
#include "library/NewBallScan.h"
#include "library/TaggingTool.h"
#include "platform/FileSystem.h"
#include "support/ArchiveMaker.h"
#include "support/TempFolder.h"

extern char** environ;

namespace orbisto::bench {
namespace {

platform::FileSystem& files() { return platform::localFileSystem(); }

// --- plain references --------------------------------------------------------------------------

std::string slurp(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY);
    if (fd < 0) {
        return {};
    }
    char buffer[4096];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    return got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : std::string();
}

// A marker counts when its file holds the line key=1.
bool markerSays(const fs::path& folder, const std::string& key) {
    return slurp(folder / "tst.ini").find(key + "=1\r") != std::string::npos;
}

std::vector<std::string> listNames(const fs::path& folder, bool withoutDot) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        if (name.front() != '.' && (!withoutDot || name.find('.') == std::string::npos)) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The same reads as the brand box, every brand's ball list and the new-ball scan.
std::size_t plainLibraryWalk(const fs::path& app) {
    const fs::path balls = app / "balls";
    std::vector<std::string> brands;
    for (const auto& brand : listNames(balls, false)) {
        if (markerSays(balls / brand, "Auth")) {
            brands.push_back(brand);
        }
    }
    std::size_t found = 0;
    for (const auto& brand : brands) {
        for (const auto& ball : listNames(balls / brand, true)) {
            found += markerSays(balls / brand / ball, "Auth") ? 1 : 0;
        }
    }
    for (const auto& brand : listNames(balls, true)) {
        if (!markerSays(balls / brand, "Auth")) {
            continue;
        }
        for (const auto& ball : listNames(balls / brand, true)) {
            found += markerSays(balls / brand / ball, "New") ? 1 : 0;
        }
    }
    return found;
}

// Open, read the last 4 bytes, cut the old trailer, write the new one, close; for every frame.
std::size_t plainTagging(const fs::path& root) {
    std::size_t tagged = 0;
    for (const auto& brand : listNames(root, true)) {
        for (const auto& ball : listNames(root / brand, true)) {
            const std::string tag = brand + "|" + ball;
            for (const auto& frame : listNames(root / brand / ball, false)) {
                if (!frame.ends_with(".png")) {
                    continue;
                }
                const int fd = ::open((root / brand / ball / frame).c_str(), O_RDWR);
                const off_t size = ::lseek(fd, 0, SEEK_END);
                std::int32_t length = 0;
                if (::pread(fd, &length, 4, size - 4) != 4 || length < 4 || length > size) {
                    length = 0;
                }
                std::string trailer = tag;
                const auto newLength = static_cast<std::int32_t>(tag.size() + 4);
                trailer.append(reinterpret_cast<const char*>(&newLength), 4);
                if (::ftruncate(fd, size - length) != 0 ||
                    ::pwrite(fd, trailer.data(), trailer.size(), size - length) != static_cast<ssize_t>(trailer.size())) {
                    std::abort();
                }
                ::close(fd);
                ++tagged;
            }
        }
    }
    return tagged;
}

void runProgram(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    if (::posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        std::abort();
    }
    int status = 0;
    ::waitpid(child, &status, 0);
}

// cp of the ball's frames into the folder, as one process the way a shell would start it.
void plainCopy(const fs::path& source, const fs::path& target) {
    std::vector<std::string> arguments{"/bin/cp"};
    for (const auto& frame : listNames(source, false)) {
        arguments.push_back((source / frame).string());
    }
    arguments.push_back(target.string());
    runProgram(std::move(arguments));
}

// The skins folder listed, every description parsed with pugixml and its entries looked at.
std::size_t plainSkinParse(const fs::path& game) {
    std::size_t listed = 0;
    const fs::path skins = game / "data/skins";
    for (const auto& skin : listNames(skins, true)) {
        pugi::xml_document document;
        if (!document.load_file((skins / skin / (skin + ".xml")).c_str())) {
            continue;
        }
        bool marked = false;
        std::string name;
        for (const pugi::xml_node child : document.document_element().children()) {
            const std::string_view id = child.attribute("id").value();
            if (id == "name") {
                name = child.attribute("value").value();
            } else if (id == "hnfn") {
                marked = true;
            }
        }
        listed += marked && !name.empty() ? 1 : 0;
    }
    return listed;
}

// The archive read whole and every entry unpacked into a new folder with libarchive and plain writes,
// then the folder removed again.
void plainUnpack(const fs::path& archiveFile, const fs::path& root) {
    const std::vector<std::uint8_t> bytes = test::readBytes(archiveFile);
    std::string folder = (root / "plain-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        return;
    }
    archive* reader = archive_read_new();
    archive_read_support_format_zip(reader);
    archive_read_open_memory(reader, bytes.data(), bytes.size());
    archive_entry* entry = nullptr;
    std::vector<char> data;
    char buffer[1 << 16];
    while (archive_read_next_header(reader, &entry) == ARCHIVE_OK) {
        data.clear();
        la_ssize_t got = 0;
        while ((got = archive_read_data(reader, buffer, sizeof buffer)) > 0) {
            data.insert(data.end(), buffer, buffer + got);
        }
        const std::string name = fs::path(archive_entry_pathname(entry)).filename().string();
        const int fd = ::open((folder + "/" + name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd >= 0) {
            benchmark::DoNotOptimize(::write(fd, data.data(), data.size()));
            ::close(fd);
        }
    }
    archive_read_free(reader);
    fs::remove_all(folder);
}

// A zip of the 21 frames of the install benchmark's ball, in a sub-folder, beside a read-me.
fs::path ballArchive() {
    static const fs::path file = [] {
        std::vector<test::ArchiveEntry> entries;
        for (std::string_view frame : library::kFrameNames) {
            entries.emplace_back("Comet/" + std::string(frame), test::readBytes(installSource() / frame));
        }
        entries.emplace_back("ReadMe.txt", std::vector<std::uint8_t>(2000, 'x'));
        const fs::path zip = benchFolder() / "Comet.zip";
        test::writeFile(zip, test::makeArchive(test::ArchiveFormat::Zip, entries));
        fs::create_directories(benchFolder() / "unpack");
        return zip;
    }();
    return file;
}

// --- benchmarks ----------------------------------------------------------------------------------

void libraryReads(benchmark::State& state) {
    const int balls = static_cast<int>(state.range(0));
    const fs::path app = readLibrary(100, balls / 100);
    comparePaired(
        state, "library reads " + std::to_string(balls), 1.5,
        [&] {
            const auto brands = library::brandBoxItems(files(), app);
            std::size_t listed = 0;
            for (const auto& brand : brands) {
                listed += library::ballListItems(files(), app, brand, {}).size();
            }
            const auto scan = library::scanNewBalls(files(), app);
            benchmark::DoNotOptimize(listed + scan.newBalls.size());
        },
        [&] { benchmark::DoNotOptimize(plainLibraryWalk(app)); });
}
BENCHMARK(libraryReads)->Arg(1000)->Arg(10000)->Iterations(5)->Repetitions(5)->UseManualTime()
    ->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);

void taggingTenThousandFrames(benchmark::State& state) {
    const fs::path root = taggingLibrary();
    library::tagLibrary(files(), root, true); // markers and first tags in place, as after a first run
    comparePaired(
        state, "tagging 10000 frames", 1.3, [&] { benchmark::DoNotOptimize(library::tagLibrary(files(), root, true)); },
        [&] { benchmark::DoNotOptimize(plainTagging(root)); });
}
BENCHMARK(taggingTenThousandFrames)->Iterations(2)->Repetitions(5)->UseManualTime()
    ->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);

// The install against a durable copy: cp of the same files followed by `sync -f` on the target's file
// system (the figure with a target), and against the plain cp, which waits for no disk (recorded).
void installOneBall(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const fs::path source = installSource();
    const fs::path game = installGame();
    const fs::path target = install::normalBallFolder(game);
    const fs::path app = source.parent_path().parent_path().parent_path();
    const install::InstallRequest request{app, source, {{target, "FM 2006 normal"}}, {target}};
    // The target holds an Orbisto ball, as at every install after the first: nothing to keep.
    install::CopyBallFrames(files(), source, target, {});
    double programSeconds = 0;
    double durableSeconds = 0;
    double plainSeconds = 0;
    const auto seconds = [](Clock::time_point from, Clock::time_point to) {
        return std::chrono::duration<double>(to - from).count();
    };
    for (auto _ : state) {
        const auto start = Clock::now();
        install::installBall(files(), request, {}, [](std::size_t, std::size_t) { return true; });
        const auto programEnd = Clock::now();
        plainCopy(source, target);
        runProgram({"/bin/sync", "-f", target.string()});
        const auto durableEnd = Clock::now();
        plainCopy(source, target);
        const auto plainEnd = Clock::now();
        programSeconds += seconds(start, programEnd);
        durableSeconds += seconds(programEnd, durableEnd);
        plainSeconds += seconds(durableEnd, plainEnd);
        state.SetIterationTime(seconds(start, programEnd));
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["program_ms"] = programSeconds * 1000 / runs;
    state.counters["reference_ms"] = durableSeconds * 1000 / runs;
    state.counters["plain_cp_ms"] = plainSeconds * 1000 / runs;
    state.counters["ratio"] = programSeconds / durableSeconds;
    state.counters["ratio_plain_cp"] = programSeconds / plainSeconds;
    recordRatio("install one ball", programSeconds / durableSeconds, 1.3);
    recordRatio("install one ball vs plain cp", programSeconds / plainSeconds, 0);
}
BENCHMARK(installOneBall)->Iterations(50)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond)
    ->ReportAggregatesOnly(true);

void skinCatalogue(benchmark::State& state) {
    const fs::path game = skinGame(500);
    comparePaired(
        state, "skin catalogue 500 skins", 1.3,
        [&] { benchmark::DoNotOptimize(install::readSkinCatalogue(files(), game).skins.size()); },
        [&] { benchmark::DoNotOptimize(plainSkinParse(game)); });
}
BENCHMARK(skinCatalogue)->Iterations(10)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond)
    ->ReportAggregatesOnly(true);

void importBallArchive(benchmark::State& state) {
    const fs::path zip = ballArchive();
    const fs::path root = benchFolder() / "unpack";
    comparePaired(
        state, "import 21-frame zip", 2.0,
        [&] {
            const auto bytes = library::readArchiveFile(files(), zip);
            const auto balls = library::findBallSets(bytes);
            library::UnpackedBall unpacked(files(), root);
            library::unpackBallSet(files(), bytes, balls.sets.at(0), unpacked.folder());
        },
        [&] { plainUnpack(zip, root); });
}
BENCHMARK(importBallArchive)->Iterations(50)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond)
    ->ReportAggregatesOnly(true);

} // namespace
} // namespace orbisto::bench

int main(int argc, char** argv) {
    return orbisto::bench::runBenchmarks(argc, argv);
}
