#include "app/UserInterface.h"
#include "support/GuiFixture.h"

using namespace orbisto;
using namespace orbisto::test;
using i18n::Message;
using platform::Hive;

namespace {

// The settings key of a game folder (0: FM 2005, 1: FM 2006, 2: FM 2007).
std::string folderKey(int version) {
    return kFolderKey + std::to_string(2005 + version);
}

// A program with the shipped languages and a stored FM 2007 folder, started in English.
struct SettingsProgram {
    SettingsProgram() {
        f.installShippedLanguages();
        f.storeMachine(folderKey(2), "Path", "/games/fm7");
        main = &f.start();
        form4 = f.context->forms.form4;
        f.ui.clear(); // start-up's own reports (no logo here) are not under test
    }
    std::string stored(const std::string& key, const std::string& name) const {
        return f.settings->readText(Hive::LocalMachine, key, name);
    }

    GuiFixture f;
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
    void applyLanguage_changesWindowsAtOnce_storedUnlessRefused() {
        for (const bool refused : {false, true}) { // by double click, stored; by "Change", store refused
            SettingsProgram p;
            if (refused) {
                p.f.refuseSettingsWrites();
            }
            QString installWhileOpen;
            p.f.ui.onModal = [&](QDialog&) {
                QListWidget* list = p.form4->ListBox1;
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
            QCOMPARE(p.main->state().messages[Message::redmsg], std::string("Piłka została zainstalowana."));
            QCOMPARE(p.stored(kLanguageKey, "lang"), refused ? std::string() : std::string("Polski"));
            QCOMPARE(p.f.ui.errors(), refused ? QStringList{"Failed to set data for 'lang'"} : QStringList());
            // A refused store ends the step before the settings window's own texts change.
            QCOMPARE(p.form4->windowTitle(), refused ? QString("Settings") : QString("Ustawienia"));
            QCOMPARE(p.form4->Label3->text(), QString("Polski"));
            QCOMPARE(p.form4->Label5->text(), QString("FM 2005:")); // its own Label5, not the main window's
        }
    }

    // For each version: a chosen folder is stored and shown and ends the program; a cancel or a refused store
    // changes nothing.
    void folderButton_storedFolderEndsProgram_cancelOrRefusalChangesNothing() {
        const std::tuple<int, bool, bool> cases[] = {
            {0, true, false}, {1, true, false}, {2, true, false}, {1, false, false}, {0, true, true}};
        for (const auto& [version, answered, refused] : cases) {
            SettingsProgram p;
            QCOMPARE(p.form4->label13->text(), QString("/games/fm7")); // a folder stored before start
            if (refused) {
                p.f.refuseSettingsWrites();
            }
            p.main->show();
            const QString chosen = QString::fromStdString((p.f.temp / "Games/FM").string());
            if (answered) {
                p.f.ui.folderAnswers.push_back(chosen);
            }
            const bool changed = answered && !refused;
            QString label;
            bool openAfter = false;
            p.f.ui.onModal = [&](QDialog&) {
                QTest::mouseClick(p.form4->findChild<QPushButton*>(QString("JvXPButton%1").arg(2 + version)),
                                  Qt::LeftButton);
                label = p.form4->findChild<QLabel*>(QString("label1%1").arg(1 + version))->text();
                openAfter = p.form4->isVisible();
            };
            p.main->settingsClick();

            const SharedState& s = p.main->state();
            const std::string expected = changed ? chosen.toStdString() : std::string();
            const QString name = QString("FM 200%1%2%3: ")
                                     .arg(5 + version)
                                     .arg(answered ? "" : ", cancelled")
                                     .arg(refused ? ", refused" : "");
            QCOMPARE(name + qtext(p.stored(folderKey(version), "Path") + " | " + label.toStdString() + " | " +
                                  std::array{s.Fm2005Folder, s.Fm2006Folder, s.Fm2007Folder}[version]),
                     name + qtext(expected + " | " + expected + " | " + expected));
            QCOMPARE(p.f.ui.folderRequests, 1);
            QCOMPARE(p.f.ui.informations(), changed ? QStringList{qtext(s.messages[Message::resmsg])} : QStringList());
            QVERIFY(!s.messages[Message::resmsg].empty());
            QCOMPARE(p.f.ui.errors(), refused ? QStringList{"Failed to set data for 'Path'"} : QStringList());
            // A change ends the program: the main window closes and stores its version choice (FM 2007's
            // folder is set).
            QCOMPARE(QList<bool>({openAfter, p.main->isVisible()}), QList<bool>(2, !changed));
            QCOMPARE(qtext(p.stored(kRadioKey, "value")), changed ? QString("2007") : QString());
        }
    }

    void realChooser_typedMissingFolder_confirmNoStaysYesCreates() {
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

        QCOMPARE(seen,
                 (QStringList{"Select Directory", "Confirm", "The specified directory does not exist. Create it?"}));
        QVERIFY(!createdBeforeYes);
        QCOMPARE(QDir::cleanPath(chosen.value_or("<cancelled>")), QDir::cleanPath(typed));
        QVERIFY(QFileInfo(typed).isDir());
    }
};

QTEST_MAIN(SettingsWindowTest)
#include "SettingsWindowTest.moc"
