#include "platform/linux/WinePrefixes.h"
#include "support/GuiFixture.h"
#include "support/WinePrefixMaker.h"

#include <map>
#include <sys/stat.h>

using namespace orbisto;
using namespace orbisto::test;

namespace {

// A player's home whose ~/.wine has FM 2006 in C:\Games\FM 2006 (on disk as "games/fm 2006"),
// with a tagged normal ball installed, and the program's search looking there.
struct WineHome {
    explicit WineHome(GuiFixture& fixture)
        : home(fixture.temp / "home"), prefix(home / ".wine"),
          search(platform::wine::makePrefixSearch({home, home / ".local/share", {}})) {
        wine::makePrefix(prefix, wine::hive(wine::gameKey("Football Manager 2006", "C:\\Games\\FM 2006")));
        const fs::path balls = prefix / "drive_c/games/fm 2006/data/graphics/pitch/balls";
        writeFile(balls / "ball_73.png", makePng(17, 17, 0x2080c0ff));
        library::SaveToExe(balls / "ball_73.png", "Kestrel|Aero");
        game = fs::canonical(prefix / "drive_c/games/fm 2006").string() + "/";
        fixture.context->installRecords = search.get();
    }

    fs::path home;
    fs::path prefix;
    std::unique_ptr<platform::InstallRecords> search;
    std::string game;
};

// Every entry below a folder, links not followed: contents (or link target) and times.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        struct stat info {};
        ::lstat(entry.path().c_str(), &info);
        std::string state = std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec) + " " +
                            std::to_string(info.st_ctim.tv_sec) + "." + std::to_string(info.st_ctim.tv_nsec) + " " +
                            std::to_string(info.st_mode) + " ";
        if (entry.is_symlink()) {
            state += fs::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file()) {
            state += readText(entry.path());
        }
        entries[entry.path().string()] = state;
    }
    return entries;
}

} // namespace

class WinePrefixWindowTest : public QObject {
    Q_OBJECT

private slots:
    void onlyWineKnowsFm2006_checkedWithItsBalls_prefixUntouched() {
        GuiFixture fixture;
        WineHome wine(fixture);
        const auto before = snapshot(wine.home);
        TForm1& form = fixture.start();

        QVERIFY(form.rb2006->isEnabled() && form.rb2006->isChecked());
        QVERIFY(!form.rb2005->isEnabled() && !form.rb2007->isEnabled());
        QCOMPARE(form.state().GameFolder, wine.game);
        QCOMPARE(form.Label3->text(), QString("Kestrel Aero"));
        QCOMPARE(form.Label4->text(), QString());
        QCOMPARE(form.rb2006->toolTip(),
                 QString::fromStdString(wine.game + "\nFound in the Wine prefix " + wine.prefix.string()));
        QCOMPARE(fixture.context->forms.form4->label12->text(), QString::fromStdString(wine.game));

        form.close();
        QCOMPARE(snapshot(wine.home), before);
        // A guess is not stored: the next start looks again.
        QCOMPARE(fixture.settings->readText(platform::Hive::CurrentUser, kInstallsKey + "2006", "Path"), std::string());
        QCOMPARE(fixture.settings->readText(platform::Hive::LocalMachine, kFolderKey + "2006", "Path"), std::string());
    }

    void tooltips_eachOriginInTheLanguageInUse() {
        GuiFixture fixture;
        WineHome wine(fixture);
        fixture.installShippedLanguages();
        fixture.storeUser(kInstallsKey + "2005", "Path", "/g/a");
        fixture.storeMachine(kFolderKey + "2007", "Path", "/g/c");
        fixture.storeMachine(kLanguageKey, "lang", "Deutsch");
        TForm1& form = fixture.start();
        const QString wineFolder = QString::fromStdString(wine.game);
        const QString prefix = QString::fromStdString(wine.prefix.string());
        QCOMPARE(form.rb2005->toolTip(), QString("/g/a\nVom Installationsprogramm des Spiels eingetragen"));
        QCOMPARE(form.rb2006->toolTip(), wineFolder + "\nGefunden im Wine-Präfix " + prefix);
        QCOMPARE(form.rb2007->toolTip(), QString("/g/c\nIn den Einstellungen gewählt"));

        // Another language applies at once; a language file without the keys gives English.
        form.lang0("Missing");
        QCOMPARE(form.rb2005->toolTip(), QString("/g/a\nRecorded by the game's installer"));
        QCOMPARE(form.rb2007->toolTip(), QString("/g/c\nChosen in Settings"));
    }
};

QTEST_MAIN(WinePrefixWindowTest)
#include "WinePrefixWindowTest.moc"
