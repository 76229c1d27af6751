#include "core/OwnBallFixtures.h"
#include "support/ArchiveMaker.h"
#include "support/GuiFixture.h"

using namespace orbisto;
using namespace orbisto::test;

namespace {

// A started program whose library holds brand Alpha, with short message texts, and a downloads
// folder for archives.
struct ArchiveSetup {
    ArchiveSetup() {
        makeLibraryBall(f.appFolder(), "Alpha", "Aero");
        f.start();
        SharedState& s = f.context->state;
        s.dodmsg = "dod";
        s.pusmsg = "pus";
        s.setmsg = "set";
        s.nosetmsg = "noset";
        s.dropmsg = "drop";
        s.arcbadmsg = "bad";
        s.arcencmsg = "enc";
        window = f.context->forms.form7;
        f.ui.clear();
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

QStringList frameList() {
    QStringList names;
    for (std::string_view frame : library::kFrameNames) {
        names << QString::fromUtf8(frame.data(), static_cast<qsizetype>(frame.size()));
    }
    return names;
}

} // namespace

class OwnBallArchiveTest : public QObject {
    Q_OBJECT

private slots:
    void archive_fillsFramesAndName_addBallAddsItAndRemovesTheUnpackedFolder() {
        ArchiveSetup t;
        auto entries = frameEntries("Downloads/Comet", true);
        append(entries, {ArchiveEntry("Downloads/ReadMe.txt", {'h', 'i'})});
        const fs::path file = t.archive("Comet 2006.zip", entries);
        t.window->show();
        const TreeSnapshot downloads = snapshot(t.downloads());

        t.openArchive(file);
        QCOMPARE(items(*t.window->prev), frameList());
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
        t.window->close();
    }

    void severalSets_playerPicksByPath_cancelKeepsThePreviousChoice() {
        ArchiveSetup t;
        auto entries = frameEntries("Comet/normal");
        append(entries, frameEntries("Comet/winter", true));
        const fs::path file = t.archive("Comet.zip", entries);
        t.window->show();

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
        ArchiveSetup t;
        auto twenty = frameEntries("");
        twenty.erase(twenty.begin() + 8);
        writeFile(t.downloads() / "Garbled.zip", "PK\x03\x04 not really a zip");
        const std::pair<fs::path, const char*> refused[] = {
            {t.archive("Twenty.zip", twenty), "noset ball_33.png"},
            {t.downloads() / "Garbled.zip", "bad"},
            {t.archive("Secret.zip", frameEntries(""), "secret"), "enc"},
        };
        t.window->show();
        t.openArchive(t.archive("Good.zip", frameEntries("")));
        for (const auto& [file, message] : refused) {
            t.f.ui.clear();
            t.openArchive(file);
            QCOMPARE(t.f.ui.informations().join("|"), QString(message));
            QCOMPARE(t.window->Edit1->text(), QStringLiteral("Good"));
            QCOMPARE(t.window->prev->count(), 21);
            QCOMPARE(t.unpackFolders(), 1);
        }
        t.window->close();
    }

    void dropOnMainWindow_opensOwnBallWindowWithIt_otherDropsGetTheMessage() {
        ArchiveSetup t;
        const fs::path file = t.archive("Nova.zip", frameEntries(""));
        writeFile(t.downloads() / "notes.txt", "text");
        QVERIFY(t.f.main().acceptDrops());

        QStringList shown;
        QString name;
        t.f.ui.onModal = [&](QDialog&) {
            shown = items(*t.window->prev);
            name = t.window->Edit1->text();
        };
        ArchiveSetup::drop(t.f.main(), {file});
        QCOMPARE(t.f.ui.modalsShown, QStringList{QStringLiteral("Form7")});
        QCOMPARE(shown, frameList());
        QCOMPARE(name, QStringLiteral("Nova"));
        QVERIFY(t.unpackFolders() == 0); // gone with the window

        for (const std::vector<fs::path>& paths :
             {std::vector<fs::path>{t.downloads() / "notes.txt"}, std::vector<fs::path>{file, file}}) {
            t.f.ui.clear();
            ArchiveSetup::drop(t.f.main(), paths);
            QCOMPARE(t.f.ui.informations(), QStringList{QStringLiteral("drop")});
            QVERIFY(t.f.ui.modalsShown.isEmpty());
        }
    }

    void dropOnOwnBallWindow_folderIsListedAsIfChosen() {
        ArchiveSetup t;
        const fs::path folder = t.f.temp / "user/Comet";
        writeFrames(folder, frameNames());
        t.window->show();
        t.openArchive(t.archive("Nova.zip", frameEntries("")));

        ArchiveSetup::drop(*t.window, {folder});
        QCOMPARE(t.window->OwnBallFolder, folder.string());
        QCOMPARE(items(*t.window->prev), frameList());
        QVERIFY(t.unpackFolders() == 0); // the archive chosen before is no longer needed
        t.window->close();
    }

    void start_removesUnpackFoldersOfFinishedRuns() {
        GuiFixture f;
        fs::create_directories(f.tempFolder() / "orbisto-unpack-999999999-Ab12Cd");
        f.start();
        QVERIFY(fs::is_empty(f.tempFolder()));
    }
};

QTEST_MAIN(OwnBallArchiveTest)
#include "OwnBallArchiveTest.moc"
