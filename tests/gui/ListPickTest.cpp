// Every list and box whose pick runs a handler: the focus alone (Tab, a window opening or getting its
// focus back) picks nothing; a click and the keys pick, once per pick; code that fills or clears picks nothing.

#include "app/Widgets.h"
#include "gui/InstallGuiSupport.h"
#include "install/TForm3.h"
#include "ui/TForm4.h"
#include "ui/TForm7.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

using namespace orbisto;
using namespace orbisto::test;

namespace {

// Shows a window and waits until it is the active one, so the focus moves as it does for the player.
void activate(QWidget& window) {
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

bool hasFocus(const QWidget& control) {
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && (focus == &control || control.isAncestorOf(focus));
}

// Presses Tab, from whatever control has the focus, until `control` has it.
void tabInto(QWidget& control) {
    for (int i = 0; i < 40 && !hasFocus(control); ++i) {
        QWidget* from = QApplication::focusWidget();
        QVERIFY2(from != nullptr, "no control has the focus");
        QTest::keyClick(from, Qt::Key_Tab);
    }
    QVERIFY2(hasFocus(control), qPrintable("Tab never reached " + control.objectName()));
}

QString picked(const QListWidget& list) {
    const QListWidgetItem* item = pickedItem(list);
    return item == nullptr ? QString() : item->text();
}

} // namespace

class ListPickTest : public QObject {
    Q_OBJECT

private slots:
    // What no window test reaches: code, a second click, Ctrl+click, double click, drag and type-ahead.
    void pickList_onlyANewSelectionByThePlayerPicks() {
        QWidget window;
        window.resize(200, 200);
        auto* list = new PickList(&window);
        list->setGeometry(0, 0, 200, 200);
        list->addItems({"Arrow", "Bolt", "Comet", "Dart"});
        activate(window);
        QSignalSpy picks(list, &PickList::picked);

        list->setFocus(Qt::TabFocusReason);
        list->setCurrentRow(1); // code
        list->clear();
        list->addItems({"Arrow", "Bolt", "Comet", "Dart"});
        QCOMPARE(picks.count(), 0);
        QCOMPARE(list->currentRow(), -1);
        QTest::keyClick(list, Qt::Key_Down); // with no current row, the first key picks the first row
        QCOMPARE(picked(*list), QString("Arrow"));

        const auto centre = [list](int row) { return list->visualItemRect(list->item(row)).center(); };
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre(1));                  // the same again
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, centre(1)); // cannot take it away
        QCOMPARE(picks.count(), 2);
        QCOMPARE(picked(*list), QString("Bolt"));

        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre(2));
        QCOMPARE(picks.count(), 3);
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, centre(0));
        QTest::mouseMove(list->viewport(), centre(3));
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, centre(3));
        QCOMPARE(picked(*list), QString("Dart"));
        const auto afterDrag = picks.count();
        QVERIFY(afterDrag >= 5); // a pick at the press and at every new row on the way
        QTest::keyClicks(list, "b");
        QCOMPARE(picked(*list), QString("Bolt"));
        QCOMPARE(picks.count(), afterDrag + 1);
    }

    void mainWindow_focusPicksNothing_clicksAndKeysPickOnce_brandChangeForgetsTheBall() {
        InstallSetup setup; // brand Alpha with ball Comet
        makeLibraryBall(setup.fixture.appFolder(), "Alpha", "Arrow");
        makeLibraryBall(setup.fixture.appFolder(), "Zeta", "Zed");
        TForm1& main = setup.start({}, {});
        activate(main);
        QSignalSpy brandPicks(main.brand, &QComboBox::activated);
        QSignalSpy ballPicks(main.lista, &PickList::picked);
        const SharedState& s = main.state();

        tabInto(*main.brand);
        QCOMPARE(main.brand->currentIndex(), -1);
        QCOMPARE(main.lista->count(), 0);
        pick(*main.brand, "Alpha");
        QCOMPARE(items(*main.lista), QStringList({"Arrow", "Comet"}));
        QTest::keyClick(main.brand, Qt::Key_Down);
        QCOMPARE(items(*main.lista), QStringList({"Zed"}));
        QTest::keyClick(main.brand, Qt::Key_Up);
        QCOMPARE(qtext(s.ChosenBrand), QString("Alpha"));
        QCOMPARE(brandPicks.count(), 3);

        tabInto(*main.lista);
        QCOMPARE(ballPicks.count(), 0);
        QCOMPARE(main.lista->currentRow(), -1);
        QCOMPARE(qtext(s.BallName), QString());
        pick(*main.lista, "Comet");
        QCOMPARE(qtext(s.BallName), QString("Comet"));
        QTest::keyClick(main.lista, Qt::Key_Up);
        QCOMPARE(qtext(s.BallName), QString("Arrow"));
        QTest::keyClick(main.lista, Qt::Key_Up); // already the first: no pick
        QTest::keyClick(main.lista, Qt::Key_End);
        QCOMPARE(qtext(s.BallName), QString("Comet"));
        QCOMPARE(ballPicks.count(), 3);
        QCOMPARE(main.PreviewFrame, 1); // the pick's preview restarts
        QVERIFY2(setup.fixture.ui.messages.empty(), qPrintable(setup.fixture.ui.errors().join(" / ")));

        // A brand change forgets the ball, also when the list then gets the focus: Install asks for one.
        setup.installOldBall();
        const auto normalBefore = folderSnapshot(setup.normal());
        const auto winterBefore = folderSnapshot(setup.winter());
        main.rbnaw->setChecked(true);
        pick(*main.brand, "Zeta");
        pick(*main.brand, "Alpha");
        tabInto(*main.lista);
        QCOMPARE(picked(*main.lista), QString());
        QCOMPARE(qtext(s.BallName), QString());
        main.install->click();
        QCOMPARE(setup.fixture.ui.informations(), QStringList({kSelmsg}));
        QVERIFY(folderSnapshot(setup.normal()) == normalBefore && folderSnapshot(setup.winter()) == winterBefore);
    }

    void skinWindow_focusPicksNothing_andReopenedThroughInstallAsksForASkinAgain() {
        InstallSetup setup;
        const fs::path first = makeSkin(setup.game, "A1", "First");
        const fs::path second = makeSkin(setup.game, "B2", "Second");
        TForm1& main = setup.start();
        main.cbinstall->setChecked(true);
        TForm3& window = *main.context().forms.form3;
        QSignalSpy picks(window.lista, &PickList::picked);
        QStringList chosen;
        const QWidget* focusOnReopening = nullptr;
        setup.fixture.ui.onModal = [&](QDialog&) {
            activate(window);
            if (focusOnReopening == nullptr && picks.isEmpty()) {
                tabInto(*window.lista);
                chosen << qtext(window.ChosenSkinName) << window.Label1->text();
                pick(*window.lista, "First");
                chosen << qtext(window.ChosenSkinName);
                QTest::keyClick(window.lista, window.lista->currentRow() == 0 ? Qt::Key_Down : Qt::Key_Up);
                chosen << qtext(window.ChosenSkinName + "/" + window.ChosenSkinFolder) << window.Label1->text();
            } else {
                focusOnReopening = QApplication::focusWidget();
                chosen << qtext(window.ChosenSkinName);
                window.intall2->click();
            }
        };

        main.install->click();
        main.install->click();

        QCOMPARE(picks.count(), 2);
        QCOMPARE(chosen, QStringList({"", "", "First", "Second/B2", "-", ""}));
        QCOMPARE(focusOnReopening, window.lista); // the focus came back to the list, as it does for the player
        QCOMPARE(setup.fixture.ui.informations(), QStringList({kSelmsg}));
        QVERIFY(setup.fixture.ui.errors().isEmpty());
        QVERIFY(!fs::exists(first / "graphics"));
        QVERIFY(!fs::exists(second / "graphics"));
    }

    void settingsWindow_languageList_focusPicksNothing_clicksAndKeysPickOnce() {
        GuiFixture f;
        f.installShippedLanguages();
        TForm1& main = f.start();
        TForm4& window = *f.context->forms.form4;
        QSignalSpy picks(window.ListBox1, &PickList::picked);
        QStringList listed;
        QStringList seen;
        f.ui.onModal = [&](QDialog&) {
            activate(window);
            listed = items(*window.ListBox1);
            tabInto(*window.ListBox1);
            seen << qtext(window.SelectedLanguage) << (window.JvXPButton1->isEnabled() ? "enabled" : "disabled");
            pick(*window.ListBox1, 2);
            seen << qtext(window.SelectedLanguage);
            QTest::keyClick(window.ListBox1, Qt::Key_Up);
            seen << qtext(window.SelectedLanguage) << (window.JvXPButton1->isEnabled() ? "enabled" : "disabled");
        };

        main.settings->click();

        QCOMPARE(listed.size(), 3);
        QCOMPARE(seen, QStringList({"", "disabled", listed[2], listed[1], "enabled"}));
        QCOMPARE(picks.count(), 2);
        QCOMPARE(window.ListBox1->count(), 0);
        QCOMPARE(qtext(window.SelectedLanguage), listed[1]); // emptying the list after closing is no pick
        QCOMPARE(main.Label5->text(), QString("English"));   // a pick alone applies nothing
    }

    void ownBallWindow_frameListAndBrandBox_focusPicksNothing_clicksAndKeysPick_badPngKeepsPicture() {
        GuiFixture f;
        makeLibraryBall(f.appFolder(), "Alpha", "Aero");
        makeLibraryBall(f.appFolder(), "Beta", "Bolt");
        const fs::path source = f.temp / "user/frames";
        writeFile(source / "a.png", makePng(5, 3, 0xFF0000FFu));
        writeFile(source / "b.png", makePng(7, 2, 0x00FF00FFu));
        writeFile(source / "c.png", makePng(4, 4, 0x0000FFFFu));
        writeFile(source / "d.png", "not a picture");
        TForm1& main = f.start();
        f.ui.clear(); // start-up reports the missing logo
        TForm7& window = *f.context->forms.form7;
        QSignalSpy picks(window.prev, &PickList::picked);
        QList<QSize> pictures;
        QStringList brands;
        f.ui.onModal = [&](QDialog&) {
            activate(window);
            f.ui.folderAnswers.push_back(QString::fromStdString(source.string()));
            window.JvXPButton72->click();

            tabInto(*window.ComboBox1);
            brands << window.ComboBox1->currentText();
            QTest::keyClick(window.ComboBox1, Qt::Key_Down);
            brands << window.ComboBox1->currentText();
            pick(*window.ComboBox1, "Beta");
            brands << window.ComboBox1->currentText();

            tabInto(*window.prev);
            pictures << window.Image1->picture().size();
            pick(*window.prev, "b.png");
            pictures << window.Image1->picture().size();
            QTest::keyClick(window.prev, Qt::Key_Down);
            pictures << window.Image1->picture().size();
            QTest::keyClick(window.prev, Qt::Key_Home);
            pictures << window.Image1->picture().size();
            pick(*window.prev, "d.png"); // no PNG: its error is shown and the picture stays
            pictures << window.Image1->picture().size();
        };

        main.add->click();

        QCOMPARE(brands, QStringList({"", "Alpha", "Beta"}));
        QCOMPARE(picks.count(), 4);
        QCOMPARE(pictures, QList<QSize>({QSize(0, 0), QSize(7, 2), QSize(4, 4), QSize(5, 3), QSize(5, 3)}));
        QCOMPARE(f.ui.messages.size(), std::size_t{1});
        QCOMPARE(f.ui.errors().size(), 1);
    }
};

QTEST_MAIN(ListPickTest)
#include "ListPickTest.moc"
