#include "app/TForm1.h"
#include "app/UserInterface.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/SettingsStore.h"
#include "support/GuiFixture.h"
#include "ui/TForm4.h"

#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace orbisto;
using namespace orbisto::test;
using platform::Hive;

namespace {

const std::string kLanguageKey = "\\SOFTWARE\\VESKO\\zvk\\Lang";
const std::string kRadioKey = "\\SOFTWARE\\VESKO\\zvk3\\radio";

// A settings store that refuses writes of one value name, as a locked-down registry would.
class RefusingStore : public platform::SettingsStore {
public:
    explicit RefusingStore(platform::SettingsStore& inner) : inner_(inner) {}
    std::string readText(Hive hive, std::string_view key, std::string_view name) const override {
        return inner_.readText(hive, key, name);
    }
    void writeText(Hive hive, std::string_view key, std::string_view name, std::string_view value) override {
        if (name == refusedName) {
            throw SettingsWriteError(name);
        }
        inner_.writeText(hive, key, name, value);
    }
    std::string refusedName;

private:
    platform::SettingsStore& inner_;
};

// A program with the shipped languages, started in English.
struct SettingsProgram {
    explicit SettingsProgram(bool refusing = false) {
        f.installShippedLanguages();
        if (refusing) {
            f.context = std::make_unique<AppContext>(AppContext{refusingStore, platform::localFileSystem(), f.ui,
                                                                f.appFolder() / "orbisto", f.workingFolder()});
        }
        main = &f.start();
        form4 = f.context->forms.form4;
        f.ui.clear(); // start-up's own reports (no logo here) are not under test
    }
    std::string stored(const std::string& key, const std::string& name) const {
        return f.settings->readText(Hive::LocalMachine, key, name);
    }
    QStringList listed() const {
        QStringList names;
        for (int row = 0; row < form4->ListBox1->count(); ++row) {
            names << form4->ListBox1->item(row)->text();
        }
        return names;
    }
    void doubleClick(const QString& language) {
        const auto items = form4->ListBox1->findItems(language, Qt::MatchExactly);
        QVERIFY(items.size() == 1);
        const QPoint at = form4->ListBox1->visualItemRect(items.first()).center();
        QTest::mouseClick(form4->ListBox1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(form4->ListBox1->viewport(), Qt::LeftButton, {}, at);
    }

    GuiFixture f;
    RefusingStore refusingStore{*f.settings};
    TForm1* main = nullptr;
    TForm4* form4 = nullptr;
};

// Runs `step` on the next modal window of type W that opens (polled from the event loop).
template <typename W> void onNextModal(std::function<void(W*)> step) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        if (auto* window = qobject_cast<W*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            step(window);
        }
    });
    timer->start();
}

} // namespace

class SettingsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void openings_changeDisabledEachLanguageOnce_listEmptiedAfter();
    void create_labelsShowFoldersAndCurrentLanguage();
    void doubleClickLanguage_appliedAtOnceAndStored();
    void changeWithoutPickInThisOpening_ignored();
    void refusedLanguageStore_mainWindowChangedNothingStored();
    void folderButton_storesFallbackShowsMessageEndsProgram_data();
    void folderButton_storesFallbackShowsMessageEndsProgram();
    void cancelledChooser_changesNothing();
    void refusedFolderStore_errorShownProgramStaysOpen();
    void realChooser_typedMissingFolder_confirmNoStaysYesCreates();
};

void SettingsWindowTest::openings_changeDisabledEachLanguageOnce_listEmptiedAfter() {
    SettingsProgram p;
    writeFile(p.f.appFolder() / "Languages/Deutsch.old.ini", "[lang]\n");
    QList<QStringList> lists;
    QList<bool> changeEnabled;
    p.f.ui.onModal = [&](QDialog&) {
        lists << p.listed();
        // Focus makes the first item current, which is not a pick.
        QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(p.form4->ListBox1, &focus);
        changeEnabled << p.form4->JvXPButton1->isEnabled();
        p.form4->ListBox1->setCurrentRow(2);
        changeEnabled << p.form4->JvXPButton1->isEnabled();
    };
    p.main->settingsClick();
    QCOMPARE(p.form4->ListBox1->count(), 0);
    QVERIFY(!p.form4->JvXPButton1->isEnabled());
    p.main->settingsClick();

    const QStringList expected{"Deutsch", "Deutsch.old", "English", "Polski"};
    QCOMPARE(lists, (QList<QStringList>{expected, expected}));
    // Disabled at each opening, enabled by a pick.
    QCOMPARE(changeEnabled, (QList<bool>{false, true, false, true}));
    QCOMPARE(p.f.ui.modalsShown, (QStringList{"Form4", "Form4"}));
    QCOMPARE(p.form4->windowTitle(), QString("Settings"));
    QCOMPARE(p.form4->GroupBox31->title(), QString("Game folders"));
}

void SettingsWindowTest::create_labelsShowFoldersAndCurrentLanguage() {
    GuiFixture f;
    f.installShippedLanguages();
    const std::string game = f.makeGame("FM7").string();
    f.storeMachine("\\SOFTWARE\\VESKO\\zvk3\\path\\fm2007", "Path", game);
    f.storeMachine(kLanguageKey, "lang", "Deutsch");
    f.start();
    TForm4& form4 = *f.context->forms.form4;

    QCOMPARE(form4.label11->text(), QString());
    QCOMPARE(form4.label13->text(), QString::fromStdString(game));
    QCOMPARE(form4.Label3->text(), QString("Deutsch"));
    QCOMPARE(form4.Label4->text(), QString("Orbisto-Team (deutsche Übersetzung)"));
    QCOMPARE(form4.Label5->text(), QString("FM 2005:")); // its own Label5, not the main window's
}

void SettingsWindowTest::doubleClickLanguage_appliedAtOnceAndStored() {
    SettingsProgram p;
    p.f.ui.onModal = [&](QDialog&) {
        p.doubleClick("Polski");
        QCOMPARE(p.main->install->text(), QString("Instaluj"));
        QCOMPARE(p.form4->windowTitle(), QString("Ustawienia"));
        QCOMPARE(p.form4->GroupBox31->title(), QString("Foldery gry"));
        QCOMPARE(p.form4->Label3->text(), QString("Polski"));
        QVERIFY(p.form4->isVisible()); // the window stays open
        if (const QString folder = qEnvironmentVariable("ORBISTO_SCREENSHOT_DIR"); !folder.isEmpty()) {
            p.form4->grab().save(folder + "/settings-Polski.png");
        }
    };
    p.main->settingsClick();

    QCOMPARE(p.main->Label5->text(), QString("Polski"));
    QCOMPARE(p.main->state().redmsg, std::string("Piłka została zainstalowana."));
    QCOMPARE(p.stored(kLanguageKey, "lang"), std::string("Polski"));
    QVERIFY(p.f.ui.messages.empty());
}

void SettingsWindowTest::changeWithoutPickInThisOpening_ignored() {
    SettingsProgram p;
    p.f.ui.onModal = [&](QDialog&) {
        p.form4->ListBox1->setCurrentRow(3); // Polski picked, not applied
    };
    p.main->settingsClick();
    p.f.ui.onModal = [&](QDialog&) {
        p.form4->JvXPButton1Click();
        p.form4->ListBox1DblClick();
    };
    p.main->settingsClick();

    QCOMPARE(p.main->Label5->text(), QString("English"));
    QCOMPARE(p.main->install->text(), QString("Install"));
    QCOMPARE(p.stored(kLanguageKey, "lang"), std::string());
}

void SettingsWindowTest::refusedLanguageStore_mainWindowChangedNothingStored() {
    SettingsProgram p(true);
    p.refusingStore.refusedName = "lang";
    p.f.ui.onModal = [&](QDialog&) {
        p.form4->ListBox1->setCurrentRow(0);
        QTest::mouseClick(p.form4->JvXPButton1, Qt::LeftButton);
    };
    p.main->settingsClick();

    QCOMPARE(p.f.ui.errors(), QStringList{"Failed to set data for 'lang'"});
    QCOMPARE(p.main->Label5->text(), QString("Deutsch"));
    QCOMPARE(p.main->install->text(), QString("Installieren"));
    QCOMPARE(p.form4->windowTitle(), QString("Settings")); // the last step did not run
    QCOMPARE(p.stored(kLanguageKey, "lang"), std::string());
}

void SettingsWindowTest::folderButton_storesFallbackShowsMessageEndsProgram_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("version");
    QTest::newRow("FM 2005") << "JvXPButton2"
                             << "label11"
                             << "fm2005";
    QTest::newRow("FM 2006") << "JvXPButton3"
                             << "label12"
                             << "fm2006";
    QTest::newRow("FM 2007") << "JvXPButton4"
                             << "label13"
                             << "fm2007";
}

void SettingsWindowTest::folderButton_storesFallbackShowsMessageEndsProgram() {
    QFETCH(QString, button);
    QFETCH(QString, label);
    QFETCH(QString, version);
    SettingsProgram p;
    p.main->show();
    const QString chosen = QString::fromStdString((p.f.temp / "Games/FM").string());
    p.f.ui.folderAnswers.push_back(chosen);
    QString labelWhileMessage;
    p.f.ui.onModal = [&](QDialog&) {
        QTest::mouseClick(p.form4->findChild<QPushButton*>(button), Qt::LeftButton);
        labelWhileMessage = p.form4->findChild<QLabel*>(label)->text();
        QVERIFY(!p.form4->isVisible());
    };
    p.main->settingsClick();

    const std::string key = "\\SOFTWARE\\VESKO\\zvk3\\path\\" + version.toStdString();
    QCOMPARE(p.stored(key, "Path"), chosen.toStdString());
    QCOMPARE(labelWhileMessage, chosen);
    const SharedState& s = p.main->state();
    const std::string& folder = version == "fm2005"   ? s.Fm2005Folder
                                : version == "fm2006" ? s.Fm2006Folder
                                                      : s.Fm2007Folder;
    QCOMPARE(folder, chosen.toStdString());
    QCOMPARE(p.f.ui.informations(), QStringList{QString::fromStdString(s.resmsg)});
    QVERIFY(!s.resmsg.empty());
    // The program ends: the main window has closed and stored its version choice.
    QVERIFY(!p.main->isVisible());
    QCOMPARE(p.stored(kRadioKey, "value"), std::string("2006"));
}

void SettingsWindowTest::cancelledChooser_changesNothing() {
    SettingsProgram p;
    p.main->show();
    p.f.ui.onModal = [&](QDialog&) {
        QTest::mouseClick(p.form4->JvXPButton3, Qt::LeftButton);
        QVERIFY(p.form4->isVisible());
    };
    p.main->settingsClick();

    QCOMPARE(p.f.ui.folderRequests, 1);
    QCOMPARE(p.form4->label12->text(), QString());
    QCOMPARE(p.stored("\\SOFTWARE\\VESKO\\zvk3\\path\\fm2006", "Path"), std::string());
    QVERIFY(p.f.ui.messages.empty());
    QVERIFY(p.main->isVisible());
}

void SettingsWindowTest::refusedFolderStore_errorShownProgramStaysOpen() {
    SettingsProgram p(true);
    p.refusingStore.refusedName = "Path";
    p.main->show();
    p.f.ui.folderAnswers.push_back(QStringLiteral("/games/fm"));
    p.f.ui.onModal = [&](QDialog&) { QTest::mouseClick(p.form4->JvXPButton2, Qt::LeftButton); };
    p.main->settingsClick();

    QCOMPARE(p.f.ui.errors(), QStringList{"Failed to set data for 'Path'"});
    QVERIFY(p.f.ui.informations().isEmpty());
    QCOMPARE(p.form4->label11->text(), QString());
    QVERIFY(p.main->state().Fm2005Folder.empty());
    QVERIFY(p.main->isVisible());
}

void SettingsWindowTest::realChooser_typedMissingFolder_confirmNoStaysYesCreates() {
    TempFolder temp;
    const QString typed = QString::fromStdString((temp / "new/nested/FM 2006").string());
    const auto ui = makeQtUserInterface();
    QStringList seen;
    bool createdBeforeYes = false;

    // Type the folder and press OK; answer No; press OK again; answer Yes.
    onNextModal<QFileDialog>([&](QFileDialog* chooser) {
        seen << chooser->windowTitle();
        chooser->findChild<QLineEdit*>("fileNameEdit")->setText(typed);
        onNextModal<QMessageBox>([&, chooser](QMessageBox* box) {
            seen << box->windowTitle() << box->text();
            onNextModal<QFileDialog>([&](QFileDialog* again) {
                createdBeforeYes = QFileInfo::exists(typed);
                onNextModal<QMessageBox>([](QMessageBox* second) { second->button(QMessageBox::Yes)->click(); });
                QMetaObject::invokeMethod(again, "accept", Qt::QueuedConnection);
            });
            box->button(QMessageBox::No)->click();
        });
        QMetaObject::invokeMethod(chooser, "accept", Qt::QueuedConnection);
    });
    // Should a step not be reached, close what is open instead of waiting for ever.
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (QWidget* open = QApplication::activeModalWidget()) {
            open->close();
        }
    });
    watchdog.start(10000);
    const std::optional<QString> chosen = ui->chooseFolder(nullptr);

    QCOMPARE(seen, (QStringList{"Select Directory", "Confirm", "The specified directory does not exist. Create it?"}));
    QVERIFY(!createdBeforeYes);
    QVERIFY(chosen.has_value());
    QCOMPARE(QDir::cleanPath(*chosen), QDir::cleanPath(typed));
    QVERIFY(QFileInfo(typed).isDir());
}

QTEST_MAIN(SettingsWindowTest)
#include "SettingsWindowTest.moc"
