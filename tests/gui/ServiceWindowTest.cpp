#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "app/TForm1.h"
#include "app/Widgets.h"
#include "core/OwnBallFixtures.h"
#include "library/BallTag.h"
#include "platform/IniProfile.h"
#include "support/GuiFixture.h"
#include "ui/TForm2.h"

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

std::string marker(const fs::path& folder, const char* key) {
    return platform::readProfileString(folder / "tst.ini", "Sys", key, "<none>");
}

// Presses "Open" answering `folder` in the chooser, then "Make!" with cb as given.
void tag(GuiFixture& f, const fs::path& folder, bool markNew) {
    TForm2& window = *f.context->forms.form2;
    f.ui.folderAnswers.push_back(QString::fromStdString(folder.string()));
    window.JvXPButton1->click();
    window.cb->setChecked(markNew);
    f.ui.clear();
    window.JvXPButton2->click();
}

// The ball list the main window shows under ">New balls".
QStringList newBallsShown(TForm1& main) {
    main.brand->setCurrentIndex(main.brand->findText(QStringLiteral(">New balls")));
    return items(*main.lista);
}

} // namespace

class ServiceWindowTest : public QObject {
    Q_OBJECT

private slots:
    void doubleClickOnLogoSpot_opensServiceWindowWithFixedTexts();
    void make_beforeOpen_refusedAndNothingWalked();
    void make_oneBallMarkedNew_marksTagsCounts21ThenGotowe();
    void make_secondRunNotNew_listsStartAfreshNewBecomesZeroCount21();
    void make_markerThatCannotBeWritten_errorAndNoClosingBoxes();
    void scan_threeListedBrandsWithTwoBallsEach_label6();
    void scan_ballMarkedNewWithoutAuth_listedInNew();
    void scan_libraryGone_newEmptiedAndLabelKept();
    void scan_afterMakeOverOwnLibrary_newBallListedOnceHoweverOftenActivated();
};

void ServiceWindowTest::doubleClickOnLogoSpot_opensServiceWindowWithFixedTexts() {
    GuiFixture f;
    TForm1& main = f.start();
    QString title, openCaption, makeCaption, path;
    bool checked = true;
    f.ui.onModal = [&](QDialog& dialog) {
        auto& window = dynamic_cast<TForm2&>(dialog);
        title = window.windowTitle();
        openCaption = window.JvXPButton1->text();
        makeCaption = window.JvXPButton2->text();
        path = window.Label1->text();
        checked = window.cb->isChecked();
    };
    QTest::mouseDClick(main.Image2, Qt::LeftButton);

    QCOMPARE(f.ui.modalsShown, QStringList{QStringLiteral("Form2")});
    QCOMPARE(title, QStringLiteral(">>service form<<"));
    QCOMPARE(openCaption, QStringLiteral("Open"));
    QCOMPARE(makeCaption, QStringLiteral("Make!"));
    QCOMPARE(path, QStringLiteral("path"));
    QVERIFY(!checked);
}

void ServiceWindowTest::make_beforeOpen_refusedAndNothingWalked() {
    GuiFixture f;
    f.start();
    TForm2& window = *f.context->forms.form2;
    f.ui.clear();
    window.JvXPButton1->click(); // the chooser is cancelled
    QCOMPARE(window.Label1->text(), QStringLiteral("path"));

    const TreeSnapshot before = snapshot(f.temp.path());
    window.JvXPButton2->click();
    QCOMPARE(f.ui.plains().size(), 1);
    QVERIFY(f.ui.plains().front() != QStringLiteral("0"));
    QVERIFY(f.ui.errors().isEmpty());
    QCOMPARE(window.ListBox1->count(), 0);
    QCOMPARE(snapshot(f.temp.path()), before);
}

void ServiceWindowTest::make_oneBallMarkedNew_marksTagsCounts21ThenGotowe() {
    GuiFixture f;
    f.start();
    const fs::path library = f.temp / "lib";
    writeFrames(library / "Alpha/Comet", frameNames());

    tag(f, library, true);

    TForm2& window = *f.context->forms.form2;
    QCOMPARE(window.Label1->text(), QString::fromStdString(library.string()));
    QCOMPARE(f.ui.plains(), (QStringList{QStringLiteral("21"), QStringLiteral("Gotowe")}));
    QVERIFY(f.ui.errors().isEmpty());
    QCOMPARE(items(*window.ListBox1), QStringList{QStringLiteral("Alpha")});
    QCOMPARE(items(*window.ListBox2), QStringList{QStringLiteral("Comet")});
    QCOMPARE(window.ListBox3->count(), 21);
    QCOMPARE(window.NewValue, std::string("1"));
    QCOMPARE(marker(library / "Alpha", "Auth"), std::string("1"));
    QCOMPARE(marker(library / "Alpha/Comet", "Auth"), std::string("1"));
    QCOMPARE(marker(library / "Alpha/Comet", "New"), std::string("1"));
    QCOMPARE(library::ReadBallTag(library / "Alpha/Comet/ball_73.png"), std::string("Alpha|Comet"));
    QVERIFY(window.JvXPButton2->isEnabled());
}

void ServiceWindowTest::make_secondRunNotNew_listsStartAfreshNewBecomesZeroCount21() {
    GuiFixture f;
    f.start();
    const fs::path library = f.temp / "lib";
    writeFrames(library / "Alpha/Comet", frameNames());
    tag(f, library, true);

    tag(f, library, false);

    TForm2& window = *f.context->forms.form2;
    QCOMPARE(f.ui.plains(), (QStringList{QStringLiteral("21"), QStringLiteral("Gotowe")}));
    QCOMPARE(items(*window.ListBox1), QStringList{QStringLiteral("Alpha")});
    QCOMPARE(window.ListBox2->count(), 1);
    QCOMPARE(window.ListBox3->count(), 21);
    QCOMPARE(marker(library / "Alpha/Comet", "New"), std::string("0"));
}

void ServiceWindowTest::make_markerThatCannotBeWritten_errorAndNoClosingBoxes() {
    GuiFixture f;
    f.start();
    const fs::path library = f.temp / "lib";
    writeFrames(library / "Alpha/Comet", frameNames());
    fs::create_directories(library / "Alpha/tst.ini"); // a folder where the marker belongs

    tag(f, library, true);

    const std::string path = (library / "Alpha/tst.ini").string();
    QCOMPARE(f.ui.errors(), QStringList{QString::fromStdString("Unable to write to " + path + ".")});
    QVERIFY(f.ui.plains().isEmpty());
    QCOMPARE(library::ReadBallTag(library / "Alpha/Comet/ball_11.png"), std::string());
    QVERIFY(f.context->forms.form2->JvXPButton2->isEnabled());
}

void ServiceWindowTest::scan_threeListedBrandsWithTwoBallsEach_label6() {
    GuiFixture f;
    for (const char* brand : {"Alpha", "Beta", "Gamma"}) {
        makeLibraryBall(f.appFolder(), brand, "One");
        makeLibraryBall(f.appFolder(), brand, "Two");
    }
    makeLibraryBall(f.appFolder(), "Unlisted", "Three", true, false);
    TForm1& main = f.start();

    main.FormActivate();

    QCOMPARE(main.Label1->text(), QStringLiteral("6"));
    QCOMPARE(main.ListBox1->count(), 3);
    QCOMPARE(main.ListBox2->count(), 6);
    QCOMPARE(main.new_->count(), 0);
}

void ServiceWindowTest::scan_ballMarkedNewWithoutAuth_listedInNew() {
    GuiFixture f;
    writeMarker(f.appFolder() / "balls/Ad-Lib", "Auth=1");
    writeMarker(f.appFolder() / "balls/Ad-Lib/Pro-1", "New=1");
    TForm1& main = f.start();

    main.JvXPButton1->click();

    QCOMPARE(items(*main.new_), QStringList{QStringLiteral("Ad-Lib-Pro-1")});
    const auto& entries = f.context->state.newBalls;
    QCOMPARE(entries.size(), std::size_t(1));
    QCOMPARE(entries[0].brand, std::string("Ad-Lib"));
    QCOMPARE(entries[0].ball, std::string("Pro-1"));
    QCOMPARE(newBallsShown(main), QStringList{QStringLiteral("Ad-Lib-Pro-1")});
}

void ServiceWindowTest::scan_libraryGone_newEmptiedAndLabelKept() {
    GuiFixture f;
    makeLibraryBall(f.appFolder(), "Alpha", "Comet");
    writeMarker(f.appFolder() / "balls/Alpha/Comet", "Auth=1\r\nNew=1");
    TForm1& main = f.start();
    main.FormActivate();
    QCOMPARE(main.new_->count(), 1);
    QCOMPARE(main.Label1->text(), QStringLiteral("1"));

    fs::remove_all(f.appFolder() / "balls");
    main.FormActivate();

    QCOMPARE(main.new_->count(), 0);
    QVERIFY(f.context->state.newBalls.empty());
    QCOMPARE(main.ListBox2->count(), 0);
    QCOMPARE(main.Label1->text(), QStringLiteral("1"));
}

void ServiceWindowTest::scan_afterMakeOverOwnLibrary_newBallListedOnceHoweverOftenActivated() {
    GuiFixture f;
    makeLibraryBall(f.appFolder(), "Alpha", "Comet", false, false);
    TForm1& main = f.start();
    f.ui.onModal = [&](QDialog&) { tag(f, f.appFolder() / "balls", true); };
    main.Image2DblClick();
    QCOMPARE(f.ui.plains(), (QStringList{QStringLiteral("21"), QStringLiteral("Gotowe")}));

    for (int i = 0; i < 3; ++i) {
        main.FormActivate();
    }
    main.wczytaj();

    QCOMPARE(items(*main.new_), QStringList{QStringLiteral("Alpha-Comet")});
    QCOMPARE(newBallsShown(main), QStringList{QStringLiteral("Alpha-Comet")});
    QCOMPARE(main.Label1->text(), QStringLiteral("1"));
}

QTEST_MAIN(ServiceWindowTest)
#include "ServiceWindowTest.moc"
