#include "gui/InstallGuiSupport.h"
#include "install/TForm3.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

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
    // Install with "Install to skin" ticked is in SkinWindowTest.
    void noBallChosen_showsSelmsgAndChangesNothing() {
        InstallSetup setup;
        setup.installOldBall();
        const auto before = folderSnapshot(setup.normal());
        TForm1& main = setup.start("", "");
        main.Label3->setText(QStringLiteral("shown before"));

        main.install->click();
        main.listaDblClick();

        QCOMPARE(setup.fixture.ui.informations(), QStringList({kSelmsg, kSelmsg}));
        QCOMPARE(setup.fixture.ui.messages.size(), std::size_t{2});
        QVERIFY(folderSnapshot(setup.normal()) == before);
        QCOMPARE(main.Label3->text(), QStringLiteral("shown before"));
    }

    // Each install starts from another ball's frames (ball_11.png write-protected), a file of the game's own in
    // the normal folder and an extra PNG in the library ball. A failed install shows its error and no redmsg,
    // and leaves the folder it failed in as before: no frame replaced, no temporary (hidden) file left.
    void install_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("winterExists");
        QTest::addColumn<QString>("unreadable");
        QTest::addColumn<int>("copiesBeforeFull");
        QTest::addColumn<int>("cancelAfter");
        QTest::addColumn<QString>("error");
        const QString none;
        QTest::newRow("normal, by double click") << int(Normal) << true << none << -1 << -1 << none;
        QTest::newRow("winter into a missing folder") << int(Winter) << false << none << -1 << -1 << none;
        QTest::newRow("normal and winter") << int(NormalAndWinter) << true << none << -1 << -1 << none;
        QTest::newRow("fifth frame unreadable") << int(Normal) << true << QString("ball_22.png") << -1 << -1
                                                << QString("Cannot copy \"ball_22.png\": File access denied.");
        QTest::newRow("disk full mid-copy")
            << int(Normal) << true << none << 8 << -1 << QString("Cannot copy \"ball_33.png\": Disk full.");
        QTest::newRow("cancel after three frames")
            << int(Normal) << true << none << -1 << 3 << QString("The copy was cancelled.");
        QTest::newRow("winter copy fails after the normal one")
            << int(NormalAndWinter) << true << none << 22 + 2 << -1
            << QString("Cannot copy \"ball_13.png\": Disk full.");
    }

    void install() {
        QFETCH(int, mode);
        QFETCH(bool, winterExists);
        QFETCH(QString, unreadable);
        QFETCH(int, copiesBeforeFull);
        QFETCH(int, cancelAfter);
        QFETCH(QString, error);
        FaultyFileSystem faulty;
        InstallSetup setup(&faulty);
        setup.installOldBall();
        if (!winterExists) {
            fs::remove_all(setup.winter());
        }
        writeFile(setup.libraryBall / "extra.png", makePng(4, 4, 0x11223344u));
        writeFile(setup.normal() / "pitch_only.png", "the game's own file");
        fs::permissions(setup.normal() / "ball_11.png", fs::perms::owner_write, fs::perm_options::remove);
        const auto normalBefore = folderSnapshot(setup.normal());
        const auto winterBefore = folderSnapshot(setup.winter());
        TForm1& main = setup.start();
        modeButton(main, mode)->setChecked(true);
        faulty.copies = 0;
        faulty.unreadableSource = unreadable.toStdString();
        faulty.copiesBeforeFull = copiesBeforeFull;
        setup.fixture.ui.cancelCopyAfter = cancelAfter;

        if (mode == Normal) {
            emit main.lista->itemDoubleClicked(main.lista->currentItem());
        } else {
            main.install->click();
        }

        const bool normal = error.isEmpty() ? mode != Winter : mode == NormalAndWinter;
        const bool winter = error.isEmpty() && mode != Normal;
        QVERIFY(folderSnapshot(setup.normal()) == (normal ? installed(normalBefore, setup.libraryBall) : normalBefore));
        QVERIFY(folderSnapshot(setup.winter()) == (winter ? installed(winterBefore, setup.libraryBall) : winterBefore));
        QCOMPARE(setup.fixture.ui.informations(), error.isEmpty() ? QStringList({kRedmsg}) : QStringList());
        QCOMPARE(setup.fixture.ui.errors(), error.isEmpty() ? QStringList() : QStringList({error}));
        QCOMPARE(setup.fixture.ui.copyWindowsOpened, mode == NormalAndWinter ? 2 : 1);
        QCOMPARE(main.Label3->text(), QString(normal ? "Alpha Comet" : "Beta Storm"));
        QCOMPARE(main.Label4->text(), QString(winter ? "Alpha Comet" : "Beta Storm"));
    }

    void newBallsEntry_installsFromItsOwnBrandAndBallAlsoWithHyphens() {
        InstallSetup setup;
        const fs::path plain = makeLibraryBall(setup.fixture.appFolder(), "Beta", "Gale");
        const fs::path hyphenated = makeLibraryBall(setup.fixture.appFolder(), "Red-Star", "Nova-2");
        writeMarker(plain, "Auth=1\r\nNew=1");
        writeMarker(hyphenated, "Auth=1\r\nNew=1");
        TForm1& main = setup.start();
        main.JvXPButton1Click();

        for (const auto& [entry, ball] : {std::pair{QStringLiteral("Beta-Gale"), plain},
                                          std::pair{QStringLiteral("Red-Star-Nova-2"), hyphenated}}) {
            InstallSetup::choose(main, ">New balls", entry);
            main.install->click();
            QVERIFY2(folderSnapshot(setup.normal()) == ballFrames(ball), qPrintable(entry));
        }
        QCOMPARE(setup.fixture.ui.informations(), QStringList({kRedmsg, kRedmsg}));
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

    void noBallFolder_showsMissingFolderErrorCreatesNothingAndRefreshes_data() {
        QTest::addColumn<bool>("gameFolderKnown");
        QTest::newRow("game without ball folders") << true;
        QTest::newRow("no game folder known") << false;
    }

    void noBallFolder_showsMissingFolderErrorCreatesNothingAndRefreshes() {
        QFETCH(bool, gameFolderKnown);
        InstallSetup setup(nullptr, false);
        if (!gameFolderKnown) {
            setup.fixture.storeUser(kGame2006Key, "Path", "");
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
};

QTEST_MAIN(InstallWindowTest)
#include "InstallWindowTest.moc"
