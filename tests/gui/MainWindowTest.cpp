#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QtTest>

#include "app/TForm1.h"
#include "app/Widgets.h"
#include "platform/Errors.h"
#include "platform/SettingsStore.h"
#include "support/GuiFixture.h"

using namespace orbisto;
using namespace orbisto::test;

namespace {

const std::string kGame2005 = "\\Software\\Sports Interactive Ltd\\Installs\\Football Manager 2005";
const std::string kGame2006 = "\\Software\\Sports Interactive Ltd\\Installs\\Football Manager 2006";
const std::string kGame2007 = "\\Software\\Sports Interactive Ltd\\Installs\\Football Manager 2007";
const std::string kGame2007Demo = "\\Software\\Sports Interactive Ltd\\Installs\\Football Manager 2007 Gold Demo";
const std::string kFallback2005 = "\\SOFTWARE\\VESKO\\zvk3\\path\\fm2005";
const std::string kFallback2006 = "\\SOFTWARE\\VESKO\\zvk3\\path\\fm2006";
const std::string kFallback2007 = "\\SOFTWARE\\VESKO\\zvk3\\path\\fm2007";
const std::string kRadio = "\\SOFTWARE\\VESKO\\zvk3\\radio";

QString checkedVersion(TForm1& form) {
    if (form.rb2005->isChecked()) {
        return "2005";
    }
    if (form.rb2006->isChecked()) {
        return "2006";
    }
    return form.rb2007->isChecked() ? "2007" : "";
}

QString enabledVersions(TForm1& form) {
    QString result;
    result += form.rb2005->isEnabled() ? "5" : "-";
    result += form.rb2006->isEnabled() ? "6" : "-";
    result += form.rb2007->isEnabled() ? "7" : "-";
    return result;
}

void writeJpeg(const fs::path& file, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(10, 120, 200));
    fs::create_directories(file.parent_path());
    QVERIFY(image.save(QString::fromStdString(file.string()), "JPG"));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startup_sixWindowsAndTitle();
    void layout_everyControlAtItsPlace();
    void versions_noneFound_allDisabledAnd2006Checked();
    void versions_only2005_checkedAndOthersDisabled();
    void versions_allThreeNothingStored_2007Checked();
    void versions_stored2006_winsOverLastFound();
    void versions_storedTextMatchesExactly_data();
    void versions_storedTextMatchesExactly();
    void versions_storedVersionWithoutFolder_checkedButGameFolderKept();
    void versions_gameKeyBeatsFallback();
    void versions_fm2007Keys_data();
    void versions_fm2007Keys();
    void close_storesCheckedVersion();
    void close_refusedWrite_reportedAndStillCloses();
    void logo_missing_reportedAndStartupGoesOn();
    void logo_workingFolderFirstThenProgramFolder();
    void guard_errorShownWithFullStopAndHandlerEnds();
};

void MainWindowTest::startup_sixWindowsAndTitle() {
    GuiFixture fixture;
    TForm1& form = fixture.start();
    QCOMPARE(form.windowTitle(), QString("Orbisto 3.0"));
    const Forms& forms = fixture.context->forms;
    QVERIFY(forms.form1 && forms.form2 && forms.form3 && forms.form4 && forms.form6 && forms.form7);
    QCOMPARE(form.state().AppFolder, fixture.appFolder().string() + "/");
    QVERIFY(form.Timer1->isActive());
    QCOMPARE(form.Timer1->interval(), 120);
}

void MainWindowTest::layout_everyControlAtItsPlace() {
    GuiFixture fixture;
    TForm1& form = fixture.start();
    QCOMPARE(form.size(), QSize(609, 297));

    struct Place {
        const char* name;
        const char* parent;
        QRect rect; // width or height 0: not fixed by the layout
    };
    const Place places[] = {
        {"Image1", "Form1", {0, 0, 145, 297}},        {"Image2", "Form1", {32, 208, 49, 33}},
        {"GroupBox1", "Form1", {152, 0, 241, 73}},    {"rb2005", "GroupBox1", {8, 16, 113, 17}},
        {"rb2006", "GroupBox1", {8, 32, 113, 17}},    {"rb2007", "GroupBox1", {8, 48, 113, 17}},
        {"prevs", "GroupBox1", {120, 44, 113, 0}},    {"GroupBox2", "Form1", {152, 80, 241, 121}},
        {"install", "GroupBox2", {8, 16, 137, 25}},   {"rbn", "GroupBox2", {8, 48, 145, 17}},
        {"rbw", "GroupBox2", {8, 64, 145, 17}},       {"rbnaw", "GroupBox2", {8, 80, 185, 17}},
        {"cbinstall", "GroupBox2", {8, 96, 145, 17}}, {"GroupBox3", "GroupBox2", {160, 16, 65, 41}},
        {"Image3", "GroupBox3", {24, 16, 17, 17}},    {"TrackBar1", "GroupBox2", {160, 64, 65, 41}},
        {"GroupBox4", "Form1", {152, 208, 241, 41}},  {"Label3", "GroupBox4", {8, 16, 0, 0}},
        {"Image4", "GroupBox4", {216, 16, 17, 17}},   {"GroupBox5", "Form1", {152, 256, 241, 41}},
        {"Label4", "GroupBox5", {8, 16, 0, 0}},       {"Image5", "GroupBox5", {216, 16, 17, 17}},
        {"GroupBox6", "Form1", {400, 0, 209, 161}},   {"brand", "GroupBox6", {8, 16, 113, 0}},
        {"lista", "GroupBox6", {8, 48, 193, 89}},     {"Label1", "GroupBox6", {8, 144, 0, 0}},
        {"Label2", "GroupBox6", {32, 144, 0, 0}},     {"GroupBox8", "Form1", {400, 168, 209, 49}},
        {"add", "GroupBox8", {8, 16, 193, 25}},       {"GroupBox7", "Form1", {400, 216, 209, 81}},
        {"settings", "GroupBox7", {8, 16, 193, 25}},  {"about", "GroupBox7", {8, 48, 89, 25}},
        {"help", "GroupBox7", {112, 48, 89, 25}},
    };
    for (const Place& place : places) {
        auto* widget = form.findChild<QWidget*>(place.name);
        QVERIFY2(widget, place.name);
        QCOMPARE(widget->parentWidget()->objectName(), QString(place.parent));
        QCOMPARE(widget->pos(), place.rect.topLeft());
        if (place.rect.width() > 0) {
            QCOMPARE(widget->width(), place.rect.width());
        }
        if (place.rect.height() > 0) {
            QCOMPARE(widget->height(), place.rect.height());
        }
    }
    for (const char* hidden : {"JvXPButton1", "ListBox1", "ListBox2", "new", "Label5"}) {
        auto* widget = form.findChild<QWidget*>(hidden);
        QVERIFY2(widget, hidden);
        QVERIFY2(widget->isHidden(), hidden);
    }
    QVERIFY(form.rbn->isChecked());
    QVERIFY(!form.cbinstall->isChecked());
    QCOMPARE(form.TrackBar1->minimum(), 1);
    QCOMPARE(form.TrackBar1->maximum(), 5);
    QCOMPARE(form.TrackBar1->value(), 1);
    QVERIFY(form.brand->isEditable());
}

void MainWindowTest::versions_noneFound_allDisabledAnd2006Checked() {
    GuiFixture fixture;
    TForm1& form = fixture.start();
    QCOMPARE(checkedVersion(form), QString("2006"));
    QCOMPARE(enabledVersions(form), QString("---"));
    QVERIFY(form.state().GameFolder.empty());
}

void MainWindowTest::versions_only2005_checkedAndOthersDisabled() {
    GuiFixture fixture;
    const auto game = fixture.makeGame("fm5").string();
    fixture.storeUser(kGame2005, "Path", game);
    TForm1& form = fixture.start();
    QCOMPARE(checkedVersion(form), QString("2005"));
    QCOMPARE(enabledVersions(form), QString("5--"));
    QCOMPARE(form.state().GameFolder, game);
    QCOMPARE(form.state().Fm2005Folder, game);
}

void MainWindowTest::versions_allThreeNothingStored_2007Checked() {
    GuiFixture fixture;
    fixture.storeUser(kGame2005, "Path", "/games/a");
    fixture.storeUser(kGame2006, "Path", "/games/b");
    fixture.storeUser(kGame2007Demo, "Path", "/games/c");
    TForm1& form = fixture.start();
    QCOMPARE(checkedVersion(form), QString("2007"));
    QCOMPARE(enabledVersions(form), QString("567"));
    QCOMPARE(form.state().GameFolder, std::string("/games/c"));
}

void MainWindowTest::versions_stored2006_winsOverLastFound() {
    GuiFixture fixture;
    fixture.storeUser(kGame2005, "Path", "/games/a");
    fixture.storeUser(kGame2006, "Path", "/games/b");
    fixture.storeUser(kGame2007Demo, "Path", "/games/c");
    fixture.storeMachine(kRadio, "value", "2006");
    TForm1& form = fixture.start();
    QCOMPARE(checkedVersion(form), QString("2006"));
    QCOMPARE(form.state().GameFolder, std::string("/games/b"));
}

void MainWindowTest::versions_storedTextMatchesExactly_data() {
    QTest::addColumn<QString>("stored");
    QTest::newRow("trailing blank") << "2005 ";
    QTest::newRow("key name") << "fm2005";
    QTest::newRow("empty") << "";
}

void MainWindowTest::versions_storedTextMatchesExactly() {
    QFETCH(QString, stored);
    GuiFixture fixture;
    fixture.storeUser(kGame2005, "Path", "/games/a");
    fixture.storeUser(kGame2006, "Path", "/games/b");
    fixture.storeMachine(kRadio, "value", stored.toStdString());
    TForm1& form = fixture.start();
    QCOMPARE(checkedVersion(form), QString("2006"));
    QCOMPARE(form.state().GameFolder, std::string("/games/b"));
}

void MainWindowTest::versions_storedVersionWithoutFolder_checkedButGameFolderKept() {
    GuiFixture fixture;
    fixture.storeUser(kGame2006, "Path", "/games/b");
    fixture.storeMachine(kRadio, "value", "2007");
    TForm1& form = fixture.start();
    QCOMPARE(checkedVersion(form), QString("2007"));
    QVERIFY(!form.rb2007->isEnabled());
    QCOMPARE(form.state().GameFolder, std::string("/games/b"));

    form.close();
    QCOMPARE(fixture.settings->readText(platform::Hive::LocalMachine, kRadio, "value"), std::string("2007"));
}

void MainWindowTest::versions_gameKeyBeatsFallback() {
    GuiFixture fixture;
    fixture.storeUser(kGame2006, "Path", "/games/own");
    fixture.storeMachine(kFallback2006, "Path", "/games/by-hand");
    fixture.storeMachine(kFallback2005, "Path", "/games/only-by-hand");
    TForm1& form = fixture.start();
    QCOMPARE(form.state().Fm2006Folder, std::string("/games/own"));
    QCOMPARE(form.state().Fm2005Folder, std::string("/games/only-by-hand"));
    QCOMPARE(checkedVersion(form), QString("2006"));
}

void MainWindowTest::versions_fm2007Keys_data() {
    QTest::addColumn<QString>("fullGame");
    QTest::addColumn<QString>("demo");
    QTest::addColumn<QString>("fallback");
    QTest::addColumn<QString>("expected");
    QTest::newRow("full game") << "/g/full" << "" << "/g/hand" << "/g/full";
    QTest::newRow("demo") << "" << "/g/demo" << "/g/hand" << "/g/demo";
    QTest::newRow("full game before demo") << "/g/full" << "/g/demo" << "" << "/g/full";
    QTest::newRow("fall-back only") << "" << "" << "/g/hand" << "/g/hand";
}

void MainWindowTest::versions_fm2007Keys() {
    QFETCH(QString, fullGame);
    QFETCH(QString, demo);
    QFETCH(QString, fallback);
    QFETCH(QString, expected);
    GuiFixture fixture;
    if (!fullGame.isEmpty()) {
        fixture.storeUser(kGame2007, "Path", fullGame.toStdString());
    }
    if (!demo.isEmpty()) {
        fixture.storeUser(kGame2007Demo, "Path", demo.toStdString());
    }
    if (!fallback.isEmpty()) {
        fixture.storeMachine(kFallback2007, "Path", fallback.toStdString());
    }
    TForm1& form = fixture.start();
    QCOMPARE(QString::fromStdString(form.state().Fm2007Folder), expected);
    QCOMPARE(checkedVersion(form), QString("2007"));
}

void MainWindowTest::close_storesCheckedVersion() {
    GuiFixture fixture;
    fixture.storeUser(kGame2005, "Path", "/games/a");
    fixture.storeUser(kGame2006, "Path", "/games/b");
    TForm1& form = fixture.start();
    form.show();
    fixture.ui.clear(); // start-up reported the missing logo
    form.rb2005->click();
    QCOMPARE(form.state().GameFolder, std::string("/games/a"));
    form.close();
    QVERIFY(!form.isVisible());
    QCOMPARE(fixture.settings->readText(platform::Hive::LocalMachine, kRadio, "value"), std::string("2005"));
    QVERIFY(fixture.ui.errors().isEmpty());
}

void MainWindowTest::close_refusedWrite_reportedAndStillCloses() {
    GuiFixture fixture;
    TForm1& form = fixture.start();
    form.show();
    fixture.ui.clear(); // start-up reported the missing logo
    // The store's folder becomes a plain file: nothing can be written there any more.
    fs::remove_all(fixture.settingsFolder());
    writeFile(fixture.settingsFolder(), std::string_view("not a folder"));
    form.close();
    QVERIFY(!form.isVisible());
    QCOMPARE(fixture.ui.errors(), QStringList{"Failed to set data for 'value'"});
}

void MainWindowTest::logo_missing_reportedAndStartupGoesOn() {
    GuiFixture fixture;
    fixture.storeUser(kGame2006, "Path", "/games/b");
    TForm1& form = fixture.start();
    QCOMPARE(fixture.ui.errors().size(), 1);
    QCOMPARE(form.state().GameFolder, std::string("/games/b"));
    QCOMPARE(form.state().AppFolder, fixture.appFolder().string() + "/");
    QVERIFY(form.Image1->picture().isNull());
}

void MainWindowTest::logo_workingFolderFirstThenProgramFolder() {
    {
        GuiFixture fixture;
        writeJpeg(fixture.appFolder() / "logo.jpg", 145, 297);
        TForm1& form = fixture.start();
        QVERIFY(fixture.ui.errors().isEmpty());
        QCOMPARE(form.Image1->picture().size(), QSize(145, 297));
    }
    {
        GuiFixture fixture;
        writeJpeg(fixture.appFolder() / "logo.jpg", 145, 297);
        writeJpeg(fixture.workingFolder() / "logo.jpg", 20, 30);
        TForm1& form = fixture.start();
        QCOMPARE(form.Image1->picture().size(), QSize(20, 30));
    }
}

void MainWindowTest::guard_errorShownWithFullStopAndHandlerEnds() {
    GuiFixture fixture;
    TForm1& form = fixture.start();
    fixture.ui.clear();
    bool reachedEnd = false;
    const bool ok = form.guard([&] {
        throw IoError(2);
        reachedEnd = true; // never reached: the handler ends at the error
    });
    QVERIFY(!ok);
    QVERIFY(!reachedEnd);
    QCOMPARE(fixture.ui.errors(), QStringList{"File not found."});
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
