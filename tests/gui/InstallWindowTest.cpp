#include "gui/InstallGuiSupport.h"

using namespace orbisto;
using namespace orbisto::test;

namespace {

const QString kNoBallFolder = QStringLiteral("Error \"balls\" directory not found");

// The three install modes, as the main window's radio buttons.
enum Mode { Normal, Winter, NormalAndWinter };
QRadioButton* modeButton(TForm1& main, int mode) {
    return mode == Normal ? main.rbn : mode == Winter ? main.rbw : main.rbnaw;
}

// A folder after an install of `ball` over `before`: its frames replaced or added, other files kept.
FolderFiles installed(FolderFiles before, const fs::path& ball) {
    for (auto& [name, bytes] : ballFrames(ball)) {
        before[name] = bytes;
    }
    return before;
}

} // namespace

class InstallWindowTest : public QObject {
    Q_OBJECT

private slots:
    // Each install starts from another ball's frames (ball_11.png write-protected), a file of the game's own in
    // the normal folder and an extra PNG in the library ball. A failed install shows its error and no redmsg,
    // and leaves the folder it failed in as before: no frame replaced, no temporary (hidden) file left.
    // (Install without a chosen ball is checked in ListPickTest.)
    void install() {
        struct Case {
            const char* name;
            Mode mode;
            bool winterExists;
            const char* unreadable;
            int copiesBeforeFull;
            int cancelAfter;
            const char* error;
        };
        const Case cases[] = {
            {"normal, by double click", Normal, true, "", -1, -1, ""},
            {"winter into a missing folder", Winter, false, "", -1, -1, ""},
            {"normal and winter", NormalAndWinter, true, "", -1, -1, ""},
            {"fifth frame unreadable", Normal, true, "ball_22.png", -1, -1,
             "Cannot copy \"ball_22.png\": File access denied."},
            {"disk full mid-copy", Normal, true, "", 8, -1, "Cannot copy \"ball_33.png\": Disk full."},
            {"cancel after three frames", Normal, true, "", -1, 3, "The copy was cancelled."},
            {"winter copy fails after the normal one: neither folder changes", NormalAndWinter, true, "", 22 + 2, -1,
             "Cannot copy \"ball_13.png\": Disk full."},
        };
        for (const Case& c : cases) {
            FaultyFileSystem faulty;
            InstallSetup setup(&faulty);
            setup.installOldBall();
            if (!c.winterExists) {
                fs::remove_all(setup.winter());
            }
            writeFile(setup.libraryBall / "extra.png", makePng(4, 4, 0x11223344u));
            writeFile(setup.normal() / "pitch_only.png", "the game's own file");
            fs::permissions(setup.normal() / "ball_11.png", fs::perms::owner_write, fs::perm_options::remove);
            const auto normalBefore = folderSnapshot(setup.normal());
            const auto winterBefore = folderSnapshot(setup.winter());
            TForm1& main = setup.start();
            modeButton(main, c.mode)->setChecked(true);
            faulty.copies = 0;
            faulty.unreadableSource = c.unreadable;
            faulty.copiesBeforeFull = c.copiesBeforeFull;
            setup.fixture.ui.cancelCopyAfter = c.cancelAfter;

            if (c.mode == Normal) {
                emit main.lista->itemDoubleClicked(main.lista->currentItem());
            } else {
                main.install->click();
            }

            const bool ok = *c.error == 0;
            const bool normal = ok && c.mode != Winter;
            const bool winter = ok && c.mode != Normal;
            QVERIFY2(folderSnapshot(setup.normal()) ==
                         (normal ? installed(normalBefore, setup.libraryBall) : normalBefore),
                     c.name);
            QVERIFY2(folderSnapshot(setup.winter()) ==
                         (winter ? installed(winterBefore, setup.libraryBall) : winterBefore),
                     c.name);
            const QString shown =
                QString("%1: %2 %3 %4 | %5 | %6")
                    .arg(c.name, setup.fixture.ui.informations().join(", "), setup.fixture.ui.errors().join(", "))
                    .arg(setup.fixture.ui.copyWindowsOpened)
                    .arg(main.Label3->text(), main.Label4->text());
            QCOMPARE(shown, QString("%1: %2 %3 %4 | %5 | %6")
                                .arg(c.name, ok ? kRedmsg : QString(), QString(c.error))
                                .arg(1) // one copy into both folders
                                .arg(normal ? "Alpha Comet" : "Beta Storm", winter ? "Alpha Comet" : "Beta Storm"));
        }
    }

    void newBallsEntry_installsFromItsOwnBrandAndBallAlsoWithHyphens() {
        InstallSetup setup;
        const fs::path ball = makeLibraryBall(setup.fixture.appFolder(), "Red-Star", "Nova-2");
        writeMarker(ball, "Auth=1\r\nNew=1");
        TForm1& main = setup.start();
        main.JvXPButton1Click();
        InstallSetup::choose(main, ">New balls", "Red-Star-Nova-2");
        main.install->click();
        QVERIFY(folderSnapshot(setup.normal()) == ballFrames(ball));
        QCOMPARE(setup.fixture.ui.informations(), QStringList({kRedmsg}));
        QVERIFY(setup.fixture.ui.errors().isEmpty());
    }

    // The game's own untagged balls in both folders, as a game ships them.
    void firstInstall_keepsTheGamesOwnBalls_andInstallingOneBackNamesIt() {
        InstallSetup setup;
        writeFrames(setup.normal(), frameNames());
        writeFrames(setup.winter(), frameNames());
        const auto own = folderSnapshot(setup.normal());
        TForm1& main = setup.start();
        main.rbnaw->setChecked(true);

        main.install->click();

        QCOMPARE(setup.fixture.ui.informations(),
                 QStringList({kBakmsg + "\nOriginal FM 2006 normal\nOriginal FM 2006 winter", kRedmsg}));
        QVERIFY(main.brand->findText("Original") > 0);
        QCOMPARE(main.brand->currentText(), QString("Alpha"));
        QCOMPARE(main.Label4->text(), QString("Alpha Comet"));

        setup.fixture.ui.clear();
        InstallSetup::choose(main, "Original", "FM 2006 normal");
        main.rbn->setChecked(true);
        main.install->click();

        QCOMPARE(setup.fixture.ui.informations(), QStringList({kRedmsg}));
        QCOMPARE(main.Label3->text(), QString("Original FM 2006 normal"));
        QCOMPARE(main.Label4->text(), QString("Alpha Comet"));
        const auto tagLength = static_cast<long>(std::string("Original|FM 2006 normal").size() + 4);
        const auto restored = folderSnapshot(setup.normal());
        QCOMPARE(restored.size(), own.size());
        for (const auto& [frame, bytes] : restored) {
            QVERIFY2(std::vector(bytes.begin(), bytes.end() - tagLength) == own.at(frame), frame.c_str());
        }
    }

    void gameBallThatCannotBeKept_showsWhyAndInstallsNothing() {
        FaultyFileSystem faulty;
        InstallSetup setup(&faulty);
        writeFrames(setup.normal(), frameNames());
        const auto before = folderSnapshot(setup.normal());
        TForm1& main = setup.start();
        faulty.unreadableSource = "ball_22.png";

        main.install->click();

        QCOMPARE(setup.fixture.ui.errors(),
                 QStringList({"The game's own ball \"FM 2006 normal\" could not be kept in the library, so nothing "
                              "was installed: Cannot copy \"ball_22.png\": File access denied."}));
        QVERIFY(setup.fixture.ui.informations().isEmpty());
        QCOMPARE(setup.fixture.ui.copyWindowsOpened, 0);
        QVERIFY(folderSnapshot(setup.normal()) == before);
        QCOMPARE(main.brand->findText("Original"), -1);
    }

    // A folder Orbisto may not write (the game under Program Files) or a frame the running game holds:
    // the player is told what to do, no folder changes, no ball is kept, and the display is refreshed.
    void refusedFolderOrHeldFrame_namesItAndChangesNothing() {
        const QString admmsg = QStringLiteral(
            "Orbisto may not write into the folder below, so nothing was changed. Start Orbisto with \"Run as "
            "administrator\", or install the game (and Orbisto) outside Program Files:");
        const QString usemsg = QStringLiteral(
            "The game or another program holds the file below, so nothing was installed. Close it and install "
            "again:");
        for (const bool held : {false, true}) {
            FaultyFileSystem faulty;
            InstallSetup setup(&faulty);
            if (held) {
                setup.installOldBall();
            } else {
                writeFrames(setup.normal(), frameNames()); // the game's own ball, which is not kept either
                setup.installOldBall({setup.winter()});
            }
            const fs::path refused = held ? setup.winter() / "ball_23.png" : setup.winter();
            if (held) {
                faulty.heldFiles[refused] = -1;
            } else {
                faulty.unwritableFolder = refused;
            }
            const TreeSnapshot game = snapshot(setup.game);
            const TreeSnapshot program = snapshot(setup.fixture.appFolder());
            TForm1& main = setup.start();
            main.rbnaw->setChecked(true);

            main.install->click();

            const QString text = (held ? usemsg : admmsg) + "\n" + qtext(refused.string());
            QCOMPARE(setup.fixture.ui.informations(), QStringList{text});
            QVERIFY(setup.fixture.ui.errors().isEmpty());
            QVERIFY2(snapshot(setup.game) == game, held ? "held" : "refused");
            QVERIFY2(snapshot(setup.fixture.appFolder()) == program, held ? "held" : "refused");
            QCOMPARE(main.brand->findText("Original"), -1);
            QCOMPARE(main.Label4->text(), QStringLiteral("Beta Storm"));
        }
    }

    void noBallFolder_showsMissingFolderErrorCreatesNothingAndRefreshes() {
        for (const bool gameFolderKnown : {true, false}) {
            InstallSetup setup(nullptr, false); // a game without ball folders
            if (!gameFolderKnown) {
                setup.fixture.storeUser(kInstallsKey + "2006", "Path", "");
            }
            TForm1& main = setup.start();
            QCOMPARE(main.state().GameFolder.empty(), !gameFolderKnown);
            main.rbnaw->setChecked(true);
            main.Label3->setText(QStringLiteral("shown before"));

            main.install->click();

            QCOMPARE(setup.fixture.ui.plains(), QStringList({kNoBallFolder}));
            QVERIFY(setup.fixture.ui.informations().isEmpty());
            QCOMPARE(setup.fixture.ui.copyWindowsOpened, 0);
            QVERIFY(!fs::exists(setup.game / "data"));
            QVERIFY(!fs::exists(fs::path("/data/graphics/pitch/balls/winter/ball_11.png")));
            QCOMPARE(main.Label3->text(), QString());
        }
    }

    // Each mode's layout and captions; in install mode a skin without graphics receives both balls, and
    // "Normal and Winter" is then selected in the main window.
    void previewThenInstallMode_skinWithoutGraphicsReceivesBothBalls() {
        InstallSetup setup;
        const fs::path balls = makeSkin(setup.game, "Plain", "Plain skin") / "graphics/pitch/balls";
        TForm1& main = setup.start();
        QStringList seen;
        setup.fixture.ui.onModal = [&](QDialog& dialog) {
            auto& window = static_cast<TForm3&>(dialog);
            const QRect list = window.lista->geometry();
            seen << (window.intall2->isVisible() ? "button" : "no button")
                 << QString("%1,%2,%3x%4").arg(list.x()).arg(list.y()).arg(list.width()).arg(list.height())
                 << window.GroupBox311->title() << window.windowTitle();
            pick(*window.lista, 0);
            seen << window.Label1->text() + " / " + window.Label2->text();
            if (window.intall2->isVisible()) {
                window.intall2->click();
                seen << window.Label1->text() + " / " + window.Label2->text();
            }
        };

        main.prevs->click();
        QVERIFY(main.state().SkinPreviewMode.empty());
        main.cbinstall->setChecked(true);
        main.install->click();

        QCOMPARE(seen, QStringList({"no button", "8,15,233x169", "Skins", "Balls in skins", "- / -", //
                                    "button", "8,56,233x129", "Install to skin", "Install to skin", "- / -",
                                    "Alpha Comet / Alpha Comet"}));
        QVERIFY(main.rbnaw->isChecked());
        QVERIFY(folderSnapshot(balls) == ballFrames(setup.libraryBall));
        QVERIFY(folderSnapshot(balls / "winter") == ballFrames(setup.libraryBall));
        QCOMPARE(setup.fixture.ui.informations(), QStringList({kRedmsg}));
        QVERIFY(folderSnapshot(setup.normal()).empty());
    }

    // Preview mode: the paired lists, a broken skin reported once, the labels of each skin and the reset on close.
    void preview_listsSkinsInReverseOrderWithTheirBalls_andClosingClearsThem() {
        InstallSetup setup;
        const fs::path tagged = makeSkin(setup.game, "A1", "First [old]");
        const fs::path untagged = makeSkin(setup.game, "B2", "Second");
        writeFile(setup.game / "data/skins/B3/B3.xml", "<record><string id=\"name\"");
        makeSkin(setup.game, "C3", "Third");
        setup.installOldBall({tagged / "graphics/pitch/balls"});
        writeFile(untagged / "graphics/pitch/balls/winter/ball_73.png", makePng(17, 17, 0x336699FFu));
        TForm1& main = setup.start();
        QStringList lists;
        QStringList shown;
        setup.fixture.ui.onModal = [&](QDialog& dialog) {
            auto& window = static_cast<TForm3&>(dialog);
            lists << items(*window.lista) << items(*window.lista3) << items(*window.lista2);
            for (int row : {0, 1, 2}) {
                pick(*window.lista, row);
                shown << QString::fromStdString(window.ChosenSkinFolder) << window.Label1->text()
                      << (window.Image1->isVisible() ? "picture" : "no picture") << window.Label2->text()
                      << (window.Image2->isVisible() ? "picture" : "no picture");
            }
            dialog.reject();
        };

        main.prevs->click();

        QCOMPARE(lists, QStringList({"Third", "Second", "First ", "C3", "B2", "A1", "A1", "B2", "C3"}));
        QCOMPARE(shown, QStringList({"C3", "-", "no picture", "-", "no picture", //
                                     "B2", "-", "no picture", "-", "picture",    //
                                     "A1", "Beta Storm", "picture", "-", "no picture"}));
        QCOMPARE(setup.fixture.ui.errors().size(), 1);
        QVERIFY(setup.fixture.ui.errors().first().contains("\"B3\""));
        TForm3& window = *main.context().forms.form3;
        QCOMPARE(window.Label1->text(), QString());
        QVERIFY(window.Image1->isHidden());
        QVERIFY(!window.intall2->isHidden());
    }
};

QTEST_MAIN(InstallWindowTest)
#include "InstallWindowTest.moc"
