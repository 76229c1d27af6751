#include "gui/InstallGuiSupport.h"

using namespace orbisto;
using namespace orbisto::test;

class SkinWindowTest : public QObject {
    Q_OBJECT

private slots:
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

QTEST_MAIN(SkinWindowTest)
#include "SkinWindowTest.moc"
