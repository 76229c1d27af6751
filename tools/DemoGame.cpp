#include "tools/DemoGame.h"

#include "library/GameFolders.h"
#include "platform/SettingsStore.h"
#include "tools/SampleArt.h"

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto::sample {

namespace {

using platform::Hive;

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

std::string frameName(int index) {
    return "ball_" + std::to_string(index / 3 + 1) + std::to_string(index % 3 + 1) + ".png";
}

// Writes the 21 frames of a ball into `folder`; `tag` empty leaves them untagged, like the game's own.
void writeBall(const fs::path& folder, const BallDesign& design, const std::string& tag) {
    fs::create_directories(folder);
    for (int index = 0; index < 21; ++index) {
        auto bytes = encodePng(drawBallFrame(design, index));
        if (!tag.empty()) {
            appendBallTag(bytes, tag);
        }
        writeFileAtomically(folder / frameName(index), bytes);
    }
}

const SampleBall& sampleBall(std::string_view brand, std::string_view ball) {
    for (const SampleBall& sample : sampleBalls()) {
        if (sample.brand == brand && sample.ball == ball) {
            return sample;
        }
    }
    throw std::logic_error("no sample ball " + std::string(brand) + "|" + std::string(ball));
}

void writeLibraryBall(const fs::path& folder, std::string_view brand, std::string_view ball) {
    const SampleBall& sample = sampleBall(brand, ball);
    writeBall(folder, sample.design, sample.brand + "|" + sample.ball);
}

// A skin description: the document element's direct children carry "id" and "value".
std::string skinDescription(std::string_view name, bool withMarker) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<record>\r\n";
    xml += "\t<string id=\"name\" value=\"" + std::string(name) + "\"/>\r\n";
    xml += "\t<string id=\"author\" value=\"Orbisto demo\"/>\r\n";
    if (withMarker) {
        xml += "\t<boolean id=\"hnfn\" value=\"true\"/>\r\n";
    }
    xml += "</record>\r\n";
    return xml;
}

void writeSkin(const fs::path& skins, const std::string& folder, std::string_view name, bool withMarker) {
    fs::create_directories(skins / folder);
    writeFileAtomically(skins / folder / (folder + ".xml"), bytesOf(skinDescription(name, withMarker)));
}

void writeDemoGame(const fs::path& game) {
    const BallDesign gameBall{Pattern::Panels, {0.99, 0.99, 0.99}, {0.22, 0.22, 0.24}};
    // The game's own winter ball: orange, so it shows up on snow.
    const BallDesign gameWinterBall{Pattern::Panels, {1.00, 0.55, 0.10}, {0.22, 0.22, 0.24}};
    const fs::path balls = game / "data/graphics/pitch/balls";
    writeBall(balls, gameBall, "");
    writeBall(balls / "winter", gameWinterBall, "");

    const fs::path skins = game / "data/skins";
    writeSkin(skins, "midnight", "Midnight [demo skin]", true);
    writeLibraryBall(skins / "midnight/graphics/pitch/balls", "Northwind", "Gale");
    writeLibraryBall(skins / "midnight/graphics/pitch/balls/winter", "Tundra", "Frost");
    // Has no "hnfn" entry, so the install-to-skin window does not list it.
    writeSkin(skins, "classic", "Classic [demo skin, not listed]", false);
    writeBall(skins / "classic/graphics/pitch/balls", gameBall, "");
    // Listed, but has no graphics folder yet: installing into it creates one.
    writeSkin(skins, "daylight", "Daylight [demo skin without balls]", true);
}

} // namespace

bool prepareDemoGame(const fs::path& gameFolder) {
    if (gameFolder.empty() || !gameFolder.has_filename()) {
        throw std::invalid_argument("the demo game needs a folder name, not \"" + gameFolder.string() + "\"");
    }
    if (fs::exists(gameFolder)) {
        return false;
    }
    const fs::path parent = gameFolder.parent_path().empty() ? fs::path(".") : gameFolder.parent_path();
    fs::create_directories(parent);
    const fs::path partial = parent / ("." + gameFolder.filename().string() + ".partial");
    fs::remove_all(partial); // left over from an interrupted run
    try {
        writeDemoGame(partial);
        fs::rename(partial, gameFolder);
    } catch (...) {
        std::error_code ignored;
        fs::remove_all(partial, ignored);
        throw;
    }
    return true;
}

void pointSettingsAtGame(const fs::path& settingsFolder, const fs::path& gameFolder) {
    fs::create_directories(settingsFolder);
    auto store = platform::makeRegistryFileStore(settingsFolder);
    store->writeText(Hive::LocalMachine, library::gameVersions()[1].fallbackKey, library::kFolderValue,
                     gameFolder.generic_string());
}

bool hasConfiguredGame(const fs::path& settingsFolder, const platform::InstallRecords* records) {
    auto store = platform::makeRegistryFileStore(settingsFolder);
    for (const library::GameFolder& found : library::findGameFolders(*store, records)) {
        if (!found.folder.empty()) {
            return true;
        }
    }
    return false;
}

} // namespace orbisto::sample
