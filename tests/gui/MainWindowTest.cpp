#include "app/ProgramIcon.h"
#include "support/GuiFixture.h"

#include <tuple>

using namespace orbisto;
using namespace orbisto::test;

namespace {

QString readRadio(GuiFixture& fixture) {
    return QString::fromStdString(fixture.settings->readText(platform::Hive::LocalMachine, kRadioKey, "value"));
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
    void startup_titleAndEveryControlAtItsPlace() {
        GuiFixture fixture;
        TForm1& form = fixture.start();
        QCOMPARE(form.windowTitle(), QString("Orbisto 3.0"));
        QCOMPARE(form.state().AppFolder, fixture.appFolder().string() + "/");
        QVERIFY(form.Timer1->isActive());
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
            QVERIFY2(place.rect.width() == 0 || widget->width() == place.rect.width(), place.name);
            QVERIFY2(place.rect.height() == 0 || widget->height() == place.rect.height(), place.name);
        }
        for (const char* hidden : {"JvXPButton1", "ListBox1", "ListBox2", "new", "Label5"}) {
            auto* widget = form.findChild<QWidget*>(hidden);
            QVERIFY2(widget && widget->isHidden(), hidden);
        }
        QVERIFY(form.rbn->isChecked() && !form.cbinstall->isChecked() && form.brand->isEditable());
        QCOMPARE(QList<int>({form.TrackBar1->minimum(), form.TrackBar1->maximum(), form.TrackBar1->value()}),
                 QList<int>({1, 5, 1}));
    }

    // Settings as "name=value": 2005, 2006, 2007 and "2007 Gold Demo" are the game's keys, fm2005, fm2006 and
    // fm2007 the fall-back keys, radio the stored choice. Shown: each version button (X checked, x checked but
    // disabled, o enabled, - disabled), GameFolder, the three folders and the version stored at close.
    void versions_foundStoredAndFallBack() {
        const QStringList two{"2005=/g/a", "2006=/g/b"};
        const QStringList three = two + QStringList{"2007 Gold Demo=/g/c"};
        const std::pair<QStringList, const char*> cases[] = {
            {{}, "-x- [] [||] stored 2006"},
            {{"2005=/g/a"}, "X-- [/g/a] [/g/a||] stored 2005"},
            {three, "ooX [/g/c] [/g/a|/g/b|/g/c] stored 2007"},
            {three + QStringList{"radio=2006"}, "oXo [/g/b] [/g/a|/g/b|/g/c] stored 2006"},
            {two + QStringList{"radio=2005 "}, "oX- [/g/b] [/g/a|/g/b|] stored 2006"},
            {{"2006=/g/b", "radio=2007"}, "-ox [/g/b] [|/g/b|] stored 2007"},
            {{"2006=/g/b", "fm2006=/g/x", "fm2005=/g/a"}, "oX- [/g/b] [/g/a|/g/b|] stored 2006"},
            {{"2007 Gold Demo=/g/demo", "fm2007=/g/hand"}, "--X [/g/demo] [||/g/demo] stored 2007"},
            {{"2007=/g/full", "2007 Gold Demo=/g/demo"}, "--X [/g/full] [||/g/full] stored 2007"},
        };
        for (const auto& [settings, expected] : cases) {
            GuiFixture fixture;
            for (const QString& setting : settings) {
                const std::string name = setting.section('=', 0, 0).toStdString();
                const std::string value = setting.section('=', 1).toStdString();
                if (name == "radio") {
                    fixture.storeMachine(kRadioKey, "value", value);
                } else if (name.starts_with("fm")) {
                    fixture.storeMachine(kFolderKey + name.substr(2), "Path", value);
                } else {
                    fixture.storeUser(kInstallsKey + name, "Path", value);
                }
            }
            TForm1& form = fixture.start();
            const SharedState& s = form.state();
            QString shown;
            for (const QRadioButton* button : {form.rb2005, form.rb2006, form.rb2007}) {
                shown += button->isChecked() ? (button->isEnabled() ? 'X' : 'x') : (button->isEnabled() ? 'o' : '-');
            }
            shown +=
                qtext(" [" + s.GameFolder + "] [" + s.Fm2005Folder + "|" + s.Fm2006Folder + "|" + s.Fm2007Folder + "]");
            form.close();
            QCOMPARE(settings.join(", ") + ": " + shown + " stored " + readRadio(fixture),
                     settings.join(", ") + ": " + expected);
        }
    }

    void close_refusedWriteReportedAndStillCloses() {
        GuiFixture fixture;
        fixture.storeUser(kInstallsKey + "2006", "Path", "/g/b");
        TForm1& form = fixture.start();
        form.show();
        fixture.ui.clear(); // start-up reported the missing logo
        fixture.refuseSettingsWrites();
        form.close();
        QVERIFY(!form.isVisible());
        QCOMPARE(fixture.ui.errors(), QStringList{"Failed to set data for 'value'"});
    }

    void logo_missingReportedAndStartupGoesOn_workingFolderFirst() {
        // Logo in the program folder, in the working folder; the picture's size then; errors shown.
        const std::tuple<bool, bool, QSize, int> cases[] = {
            {false, false, QSize(0, 0), 1}, {true, false, QSize(145, 297), 0}, {true, true, QSize(20, 30), 0}};
        for (const auto& [inProgram, inWorking, size, errors] : cases) {
            GuiFixture fixture;
            fixture.storeUser(kInstallsKey + "2006", "Path", "/g/b");
            if (inProgram) {
                writeJpeg(fixture.appFolder() / "logo.jpg", 145, 297);
            }
            if (inWorking) {
                writeJpeg(fixture.workingFolder() / "logo.jpg", 20, 30);
            }
            TForm1& form = fixture.start();
            QCOMPARE(fixture.ui.errors().size(), errors);
            QCOMPARE(form.Image1->picture().size(), size);
            QCOMPARE(form.state().GameFolder, std::string("/g/b")); // start-up goes on without a logo
        }
    }

    // The icon is built into the program; every window and message box shows the application's icon.
    void icon_theShippedBallAtEachSize() {
        GuiFixture fixture;
        TForm1& form = fixture.start();
        for (const int size : kProgramIconSizes) {
            const auto file =
                fs::path(ORBISTO_SOURCE_DIR) / "data/icons" / ("orbisto-" + std::to_string(size) + ".png");
            // Icons are drawn premultiplied, so both sides are compared that way.
            const QImage shipped =
                QImage(QString::fromStdString(file.string())).convertToFormat(QImage::Format_ARGB32_Premultiplied);
            const QImage shown = form.windowIcon().pixmap(QSize(size, size)).toImage();
            QVERIFY2(!shipped.isNull() && shown.convertToFormat(QImage::Format_ARGB32_Premultiplied) == shipped,
                     qPrintable(QString::number(size)));
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
