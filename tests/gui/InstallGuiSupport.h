#pragma once

#include "app/TForm1.h"
#include "core/InstallFaults.h"
#include "support/GuiFixture.h"

#include <QComboBox>
#include <QListWidget>
#include <QTest>
#include <memory>
#include <string>

namespace orbisto::test {

inline const std::string kGame2006Key = "\\Software\\Sports Interactive Ltd\\Installs\\Football Manager 2006";

// The shipped English texts of the two messages an install shows.
inline const QString kRedmsg = QStringLiteral("The ball has been installed.");
inline const QString kSelmsg = QStringLiteral("Please choose a ball to install first.");

// A program with the shipped languages, a library ball Alpha/Comet and an FM 2006 game folder.
// With `fileSystem` the windows work through it instead of the local file system.
struct InstallSetup {
    explicit InstallSetup(platform::FileSystem* fileSystem = nullptr, bool gameHasBallFolders = true) {
        libraryBall = makeLibraryBall(fixture.appFolder(), "Alpha", "Comet");
        game = gameHasBallFolders ? fixture.makeGame("fm2006") : fixture.temp / "games/fm2006";
        fs::create_directories(game);
        fixture.installShippedLanguages();
        fixture.storeUser(kGame2006Key, "Path", game.string());
        if (fileSystem != nullptr) {
            fixture.context = std::make_unique<AppContext>(AppContext{
                *fixture.settings, *fileSystem, fixture.ui, fixture.appFolder() / "orbisto", fixture.workingFolder()});
        }
    }

    TForm1& start() {
        TForm1& main = fixture.start();
        fixture.ui.clear();
        return main;
    }

    // Picks a brand and then a ball as the user does.
    static void choose(TForm1& main, const QString& brand, const QString& ball) {
        main.brand->setCurrentIndex(main.brand->findText(brand));
        const auto found = main.lista->findItems(ball, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable("no ball " + ball));
        main.lista->setCurrentItem(found.first());
    }

    // Fills the game's ball folders (those that exist) with the frames of another ball, Beta/Storm.
    void installOldBall() const {
        const fs::path old = makeLibraryBall(fixture.temp / "old", "Beta", "Storm");
        for (const fs::path& folder : {normal(), winter()}) {
            if (fs::is_directory(folder)) {
                for (const auto& [name, bytes] : framesOf(old)) {
                    writeFile(folder / name, bytes);
                }
            }
        }
    }

    fs::path normal() const { return game / "data/graphics/pitch/balls"; }
    fs::path winter() const { return normal() / "winter"; }

    // The frames of a library ball as an install must place them (its marker file stays behind).
    static std::map<std::string, std::vector<std::uint8_t>> framesOf(const fs::path& ball) {
        auto frames = folderSnapshot(ball);
        frames.erase("tst.ini");
        return frames;
    }

    GuiFixture fixture;
    fs::path libraryBall;
    fs::path game;
};

} // namespace orbisto::test
