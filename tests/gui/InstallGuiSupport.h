#pragma once

#include "core/InstallFaults.h"
#include "core/OwnBallFixtures.h"
#include "support/GuiFixture.h"

#include <memory>
#include <string>
#include <vector>

namespace orbisto::test {

// The shipped English texts of the two messages an install shows.
inline const QString kRedmsg = QStringLiteral("The ball has been installed.");
inline const QString kSelmsg = QStringLiteral("Please choose a ball to install first.");
// ... and the one an install shows after keeping the game's own ball, before the names of the balls kept.
inline const QString kBakmsg =
    QStringLiteral("Before installing, Orbisto has kept the game's own ball in the library under the brand "
                   "\"Original\". To get it back, install it from there:");

// A skin of the game that the catalogue lists under `name`.
inline fs::path makeSkin(const fs::path& game, const std::string& folder, const std::string& name) {
    const fs::path skin = game / "data/skins" / folder;
    writeFile(skin / (folder + ".xml"),
              "<record><string id=\"name\" value=\"" + name + "\"/><boolean id=\"hnfn\" value=\"true\"/></record>");
    return skin;
}

// A program with the shipped languages, a library ball Alpha/Comet and an FM 2006 game folder.
// With `fileSystem` the windows work through it instead of the local file system.
struct InstallSetup {
    explicit InstallSetup(platform::FileSystem* fileSystem = nullptr, bool gameHasBallFolders = true) {
        libraryBall = makeLibraryBall(fixture.appFolder(), "Alpha", "Comet");
        game = gameHasBallFolders ? fixture.makeGame("fm2006") : fixture.temp / "games/fm2006";
        fs::create_directories(game);
        fixture.installShippedLanguages();
        fixture.storeUser(kInstallsKey + "2006", "Path", game.string());
        if (fileSystem != nullptr) {
            fixture.context = std::make_unique<AppContext>(AppContext{
                *fixture.settings, *fileSystem, fixture.ui, fixture.appFolder() / "orbisto", fixture.workingFolder()});
        }
    }

    // Starts the program and picks the brand and then the ball as the user does.
    TForm1& start(const QString& brand = "Alpha", const QString& ball = "Comet") {
        TForm1& main = fixture.start();
        fixture.ui.clear();
        if (!ball.isEmpty()) {
            choose(main, brand, ball);
        }
        return main;
    }

    static void choose(TForm1& main, const QString& brand, const QString& ball) {
        pick(*main.brand, brand);
        pick(*main.lista, ball);
    }

    // Fills the folders (by default the game's two) with the frames of another ball, Beta/Storm.
    void installOldBall(const std::vector<fs::path>& folders = {}) const {
        const fs::path old = makeLibraryBall(fixture.temp / "old", "Beta", "Storm");
        for (const fs::path& folder : folders.empty() ? std::vector{normal(), winter()} : folders) {
            for (const auto& [name, bytes] : ballFrames(old)) {
                writeFile(folder / name, bytes);
            }
        }
    }

    fs::path normal() const { return game / "data/graphics/pitch/balls"; }
    fs::path winter() const { return normal() / "winter"; }

    GuiFixture fixture;
    fs::path libraryBall;
    fs::path game;
};

} // namespace orbisto::test
