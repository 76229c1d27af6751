#include "app/CoreText.h"
#include "gui/InstallGuiSupport.h"
#include "support/ArchiveMaker.h"

using namespace orbisto;
using namespace orbisto::test;

namespace {

// Folder names as an older system wrote them, in Latin-1: "Café" and "£od¼", which are not UTF-8.
const std::string kLatinBrand = "Caf\xE9";
const std::string kLatinBall = "\xA3od\xBC";
// How the windows show them: every byte that is not UTF-8 as U+FFFD.
const QString kLatinBrandShown = QStringLiteral("Caf\uFFFD");
const QString kLatinBallShown = QStringLiteral("\uFFFDod\uFFFD");

QByteArray bytes(const std::string& text) {
    return QByteArray::fromStdString(text);
}

// Row 7 of a library ball in its own colours (red = base, base + 1, base + 2), tagged as the rest.
void paintRowSeven(const fs::path& ballFolder, int base, const std::string& tag) {
    for (int n = 1; n <= 3; ++n) {
        const auto red = static_cast<std::uint32_t>(base + n - 1);
        const fs::path frame = ballFolder / ("ball_7" + std::to_string(n) + ".png");
        writeFile(frame, makePng(17, 17, (red << 24) | 0xFFu));
        library::SaveToExe(frame, tag);
    }
}

QList<int> previewReds(const TForm1& main) {
    QList<int> reds;
    for (const Image& frame : main.PreviewImages) {
        reds << (frame.empty() ? -1 : frame.rgba[0]);
    }
    return reds;
}

// Drops a file or folder given by its bytes, in the percent-encoded address a file manager sends.
void dropBytes(QWidget& target, const fs::path& path) {
    const std::string text = path.native();
    const QUrl url = QUrl::fromEncoded("file://" + bytes(text).toPercentEncoding("/"));
    QMimeData data;
    data.setUrls({url});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent event(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &event);
}

} // namespace

// Names go through the windows by their bytes: a caption is only for showing, and a pick, a preview,
// an install and a tag use the name the item keeps.
class NameBytesTest : public QObject {
    Q_OBJECT

private slots:
    void libraryNames_listedPickedPreviewedAndInstalledByTheirBytes() {
        struct Case {
            const char* name;
            std::string brand;
            std::string ball;
            QString brandShown;
            QString ballShown;
            bool asNewBall; // picked among ">New balls" as brand-ball
        };
        const Case cases[] = {
            {"Latin-1", kLatinBrand, kLatinBall, kLatinBrandShown, kLatinBallShown, false},
            {"UTF-8", "Żubr", "Łoś", QStringLiteral("Żubr"), QStringLiteral("Łoś"), false},
            {"Latin-1 new ball", kLatinBrand, kLatinBall, kLatinBrandShown, kLatinBallShown, true},
        };
        for (const Case& c : cases) {
            InstallSetup setup; // besides brand Alpha with ball Comet, and an FM 2006 game
            const fs::path ball = makeLibraryBall(setup.fixture.appFolder(), c.brand, c.ball);
            paintRowSeven(ball, 0x50, c.brand + "|" + c.ball);
            if (c.asNewBall) {
                writeMarker(ball, "Auth=1\r\nNew=1");
            }
            TForm1& main = setup.start({}, {});
            main.Timer1->stop();
            main.JvXPButton1Click(); // the library scan, as the window's activation runs it

            QVERIFY2(items(*main.brand).contains(c.brandShown), c.name);
            const std::string entry = c.brand + "-" + c.ball;
            if (c.asNewBall) {
                QCOMPARE(coreText(main.new_->model()->index(0, 0)), entry);
                pick(*main.brand, QStringLiteral(">New balls"));
                QCOMPARE(items(*main.lista), QStringList({c.brandShown + "-" + c.ballShown}));
                pickName(*main.lista, entry);
                QCOMPARE(bytes(main.state().BallName), bytes(entry));
            } else {
                pickName(*main.brand, c.brand);
                QCOMPARE(items(*main.lista), QStringList({c.ballShown}));
                pickName(*main.lista, c.ball);
                QCOMPARE(bytes(main.state().BrandName + "/" + main.state().BallName), bytes(c.brand + "/" + c.ball));
            }
            QCOMPARE(previewReds(main), QList<int>({0x50, 0x51, 0x52}));

            main.rbnaw->setChecked(true);
            main.install->click();

            QVERIFY2(setup.fixture.ui.errors().isEmpty(), qPrintable(setup.fixture.ui.errors().join(" / ")));
            QCOMPARE(setup.fixture.ui.informations(), QStringList({kRedmsg}));
            QVERIFY2(folderSnapshot(setup.normal()) == ballFrames(ball), c.name);
            QVERIFY2(folderSnapshot(setup.winter()) == ballFrames(ball), c.name);
            QCOMPARE(bytes(library::ReadBallTag(setup.normal() / "ball_73.png")), bytes(c.brand + "|" + c.ball));
            if (!c.brandShown.contains(QChar(0xFFFD))) { // names in UTF-8 also show as written once installed
                QCOMPARE(main.Label3->text(), c.brandShown + " " + c.ballShown);
            }
        }
    }

    // Two brands that show alike: the one picked is the one used, also after the brand box is
    // refilled by an install that keeps the game's own ball.
    void namesShownAlike_areToldApartByTheirBytes() {
        InstallSetup setup;
        const std::string other = "Caf\xE8";
        makeLibraryBall(setup.fixture.appFolder(), kLatinBrand, "One");
        const fs::path two = makeLibraryBall(setup.fixture.appFolder(), other, "Two");
        writeFrames(setup.normal(), frameNames()); // the game's own, untagged ball
        TForm1& main = setup.start({}, {});
        QCOMPARE(items(*main.brand).count(kLatinBrandShown), 2);

        pickName(*main.brand, other);
        QCOMPARE(items(*main.lista), QStringList({"Two"}));
        pick(*main.lista, QStringLiteral("Two"));
        main.install->click();

        QCOMPARE(setup.fixture.ui.informations().size(), 2); // the game's ball kept, then installed
        QVERIFY(folderSnapshot(setup.normal()) == ballFrames(two));
        QCOMPARE(main.brand->currentIndex(), findCoreItem(*main.brand, other));
        QCOMPARE(main.brand->currentText(), kLatinBrandShown);
    }

    // Skin folders that are not UTF-8, and one in UTF-8: listed, picked and installed into.
    void skinFolders_pickedAndInstalledIntoByTheirBytes() {
        InstallSetup setup;
        const fs::path latin = makeSkin(setup.game, "Sk\xF3ra", "Leather");
        const fs::path polish = makeSkin(setup.game, "Łódź", "Łódź nocą");
        const fs::path ball = makeLibraryBall(setup.fixture.appFolder(), kLatinBrand, kLatinBall);
        TForm1& main = setup.start({}, {});
        pickName(*main.brand, kLatinBrand);
        pickName(*main.lista, kLatinBall);
        main.cbinstall->setChecked(true);
        std::vector<std::string> chosen;
        setup.fixture.ui.onModal = [&](QDialog& dialog) {
            auto& window = static_cast<TForm3&>(dialog);
            QCOMPARE(items(*window.lista), QStringList({"Łódź nocą", "Leather"}));
            for (const QString& skin : {QStringLiteral("Leather"), QStringLiteral("Łódź nocą")}) {
                pick(*window.lista, skin);
                chosen.push_back(window.ChosenSkinFolder);
                window.intall2->click();
            }
        };

        main.install->click();

        QCOMPARE(chosen, (std::vector<std::string>{"Sk\xF3ra", "Łódź"}));
        QVERIFY2(setup.fixture.ui.errors().isEmpty(), qPrintable(setup.fixture.ui.errors().join(" / ")));
        for (const fs::path& skin : {latin, polish}) {
            QVERIFY(folderSnapshot(skin / "graphics/pitch/balls") == ballFrames(ball));
            QVERIFY(folderSnapshot(skin / "graphics/pitch/balls/winter") == ballFrames(ball));
        }
    }

    // A folder of frames whose name is not UTF-8, dropped on the own-ball window, is listed, previewed and
    // added under a brand whose name is not UTF-8 either.
    void ownBall_droppedFolderAndBrandKeepTheirBytes() {
        GuiFixture f;
        makeLibraryBall(f.appFolder(), "Alpha", "Aero");
        makeLibraryBall(f.appFolder(), kLatinBrand, "Aero");
        const fs::path source = f.temp / ("user/M\xEDo bal\xF3n");
        writeFrames(source, frameNames());
        writeFile(source / "ball_73.png", makePng(17, 17, 0x5566AAFFu));
        f.start();
        TForm7& window = *f.context->forms.form7;
        f.ui.clear();
        window.show();

        dropBytes(window, source);

        QCOMPARE(bytes(window.OwnBallFolder), bytes(source.native()));
        QCOMPARE(window.prev->count(), 21);
        pickName(*window.prev, "ball_73.png");
        QCOMPARE(window.Image1->picture().pixelColor(0, 0), QColor(0x55, 0x66, 0xAA));
        QVERIFY(items(*window.ComboBox1).contains(kLatinBrandShown));
        window.Edit1->setText(QStringLiteral("Kométa"));
        pickName(*window.ComboBox1, kLatinBrand);
        window.JvXPButton73->click();

        QVERIFY2(f.ui.errors().isEmpty(), qPrintable(f.ui.errors().join(" / ")));
        const fs::path added = f.appFolder() / "balls" / kLatinBrand / "Kométa";
        QCOMPARE(snapshot(added).size(), std::size_t(21 + 1)); // the frames and the marker
        QCOMPARE(bytes(library::ReadBallTag(added / "ball_11.png")), bytes(kLatinBrand + "|Kométa"));

        // An archive's name that is not UTF-8 suggests the ball's name, kept by its bytes while unchanged.
        const fs::path archive = f.temp / "downloads/Estrela \xE1gil.zip";
        writeFile(archive, makeArchive(ArchiveFormat::Zip, frameEntries("")));
        dropBytes(window, archive);
        QCOMPARE(window.Edit1->text(), QStringLiteral("Estrela \uFFFDgil"));
        pick(*window.ComboBox1, QStringLiteral("Alpha"));
        window.JvXPButton73->click();
        QVERIFY2(f.ui.errors().isEmpty(), qPrintable(f.ui.errors().join(" / ")));
        QVERIFY(fs::is_directory(f.appFolder() / "balls/Alpha/Estrela \xE1gil"));
        window.close();
    }

    // A language file whose name is not UTF-8 is listed and applied by its bytes, and the windows go on
    // reading it through the language the main window keeps.
    void languageFileName_appliedAndStoredByItsBytes() {
        GuiFixture f;
        f.installShippedLanguages();
        const std::string language = "Portugu\xEAs";
        std::string text = readText(f.appFolder() / "Languages/English.ini");
        for (const auto& [from, to] : {std::pair<std::string, std::string>{"install=Install", "install=Instalar"},
                                       {"form4=Settings", "form4=Defini\xC3\xA7\xC3\xB5"
                                                          "es"}}) {
            text.replace(text.find(from), from.size(), to);
        }
        writeFile(f.appFolder() / "Languages" / (language + ".ini"), text);
        TForm1& main = f.start();
        f.ui.clear(); // start-up reports the missing logo
        TForm4& settings = *f.context->forms.form4;
        f.ui.onModal = [&](QDialog&) {
            QVERIFY(items(*settings.ListBox1).contains(QStringLiteral("Portugu\uFFFDs")));
            pickName(*settings.ListBox1, language);
            settings.JvXPButton1->click();
        };

        main.settingsClick();

        QVERIFY2(f.ui.errors().isEmpty(), qPrintable(f.ui.errors().join(" / ")));
        QCOMPARE(main.install->text(), QStringLiteral("Instalar"));
        QCOMPARE(main.Label5->text(), QStringLiteral("Portugu\uFFFDs"));
        QCOMPARE(bytes(coreText(*main.Label5)), bytes(language));
        QCOMPARE(settings.windowTitle(), QStringLiteral("Definições"));
    }

    void programFolderNotUtf8_helpOpensItsReadMe() {
        GuiFixture f;
        const fs::path program = f.temp / "Pr\xF3grama";
        writeFile(program / "ReadMe.txt", std::string_view("help"));
        f.context->executablePath = program / "orbisto";
        TForm1& main = f.start();
        main.help->click();
        QVERIFY(f.ui.shellTargets == std::vector<std::string>{(program / "ReadMe.txt").native()});
    }

    // The service window's lists keep the names the tagging tool reports.
    void serviceWindow_listsKeepTheNamesBytes() {
        GuiFixture f;
        makeLibraryBall(f.appFolder(), kLatinBrand, kLatinBall, false);
        f.start();
        TForm2& window = *f.context->forms.form2;
        window.TaggingFolder = (f.appFolder() / "balls").native();
        window.JvXPButton2->click();

        QCOMPARE(items(*window.ListBox1), QStringList({kLatinBrandShown}));
        QVERIFY(names(*window.ListBox1) == std::vector<std::string>{kLatinBrand});
        QVERIFY(names(*window.ListBox2) == std::vector<std::string>{kLatinBall});
        QCOMPARE(window.ListBox3->count(), 21);
    }
};

QTEST_MAIN(NameBytesTest)
#include "NameBytesTest.moc"
