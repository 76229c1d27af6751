#include "app/TForm1.h"
#include "app/Widgets.h"
#include "core/LibraryTestFileSystem.h"
#include "library/BallTag.h"
#include "platform/SettingsStore.h"
#include "support/GuiFixture.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QtTest>

using namespace orbisto;
using namespace orbisto::test;

namespace {

const std::string kGame2006 = "\\Software\\Sports Interactive Ltd\\Installs\\Football Manager 2006";
const std::string kGame2007 = "\\Software\\Sports Interactive Ltd\\Installs\\Football Manager 2007";

QStringList items(const QComboBox& box) {
    QStringList list;
    for (int i = 0; i < box.count(); ++i) {
        list << box.itemText(i);
    }
    return list;
}

QStringList items(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) {
        texts << list.item(i)->text();
    }
    return texts;
}

// Row 7 of a library ball repainted in its own colours (red = base, base + 1, base + 2), so two
// balls can be told apart in the preview.
void paintRowSeven(const fs::path& ballFolder, int base, int size = 17, std::uint32_t alpha = 0xFF) {
    for (int n = 1; n <= 3; ++n) {
        const auto red = static_cast<std::uint32_t>(base + n - 1);
        writeFile(ballFolder / ("ball_7" + std::to_string(n) + ".png"), makePng(size, size, (red << 24) | alpha));
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

// An installed frame: a PNG of one colour, tagged when `tag` is given.
void installFrame(const fs::path& file, std::uint32_t rgba, const std::string* tag = nullptr) {
    auto bytes = makePng(17, 17, rgba);
    if (tag != nullptr) {
        bytes.insert(bytes.end(), tag->begin(), tag->end());
        const auto length = static_cast<std::uint32_t>(tag->size() + 4);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<std::uint8_t>(length >> shift));
        }
    }
    writeFile(file, bytes);
}

fs::path normalFrame(const fs::path& game) {
    return game / "data/graphics/pitch/balls/ball_73.png";
}
fs::path winterFrame(const fs::path& game) {
    return game / "data/graphics/pitch/balls/winter/ball_73.png";
}

// Picks a brand as the user does, through the box's selection.
void chooseBrand(TForm1& form, const QString& name) {
    const int index = form.brand->findText(name);
    QVERIFY2(index >= 0, qPrintable(name));
    form.brand->setCurrentIndex(index);
}

void pickBall(TForm1& form, const QString& name) {
    const auto found = form.lista->findItems(name, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(name));
    form.lista->setCurrentItem(found.front());
}

} // namespace

class LibraryWindowTest : public QObject {
    Q_OBJECT

private slots:
    void start_listsMarkedBrandsSortedWithNewBallsFirstAndNoneSelected();
    void start_withoutLibrary_onlyNewBalls();
    void brandChoice_listsItsBallsAndForgetsTheChosenBall();
    void typedBrandText_emptiesTheBallListAndKeepsItEmpty();
    void refill_keepsBallListAndSelectsNothing();
    void newBalls_listsRecordedEntriesAndPreviewsHyphenatedNamesFromTheirFolder();
    void pick_fillsSlotsAndTicksPlayRowSevenFromTheFirst();
    void tick_drawsWithTransparencyOverWhiteClippedTo17();
    void pick_missingBall72_errorShownAndOldThirdFrameKept();
    void slider_fiveIntervalsOnTheTimer();
    void installed_taggedAndUntaggedFramesShown();
    void installed_missingOrHiddenFrames_hiddenPicturesAndEmptyLabels();
    void installed_noGameFolder_bothDisplaysEmpty();
    void installed_unreadableFrame_errorShownAndLaterStepsSkipped();
    void installed_versionSwitch_changesBothDisplays();
    void shippedLibrary_everyBallListsPreviewsAndCarriesItsTag();
};

void LibraryWindowTest::start_listsMarkedBrandsSortedWithNewBallsFirstAndNoneSelected() {
    GuiFixture fx;
    makeLibraryBall(fx.appFolder(), "zeta", "Zed");
    makeLibraryBall(fx.appFolder(), "Alpha", "Comet");
    makeLibraryBall(fx.appFolder(), "beta", "Bolt");
    makeLibraryBall(fx.appFolder(), "#1", "One");
    makeLibraryBall(fx.appFolder(), "Unmarked", "Ghost", true, false);
    TForm1& form = fx.start();

    QCOMPARE(items(*form.brand), QStringList({">New balls", "#1", "Alpha", "beta", "zeta"}));
    QCOMPARE(form.brand->currentIndex(), -1);
    QCOMPARE(form.brand->currentText(), QString());
    QCOMPARE(form.lista->count(), 0);
}

void LibraryWindowTest::start_withoutLibrary_onlyNewBalls() {
    GuiFixture fx;
    TForm1& form = fx.start();
    QCOMPARE(items(*form.brand), QStringList({">New balls"}));

    chooseBrand(form, ">New balls");
    QCOMPARE(form.lista->count(), 0);
    QCOMPARE(QString::fromStdString(form.state().ChosenBrand), QString(">New balls"));
}

void LibraryWindowTest::brandChoice_listsItsBallsAndForgetsTheChosenBall() {
    GuiFixture fx;
    makeLibraryBall(fx.appFolder(), "Alpha", "comet");
    makeLibraryBall(fx.appFolder(), "Alpha", "Arrow");
    makeLibraryBall(fx.appFolder(), "Alpha", "Bolt.v2");
    makeLibraryBall(fx.appFolder(), "Alpha", "Unlisted", true, false);
    writeMarker(fx.appFolder() / "balls/Alpha", "Auth=1"); // the unlisted ball rewrote nothing above it
    makeLibraryBall(fx.appFolder(), "Beta", "Bolt");
    TForm1& form = fx.start();
    form.state().BallName = "Bolt";

    chooseBrand(form, "Alpha");
    QCOMPARE(items(*form.lista), QStringList({"Arrow", "comet"}));
    QCOMPARE(QString::fromStdString(form.state().BrandName), QString("Alpha"));
    QCOMPARE(QString::fromStdString(form.state().ChosenBrand), QString("Alpha"));
    QCOMPARE(QString::fromStdString(form.state().BallName), QString());

    chooseBrand(form, "Beta");
    QCOMPARE(items(*form.lista), QStringList({"Bolt"}));
}

void LibraryWindowTest::typedBrandText_emptiesTheBallListAndKeepsItEmpty() {
    GuiFixture fx;
    makeLibraryBall(fx.appFolder(), "Alpha", "Comet");
    makeLibraryBall(fx.appFolder(), "Beta", "Bolt");
    TForm1& form = fx.start();
    fx.ui.clear(); // start-up has no logo to show
    chooseBrand(form, "Alpha");
    QCOMPARE(form.lista->count(), 1);

    QTest::keyClicks(form.brand->lineEdit(), "x");
    QCOMPARE(form.lista->count(), 0);
    QCOMPARE(QString::fromStdString(form.state().BrandName), QString());

    // Whatever is typed, the library root is never listed as if its brands were balls.
    form.brand->lineEdit()->clear();
    QTest::keyClicks(form.brand->lineEdit(), "Beta.");
    QCOMPARE(form.lista->count(), 0);
    QVERIFY2(fx.ui.errors().isEmpty(), qPrintable(fx.ui.errors().join(" / ")));
}

void LibraryWindowTest::refill_keepsBallListAndSelectsNothing() {
    GuiFixture fx;
    makeLibraryBall(fx.appFolder(), "Alpha", "Comet");
    TForm1& form = fx.start();
    chooseBrand(form, "Alpha");
    pickBall(form, "Comet");
    makeLibraryBall(fx.appFolder(), "Gamma", "Star");

    form.wczytaj();
    QCOMPARE(items(*form.brand), QStringList({">New balls", "Alpha", "Gamma"}));
    QCOMPARE(form.brand->currentIndex(), -1);
    QCOMPARE(items(*form.lista), QStringList({"Comet"}));
    QCOMPARE(QString::fromStdString(form.state().BallName), QString("Comet"));
}

void LibraryWindowTest::newBalls_listsRecordedEntriesAndPreviewsHyphenatedNamesFromTheirFolder() {
    GuiFixture fx;
    paintRowSeven(makeLibraryBall(fx.appFolder(), "Best-Ball", "Comet"), 0x60);
    paintRowSeven(makeLibraryBall(fx.appFolder(), "Alpha", "Bolt"), 0x90);
    TForm1& form = fx.start();
    form.Timer1->stop();
    fx.ui.clear(); // start-up has no logo to show
    form.state().newBalls = {{"Best-Ball-Comet", "Best-Ball", "Comet"}, {"Alpha-Bolt", "Alpha", "Bolt"}};

    chooseBrand(form, ">New balls");
    QCOMPARE(items(*form.lista), QStringList({"Alpha-Bolt", "Best-Ball-Comet"}));

    pickBall(form, "Best-Ball-Comet");
    QVERIFY2(fx.ui.errors().isEmpty(), qPrintable(fx.ui.errors().join(" / ")));
    QCOMPARE(slotRed(form, 1), 0x60);
    QCOMPARE(QString::fromStdString(form.state().BallName), QString("Best-Ball-Comet"));
    QCOMPARE(QString::fromStdString(form.state().BrandName), QString(">New balls"));

    // An entry without a recorded pair is split at its hyphen.
    form.state().newBalls.clear();
    pickBall(form, "Alpha-Bolt");
    QVERIFY2(fx.ui.errors().isEmpty(), qPrintable(fx.ui.errors().join(" / ")));
    QCOMPARE(slotRed(form, 3), 0x92);
}

void LibraryWindowTest::pick_fillsSlotsAndTicksPlayRowSevenFromTheFirst() {
    GuiFixture fx;
    paintRowSeven(makeLibraryBall(fx.appFolder(), "Alpha", "Comet"), 0x40);
    paintRowSeven(makeLibraryBall(fx.appFolder(), "Alpha", "Star"), 0x70);
    TForm1& form = fx.start();
    form.Timer1->stop();

    // Before any pick a tick only paints white.
    QCOMPARE(form.PreviewFrame, 0);
    QCOMPARE(tickRed(form), 255);
    QCOMPARE(form.Image3->picture().pixelColor(16, 16), QColor(Qt::white));

    chooseBrand(form, "Alpha");
    pickBall(form, "Comet");
    QCOMPARE(QString::fromStdString(form.state().BallName), QString("Comet"));
    QCOMPARE(form.PreviewFrame, 1);
    QCOMPARE(slotRed(form, 1), 0x40);
    QCOMPARE(slotRed(form, 2), 0x41);
    QCOMPARE(slotRed(form, 3), 0x42);

    QCOMPARE(tickRed(form), 0x40);
    QCOMPARE(tickRed(form), 0x41);
    QCOMPARE(tickRed(form), 0x42);
    QCOMPARE(tickRed(form), 0x40);
    QCOMPARE(form.Image3->picture().size(), QSize(17, 17));

    // Another pick mid-cycle restarts at ball_71 on the next tick.
    pickBall(form, "Star");
    QCOMPARE(tickRed(form), 0x70);
    QCOMPARE(tickRed(form), 0x71);
}

void LibraryWindowTest::tick_drawsWithTransparencyOverWhiteClippedTo17() {
    GuiFixture fx;
    const fs::path ball = makeLibraryBall(fx.appFolder(), "Alpha", "Glass");
    // Half-transparent pure blue, smaller than the surface; then an opaque frame larger than it.
    writeFile(ball / "ball_71.png", makePng(10, 10, 0x0000FF80u));
    writeFile(ball / "ball_72.png", makePng(30, 30, 0x000000FFu));
    TForm1& form = fx.start();
    form.Timer1->stop();
    chooseBrand(form, "Alpha");
    pickBall(form, "Glass");

    form.Timer1Timer();
    const QImage first = form.Image3->picture();
    QCOMPARE(first.size(), QSize(17, 17));
    const QColor blended = first.pixelColor(0, 0);
    QCOMPARE(blended.blue(), 255);
    QVERIFY2(blended.red() > 100 && blended.red() < 150, qPrintable(QString::number(blended.red())));
    QCOMPARE(first.pixelColor(12, 12), QColor(Qt::white));

    form.Timer1Timer();
    const QImage second = form.Image3->picture();
    QCOMPARE(second.size(), QSize(17, 17));
    QCOMPARE(second.pixelColor(16, 16), QColor(Qt::black));
}

void LibraryWindowTest::pick_missingBall72_errorShownAndOldThirdFrameKept() {
    GuiFixture fx;
    paintRowSeven(makeLibraryBall(fx.appFolder(), "Alpha", "Comet"), 0x40);
    const fs::path broken = makeLibraryBall(fx.appFolder(), "Alpha", "Torn");
    paintRowSeven(broken, 0x80);
    fs::remove(broken / "ball_72.png");
    TForm1& form = fx.start();
    form.Timer1->stop();
    chooseBrand(form, "Alpha");
    pickBall(form, "Comet");
    tickRed(form);
    fx.ui.clear();

    pickBall(form, "Torn");
    QCOMPARE(fx.ui.errors(), QStringList({"File not found."}));
    QCOMPARE(QString::fromStdString(form.state().BallName), QString("Torn"));
    QCOMPARE(slotRed(form, 1), 0x80);
    QCOMPARE(slotRed(form, 2), -1);
    QCOMPARE(slotRed(form, 3), 0x42);
    // The cycle goes on where it was: slot 2, which now draws nothing, then the old third frame.
    QCOMPARE(form.PreviewFrame, 2);
    QCOMPARE(tickRed(form), 255);
    QCOMPARE(tickRed(form), 0x42);
}

void LibraryWindowTest::slider_fiveIntervalsOnTheTimer() {
    GuiFixture fx;
    makeLibraryBall(fx.appFolder(), "Alpha", "Comet");
    TForm1& form = fx.start();
    QCOMPARE(form.Timer1->interval(), 120);
    QVERIFY(form.Timer1->isActive());

    const int expected[] = {120, 200, 300, 400, 500};
    for (int position = 5; position >= 1; --position) {
        form.TrackBar1->setValue(position);
        QCOMPARE(form.Timer1->interval(), expected[position - 1]);
    }

    // A pick sets the interval from the slider too.
    form.TrackBar1->setValue(4);
    form.Timer1->setInterval(999);
    chooseBrand(form, "Alpha");
    pickBall(form, "Comet");
    QCOMPARE(form.Timer1->interval(), 400);
    QVERIFY(form.Timer1->isActive());
}

void LibraryWindowTest::installed_taggedAndUntaggedFramesShown() {
    GuiFixture fx;
    const fs::path game = fx.makeGame("fm2006");
    const std::string tag = "Alpha|Comet";
    installFrame(normalFrame(game), 0x112233FFu, &tag);
    installFrame(winterFrame(game), 0x445566FFu);
    fx.storeUser(kGame2006, "Path", game.string());
    TForm1& form = fx.start();

    QCOMPARE(form.Label3->text(), QString("Alpha Comet"));
    QVERIFY(!form.Image4->isHidden());
    QCOMPARE(form.Image4->picture().pixelColor(0, 0), QColor(0x11, 0x22, 0x33));
    QCOMPARE(form.Label4->text(), QString());
    QVERIFY(!form.Image5->isHidden());
    QCOMPARE(form.Image5->picture().pixelColor(0, 0), QColor(0x44, 0x55, 0x66));
}

void LibraryWindowTest::installed_missingOrHiddenFrames_hiddenPicturesAndEmptyLabels() {
    GuiFixture fx;
    HidingFileSystem files;
    fx.context = std::make_unique<AppContext>(
        AppContext{*fx.settings, files, fx.ui, fx.appFolder() / "orbisto", fx.workingFolder()});
    const fs::path game = fx.makeGame("fm2006");
    const std::string tag = "Alpha|Comet";
    installFrame(normalFrame(game), 0x112233FFu, &tag);
    files.hiddenFiles.insert(normalFrame(game));
    fx.storeUser(kGame2006, "Path", game.string());
    TForm1& form = fx.start();

    QVERIFY(form.Image4->isHidden());
    QCOMPARE(form.Label3->text(), QString());
    QVERIFY(form.Image5->isHidden());
    QCOMPARE(form.Label4->text(), QString());
}

void LibraryWindowTest::installed_noGameFolder_bothDisplaysEmpty() {
    GuiFixture fx;
    TForm1& form = fx.start();
    QCOMPARE(QString::fromStdString(form.state().GameFolder), QString());
    QVERIFY(form.Image4->isHidden());
    QVERIFY(form.Image5->isHidden());
    QCOMPARE(form.Label3->text(), QString());
    QCOMPARE(form.Label4->text(), QString());
}

void LibraryWindowTest::installed_unreadableFrame_errorShownAndLaterStepsSkipped() {
    GuiFixture fx;
    const fs::path game = fx.makeGame("fm2006");
    const std::string tag = "Alpha|Comet";
    const std::string winterTag = "Beta|Snow";
    installFrame(normalFrame(game), 0x112233FFu, &tag);
    installFrame(winterFrame(game), 0x445566FFu, &winterTag);
    fx.storeUser(kGame2006, "Path", game.string());
    TForm1& form = fx.start();
    fx.ui.clear();

    // Too short to hold a length: the tag read fails, so label, picture and winter display stay.
    writeFile(normalFrame(game), "ab");
    const std::string newWinter = "Gamma|Ice";
    installFrame(winterFrame(game), 0x778899FFu, &newWinter);
    form.Image4->hide();
    QVERIFY(!form.guard([&] { form.current(); }));
    QCOMPARE(fx.ui.errors().size(), 1);
    QVERIFY(!form.Image4->isHidden());
    QCOMPARE(form.Label3->text(), QString("Alpha Comet"));
    QCOMPARE(form.Image4->picture().pixelColor(0, 0), QColor(0x11, 0x22, 0x33));
    QCOMPARE(form.Label4->text(), QString("Beta Snow"));

    // A tag after bytes that are no PNG: the label changes, the picture keeps its old frame.
    const std::string damagedTag = "Delta|Rock";
    std::vector<std::uint8_t> damaged{'n', 'o', 't', 'p', 'n', 'g'};
    damaged.insert(damaged.end(), damagedTag.begin(), damagedTag.end());
    damaged.insert(damaged.end(), {14, 0, 0, 0});
    writeFile(normalFrame(game), damaged);
    QVERIFY(!form.guard([&] { form.current(); }));
    QCOMPARE(fx.ui.errors().size(), 2);
    QCOMPARE(form.Label3->text(), QString("Delta Rock"));
    QCOMPARE(form.Image4->picture().pixelColor(0, 0), QColor(0x11, 0x22, 0x33));
    QCOMPARE(form.Label4->text(), QString("Beta Snow"));
}

void LibraryWindowTest::installed_versionSwitch_changesBothDisplays() {
    GuiFixture fx;
    const fs::path game2006 = fx.makeGame("fm2006");
    const fs::path game2007 = fx.makeGame("fm2007");
    const std::string normal2006 = "Alpha|Comet";
    const std::string winter2006 = "Alpha|Snow";
    const std::string normal2007 = "Beta|Bolt";
    installFrame(normalFrame(game2006), 0x112233FFu, &normal2006);
    installFrame(winterFrame(game2006), 0x112233FFu, &winter2006);
    installFrame(normalFrame(game2007), 0x445566FFu, &normal2007);
    fx.storeUser(kGame2006, "Path", game2006.string());
    fx.storeUser(kGame2007, "Path", game2007.string());
    fx.storeMachine("\\SOFTWARE\\VESKO\\zvk3\\radio", "value", "2006");
    TForm1& form = fx.start();
    QCOMPARE(form.Label3->text(), QString("Alpha Comet"));
    QCOMPARE(form.Label4->text(), QString("Alpha Snow"));

    form.rb2007->setChecked(true);
    QCOMPARE(form.Label3->text(), QString("Beta Bolt"));
    QCOMPARE(form.Image4->picture().pixelColor(0, 0), QColor(0x44, 0x55, 0x66));
    QCOMPARE(form.Label4->text(), QString());
    QVERIFY(form.Image5->isHidden());

    form.rb2006->setChecked(true);
    QCOMPARE(form.Label4->text(), QString("Alpha Snow"));
    QVERIFY(!form.Image5->isHidden());
}

void LibraryWindowTest::shippedLibrary_everyBallListsPreviewsAndCarriesItsTag() {
    GuiFixture fx;
    fs::copy(fs::path(ORBISTO_SOURCE_DIR) / "data/balls", fx.appFolder() / "balls", fs::copy_options::recursive);
    TForm1& form = fx.start();
    form.Timer1->stop();
    fx.ui.clear();

    QVERIFY(form.brand->count() > 1);
    for (int b = 1; b < form.brand->count(); ++b) {
        const QString brandName = form.brand->itemText(b);
        form.brand->setCurrentIndex(b);
        QVERIFY2(form.lista->count() > 0, qPrintable(brandName));
        for (int i = 0; i < form.lista->count(); ++i) {
            const QString ball = form.lista->item(i)->text();
            form.lista->setCurrentRow(i);
            QVERIFY2(fx.ui.errors().isEmpty(), qPrintable(brandName + "/" + ball + ": " + fx.ui.errors().join(" ")));
            QVERIFY(!form.PreviewImages[2].empty());
            const fs::path frame =
                fx.appFolder() / "balls" / brandName.toStdString() / ball.toStdString() / "ball_73.png";
            QCOMPARE(QString::fromStdString(library::ReadBallTag(frame)), brandName + "|" + ball);
        }
    }
}

QTEST_MAIN(LibraryWindowTest)
#include "LibraryWindowTest.moc"
