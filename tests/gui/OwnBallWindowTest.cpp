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

QStringList items(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) {
        texts << list.item(i)->text();
    }
    return texts;
}

QStringList items(const QComboBox& box) {
    QStringList texts;
    for (int i = 0; i < box.count(); ++i) {
        texts << box.itemText(i);
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
    void chooseBrand(const QString& name) { window->ComboBox1->setCurrentIndex(window->ComboBox1->findText(name)); }
    // Fills in ball Comet of brand Alpha from `folder` and presses "Add ball".
    void addComet(const fs::path& folder) {
        openFolder(folder);
        window->Edit1->setText(QStringLiteral("Comet"));
        chooseBrand(QStringLiteral("Alpha"));
        f.ui.clear();
        window->JvXPButton73->click();
    }
    void addBrand(const QString& name) {
        f.ui.clear();
        window->Edit2->setText(name);
        window->JvXPButton71->click();
    }

    GuiFixture f;
    TForm7* window = nullptr;
};

} // namespace

class OwnBallWindowTest : public QObject {
    Q_OBJECT

private slots:
    void addClick_opensWindowWithFrameNamesAndBrands();
    void show_keepsTypedTextsAndFolderButEmptiesFileList();
    void addBrand_listedNameInOtherCase_istmsgAndNothingCreated();
    void addBrand_unmarkedFolderExists_error183AndNoMarker();
    void addBrand_refusedNames_namemsgAndNothingCreatedAnywhere();
    void addBrand_newName_markedOfferedAtOnceAndKatmsg();
    void addBall_all21Frames_taggedMarkedMainWindowRefreshedDodmsg();
    void addBall_frameMissing_chkmsgNamesItAndNothingCopied();
    void addBall_capitalisedFrameName_failsCheck();
    void addBall_extraPngFiles_all23Copied();
    void addBall_libraryBallAsSource_staysListedAndUnchanged();
    void addBall_sameNameTwice_ist2msg();
    void addBall_missingInputs_pusmsg();
    void addBall_typedBrand_usedIgnoringCaseOnlyWhenListed();
    void addBall_refusedBallName_namemsgAndNothingCreated();
    void addBall_sourceFrameGoneBeforeAdding_errorAndNoBallLeft();
    void prev_pickedFileShownAtNaturalSize_badPngKeepsPicture();
};

void OwnBallWindowTest::addClick_opensWindowWithFrameNamesAndBrands() {
    GuiFixture f;
    makeLibraryBall(f.appFolder(), "beta", "Aero");
    makeLibraryBall(f.appFolder(), "Alpha", "Aero");
    makeLibraryBall(f.appFolder(), "Hidden", "Aero", true, false);
    TForm1& main = f.start();
    f.ui.clear();
    QStringList frames, brands;
    f.ui.onModal = [&](QDialog& dialog) {
        auto& window = dynamic_cast<TForm7&>(dialog);
        frames = items(*window.ListBox4);
        brands = items(*window.ComboBox1);
        QCOMPARE(items(*window.ListBox1), brands);
        QCOMPARE(window.ComboBox1->currentText(), QString());
        QCOMPARE(window.BallsFolder, f.appFolder().string() + "/balls/");
    };
    main.add->click();

    QCOMPARE(f.ui.modalsShown, QStringList{QStringLiteral("Form7")});
    QCOMPARE(frames.size(), 21);
    QCOMPARE(frames.front(), QStringLiteral("ball_11.png"));
    QCOMPARE(frames.back(), QStringLiteral("ball_73.png"));
    QCOMPARE(brands, (QStringList{QStringLiteral("Alpha"), QStringLiteral("beta")}));
    QVERIFY(f.ui.errors().isEmpty());
}

void OwnBallWindowTest::show_keepsTypedTextsAndFolderButEmptiesFileList() {
    OwnBallSetup t;
    writeFrames(t.source(), frameNames());
    t.openFolder(t.source());
    t.window->Edit1->setText(QStringLiteral("Comet"));
    t.window->Edit2->setText(QStringLiteral("Gamma"));
    QCOMPARE(t.window->prev->count(), 21);

    t.window->close();
    t.window->show();
    QCOMPARE(t.window->prev->count(), 0);
    QCOMPARE(t.window->Edit1->text(), QStringLiteral("Comet"));
    QCOMPARE(t.window->Edit2->text(), QStringLiteral("Gamma"));
    QCOMPARE(t.window->OwnBallFolder, t.source().string());
    QCOMPARE(t.window->ListBox4->count(), 21);
    QCOMPARE(t.window->ListBox1->count(), 1);

    // Nothing listed after the showing: "Add ball" asks for the fields again.
    t.chooseBrand(QStringLiteral("Alpha"));
    t.window->JvXPButton73->click();
    QCOMPARE(t.f.ui.informations().last(), QStringLiteral("pus"));
}

void OwnBallWindowTest::addBrand_listedNameInOtherCase_istmsgAndNothingCreated() {
    OwnBallSetup t;
    const TreeSnapshot before = snapshot(t.f.temp.path());
    t.addBrand(QStringLiteral("alpha"));
    QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("ist")});
    QCOMPARE(snapshot(t.f.temp.path()), before);
}

void OwnBallWindowTest::addBrand_unmarkedFolderExists_error183AndNoMarker() {
    OwnBallSetup t;
    fs::create_directories(t.balls() / "Gamma");
    t.addBrand(QStringLiteral("Gamma"));
    QCOMPARE(t.f.ui.errors(), QStringList{QStringLiteral("I/O error 183.")});
    QVERIFY(t.f.ui.informations().isEmpty());
    QVERIFY(!fs::exists(t.balls() / "Gamma/tst.ini"));
    QCOMPARE(items(*t.window->ComboBox1), QStringList{QStringLiteral("Alpha")});
}

void OwnBallWindowTest::addBrand_refusedNames_namemsgAndNothingCreatedAnywhere() {
    OwnBallSetup t;
    const TreeSnapshot before = snapshot(t.f.temp.path());
    for (const char* name : {"..", "a/b", "CON", "x.", "a|b", "../../escape", "  "}) {
        t.addBrand(QString::fromUtf8(name));
        QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("name")});
        QVERIFY(t.f.ui.errors().isEmpty());
    }
    t.addBrand(QString());
    QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("pus")});
    QCOMPARE(snapshot(t.f.temp.path()), before);
}

void OwnBallWindowTest::addBrand_newName_markedOfferedAtOnceAndKatmsg() {
    OwnBallSetup t;
    t.window->ComboBox1->setEditText(QStringLiteral("typed"));
    t.addBrand(QStringLiteral("Gamma"));
    QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("kat")});
    QCOMPARE(platform::readProfileString(t.balls() / "Gamma/tst.ini", "Sys", "Auth"), std::string("1"));
    QCOMPARE(items(*t.window->ComboBox1), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Gamma")}));
    QCOMPARE(items(*t.window->ListBox1), items(*t.window->ComboBox1));
    QCOMPARE(t.window->ComboBox1->currentText(), QString());
    // Not yet in the main window: a new brand holds no balls.
    QCOMPARE(t.f.main().brand->findText(QStringLiteral("Gamma")), -1);
}

void OwnBallWindowTest::addBall_all21Frames_taggedMarkedMainWindowRefreshedDodmsg() {
    OwnBallSetup t;
    writeFrames(t.source(), frameNames());
    const TreeSnapshot sourceBefore = snapshot(t.source());
    TForm1& main = t.f.main();
    main.brand->setCurrentIndex(main.brand->findText(QStringLiteral("Alpha")));
    QCOMPARE(main.lista->count(), 1);

    t.addComet(t.source());

    QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("dod")});
    QVERIFY(t.f.ui.errors().isEmpty());
    const fs::path ball = t.balls() / "Alpha/Comet";
    for (const std::string& frame : frameNames()) {
        QCOMPARE(library::ReadBallTag(ball / frame), std::string("Alpha|Comet"));
    }
    QCOMPARE(platform::readProfileString(ball / "tst.ini", "Sys", "Auth"), std::string("1"));
    QCOMPARE(snapshot(t.source()), sourceBefore);
    // The main window re-read the library, with no brand chosen and an empty ball list.
    QCOMPARE(items(*main.brand), (QStringList{QStringLiteral(">New balls"), QStringLiteral("Alpha")}));
    QCOMPARE(main.brand->currentIndex(), -1);
    QCOMPARE(main.lista->count(), 0);
    // The window keeps its inputs.
    QCOMPARE(t.window->Edit1->text(), QStringLiteral("Comet"));
    QCOMPARE(t.window->prev->count(), 21);
    QVERIFY(t.window->Group7Box1->isEnabled());
}

void OwnBallWindowTest::addBall_frameMissing_chkmsgNamesItAndNothingCopied() {
    for (const std::string missing : {"ball_33.png", "ball_73.png"}) {
        OwnBallSetup t;
        writeFrames(t.source(), framesWithout(missing));
        const TreeSnapshot before = snapshot(t.f.temp.path());

        t.addComet(t.source());

        QCOMPARE(t.f.ui.informations(), QStringList{QString::fromStdString("chk " + missing)});
        QCOMPARE(snapshot(t.f.temp.path()), before);
    }
}

void OwnBallWindowTest::addBall_capitalisedFrameName_failsCheck() {
    OwnBallSetup t;
    std::vector<std::string> names = framesWithout("ball_11.png");
    names.push_back("Ball_11.png");
    writeFrames(t.source(), names);

    t.addComet(t.source());

    QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("chk ball_11.png")});
    QCOMPARE(items(*t.window->prev).front(), QStringLiteral("Ball_11.png"));
    QVERIFY(!fs::exists(t.balls() / "Alpha/Comet"));
}

void OwnBallWindowTest::addBall_extraPngFiles_all23Copied() {
    OwnBallSetup t;
    std::vector<std::string> names = frameNames();
    names.push_back("extra.png");
    names.push_back("Zoom.PNG");
    writeFrames(t.source(), names);

    t.addComet(t.source());

    QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("dod")});
    QVERIFY(t.f.ui.errors().isEmpty());
    const fs::path ball = t.balls() / "Alpha/Comet";
    QCOMPARE(library::ReadBallTag(ball / "Zoom.PNG"), std::string("Alpha|Comet"));
    QCOMPARE(library::checkSourceFolder(platform::localFileSystem(), ball).files.size(), std::size_t(23));
}

void OwnBallWindowTest::addBall_libraryBallAsSource_staysListedAndUnchanged() {
    OwnBallSetup t;
    const fs::path aero = t.balls() / "Alpha/Aero";
    const TreeSnapshot before = snapshot(aero);

    t.addComet(aero);

    QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("dod")});
    QCOMPARE(snapshot(aero), before);
    QCOMPARE(library::ReadBallTag(t.balls() / "Alpha/Comet/ball_71.png"), std::string("Alpha|Comet"));
}

void OwnBallWindowTest::addBall_sameNameTwice_ist2msg() {
    OwnBallSetup t;
    writeFrames(t.source(), frameNames());
    t.addComet(t.source());
    const TreeSnapshot first = snapshot(t.balls());

    t.f.ui.clear();
    t.chooseBrand(QStringLiteral("Alpha"));
    t.window->JvXPButton73->click();

    QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("ist2")});
    QCOMPARE(snapshot(t.balls()), first);
}

void OwnBallWindowTest::addBall_missingInputs_pusmsg() {
    OwnBallSetup t;
    writeFrames(t.source(), frameNames());
    fs::create_directories(t.f.temp / "empty");
    const TreeSnapshot before = snapshot(t.balls());

    t.addComet(t.f.temp / "empty"); // no files listed
    QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("pus")});

    t.openFolder(t.source());
    t.window->Edit1->clear();
    t.f.ui.clear();
    t.window->JvXPButton73->click(); // no name
    QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("pus")});

    t.window->Edit1->setText(QStringLiteral("Comet"));
    t.window->ComboBox1->setCurrentIndex(-1);
    t.window->ComboBox1->setEditText(QString());
    t.f.ui.clear();
    t.window->JvXPButton73->click(); // no brand
    QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("pus")});
    QCOMPARE(snapshot(t.balls()), before);
}

void OwnBallWindowTest::addBall_typedBrand_usedIgnoringCaseOnlyWhenListed() {
    OwnBallSetup t;
    writeFrames(t.source(), frameNames());
    t.openFolder(t.source());
    t.window->Edit1->setText(QStringLiteral("Comet"));

    t.window->ComboBox1->setCurrentIndex(-1);
    t.window->ComboBox1->setEditText(QStringLiteral("Unknown"));
    t.f.ui.clear();
    t.window->JvXPButton73->click();
    QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("pus")});
    QVERIFY(!fs::exists(t.balls() / "Unknown"));

    t.window->ComboBox1->setEditText(QStringLiteral("aLPHA"));
    t.f.ui.clear();
    t.window->JvXPButton73->click();
    QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("dod")});
    QCOMPARE(library::ReadBallTag(t.balls() / "Alpha/Comet/ball_11.png"), std::string("Alpha|Comet"));
}

void OwnBallWindowTest::addBall_refusedBallName_namemsgAndNothingCreated() {
    OwnBallSetup t;
    writeFrames(t.source(), frameNames());
    t.openFolder(t.source());
    t.chooseBrand(QStringLiteral("Alpha"));
    const TreeSnapshot before = snapshot(t.f.temp.path());
    for (const char* name : {"..", "a/b", "CON", "x.", "a|b", "nul.png"}) {
        t.window->Edit1->setText(QString::fromUtf8(name));
        t.f.ui.clear();
        t.window->JvXPButton73->click();
        QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("name")});
    }
    QCOMPARE(snapshot(t.f.temp.path()), before);
}

void OwnBallWindowTest::addBall_sourceFrameGoneBeforeAdding_errorAndNoBallLeft() {
    OwnBallSetup t;
    writeFrames(t.source(), frameNames());
    t.openFolder(t.source());
    fs::remove(t.source() / "ball_52.png"); // the check passed; the file goes before "Add ball"
    t.window->Edit1->setText(QStringLiteral("Comet"));
    t.chooseBrand(QStringLiteral("Alpha"));
    t.f.ui.clear();

    t.window->JvXPButton73->click();

    QCOMPARE(t.f.ui.errors(), QStringList{QStringLiteral("File not found.")});
    QVERIFY(t.f.ui.informations().isEmpty());
    QCOMPARE(snapshot(t.balls() / "Alpha").count("Comet"), std::size_t(0));
    for (const auto& entry : fs::directory_iterator(t.balls() / "Alpha")) {
        QVERIFY2(entry.path().filename().string().front() != '.', qPrintable(QString::fromStdString(entry.path())));
    }
    QVERIFY(t.window->Group7Box1->isEnabled());
}

void OwnBallWindowTest::prev_pickedFileShownAtNaturalSize_badPngKeepsPicture() {
    OwnBallSetup t;
    writeFile(t.source() / "a.png", makePng(5, 3, 0xFF0000FFu));
    writeFile(t.source() / "b.png", "not a picture");
    t.openFolder(t.source());

    t.window->prev->setCurrentRow(0);
    QCOMPARE(t.window->Image1->picture().size(), QSize(5, 3));
    QCOMPARE(t.window->Image1->picture().pixelColor(0, 0), QColor(255, 0, 0));

    t.window->prev->setCurrentRow(1);
    QCOMPARE(t.f.ui.errors().size(), 1);
    QCOMPARE(t.window->Image1->picture().size(), QSize(5, 3));
}

QTEST_MAIN(OwnBallWindowTest)
#include "OwnBallWindowTest.moc"
