#include "core/OwnBallFixtures.h"
#include "library/NewBallScan.h"
#include "platform/IniProfile.h"
#include "support/GuiFixture.h"

using namespace orbisto;
using namespace orbisto::test;

namespace {

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
    pick(*main.brand, QStringLiteral(">New balls"));
    return items(*main.lista);
}

const QStringList countAndGotowe{QStringLiteral("21"), QStringLiteral("Gotowe")};

} // namespace

class ServiceWindowTest : public QObject {
    Q_OBJECT

private slots:
    void make_refusedBeforeOpen_marksTagsAndCounts_secondRunRewritesNewAndListsStartAfresh() {
        GuiFixture f;
        f.start();
        TForm2& window = *f.context->forms.form2;
        const fs::path library = f.temp / "lib";
        writeFrames(library / "Alpha/Comet", frameNames());
        f.ui.clear();
        window.JvXPButton1->click(); // the chooser is cancelled
        const TreeSnapshot before = snapshot(f.temp.path());
        window.JvXPButton2->click();
        QCOMPARE(f.ui.plains().size(), 1);
        QVERIFY(f.ui.plains().front() != QStringLiteral("0"));
        QCOMPARE(snapshot(f.temp.path()), before);

        tag(f, library, true);
        QCOMPARE(window.Label1->text(), QString::fromStdString(library.string()));
        QCOMPARE(f.ui.plains(), countAndGotowe);
        QCOMPARE(marker(library / "Alpha", "Auth"), std::string("1"));
        QCOMPARE(marker(library / "Alpha/Comet", "Auth"), std::string("1"));
        QCOMPARE(marker(library / "Alpha/Comet", "New"), std::string("1"));
        QCOMPARE(library::ReadBallTag(library / "Alpha/Comet/ball_73.png"), std::string("Alpha|Comet"));

        tag(f, library, false);
        QCOMPARE(f.ui.plains(), countAndGotowe);
        QCOMPARE(items(*window.ListBox1), QStringList{QStringLiteral("Alpha")});
        QCOMPARE(items(*window.ListBox2), QStringList{QStringLiteral("Comet")});
        QCOMPARE(window.ListBox3->count(), 21);
        QCOMPARE(marker(library / "Alpha/Comet", "New"), std::string("0"));
    }

    void make_markerThatCannotBeWritten_errorAndNoClosingBoxes() {
        GuiFixture f;
        f.start();
        const fs::path brand = f.temp / "lib/Alpha";
        writeFrames(brand / "Comet", frameNames());
        fs::create_directories(brand / "tst.ini"); // a folder where the marker belongs

        tag(f, f.temp / "lib", true);
        const std::string message = "Unable to write to " + (brand / "tst.ini").string() + ".";
        QCOMPARE(f.ui.errors(), QStringList{QString::fromStdString(message)});
        QVERIFY(f.ui.plains().isEmpty());
        QVERIFY(f.context->forms.form2->JvXPButton2->isEnabled());
    }

    void scan_afterMakeOverOwnLibrary_newBallListedOnceHoweverOftenActivated() {
        GuiFixture f;
        makeLibraryBall(f.appFolder(), "Alpha", "Comet", false, false);
        TForm1& main = f.start();
        f.ui.onModal = [&](QDialog&) { tag(f, f.appFolder() / "balls", true); };
        QTest::mouseDClick(main.Image2, Qt::LeftButton); // the service window opens from the logo's spot
        QCOMPARE(f.ui.plains(), countAndGotowe);

        for (int i = 0; i < 3; ++i) {
            main.FormActivate();
        }
        main.wczytaj();
        QCOMPARE(items(*main.new_), QStringList{QStringLiteral("Alpha-Comet")});
        QCOMPARE(newBallsShown(main), QStringList{QStringLiteral("Alpha-Comet")});
        QCOMPARE(main.Label1->text(), QStringLiteral("1"));
    }

    // Every ball folder of a listed brand counts; a ball marked new is listed as new, with "Auth" or without.
    // Between activations another program removes balls, adds one and unmarks a new ball: the hidden lists,
    // the count, the brand box and the ball list show what a fresh read of the disk shows. Without a library,
    // "new" empties and the count stays.
    void scan_countsAndNewBalls_libraryChangedBetweenActivations_windowShowsAFreshRead() {
        GuiFixture f;
        const fs::path balls = f.appFolder() / "balls";
        for (const char* brand : {"Alpha", "Beta", "Gamma"}) {
            makeLibraryBall(f.appFolder(), brand, "One", false);
            makeLibraryBall(f.appFolder(), brand, "Two", false);
        }
        writeMarker(balls / "Alpha/One", "New=1");
        TForm1& main = f.start();
        main.JvXPButton1->click();
        QCOMPARE(main.Label1->text(), QStringLiteral("6"));
        QCOMPARE(items(*main.new_), QStringList{QStringLiteral("Alpha-One")});

        fs::remove_all(balls / "Alpha/Two");
        fs::remove_all(balls / "Gamma/Two");
        makeLibraryBall(f.appFolder(), "Beta", "Four", false);
        writeMarker(balls / "Beta/Four", "Auth=1\r\nNew=1");
        writeMarker(balls / "Alpha/One", "Auth=1\r\nNew=0");
        main.FormActivate();
        const auto fresh = library::scanNewBalls(platform::localFileSystem(), f.appFolder());
        QCOMPARE(items(*main.ListBox1), qtexts(fresh.brands));
        QCOMPARE(items(*main.ListBox2), qtexts(fresh.balls));
        QCOMPARE(items(*main.new_), QStringList{QStringLiteral("Beta-Four")});
        QCOMPARE(newBallsShown(main), QStringList{QStringLiteral("Beta-Four")});
        QCOMPARE(main.Label1->text(), QStringLiteral("5"));

        fs::remove_all(balls / "Alpha");
        main.wczytaj();
        QCOMPARE(items(*main.brand), (QStringList{">New balls", "Beta", "Gamma"}));
        pick(*main.brand, QStringLiteral("Beta"));
        QCOMPARE(items(*main.lista), (QStringList{"Four", "One", "Two"}));

        fs::remove_all(balls);
        main.FormActivate();
        QCOMPARE(main.new_->count(), 0);
        QVERIFY(f.context->state.newBalls.empty());
        QCOMPARE(main.Label1->text(), QStringLiteral("5"));
    }
};

QTEST_MAIN(ServiceWindowTest)
#include "ServiceWindowTest.moc"
