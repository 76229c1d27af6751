#pragma once

// Every window of the program, with Qt's widgets and test tools, for the window tests.
#include "app/AppContext.h"
#include "app/TForm1.h"
#include "app/Widgets.h"
#include "install/TForm3.h"
#include "library/BallTag.h"
#include "platform/SettingsStore.h"
#include "support/FakeUserInterface.h"
#include "support/TempFolder.h"
#include "ui/TForm2.h"
#include "ui/TForm4.h"
#include "ui/TForm6.h"
#include "ui/TForm7.h"

#include <QtTest>
#include <QtWidgets>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto {
class Windows;
} // namespace orbisto

namespace orbisto::test {

// Settings keys: a version's install record (+ "2006"), a version's folder chosen in Settings (+ "2006"),
// the stored version choice and the language.
inline const std::string kInstallsKey = "\\Software\\Sports Interactive Ltd\\Installs\\Football Manager ";
inline const std::string kFolderKey = "\\SOFTWARE\\VESKO\\zvk3\\path\\fm";
inline const std::string kRadioKey = "\\SOFTWARE\\VESKO\\zvk3\\radio";
inline const std::string kLanguageKey = "\\SOFTWARE\\VESKO\\zvk\\Lang";

// The texts of a list's or a box's items, in order.
QStringList items(const QListWidget& list);
QStringList items(const HiddenList& list);
QStringList items(const QComboBox& box);
inline QString qtext(const std::string& text) {
    return QString::fromStdString(text);
}
inline QStringList qtexts(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts) {
        list << qtext(text);
    }
    return list;
}

// Pick as the player does: a click on a list's row (or the row with that text), or a click on a box's
// item in its drop-down.
void pick(QListWidget& list, int row);
void pick(QListWidget& list, const QString& text);
void pick(QComboBox& box, const QString& text);
// The same by the name an item keeps, byte for byte (a name that is not UTF-8 shows U+FFFD).
void pickName(QListWidget& list, std::string_view name);
void pickName(QComboBox& box, std::string_view name);
// The names a list's items keep, in order.
std::vector<std::string> names(const QListWidget& list);

// A program set up in temporary folders: its own program folder (AppFolder), a settings store,
// a working folder, and the fake user interface. start() creates the six windows as the program does.
class GuiFixture {
public:
    GuiFixture();
    ~GuiFixture();

    // Program folder, ending without a separator; AppFolder is this plus "/".
    fs::path appFolder() const { return temp / "app"; }
    fs::path settingsFolder() const { return temp / "settings"; }
    fs::path workingFolder() const { return temp / "work"; }
    // Where the program unpacks archives.
    fs::path tempFolder() const { return temp / "tmp"; }
    // A game install folder with its ball folders: <temp>/games/<name>/data/graphics/pitch/balls[/winter].
    fs::path makeGame(const std::string& name, bool withWinter = true) const;

    // Copies the shipped language files into the program folder.
    void installShippedLanguages() const;
    // Stores a text value as the program's (LocalMachine) or the game's (CurrentUser) setting.
    void storeMachine(const std::string& key, const std::string& name, const std::string& value);
    void storeUser(const std::string& key, const std::string& name, const std::string& value);
    // From now on every settings write is refused, as a locked-down registry refuses it (and reads find nothing).
    void refuseSettingsWrites() const;

    // Creates the windows (the main window's creation step included).
    TForm1& start();
    TForm1& main();

    TempFolder temp;
    std::unique_ptr<platform::SettingsStore> settings;
    FakeUserInterface ui;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<Windows> windows;
};

} // namespace orbisto::test
