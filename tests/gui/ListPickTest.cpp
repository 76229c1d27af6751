// Every list and box whose pick runs a handler: the focus alone (Tab, a window opening or getting its
// focus back) picks nothing; a click and the keys pick, once per pick; code that fills or clears picks nothing.

#include "gui/InstallGuiSupport.h"

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

// Tabs into `list`, clicks the row with `text` and presses each key: what `chosen` tells after each step, and
// how often the list reported a pick. The focus alone leaves no current row, so a first arrow key would pick the
// first row.
QStringList tabClickAndKeys(PickList& list, const QString& text, std::initializer_list<Qt::Key> keys,
                            const std::function<QString()>& chosen) {
    QSignalSpy picks(&list, &PickList::picked);
    tabInto(list);
    QStringList seen{chosen() + (list.currentRow() < 0 ? "" : " and a current row")};
    pick(list, text);
    seen << chosen();
    for (const Qt::Key key : keys) {
        QTest::keyClick(&list, key);
        seen << chosen();
    }
    return seen << QString("%1 picks").arg(picks.count());
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

        QCOMPARE(tabClickAndKeys(*main.lista, "Comet", {Qt::Key_Up, Qt::Key_Up, Qt::Key_End},
                                 [&] { return qtext(s.BallName); }),
                 QStringList({"", "Comet", "Arrow", "Arrow", "Comet", "3 picks"})); // Up on the first row picks nothing
        QCOMPARE(main.PreviewFrame, 1);                                             // the pick's preview restarts
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
        QStringList chosen;
        const QWidget* focusOnReopening = nullptr;
        setup.fixture.ui.onModal = [&](QDialog&) {
            activate(window);
            if (chosen.isEmpty()) { // the skins are listed in reverse order
                chosen = tabClickAndKeys(*window.lista, "First", {Qt::Key_Up}, [&] {
                    return qtext(window.ChosenSkinName + "/" + window.ChosenSkinFolder) + " " + window.Label1->text();
                });
            } else {
                focusOnReopening = QApplication::focusWidget();
                chosen << qtext(window.ChosenSkinName);
                window.intall2->click();
            }
        };

        main.install->click();
        main.install->click();

        QCOMPARE(chosen, QStringList({"/ ", "First/A1 -", "Second/B2 -", "2 picks", ""}));
        QCOMPARE(focusOnReopening, window.lista); // the focus came back to the list, as it does for the player
        QCOMPARE(setup.fixture.ui.informations(), QStringList({kSelmsg}));
        QVERIFY(setup.fixture.ui.errors().isEmpty());
        QVERIFY(!fs::exists(first / "graphics"));
        QVERIFY(!fs::exists(second / "graphics"));
    }

    // A pick counts in its own opening only: "Change" and a double click then apply nothing.
    void settingsWindow_languageList_focusPicksNothing_clicksAndKeysPickOnce_eachOpeningAfresh() {
        GuiFixture f;
        f.installShippedLanguages();
        writeFile(f.appFolder() / "Languages/Deutsch.old.ini", "[lang]\n");
        TForm1& main = f.start();
        TForm4& window = *f.context->forms.form4;
        QList<QStringList> seen;
        f.ui.onModal = [&](QDialog&) {
            activate(window);
            seen << items(*window.ListBox1);
            const auto chosen = [&] {
                return qtext(window.SelectedLanguage) + (window.JvXPButton1->isEnabled() ? " +" : "");
            };
            if (seen.size() == 1) {
                seen << tabClickAndKeys(*window.ListBox1, "English", {Qt::Key_Down}, chosen);
            } else {
                tabInto(*window.ListBox1);
                seen << QStringList{chosen()};
                window.JvXPButton1Click();
                window.ListBox1DblClick();
            }
        };

        main.settings->click();
        main.settings->click();

        const QStringList listed{"Deutsch", "Deutsch.old", "English", "Polski"};
        QCOMPARE(seen, (QList<QStringList>{listed, {"", "English +", "Polski +", "2 picks"}, listed, {"Polski"}}));
        QCOMPARE(window.ListBox1->count(), 0);
        QCOMPARE(main.install->text(), QString("Install"));
        QCOMPARE(f.settings->readText(platform::Hive::LocalMachine, kLanguageKey, "lang"), std::string());
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
        QStringList frames;
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

            frames = tabClickAndKeys(*window.prev, "b.png", {Qt::Key_Down, Qt::Key_Home}, [&] {
                const QSize size = window.Image1->picture().size();
                return QString("%1x%2").arg(size.width()).arg(size.height());
            });
            pick(*window.prev, "d.png"); // no PNG: its error is shown and the picture stays
            frames << QString("%1x%2").arg(window.Image1->picture().width()).arg(window.Image1->picture().height());
        };

        main.add->click();

        QCOMPARE(brands, QStringList({"", "Alpha", "Beta"}));
        QCOMPARE(frames, QStringList({"0x0", "7x2", "4x4", "5x3", "3 picks", "5x3"}));
        QCOMPARE(f.ui.messages.size(), std::size_t{1});
        QCOMPARE(f.ui.errors().size(), 1);
    }
};

QTEST_MAIN(ListPickTest)
#include "ListPickTest.moc"
