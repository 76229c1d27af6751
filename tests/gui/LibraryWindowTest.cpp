#include "core/LibraryTestFileSystem.h"
#include "support/GuiFixture.h"

using namespace orbisto;
using namespace orbisto::test;

namespace {

// Row 7 of a library ball in its own colours (red = base, base + 1, base + 2), to tell balls apart.
void paintRowSeven(const fs::path& ballFolder, int base) {
    for (int n = 1; n <= 3; ++n) {
        const auto red = static_cast<std::uint32_t>(base + n - 1);
        writeFile(ballFolder / ("ball_7" + std::to_string(n) + ".png"), makePng(17, 17, (red << 24) | 0xFFu));
    }
}

// Red channel of the preview's top-left pixel after one tick.
int tickRed(TForm1& form) {
    form.Timer1Timer();
    return form.Image3->picture().pixelColor(0, 0).red();
}

// Red channel of slot n, or -1 when it is empty.
int slotRed(TForm1& form, int n) {
    const Image& image = form.PreviewImages[static_cast<std::size_t>(n - 1)];
    return image.empty() ? -1 : image.rgba[0];
}

// An installed ball_73.png of one colour, tagged when `tag` is not empty.
void installFrame(const fs::path& game, bool winter, std::uint32_t rgba, const std::string& tag = "") {
    const fs::path file =
        game / (winter ? "data/graphics/pitch/balls/winter" : "data/graphics/pitch/balls") / "ball_73.png";
    writeFile(file, makePng(17, 17, rgba));
    if (!tag.empty()) {
        library::SaveToExe(file, tag);
    }
}

// Starts the program with the preview timer stopped and the start-up messages (no logo) cleared.
TForm1& startQuiet(GuiFixture& fx) {
    TForm1& form = fx.start();
    form.Timer1->stop();
    fx.ui.clear();
    return form;
}

// Picks a brand and a ball as the user does, with clicks.
void choose(TForm1& form, const QString& brand, const QString& ball = {}) {
    pick(*form.brand, brand);
    if (!ball.isEmpty()) {
        pick(*form.lista, ball);
    }
}

} // namespace

class LibraryWindowTest : public QObject {
    Q_OBJECT

private slots:
    void brandBox_startChoiceNewBallsRefillAndTyping() {
        GuiFixture fx;
        makeLibraryBall(fx.appFolder(), "zeta", "Zed");
        makeLibraryBall(fx.appFolder(), "Alpha", "comet");
        makeLibraryBall(fx.appFolder(), "Alpha", "Arrow");
        makeLibraryBall(fx.appFolder(), "Unmarked", "Ghost", true, false);
        paintRowSeven(makeLibraryBall(fx.appFolder(), "Best-Ball", "Comet"), 0x60);
        TForm1& form = startQuiet(fx);

        QCOMPARE(items(*form.brand), QStringList({">New balls", "Alpha", "Best-Ball", "zeta"}));

        // A new ball is previewed from the folder of the brand and ball the scan recorded, hyphens and all.
        form.state().newBalls = {{"Best-Ball-Comet", "Best-Ball", "Comet"}};
        choose(form, ">New balls", "Best-Ball-Comet");
        QCOMPARE(slotRed(form, 1), 0x60);
        QCOMPARE(qtext(form.state().BrandName + "/" + form.state().BallName), QString(">New balls/Best-Ball-Comet"));

        choose(form, "Alpha", "Arrow");
        QCOMPARE(items(*form.lista), QStringList({"Arrow", "comet"}));
        QCOMPARE(qtext(form.state().BrandName + "/" + form.state().ChosenBrand), QString("Alpha/Alpha"));
        QCOMPARE(qtext(form.state().BallName), QString("Arrow"));

        // A refill selects no brand and keeps the ball list.
        choose(form, "zeta", "Zed");
        makeLibraryBall(fx.appFolder(), "Gamma", "Star");
        form.wczytaj();
        QCOMPARE(items(*form.brand), QStringList({">New balls", "Alpha", "Best-Ball", "Gamma", "zeta"}));
        QCOMPARE(form.brand->currentIndex(), -1);
        QCOMPARE(items(*form.lista), QStringList({"Zed"}));
        QCOMPARE(qtext(form.state().BallName), QString("Zed"));

        // Typed text selects no brand: the ball list empties, and the root is never listed as balls.
        choose(form, "Alpha");
        QTest::keyClicks(form.brand->lineEdit(), "x");
        QCOMPARE(form.lista->count(), 0);
        QCOMPARE(qtext(form.state().BrandName), QString());
        form.brand->lineEdit()->clear();
        QTest::keyClicks(form.brand->lineEdit(), "zeta.");
        QCOMPARE(form.lista->count(), 0);
        QVERIFY2(fx.ui.errors().isEmpty(), qPrintable(fx.ui.errors().join(" / ")));
    }

    void preview_slotsTicksIntervalsFailedPickAndDrawing() {
        GuiFixture fx;
        paintRowSeven(makeLibraryBall(fx.appFolder(), "Alpha", "Comet"), 0x40);
        paintRowSeven(makeLibraryBall(fx.appFolder(), "Alpha", "Star"), 0x70);
        const fs::path torn = makeLibraryBall(fx.appFolder(), "Alpha", "Torn");
        paintRowSeven(torn, 0x80);
        fs::remove(torn / "ball_72.png");
        // Half-transparent pure blue, smaller than the surface; then an opaque frame larger than it.
        const fs::path glass = makeLibraryBall(fx.appFolder(), "Alpha", "Glass");
        writeFile(glass / "ball_71.png", makePng(10, 10, 0x0000FF80u));
        writeFile(glass / "ball_72.png", makePng(30, 30, 0x000000FFu));
        TForm1& form = startQuiet(fx);

        QCOMPARE(tickRed(form), 255); // before any pick a tick only paints white
        QCOMPARE(form.Image3->picture().pixelColor(16, 16), QColor(Qt::white));

        choose(form, "Alpha", "Comet");
        QCOMPARE(form.PreviewFrame, 1);
        QCOMPARE(QList<int>({slotRed(form, 1), slotRed(form, 2), slotRed(form, 3)}), QList<int>({0x40, 0x41, 0x42}));
        QCOMPARE(QList<int>({tickRed(form), tickRed(form), tickRed(form), tickRed(form)}),
                 QList<int>({0x40, 0x41, 0x42, 0x40}));

        const int intervals[] = {120, 200, 300, 400, 500};
        for (int position = 5; position >= 1; --position) {
            form.TrackBar1->setValue(position);
            QCOMPARE(form.Timer1->interval(), intervals[position - 1]);
        }

        // Another pick mid-cycle restarts at ball_71 on the next tick and takes the slider's interval.
        form.TrackBar1->setValue(4);
        form.Timer1->setInterval(999);
        choose(form, "Alpha", "Star");
        QCOMPARE(form.Timer1->interval(), 400);
        QCOMPARE(QList<int>({tickRed(form), tickRed(form), tickRed(form)}), QList<int>({0x70, 0x71, 0x72}));

        // A pick whose ball_72 is missing: error shown, slot 2 empty, the old third frame kept, and
        // the cycle goes on where it was.
        choose(form, "Alpha", "Torn");
        QCOMPARE(fx.ui.errors(), QStringList({"File not found."}));
        QCOMPARE(qtext(form.state().BallName), QString("Torn"));
        QCOMPARE(QList<int>({slotRed(form, 1), slotRed(form, 2), slotRed(form, 3)}), QList<int>({0x80, -1, 0x72}));
        QCOMPARE(QList<int>({tickRed(form), tickRed(form), tickRed(form)}), QList<int>({0x80, 255, 0x72}));

        // Frames are drawn over white with their transparency, clipped to the 17 x 17 surface.
        choose(form, "Alpha", "Glass");
        form.Timer1Timer();
        const QImage first = form.Image3->picture();
        QCOMPARE(first.size(), QSize(17, 17));
        QCOMPARE(first.pixelColor(0, 0).blue(), 255);
        QVERIFY2(qAbs(first.pixelColor(0, 0).red() - 127) < 25,
                 qPrintable(QString::number(first.pixelColor(0, 0).red())));
        QCOMPARE(first.pixelColor(12, 12), QColor(Qt::white));
        form.Timer1Timer();
        QCOMPARE(form.Image3->picture().size(), QSize(17, 17));
        QCOMPARE(form.Image3->picture().pixelColor(16, 16), QColor(Qt::black));
    }

    void installed_bothDisplaysFollowTheVersionAndStopAtAnUnreadableFrame() {
        GuiFixture fx;
        const fs::path game2006 = fx.makeGame("fm2006");
        const fs::path game2007 = fx.makeGame("fm2007");
        installFrame(game2006, false, 0x112233FFu, "Alpha|Comet");
        installFrame(game2006, true, 0x445566FFu); // untagged: picture without a name
        installFrame(game2007, false, 0x778899FFu, "Beta|Bolt");
        fx.storeUser(kInstallsKey + "2006", "Path", game2006.string());
        fx.storeUser(kInstallsKey + "2007", "Path", game2007.string());
        fx.storeMachine(kRadioKey, "value", "2006");
        TForm1& form = startQuiet(fx);
        QCOMPARE(form.Label3->text(), QString("Alpha Comet"));
        QCOMPARE(form.Image4->picture().pixelColor(0, 0), QColor(0x11, 0x22, 0x33));
        QCOMPARE(form.Label4->text(), QString());
        QVERIFY(!form.Image5->isHidden());
        QCOMPARE(form.Image5->picture().pixelColor(0, 0), QColor(0x44, 0x55, 0x66));

        form.rb2007->setChecked(true);
        QCOMPARE(form.Label3->text(), QString("Beta Bolt"));
        QCOMPARE(form.Image4->picture().pixelColor(0, 0), QColor(0x77, 0x88, 0x99));
        QVERIFY(form.Image5->isHidden());
        form.rb2006->setChecked(true);
        QCOMPARE(form.Label3->text(), QString("Alpha Comet"));
        QVERIFY(!form.Image5->isHidden());

        // Too short to hold a length: the tag read fails, so label, picture and winter display stay.
        const fs::path normal = game2006 / "data/graphics/pitch/balls/ball_73.png";
        writeFile(normal, "ab");
        installFrame(game2006, true, 0x778899FFu, "Gamma|Ice");
        form.Image4->hide();
        QVERIFY(!form.guard([&] { form.current(); }));
        QCOMPARE(fx.ui.errors().size(), 1);
        QVERIFY(!form.Image4->isHidden());
        QCOMPARE(form.Label3->text(), QString("Alpha Comet"));
        QCOMPARE(form.Label4->text(), QString());

        // A tag after bytes that are no PNG: the label changes, the picture keeps its old frame.
        writeFile(normal, "notpng");
        library::SaveToExe(normal, "Delta|Rock");
        QVERIFY(!form.guard([&] { form.current(); }));
        QCOMPARE(fx.ui.errors().size(), 2);
        QCOMPARE(form.Label3->text(), QString("Delta Rock"));
        QCOMPARE(form.Image4->picture().pixelColor(0, 0), QColor(0x11, 0x22, 0x33));
        QCOMPARE(form.Label4->text(), QString());
    }

    void installed_noGameFolderOrNoVisibleFrame_displaysEmpty() {
        for (const bool withGame : {false, true}) {
            GuiFixture fx;
            HidingFileSystem files;
            fx.context = std::make_unique<AppContext>(
                AppContext{*fx.settings, files, fx.ui, fx.appFolder() / "orbisto", fx.workingFolder()});
            if (withGame) { // a hidden normal frame, no winter frame
                const fs::path game = fx.makeGame("fm2006");
                installFrame(game, false, 0x112233FFu, "Alpha|Comet");
                files.hiddenFiles.insert(game / "data/graphics/pitch/balls/ball_73.png");
                fx.storeUser(kInstallsKey + "2006", "Path", game.string());
            }
            TForm1& form = fx.start();
            QCOMPARE(form.state().GameFolder.empty(), !withGame);
            QVERIFY(form.Image4->isHidden());
            QVERIFY(form.Image5->isHidden());
            QCOMPARE(form.Label3->text(), QString());
            QCOMPARE(form.Label4->text(), QString());
        }
    }
};

QTEST_MAIN(LibraryWindowTest)
#include "LibraryWindowTest.moc"
