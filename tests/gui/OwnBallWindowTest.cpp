#include "core/OwnBallFixtures.h"
#include "platform/IniProfile.h"
#include "support/ArchiveMaker.h"
#include "support/GuiFixture.h"

using namespace orbisto;
using namespace orbisto::test;
using i18n::Message;

namespace {

// A started program whose library holds brand Alpha (with ball Aero), with short message texts so the
// tests can tell which message was shown, its own-ball window shown; a user folder with frames to add and a
// downloads folder for archives.
struct OwnBallSetup {
    OwnBallSetup() {
        makeLibraryBall(f.appFolder(), "Alpha", "Aero");
        f.start();
        i18n::Messages& m = f.context->state.messages;
        m[Message::pusmsg] = "pus";
        m[Message::istmsg] = "ist";
        m[Message::katmsg] = "kat";
        m[Message::ist2msg] = "ist2";
        m[Message::dodmsg] = "dod";
        m[Message::namemsg] = "name";
        m[Message::chkmsg] = "chk";
        m[Message::setmsg] = "set";
        m[Message::nosetmsg] = "noset";
        m[Message::dropmsg] = "drop";
        m[Message::arcbadmsg] = "bad";
        m[Message::arcencmsg] = "enc";
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

    fs::path downloads() const { return f.temp / "downloads"; }
    fs::path archive(const std::string& name, const std::vector<ArchiveEntry>& entries, const std::string& pass = {}) {
        const fs::path file = downloads() / name;
        writeFile(file, makeArchive(ArchiveFormat::Zip, entries, pass));
        return file;
    }
    // Chooses `file` with "Open archive with ball" in the shown window.
    void openArchive(const fs::path& file) {
        f.ui.archiveAnswers.push_back(QString::fromStdString(file.string()));
        window->JvXPButton74->click();
    }
    // How many folders the program has unpacked archives into.
    int unpackFolders() const { return static_cast<int>(std::distance(fs::directory_iterator(f.tempFolder()), {})); }
    // Drops `paths` on `target`.
    static void drop(QWidget& target, const std::vector<fs::path>& paths) {
        QList<QUrl> urls;
        for (const fs::path& path : paths) {
            urls << QUrl::fromLocalFile(QString::fromStdString(path.string()));
        }
        QMimeData data;
        data.setUrls(urls);
        // Qt delivers a drop only to the widget that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent event(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &event);
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
            {"Teamgeist 2.0", "name"}, {"LPT³", "name"},
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

    // The brand is typed; only a listed one (in its listed spelling) is used. An added ball is tagged and
    // marked, and the main window reads the library again.
    void addBall_inputs_addedBallTaggedAndMainWindowRefreshed() {
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
            // A dot would keep the ball out of every listing; Windows reserves the others.
            {"Teamgeist 2.0", "Alpha", "name"}, {"CONOUT$", "Alpha", "name"}, {"com²", "Alpha", "name"},
        };
        for (const auto& [name, brand, shown] : cases) {
            t.window->Edit1->setText(name);
            t.window->ComboBox1->setEditText(brand);
            QCOMPARE(QString(name) + "/" + brand + ": " + t.addBall(), QString(name) + "/" + brand + ": " + shown);
        }
        QCOMPARE(snapshot(t.f.temp.path()).size(), entriesBefore);

        TForm1& main = t.f.main();
        pick(*main.brand, QStringLiteral("Alpha"));
        pick(*main.lista, 0);
        t.window->Edit1->setText("Comet");
        t.window->ComboBox1->setEditText("aLPHA");
        QCOMPARE(t.addBall(), QStringLiteral("dod"));
        QCOMPARE(snapshot(t.f.temp.path()).size(), entriesBefore + 1 + 21 + 1);
        QCOMPARE(library::ReadBallTag(t.balls() / "Alpha/Comet/ball_73.png"), std::string("Alpha|Comet"));
        // The main window shows the library afresh, with no brand chosen and an empty ball list.
        QCOMPARE(items(*main.brand), (QStringList{QStringLiteral(">New balls"), QStringLiteral("Alpha")}));
        QCOMPARE(main.brand->currentIndex(), -1);
        QCOMPARE(main.lista->count(), 0);
        QVERIFY(main.state().BallName.empty()); // the ball picked before is no longer shown, nor chosen
        QCOMPARE(t.window->prev->count(), 21);  // the window keeps its inputs
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

    void archive_fillsFramesAndName_addBallAddsItAndRemovesTheUnpackedFolder() {
        OwnBallSetup t;
        auto entries = frameEntries("Downloads/Comet", true);
        append(entries, {ArchiveEntry("Downloads/ReadMe.txt", {'h', 'i'})});
        const fs::path file = t.archive("Comet 2006.zip", entries);
        const TreeSnapshot downloads = snapshot(t.downloads());

        t.openArchive(file);
        QCOMPARE(items(*t.window->prev), qtexts(frameNames()));
        QCOMPARE(t.window->Edit1->text(), QStringLiteral("Comet"));
        QCOMPARE(t.unpackFolders(), 1);
        pick(*t.window->prev, 0); // the preview reads the unpacked frame
        QVERIFY(t.f.ui.errors().isEmpty());

        t.window->ComboBox1->setCurrentIndex(t.window->ComboBox1->findText(QStringLiteral("Alpha")));
        t.window->JvXPButton73->click();
        QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("dod")});
        const fs::path ball = t.f.appFolder() / "balls/Alpha/Comet";
        QCOMPARE(readBytes(ball / "ball_43.png").size(), entries[11].data.size() + 4 + 11);
        QCOMPARE(library::ReadBallTag(ball / "ball_11.png"), std::string("Alpha|Comet"));
        QVERIFY(t.unpackFolders() == 0);
        QCOMPARE(t.window->prev->count(), 0);
        QCOMPARE(snapshot(t.downloads()), downloads); // nothing written into or beside the archive
    }

    void severalSets_playerPicksByPath_cancelKeepsThePreviousChoice() {
        OwnBallSetup t;
        auto entries = frameEntries("Comet/normal");
        append(entries, frameEntries("Comet/winter", true));
        const fs::path file = t.archive("Comet.zip", entries);

        t.f.ui.itemAnswers.push_back(1);
        t.openArchive(file);
        QCOMPARE(t.f.ui.itemChoices.size(), 1u);
        QCOMPARE(t.f.ui.itemChoices[0].first, QStringLiteral("set"));
        QCOMPARE(t.f.ui.itemChoices[0].second, (QStringList{"Comet/normal/", "Comet/winter/"}));
        QCOMPARE(t.window->Edit1->text(), QStringLiteral("winter"));

        t.openArchive(file); // cancelled this time
        QCOMPARE(t.window->prev->count(), 21);
        QCOMPARE(t.unpackFolders(), 1);
        t.window->close(); // closing removes the unpacked frames
        QVERIFY(t.unpackFolders() == 0);
    }

    void refusedArchive_message_previousChoiceKept() {
        OwnBallSetup t;
        auto twenty = frameEntries("");
        twenty.erase(twenty.begin() + 8);
        writeFile(t.downloads() / "Garbled.zip", "PK\x03\x04 not really a zip");
        const std::pair<fs::path, const char*> refused[] = {
            {t.archive("Twenty.zip", twenty), "noset ball_33.png"},
            {t.downloads() / "Garbled.zip", "bad"},
            {t.archive("Secret.zip", frameEntries(""), "secret"), "enc"},
        };
        t.openArchive(t.archive("Good.zip", frameEntries("")));
        for (const auto& [file, message] : refused) {
            t.f.ui.clear();
            t.openArchive(file);
            QCOMPARE(t.f.ui.informations().join("|"), QString(message));
            QCOMPARE(t.window->Edit1->text(), QStringLiteral("Good"));
            QCOMPARE(t.window->prev->count(), 21);
            QCOMPARE(t.unpackFolders(), 1);
        }
    }

    void dropOnMainWindow_opensOwnBallWindowWithIt_otherDropsGetTheMessage() {
        OwnBallSetup t;
        t.window->close();
        const fs::path file = t.archive("Nova.zip", frameEntries(""));
        writeFile(t.downloads() / "notes.txt", "text");
        QVERIFY(t.f.main().acceptDrops());

        QStringList shown;
        QString name;
        t.f.ui.onModal = [&](QDialog&) {
            shown = items(*t.window->prev);
            name = t.window->Edit1->text();
        };
        OwnBallSetup::drop(t.f.main(), {file});
        QCOMPARE(t.f.ui.modalsShown, QStringList{QStringLiteral("Form7")});
        QCOMPARE(shown, qtexts(frameNames()));
        QCOMPARE(name, QStringLiteral("Nova"));
        QVERIFY(t.unpackFolders() == 0); // gone with the window

        for (const std::vector<fs::path>& paths :
             {std::vector<fs::path>{t.downloads() / "notes.txt"}, std::vector<fs::path>{file, file}}) {
            t.f.ui.clear();
            OwnBallSetup::drop(t.f.main(), paths);
            QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("drop")});
            QVERIFY(t.f.ui.modalsShown.isEmpty());
        }
    }

    void dropOnOwnBallWindow_folderIsListedAsIfChosen() {
        OwnBallSetup t;
        const fs::path folder = t.f.temp / "user/Comet";
        writeFrames(folder, frameNames());
        t.openArchive(t.archive("Nova.zip", frameEntries("")));

        OwnBallSetup::drop(*t.window, {folder});
        QCOMPARE(t.window->OwnBallFolder, folder.string());
        QCOMPARE(items(*t.window->prev), qtexts(frameNames()));
        QVERIFY(t.unpackFolders() == 0); // the archive chosen before is no longer needed
    }

    void start_removesUnpackFoldersOfFinishedRuns() {
        GuiFixture f;
        fs::create_directories(f.tempFolder() / "orbisto-unpack-999999999-Ab12Cd");
        f.start();
        QVERIFY(fs::is_empty(f.tempFolder()));
    }
};

QTEST_MAIN(OwnBallWindowTest)
#include "OwnBallWindowTest.moc"
