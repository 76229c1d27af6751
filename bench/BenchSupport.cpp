#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

#include "library/BallTag.h"
#include "support/TempFolder.h"

namespace orbisto::bench {

namespace {

test::TempFolder& temp() {
    static test::TempFolder folder;
    return folder;
}

void writeText(const fs::path& file, std::string_view text) { test::writeFile(file, text); }

struct RatioRecord {
    std::vector<double> ratios;
    double target = 0;
};

std::map<std::string, RatioRecord>& ratioRecords() {
    static std::map<std::string, RatioRecord> records;
    return records;
}

} // namespace

const fs::path& benchFolder() { return temp().path(); }

fs::path readLibrary(int brands, int ballsPerBrand) {
    const fs::path app = benchFolder() / ("library-" + std::to_string(brands * ballsPerBrand));
    if (fs::exists(app)) {
        return app.string() + "/";
    }
    for (int b = 0; b < brands; ++b) {
        const fs::path brand = app / "balls" / ("Brand" + std::to_string(b));
        writeText(brand / "tst.ini", "[Sys]\r\nAuth=1\r\n");
        for (int n = 0; n < ballsPerBrand; ++n) {
            const std::string isNew = n % 10 == 0 ? "1" : "0";
            writeText(brand / ("Ball" + std::to_string(n)) / "tst.ini", "[Sys]\r\nAuth=1\r\nNew=" + isNew + "\r\n");
        }
    }
    return app.string() + "/";
}

fs::path taggingLibrary() {
    const fs::path root = benchFolder() / "tagging";
    if (fs::exists(root)) {
        return root;
    }
    // A PNG-like frame: 600 bytes ending in the CRC of an IEND chunk, so it carries no tag.
    std::string frame(600, 'p');
    frame.replace(frame.size() - 4, 4, "\xAE\x42\x60\x82");
    for (int b = 0; b < 10; ++b) {
        for (int n = 0; n < 50; ++n) {
            const fs::path ball = root / ("Brand" + std::to_string(b)) / ("Ball" + std::to_string(n));
            for (int f = 0; f < 20; ++f) {
                writeText(ball / ("ball_" + std::to_string(11 + f) + ".png"), frame);
            }
        }
    }
    return root;
}

fs::path installSource() {
    const fs::path ball = benchFolder() / "install/app/balls/Alpha/Comet";
    if (fs::exists(ball)) {
        return ball;
    }
    for (int row = 1; row <= 7; ++row) {
        for (int column = 1; column <= 3; ++column) {
            const fs::path frame = ball / ("ball_" + std::to_string(row * 10 + column) + ".png");
            test::writeFile(frame, test::makePng(24, 24, 0x20406080u + static_cast<std::uint32_t>(row * column)));
            library::SaveToExe(frame, "Alpha|Comet");
        }
    }
    return ball;
}

fs::path installGame() {
    const fs::path game = benchFolder() / "install/game";
    fs::create_directories(game / "data/graphics/pitch/balls/winter");
    return game;
}

fs::path skinGame(int count) {
    const fs::path game = benchFolder() / ("skins-" + std::to_string(count));
    if (fs::exists(game)) {
        return game;
    }
    for (int s = 0; s < count; ++s) {
        const std::string name = "Skin" + std::to_string(s);
        std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<record>\n";
        xml += "  <string id=\"name\" value=\"" + name + " [by the bench]\"/>\n";
        for (int e = 0; e < 38; ++e) {
            xml += "  <colour id=\"entry" + std::to_string(e) + "\" red=\"12\" green=\"34\" blue=\"56\"/>\n";
        }
        xml += "  <boolean id=\"hnfn\" value=\"true\"/>\n</record>\n";
        writeText(game / "data/skins" / name / (name + ".xml"), xml);
    }
    return game;
}

void recordRatio(const std::string& name, double ratio, double target) {
    auto& record = ratioRecords()[name];
    record.ratios.push_back(ratio);
    record.target = target;
}

int runBenchmarks(int& argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printRatioSummary();
    return 0;
}

int printRatioSummary() {
    int missed = 0;
    std::printf("\n");
    for (auto& [name, record] : ratioRecords()) {
        auto ratios = record.ratios;
        std::sort(ratios.begin(), ratios.end());
        const double median = ratios[ratios.size() / 2];
        if (record.target <= 0) { // recorded for information, without a target
            std::printf("ratio %-34s %6.2f  (no target, median of %zu)\n", name.c_str(), median, ratios.size());
            continue;
        }
        const bool ok = median <= record.target;
        missed += ok ? 0 : 1;
        std::printf("ratio %-34s %6.2f  (target <= %.2f, median of %zu) %s\n", name.c_str(), median, record.target,
                    ratios.size(), ok ? "OK" : "MISSED");
    }
    std::fflush(stdout);
    return missed;
}

} // namespace orbisto::bench
