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

void makeReadOnly(const fs::path& file) {
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

// Hidden files left in a folder (a staged or backed-up frame would be one).
QStringList hiddenFiles(const fs::path& folder) {
    QStringList names;
    for (const auto& [name, bytes] : folderSnapshot(folder)) {
        if (name.front() == '.') {
            names << QString::fromStdString(name);
        }
    }
    return names;
}

} // namespace

class InstallWindowTest : public QObject {
    Q_OBJECT

private slots:
    void noBallChosen_showsSelmsgAndChangesNothing() {
        InstallSetup setup;
        setup.installOldBall();
        const auto before = folderSnapshot(setup.normal());
        TForm1& main = setup.start();
        main.Label3->setText(QStringLiteral("shown before"));

        main.install->click();
        main.listaDblClick();

        QCOMPARE(setup.fixture.ui.informations(), QStringList({kSelmsg, kSelmsg}));
        QCOMPARE(setup.fixture.ui.messages.size(), std::size_t{2});
        QVERIFY(folderSnapshot(setup.normal()) == before);
        QCOMPARE(main.Label3->text(), QStringLiteral("shown before"));
    }

    void installToSkinTicked_opensSkinWindowInInstallModeAndCopiesNothing() {
        InstallSetup setup;
        setup.installOldBall();
        const auto before = folderSnapshot(setup.normal());
        TForm1& main = setup.start();
        InstallSetup::choose(main, "Alpha", "Comet");
        main.cbinstall->setChecked(true);
        main.Label3->setText(QStringLiteral("shown before"));
        bool installShown = false;
        setup.fixture.ui.onModal = [&](QDialog& dialog) {
            installShown = static_cast<TForm3&>(dialog).intall2->isVisible();
        };

        main.install->click();

        QCOMPARE(setup.fixture.ui.modalsShown, QStringList({QStringLiteral("Form3")}));
        QVERIFY(installShown);
        QVERIFY(setup.fixture.ui.messages.empty());
        QVERIFY(folderSnapshot(setup.normal()) == before);
        QCOMPARE(main.Label3->text(), QStringLiteral("shown before"));
    }

    void normalBall_replacesFramesByteForByteKeepsOtherFilesAndShowsIt() {
        InstallSetup setup;
        setup.installOldBall();
        writeFile(setup.libraryBall / "extra.png", makePng(4, 4, 0x11223344u));
        writeFile(setup.normal() / "pitch_only.png", "the game's own file");
        makeReadOnly(setup.normal() / "ball_11.png");
        const auto winterBefore = folderSnapshot(setup.winter());
        TForm1& main = setup.start();
        InstallSetup::choose(main, "Alpha", "Comet");

        main.listaDblClick();

        auto expected = InstallSetup::framesOf(setup.libraryBall);
        expected["pitch_only.png"] = readBytes(setup.normal() / "pitch_only.png");
        QVERIFY(folderSnapshot(setup.normal()) == expected);
        QVERIFY(folderSnapshot(setup.winter()) == winterBefore);
        QCOMPARE(setup.fixture.ui.informations(), QStringList({kRedmsg}));
        QCOMPARE(setup.fixture.ui.copyWindowsOpened, 1);
        QCOMPARE(main.Label3->text(), QStringLiteral("Alpha Comet"));
        QCOMPARE(main.Label4->text(), QStringLiteral("Beta Storm"));
        QCOMPARE(QString::fromStdString(main.state().SourceFolder),
                 QString::fromStdString(setup.fixture.appFolder().string() + "/balls/Alpha/Comet/"));
    }

    void winterOnlyWithoutWinterFolder_createsItAndLeavesNormalBall() {
        InstallSetup setup;
        fs::remove_all(setup.winter());
        TForm1& main = setup.start();
        InstallSetup::choose(main, "Alpha", "Comet");
        main.rbw->setChecked(true);

        main.install->click();

        QVERIFY(folderSnapshot(setup.winter()) == InstallSetup::framesOf(setup.libraryBall));
        QVERIFY(folderSnapshot(setup.normal()).empty());
        QCOMPARE(setup.fixture.ui.informations(), QStringList({kRedmsg}));
        QCOMPARE(main.Label4->text(), QStringLiteral("Alpha Comet"));
    }

    void normalAndWinter_copiesTwiceAndShowsRedmsgOnce() {
        InstallSetup setup;
        setup.installOldBall();
        TForm1& main = setup.start();
        InstallSetup::choose(main, "Alpha", "Comet");
        main.rbnaw->setChecked(true);

        main.install->click();

        const auto frames = InstallSetup::framesOf(setup.libraryBall);
        QVERIFY(folderSnapshot(setup.normal()) == frames);
        QVERIFY(folderSnapshot(setup.winter()) == frames);
        QCOMPARE(setup.fixture.ui.informations(), QStringList({kRedmsg}));
        QCOMPARE(setup.fixture.ui.copyWindowsOpened, 2);
        QCOMPARE(main.Label3->text(), QStringLiteral("Alpha Comet"));
        QCOMPARE(main.Label4->text(), QStringLiteral("Alpha Comet"));
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
            QVERIFY2(folderSnapshot(setup.normal()) == InstallSetup::framesOf(ball), qPrintable(entry));
        }
        QCOMPARE(QString::fromStdString(main.state().BrandName), QStringLiteral("Red-Star"));
        QCOMPARE(QString::fromStdString(main.state().BallName), QStringLiteral("Nova-2"));
        QCOMPARE(setup.fixture.ui.informations(), QStringList({kRedmsg, kRedmsg}));
        QVERIFY(setup.fixture.ui.errors().isEmpty());
    }

    void gameWithoutBallFolder_showsMissingFolderErrorCopiesNothingAndRefreshes() {
        InstallSetup setup(nullptr, false);
        TForm1& main = setup.start();
        InstallSetup::choose(main, "Alpha", "Comet");
        main.rbnaw->setChecked(true);
        main.Label3->setText(QStringLiteral("shown before"));

        main.install->click();

        QCOMPARE(setup.fixture.ui.plains(), QStringList({kNoBallFolder}));
        QVERIFY(setup.fixture.ui.informations().isEmpty());
        QVERIFY(!fs::exists(setup.game / "data"));
        QCOMPARE(main.Label3->text(), QString());
    }

    void noGameFolderKnown_showsMissingFolderErrorAndCreatesNothing() {
        InstallSetup setup;
        setup.fixture.storeUser(kGame2006Key, "Path", "");
        TForm1& main = setup.start();
        QVERIFY(main.state().GameFolder.empty());
        InstallSetup::choose(main, "Alpha", "Comet");
        main.rbw->setChecked(true);

        main.install->click();

        QCOMPARE(setup.fixture.ui.plains(), QStringList({kNoBallFolder}));
        QCOMPARE(setup.fixture.ui.copyWindowsOpened, 0);
        QVERIFY(folderSnapshot(setup.normal()).empty());
        QVERIFY(!fs::exists(fs::path("/data/graphics/pitch/balls/winter/ball_11.png")));
    }

    void failedCopy_keepsOldFramesLeavesNoStagedFileAndShowsNoRedmsg_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<bool>("bothBalls");
        QTest::addColumn<QString>("errorText");
        QTest::newRow("fifth frame unreadable")
            << 0 << false << QStringLiteral("Cannot copy \"ball_22.png\": File access denied.");
        QTest::newRow("disk full mid-copy") << 1 << false << QStringLiteral("Cannot copy \"ball_33.png\": Disk full.");
        QTest::newRow("cancel after three frames") << 2 << false << QStringLiteral("The copy was cancelled.");
        QTest::newRow("winter copy fails after the normal one")
            << 3 << true << QStringLiteral("Cannot copy \"ball_13.png\": Disk full.");
    }

    void failedCopy_keepsOldFramesLeavesNoStagedFileAndShowsNoRedmsg() {
        QFETCH(int, fault);
        QFETCH(bool, bothBalls);
        QFETCH(QString, errorText);
        FaultyFileSystem faulty;
        InstallSetup setup(&faulty);
        setup.installOldBall();
        const auto normalBefore = folderSnapshot(setup.normal());
        const auto winterBefore = folderSnapshot(setup.winter());
        TForm1& main = setup.start();
        InstallSetup::choose(main, "Alpha", "Comet");
        (bothBalls ? main.rbnaw : main.rbn)->setChecked(true);
        faulty.copies = 0;
        switch (fault) {
        case 0:
            faulty.unreadableSource = "ball_22.png";
            break;
        case 1:
            faulty.copiesBeforeFull = 8;
            break;
        case 2:
            setup.fixture.ui.cancelCopyAfter = 3;
            break;
        default:
            faulty.copiesBeforeFull = 21 + 2;
            break;
        }

        main.install->click();

        QCOMPARE(setup.fixture.ui.errors(), QStringList({errorText}));
        QVERIFY(setup.fixture.ui.informations().isEmpty());
        QVERIFY(folderSnapshot(setup.winter()) == winterBefore);
        if (bothBalls) {
            QVERIFY(folderSnapshot(setup.normal()) == InstallSetup::framesOf(setup.libraryBall));
            QCOMPARE(main.Label3->text(), QStringLiteral("Alpha Comet"));
        } else {
            QVERIFY(folderSnapshot(setup.normal()) == normalBefore);
            QCOMPARE(main.Label3->text(), QStringLiteral("Beta Storm"));
        }
        QCOMPARE(hiddenFiles(setup.normal()) + hiddenFiles(setup.winter()), QStringList());
    }
};

QTEST_MAIN(InstallWindowTest)
#include "InstallWindowTest.moc"
