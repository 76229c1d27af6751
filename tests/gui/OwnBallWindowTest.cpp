#include "core/OwnBallFixtures.h"
#include "platform/IniProfile.h"
#include "support/GuiFixture.h"

using namespace orbisto;
using namespace orbisto::test;

namespace {

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
        f.ui.clear();   // start-up reports the missing logo
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
    // Presses "Add ball" or "Add brand" (with `name` typed); returns the texts shown, errors marked "!".
    QString addBall() { return press(window->JvXPButton73); }
    QString addBrand(const QString& name) {
        window->Edit2->setText(name);
        return press(window->JvXPButton71);
    }
    QString press(QPushButton* button) {
        f.ui.clear();
        button->click();
        QStringList shown = f.ui.informations();
        for (const QString& error : f.ui.errors()) {
            shown << "!" + error;
        }
        return shown.join(" | ");
    }
    // Adds ball Comet to the selected brand Alpha from `folder`.
    QString addComet(const fs::path& folder) {
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
        QCOMPARE(t.addBall(), QStringLiteral("pus")); // no files listed any more
    }

    // A refused name creates nothing anywhere; a new one is marked and offered at once.
    void addBrand_refusedNamesCreateNothing_newNameMarkedAndOffered() {
        OwnBallSetup t;
        fs::create_directories(t.balls() / "Gamma"); // an unmarked folder
        const TreeSnapshot before = snapshot(t.f.temp.path());
        const std::pair<const char*, const char*> refused[] = {
            {"alpha", "ist"}, {"Gamma", "!I/O error 183."},
            {"", "pus"},      {"..", "name"},
            {"a/b", "name"},  {"CON", "name"},
            {"x.", "name"},   {"a|b", "name"},
        };
        for (const auto& [name, shown] : refused) {
            QCOMPARE(name + (": " + t.addBrand(name)), name + (": " + QString(shown)));
        }
        QCOMPARE(snapshot(t.f.temp.path()), before);
        QCOMPARE(items(*t.window->ComboBox1), QStringList{QStringLiteral("Alpha")});

        t.window->ComboBox1->setEditText(QStringLiteral("typed"));
        QCOMPARE(t.addBrand(QStringLiteral("Delta")), QStringLiteral("kat"));
        QCOMPARE(platform::readProfileString(t.balls() / "Delta/tst.ini", "Sys", "Auth"), std::string("1"));
        QCOMPARE(items(*t.window->ComboBox1), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Delta")}));
        QCOMPARE(t.window->ComboBox1->currentText(), QString());
        // Not yet in the main window: a new brand holds no balls.
        QCOMPARE(t.f.main().brand->findText(QStringLiteral("Delta")), -1);
    }

    void addBall_all21Frames_taggedMarkedMainWindowRefreshedDodmsg() {
        OwnBallSetup t;
        writeFrames(t.source(), frameNames());
        TForm1& main = t.f.main();
        pick(*main.brand, QStringLiteral("Alpha"));
        pick(*main.lista, 0);

        QCOMPARE(t.addComet(t.source()), QStringLiteral("dod"));
        QCOMPARE(library::ReadBallTag(t.balls() / "Alpha/Comet/ball_73.png"), std::string("Alpha|Comet"));
        // The main window re-read the library, with no brand chosen and an empty ball list.
        QCOMPARE(items(*main.brand), (QStringList{QStringLiteral(">New balls"), QStringLiteral("Alpha")}));
        QCOMPARE(main.brand->currentIndex(), -1);
        QCOMPARE(main.lista->count(), 0);
        QVERIFY(main.state().BallName.empty()); // the ball picked before is no longer shown, nor chosen
        QCOMPARE(t.window->prev->count(), 21);  // the window keeps its inputs
    }

    // The check compares the 21 names exactly and refuses before copying anything; other PNG files go
    // along; the source folder never changes.
    void addBall_frameCheck() {
        OwnBallSetup t;
        const std::tuple<const char*, std::vector<std::string>, const char*, std::size_t> cases[] = {
            {"ball_33.png", {}, "chk ball_33.png", 0},
            {"ball_73.png", {}, "chk ball_73.png", 0},
            {"ball_11.png", {"Ball_11.png"}, "chk ball_11.png", 0},
            {"", {"extra.png", "Zoom.PNG"}, "dod", 23 + 1}, // frames and marker
        };
        for (const auto& [missing, extra, shown, ballEntries] : cases) {
            const fs::path source = t.f.temp / "user" / (std::string(missing) + "missing");
            std::vector<std::string> names = frameNames();
            std::erase(names, std::string(missing));
            names.insert(names.end(), extra.begin(), extra.end());
            writeFrames(source, names);
            writeFile(source / "notes.txt", "no frame");
            fs::create_directories(source / "dir.png"); // a folder is no frame either
            const TreeSnapshot sourceBefore = snapshot(source);

            QCOMPARE(missing + (": " + t.addComet(source)), missing + (": " + QString(shown)));
            QCOMPARE(snapshot(t.balls() / "Alpha/Comet").size(), ballEntries);
            QCOMPARE(snapshot(source), sourceBefore);
        }
    }

    // The brand is typed; only a listed one (in its listed spelling) is used.
    void addBall_inputs() {
        OwnBallSetup t;
        fs::create_directories(t.source());
        t.openFolder(t.source()); // no files
        t.window->Edit1->setText("Comet");
        t.window->ComboBox1->setEditText("Alpha");
        QCOMPARE(t.addBall(), QStringLiteral("pus"));

        writeFrames(t.source(), frameNames());
        t.openFolder(t.source());
        const std::size_t entriesBefore = snapshot(t.f.temp.path()).size();
        const std::tuple<const char*, const char*, const char*> cases[] = {
            {"", "Alpha", "pus"},    {"Comet", "", "pus"},     {"Comet", "Unknown", "pus"},  {"Aero", "Alpha", "ist2"},
            {"..", "Alpha", "name"}, {"a|b", "Alpha", "name"}, {"nul.png", "Alpha", "name"},
        };
        for (const auto& [name, brand, shown] : cases) {
            t.window->Edit1->setText(name);
            t.window->ComboBox1->setEditText(brand);
            QCOMPARE(QString(name) + "/" + brand + ": " + t.addBall(), QString(name) + "/" + brand + ": " + shown);
        }
        QCOMPARE(snapshot(t.f.temp.path()).size(), entriesBefore);

        t.window->Edit1->setText("Comet");
        t.window->ComboBox1->setEditText("aLPHA");
        QCOMPARE(t.addBall(), QStringLiteral("dod"));
        QCOMPARE(snapshot(t.f.temp.path()).size(), entriesBefore + 1 + 21 + 1);
        QCOMPARE(library::ReadBallTag(t.balls() / "Alpha/Comet/ball_11.png"), std::string("Alpha|Comet"));
    }

    void addBall_libraryBallAsSource_staysUnchanged() {
        OwnBallSetup t;
        const fs::path aero = t.balls() / "Alpha/Aero";
        const TreeSnapshot before = snapshot(aero);
        QCOMPARE(t.addComet(aero), QStringLiteral("dod"));
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
        QCOMPARE(t.addBall(), QStringLiteral("!File not found."));
        QCOMPARE(snapshot(t.balls()), before); // neither the ball nor its assembly folder
        QVERIFY(t.window->Group7Box1->isEnabled());
    }
};

QTEST_MAIN(OwnBallWindowTest)
#include "OwnBallWindowTest.moc"
