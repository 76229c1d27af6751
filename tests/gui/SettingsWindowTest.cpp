#include "app/TForm1.h"
#include "app/UserInterface.h"
#include "app/Widgets.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/SettingsStore.h"
#include "support/GuiFixture.h"
#include "ui/TForm4.h"

#include <QApplication>
#include <QFileDialog>
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

// The settings key of a game folder (0: FM 2005, 1: FM 2006, 2: FM 2007).
std::string folderKey(int version) {
    return "\\SOFTWARE\\VESKO\\zvk3\\path\\fm200" + std::to_string(5 + version);
}

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

// A program with the shipped languages, started in English (after `before`), its settings behind a RefusingStore.
struct SettingsProgram {
    explicit SettingsProgram(const std::function<void(GuiFixture&)>& before = {}) {
        f.installShippedLanguages();
        if (before) {
            before(f);
        }
        f.context = std::make_unique<AppContext>(
            AppContext{refusingStore, platform::localFileSystem(), f.ui, f.appFolder() / "orbisto", f.workingFolder()});
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
    void openings_changeOnlyAfterAPickInThisOpening_eachLanguageOnce_listEmptiedAfter();
    void applyLanguage_changesWindowsAtOnce_storedUnlessRefused_data();
    void applyLanguage_changesWindowsAtOnce_storedUnlessRefused();
    void folderButton_storedFolderEndsProgram_cancelOrRefusalChangesNothing_data();
    void folderButton_storedFolderEndsProgram_cancelOrRefusalChangesNothing();
    void realChooser_typedMissingFolder_confirmNoStaysYesCreates();
};

void SettingsWindowTest::openings_changeOnlyAfterAPickInThisOpening_eachLanguageOnce_listEmptiedAfter() {
    SettingsProgram p;
    writeFile(p.f.appFolder() / "Languages/Deutsch.old.ini", "[lang]\n");
    QList<QStringList> lists;
    QList<bool> changeEnabled;
    p.f.ui.onModal = [&](QDialog&) {
        lists << p.listed();
        // Focus makes the first item current, which is not a pick; a pick in an earlier opening is none either.
        QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(p.form4->ListBox1, &focus);
        changeEnabled << p.form4->JvXPButton1->isEnabled();
        p.form4->JvXPButton1Click();
        p.form4->ListBox1DblClick();
        pick(*p.form4->ListBox1, 3); // Polski picked, not applied
        changeEnabled << p.form4->JvXPButton1->isEnabled();
    };
    p.main->settingsClick();
    QCOMPARE(p.form4->ListBox1->count(), 0);
    QVERIFY(!p.form4->JvXPButton1->isEnabled());
    p.main->settingsClick();

    const QStringList expected{"Deutsch", "Deutsch.old", "English", "Polski"};
    QCOMPARE(lists, (QList<QStringList>{expected, expected}));
    QCOMPARE(changeEnabled, (QList<bool>{false, true, false, true}));
    QCOMPARE(p.main->Label5->text(), QString("English"));
    QCOMPARE(p.main->install->text(), QString("Install"));
    QCOMPARE(p.stored(kLanguageKey, "lang"), std::string());
}

void SettingsWindowTest::applyLanguage_changesWindowsAtOnce_storedUnlessRefused_data() {
    QTest::addColumn<bool>("refused");
    QTest::newRow("double click, stored") << false;
    QTest::newRow("Change, store refused") << true;
}

void SettingsWindowTest::applyLanguage_changesWindowsAtOnce_storedUnlessRefused() {
    QFETCH(bool, refused);
    SettingsProgram p;
    p.refusingStore.refusedName = refused ? "lang" : "";
    QString installWhileOpen;
    p.f.ui.onModal = [&](QDialog&) {
        QListWidget* list = p.form4->ListBox1;
        QCOMPARE(p.form4->Label3->text(), QString("English"));
        QCOMPARE(list->item(2)->text(), QString("Polski"));
        const QPoint polski = list->visualItemRect(list->item(2)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, polski);
        if (refused) {
            QTest::mouseClick(p.form4->JvXPButton1, Qt::LeftButton);
        } else {
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, polski);
        }
        installWhileOpen = p.main->install->text();
        QVERIFY(p.form4->isVisible());
    };
    p.main->settingsClick();

    QCOMPARE(installWhileOpen, QString("Instaluj"));
    QCOMPARE(p.main->Label5->text(), QString("Polski"));
    QCOMPARE(p.main->state().redmsg, std::string("Piłka została zainstalowana."));
    QCOMPARE(p.stored(kLanguageKey, "lang"), refused ? std::string() : std::string("Polski"));
    QCOMPARE(p.f.ui.errors(), refused ? QStringList{"Failed to set data for 'lang'"} : QStringList());
    // A refused store ends the step before the settings window's own texts change.
    QCOMPARE(p.form4->windowTitle(), refused ? QString("Settings") : QString("Ustawienia"));
    if (!refused) {
        QCOMPARE(p.form4->Label3->text(), QString("Polski"));
        QCOMPARE(p.form4->Label4->text(), QString("Zespół Orbisto (tłumaczenie polskie)"));
    }
    QCOMPARE(p.form4->Label5->text(), QString("FM 2005:")); // its own Label5, not the main window's
}

void SettingsWindowTest::folderButton_storedFolderEndsProgram_cancelOrRefusalChangesNothing_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<bool>("refused");
    QTest::newRow("FM 2005") << 0 << true << false;
    QTest::newRow("FM 2006") << 1 << true << false;
    QTest::newRow("FM 2007") << 2 << true << false;
    QTest::newRow("cancelled chooser") << 1 << false << false;
    QTest::newRow("refused store") << 0 << true << true;
}

void SettingsWindowTest::folderButton_storedFolderEndsProgram_cancelOrRefusalChangesNothing() {
    QFETCH(int, version);
    QFETCH(bool, answered);
    QFETCH(bool, refused);
    // A folder stored before start shows in its label.
    SettingsProgram p([](GuiFixture& f) { f.storeMachine(folderKey(2), "Path", "/games/fm7"); });
    QCOMPARE(p.form4->label13->text(), QString("/games/fm7"));
    p.refusingStore.refusedName = refused ? "Path" : "";
    p.main->show();
    const QString chosen = QString::fromStdString((p.f.temp / "Games/FM").string());
    if (answered) {
        p.f.ui.folderAnswers.push_back(chosen);
    }
    const bool changed = answered && !refused;
    QString label;
    p.f.ui.onModal = [&](QDialog&) {
        QTest::mouseClick(p.form4->findChild<QPushButton*>(QString("JvXPButton%1").arg(2 + version)), Qt::LeftButton);
        label = p.form4->findChild<QLabel*>(QString("label1%1").arg(1 + version))->text();
        QCOMPARE(p.form4->isVisible(), !changed);
    };
    p.main->settingsClick();

    const SharedState& s = p.main->state();
    const std::string expected = changed ? chosen.toStdString() : std::string();
    QCOMPARE(p.f.ui.folderRequests, 1);
    QCOMPARE(p.stored(folderKey(version), "Path"), expected);
    QCOMPARE(label.toStdString(), expected);
    QCOMPARE((std::array{s.Fm2005Folder, s.Fm2006Folder, s.Fm2007Folder}[version]), expected);
    QVERIFY(!s.resmsg.empty());
    QCOMPARE(p.f.ui.informations(), changed ? QStringList{QString::fromStdString(s.resmsg)} : QStringList());
    QCOMPARE(p.f.ui.errors(), refused ? QStringList{"Failed to set data for 'Path'"} : QStringList());
    // A change ends the program: the main window closes and stores its version choice (FM 2007's folder is set).
    QCOMPARE(p.main->isVisible(), !changed);
    QCOMPARE(QString::fromStdString(p.stored(kRadioKey, "value")), changed ? QString("2007") : QString());
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
    QCOMPARE(QDir::cleanPath(chosen.value_or("<cancelled>")), QDir::cleanPath(typed));
    QVERIFY(QFileInfo(typed).isDir());
}

QTEST_MAIN(SettingsWindowTest)
#include "SettingsWindowTest.moc"
