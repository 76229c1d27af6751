#include "app/Widgets.h"
#include "gui/InstallGuiSupport.h"
#include "install/TForm3.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace orbisto;
using namespace orbisto::test;

namespace {

QStringList items(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) {
        texts << list.item(i)->text();
    }
    return texts;
}

// A skin of the game that the catalogue lists under `name`.
fs::path makeSkin(const fs::path& game, const std::string& folder, const std::string& name) {
    const fs::path skin = game / "data/skins" / folder;
    writeFile(skin / (folder + ".xml"),
              "<record><string id=\"name\" value=\"" + name + "\"/><boolean id=\"hnfn\" value=\"true\"/></record>");
    return skin;
}

// A ball_73.png frame, tagged with `tag` unless it is empty.
void writeFrame(const fs::path& file, const std::string& tag) {
    auto bytes = makePng(17, 17, 0x336699FFu);
    if (!tag.empty()) {
        bytes.insert(bytes.end(), tag.begin(), tag.end());
        const auto length = static_cast<std::uint32_t>(tag.size() + 4);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<std::uint8_t>(length >> shift));
        }
    }
    writeFile(file, bytes);
}

TForm3& skinWindow(TForm1& main) {
    return *main.context().forms.form3;
}

} // namespace

class SkinWindowTest : public QObject {
    Q_OBJECT

private slots:
    void previewMode_hidesInstallAndUsesPreviewCaptions_thenInstallModeRestoresThem() {
        InstallSetup setup;
        TForm1& main = setup.start();
        InstallSetup::choose(main, "Alpha", "Comet");
        QStringList seen;
        setup.fixture.ui.onModal = [&](QDialog& dialog) {
            auto& window = static_cast<TForm3&>(dialog);
            seen << (window.intall2->isVisible() ? "button" : "no button")
                 << QString("%1,%2,%3x%4")
                        .arg(window.lista->x())
                        .arg(window.lista->y())
                        .arg(window.lista->width())
                        .arg(window.lista->height())
                 << window.GroupBox311->title() << window.windowTitle();
        };

        main.prevs->click();
        QVERIFY(main.state().SkinPreviewMode.empty());
        main.cbinstall->setChecked(true);
        main.install->click();

        QCOMPARE(seen, QStringList({"no button", "8,15,233x169", "Skins", "Balls in skins", //
                                    "button", "8,56,233x129", "Install to skin", "Install to skin"}));
        QVERIFY(setup.fixture.ui.messages.empty());
    }

    void catalogue_listsSkinsInReverseOrderPairedWithTheirFolders_andReportsABrokenOneOnce() {
        InstallSetup setup;
        makeSkin(setup.game, "A1", "First [old]");
        makeSkin(setup.game, "B2", "Second");
        writeFile(setup.game / "data/skins/B3/B3.xml", "<record><string id=\"name\"");
        makeSkin(setup.game, "C3", "Third");
        TForm1& main = setup.start();
        QStringList chosen;
        setup.fixture.ui.onModal = [&](QDialog& dialog) {
            auto& window = static_cast<TForm3&>(dialog);
            chosen << items(*window.lista) << items(*window.lista3);
            window.lista->setCurrentRow(0);
            chosen << QString::fromStdString(window.ChosenSkinName) << QString::fromStdString(window.ChosenSkinFolder);
        };

        main.prevs->click();

        QCOMPARE(chosen, QStringList({"Third", "Second", "First ", "C3", "B2", "A1", "Third", "C3"}));
        QCOMPARE(setup.fixture.ui.errors().size(), 1);
        QVERIFY(setup.fixture.ui.errors().first().contains("\"B3\""));
        QCOMPARE(items(*skinWindow(main).lista2), QStringList({"A1", "B2", "C3"}));
    }

    void installWithoutSkin_showsSelmsgAlsoAfterReopening() {
        InstallSetup setup;
        const fs::path skin = makeSkin(setup.game, "Plain", "Plain skin");
        TForm1& main = setup.start();
        InstallSetup::choose(main, "Alpha", "Comet");
        main.cbinstall->setChecked(true);
        int opening = 0;
        setup.fixture.ui.onModal = [&](QDialog& dialog) {
            auto& window = static_cast<TForm3&>(dialog);
            if (opening++ == 0) {
                window.lista->setCurrentRow(0);
                QCOMPARE(window.ChosenSkinFolder, std::string("Plain"));
            } else {
                window.intall2->click();
            }
        };

        main.install->click();
        main.install->click();

        QCOMPARE(setup.fixture.ui.informations(), QStringList({kSelmsg}));
        QVERIFY(!fs::exists(skin / "graphics"));
    }

    void skinWithoutGraphics_receivesBothBallsAndNormalAndWinterStaysSelected() {
        InstallSetup setup;
        const fs::path skin = makeSkin(setup.game, "Plain", "Plain skin");
        TForm1& main = setup.start();
        InstallSetup::choose(main, "Alpha", "Comet");
        main.cbinstall->setChecked(true);
        QStringList labels;
        setup.fixture.ui.onModal = [&](QDialog& dialog) {
            auto& window = static_cast<TForm3&>(dialog);
            window.lista->setCurrentRow(0);
            labels << window.Label1->text() << window.Label2->text();
            window.intall2->click();
            labels << window.Label1->text() << window.Label2->text();
            QVERIFY(window.Image1->isVisible() && window.Image2->isVisible());
        };

        main.install->click();

        QCOMPARE(labels, QStringList({"-", "-", "Alpha Comet", "Alpha Comet"}));
        QVERIFY(main.rbnaw->isChecked());
        const auto frames = InstallSetup::framesOf(setup.libraryBall);
        QVERIFY(folderSnapshot(skin / "graphics/pitch/balls") == frames);
        QVERIFY(folderSnapshot(skin / "graphics/pitch/balls/winter") == frames);
        QCOMPARE(setup.fixture.ui.informations(), QStringList({kRedmsg}));
        QVERIFY(folderSnapshot(setup.normal()).empty());
    }

    void labels_showDashForMissingOrUntaggedFrameAndTagWithBlank() {
        InstallSetup setup;
        const fs::path tagged = makeSkin(setup.game, "A1", "Tagged");
        const fs::path untagged = makeSkin(setup.game, "B2", "Untagged");
        writeFrame(tagged / "graphics/pitch/balls/ball_73.png", "Gamma|Comet");
        writeFrame(untagged / "graphics/pitch/balls/winter/ball_73.png", "");
        TForm1& main = setup.start();
        QStringList shown;
        setup.fixture.ui.onModal = [&](QDialog& dialog) {
            auto& window = static_cast<TForm3&>(dialog);
            for (int row : {1, 0}) { // A1 is listed last
                window.lista->setCurrentRow(row);
                shown << window.Label1->text() << (window.Image1->isVisible() ? "picture" : "no picture")
                      << window.Label2->text() << (window.Image2->isVisible() ? "picture" : "no picture");
            }
        };

        main.prevs->click();

        QCOMPARE(shown, QStringList({"Gamma Comet", "picture", "-", "no picture", //
                                     "-", "no picture", "-", "picture"}));
        QVERIFY(setup.fixture.ui.messages.empty());
    }

    void closingWithEscape_resetsLabelsPicturesAndInstallButton() {
        InstallSetup setup;
        const fs::path skin = makeSkin(setup.game, "A1", "Tagged");
        writeFrame(skin / "graphics/pitch/balls/ball_73.png", "Gamma|Comet");
        TForm1& main = setup.start();
        setup.fixture.ui.onModal = [&](QDialog& dialog) {
            static_cast<TForm3&>(dialog).lista->setCurrentRow(0);
            dialog.reject();
        };

        main.prevs->click();

        TForm3& window = skinWindow(main);
        QCOMPARE(window.Label1->text(), QString());
        QVERIFY(window.Image1->isHidden());
        QVERIFY(!window.intall2->isHidden());
    }

    void failedCopyIntoSkin_showsErrorWithoutRedmsgAndKeepsOldFrames() {
        InstallSetup setup;
        const fs::path skin = makeSkin(setup.game, "A1", "Worn");
        const fs::path balls = skin / "graphics/pitch/balls";
        writeFrame(balls / "ball_73.png", "Beta|Storm");
        writeFrame(balls / "winter/ball_73.png", "Beta|Storm");
        const auto before = folderSnapshot(balls);
        TForm1& main = setup.start();
        InstallSetup::choose(main, "Alpha", "Comet");
        main.cbinstall->setChecked(true);
        setup.fixture.ui.cancelCopyAfter = 3;
        QString label;
        setup.fixture.ui.onModal = [&](QDialog& dialog) {
            auto& window = static_cast<TForm3&>(dialog);
            window.lista->setCurrentRow(0);
            window.intall2->click();
            label = window.Label1->text();
        };

        main.install->click();

        QCOMPARE(setup.fixture.ui.errors(), QStringList({"The copy was cancelled."}));
        QVERIFY(setup.fixture.ui.informations().isEmpty());
        QVERIFY(folderSnapshot(balls) == before);
        QCOMPARE(label, QStringLiteral("Beta Storm"));
    }
};

QTEST_MAIN(SkinWindowTest)
#include "SkinWindowTest.moc"
