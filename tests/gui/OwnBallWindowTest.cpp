#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "app/TForm1.h"
#include "app/Widgets.h"
#include "core/OwnBallFixtures.h"
#include "library/BallTag.h"
#include "platform/IniProfile.h"
#include "support/GuiFixture.h"
#include "ui/TForm7.h"

using namespace orbisto;
using namespace orbisto::test;

namespace {

// The texts of a list box or a combo box.
template <typename List>
QStringList items(const List& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) {
        texts << list.model()->index(i, 0).data().toString();
    }
    return texts;
}

// A started program whose library holds brand Alpha (with ball Aero), with short message texts
// so the tests can tell which message was shown, and a user folder with frames to add.
struct OwnBallSetup {
    OwnBallSetup() {
        makeLibraryBall(f.appFolder(), "Alpha", "Aero");
        f.start();
        SharedState& s = f.context->state;
        s.pusmsg = "pus";
        s.istmsg = "ist";
        s.katmsg = "kat";
        s.ist2msg = "ist2";
        s.dodmsg = "dod";
        s.namemsg = "name";
        s.chkmsg = "chk";
        window = f.context->forms.form7;
        f.ui.clear(); // start-up reports the missing logo
        window->show(); // runs FormShow
    }
    ~OwnBallSetup() { window->close(); }

    fs::path balls() const { return f.appFolder() / "balls"; }
    fs::path source() const { return f.temp / "user/My ball"; }

    // Chooses `folder` with "Open folder with ball".
    void openFolder(const fs::path& folder) {
        f.ui.folderAnswers.push_back(QString::fromStdString(folder.string()));
        window->JvXPButton72->click();
    }
    // Presses "Add ball" or "Add brand" (with `name` typed); returns the information texts shown.
    QStringList addBall() {
        f.ui.clear();
        window->JvXPButton73->click();
        return f.ui.informations();
    }
    QStringList addBrand(const QString& name) {
        window->Edit2->setText(name);
        f.ui.clear();
        window->JvXPButton71->click();
        return f.ui.informations();
    }
    // Adds ball Comet to the selected brand Alpha from `folder`.
    QStringList addComet(const fs::path& folder) {
        openFolder(folder);
        window->Edit1->setText(QStringLiteral("Comet"));
        pick(*window->ComboBox1, QStringLiteral("Alpha"));
        return addBall();
    }

    GuiFixture f;
    TForm7* window = nullptr;
};

} // namespace

class OwnBallWindowTest : public QObject {
    Q_OBJECT

private slots:
    void addClick_opensOwnBallWindow() {
        GuiFixture f;
        f.start();
        f.ui.clear();
        f.main().add->click();
        QCOMPARE(f.ui.modalsShown, QStringList{QStringLiteral("Form7")});
    }

    void show_listsFramesAndBrands_keepsTypedNameButEmptiesFileList() {
        OwnBallSetup t;
        writeFrames(t.source(), frameNames());
        t.openFolder(t.source());
        t.window->Edit1->setText(QStringLiteral("Comet"));

        t.window->close();
        t.window->show();
        QCOMPARE(t.window->ListBox4->count(), 21);
        QCOMPARE(t.window->ListBox4->item(20)->text(), QStringLiteral("ball_73.png"));
        QCOMPARE(items(*t.window->ComboBox1), QStringList{QStringLiteral("Alpha")});
        QCOMPARE(t.window->Edit1->text(), QStringLiteral("Comet"));
        QCOMPARE(t.window->prev->count(), 0);
        pick(*t.window->ComboBox1, QStringLiteral("Alpha"));
        QCOMPARE(t.addBall(), QStringList{QStringLiteral("pus")}); // no files listed any more
    }

    void addBrand_refused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("unmarkedFolder");
        QTest::addColumn<QStringList>("informations");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("listed in other case") << "alpha" << false << QStringList{"ist"} << QStringList();
        QTest::newRow("unmarked folder") << "Gamma" << true << QStringList() << QStringList{"I/O error 183."};
        QTest::newRow("empty") << "" << false << QStringList{"pus"} << QStringList();
        for (const char* name : {"..", "a/b", "CON", "x.", "a|b", "../../escape", "  "}) {
            QTest::newRow(name) << name << false << QStringList{"name"} << QStringList();
        }
    }

    void addBrand_refused() {
        QFETCH(QString, name);
        QFETCH(bool, unmarkedFolder);
        OwnBallSetup t;
        if (unmarkedFolder) {
            fs::create_directories(t.balls() / name.toStdString());
        }
        const TreeSnapshot before = snapshot(t.f.temp.path());

        QTEST(t.addBrand(name), "informations");
        QTEST(t.f.ui.errors(), "errors");
        QCOMPARE(snapshot(t.f.temp.path()), before);
        QCOMPARE(items(*t.window->ComboBox1), QStringList{QStringLiteral("Alpha")});
    }

    void addBrand_newName_markedOfferedAtOnceAndKatmsg() {
        OwnBallSetup t;
        t.window->ComboBox1->setEditText(QStringLiteral("typed"));
        QCOMPARE(t.addBrand(QStringLiteral("Gamma")), QStringList{QStringLiteral("kat")});
        QCOMPARE(platform::readProfileString(t.balls() / "Gamma/tst.ini", "Sys", "Auth"), std::string("1"));
        QCOMPARE(items(*t.window->ComboBox1), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Gamma")}));
        QCOMPARE(t.window->ComboBox1->currentText(), QString());
        // Not yet in the main window: a new brand holds no balls.
        QCOMPARE(t.f.main().brand->findText(QStringLiteral("Gamma")), -1);
    }

    void addBall_all21Frames_taggedMarkedMainWindowRefreshedDodmsg() {
        OwnBallSetup t;
        writeFrames(t.source(), frameNames());
        TForm1& main = t.f.main();
        pick(*main.brand, QStringLiteral("Alpha"));
        QCOMPARE(main.lista->count(), 1);
        pick(*main.lista, 0);

        QCOMPARE(t.addComet(t.source()), QStringList{QStringLiteral("dod")});
        QCOMPARE(library::ReadBallTag(t.balls() / "Alpha/Comet/ball_73.png"), std::string("Alpha|Comet"));
        // The main window re-read the library, with no brand chosen and an empty ball list.
        QCOMPARE(items(*main.brand), (QStringList{QStringLiteral(">New balls"), QStringLiteral("Alpha")}));
        QCOMPARE(main.brand->currentIndex(), -1);
        QCOMPARE(main.lista->count(), 0);
        QVERIFY(main.state().BallName.empty()); // the ball picked before is no longer shown, nor chosen
        QCOMPARE(t.window->prev->count(), 21); // the window keeps its inputs
    }

    void addBall_frameCheck_data() {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QStringList>("informations");
        QTest::addColumn<int>("ballEntries");
        QTest::newRow("ball_33 missing") << "ball_33.png" << QStringList() << QStringList{"chk ball_33.png"} << 0;
        QTest::newRow("ball_73 missing") << "ball_73.png" << QStringList() << QStringList{"chk ball_73.png"} << 0;
        QTest::newRow("Ball_11 for ball_11") << "ball_11.png" << QStringList{"Ball_11.png"}
                                             << QStringList{"chk ball_11.png"} << 0;
        QTest::newRow("23 PNG files") << "" << QStringList{"extra.png", "Zoom.PNG"} << QStringList{"dod"} << 23 + 1;
    }

    // The check compares the 21 names exactly and refuses before copying anything; other PNG files go along.
    void addBall_frameCheck() {
        QFETCH(QString, missing);
        QFETCH(QStringList, extra);
        OwnBallSetup t;
        std::vector<std::string> names = frameNames();
        std::erase(names, missing.toStdString());
        for (const QString& name : extra) {
            names.push_back(name.toStdString());
        }
        writeFrames(t.source(), names);
        writeFile(t.source() / "notes.txt", "no frame");
        fs::create_directories(t.source() / "dir.png"); // a folder is no frame either
        const TreeSnapshot sourceBefore = snapshot(t.source());

        QTEST(t.addComet(t.source()), "informations");
        QTEST(int(snapshot(t.balls() / "Alpha/Comet").size()), "ballEntries"); // frames and marker
        QCOMPARE(snapshot(t.source()), sourceBefore);
    }

    void addBall_inputs_data() {
        QTest::addColumn<bool>("frames");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("brand");
        QTest::addColumn<QStringList>("informations");
        QTest::addColumn<bool>("added");
        QTest::newRow("no files") << false << "Comet" << "Alpha" << QStringList{"pus"} << false;
        QTest::newRow("no name") << true << "" << "Alpha" << QStringList{"pus"} << false;
        QTest::newRow("no brand") << true << "Comet" << "" << QStringList{"pus"} << false;
        QTest::newRow("unlisted brand") << true << "Comet" << "Unknown" << QStringList{"pus"} << false;
        QTest::newRow("listed brand in other case") << true << "Comet" << "aLPHA" << QStringList{"dod"} << true;
        QTest::newRow("existing ball") << true << "Aero" << "Alpha" << QStringList{"ist2"} << false;
        for (const char* name : {"..", "a/b", "CON", "x.", "a|b", "nul.png", "../../escape"}) {
            QTest::newRow(name) << true << name << "Alpha" << QStringList{"name"} << false;
        }
    }

    // The brand is typed; only a listed one (in its listed spelling) is used.
    void addBall_inputs() {
        QFETCH(bool, frames);
        QFETCH(QString, name);
        QFETCH(QString, brand);
        QFETCH(bool, added);
        OwnBallSetup t;
        writeFrames(t.source(), frames ? frameNames() : std::vector<std::string>{});
        fs::create_directories(t.source());
        t.openFolder(t.source());
        t.window->Edit1->setText(name);
        t.window->ComboBox1->setEditText(brand);
        const std::size_t entriesBefore = snapshot(t.f.temp.path()).size();

        QTEST(t.addBall(), "informations");
        QCOMPARE(snapshot(t.f.temp.path()).size(), entriesBefore + (added ? 1 + 21 + 1 : 0));
        if (added) {
            QCOMPARE(library::ReadBallTag(t.balls() / "Alpha/Comet/ball_11.png"), std::string("Alpha|Comet"));
        }
    }

    void addBall_libraryBallAsSource_staysUnchanged() {
        OwnBallSetup t;
        const fs::path aero = t.balls() / "Alpha/Aero";
        const TreeSnapshot before = snapshot(aero);
        QCOMPARE(t.addComet(aero), QStringList{QStringLiteral("dod")});
        QCOMPARE(snapshot(aero), before);
        QCOMPARE(library::ReadBallTag(t.balls() / "Alpha/Comet/ball_71.png"), std::string("Alpha|Comet"));
    }

    void addBall_sourceFrameGoneBeforeAdding_errorAndNoBallLeft() {
        OwnBallSetup t;
        writeFrames(t.source(), frameNames());
        const TreeSnapshot before = snapshot(t.balls());
        t.openFolder(t.source());
        fs::remove(t.source() / "ball_52.png"); // the check passed; the file goes before "Add ball"

        t.window->Edit1->setText(QStringLiteral("Comet"));
        pick(*t.window->ComboBox1, QStringLiteral("Alpha"));
        QVERIFY(t.addBall().isEmpty());
        QCOMPARE(t.f.ui.errors(), QStringList{QStringLiteral("File not found.")});
        QCOMPARE(snapshot(t.balls()), before); // neither the ball nor its assembly folder
        QVERIFY(t.window->Group7Box1->isEnabled());
    }

    void prev_pickedFileShownAtNaturalSize_badPngKeepsPicture() {
        OwnBallSetup t;
        writeFile(t.source() / "a.png", makePng(5, 3, 0xFF0000FFu));
        writeFile(t.source() / "b.png", "not a picture");
        t.openFolder(t.source());

        pick(*t.window->prev, 0);
        QCOMPARE(t.window->Image1->picture().size(), QSize(5, 3));
        pick(*t.window->prev, 1);
        QCOMPARE(t.f.ui.errors().size(), 1);
        QCOMPARE(t.window->Image1->picture().size(), QSize(5, 3));
    }
};

QTEST_MAIN(OwnBallWindowTest)
#include "OwnBallWindowTest.moc"
