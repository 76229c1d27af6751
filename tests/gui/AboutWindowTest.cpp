#include "support/GuiFixture.h"

using namespace orbisto;
using namespace orbisto::test;

namespace {

using Opened = std::vector<std::pair<QString, bool>>; // what reached the shell seam, and whether maximized

QColor colour(const QWidget* widget, QPalette::ColorRole role = QPalette::WindowText) {
    return widget->palette().color(role);
}

struct AboutProgram {
    AboutProgram() {
        main = &f.start();
        about = f.context->forms.form6;
        f.ui.clear();
    }
    GuiFixture f;
    TForm1* main = nullptr;
    TForm6* about = nullptr;
};

} // namespace

class AboutWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The look at rest and pressed: the Close button closes on a release anywhere, and is at rest again at
    // the next opening.
    void layout_borderlessDark_closeButtonPressedLookThenReleaseAnywhereCloses() {
        AboutProgram p;
        TForm6& about = *p.about;
        QVERIFY(about.windowFlags().testFlag(Qt::FramelessWindowHint) && about.autoFillBackground());
        QCOMPARE(about.geometry(), QRect(239, 296, 283, 118));
        QCOMPARE(colour(&about, QPalette::Window), QColor(45, 46, 60));
        QCOMPARE(colour(about.Label6), QColor(207, 255, 41));
        QVERIFY(about.Label1->text().startsWith("author: ") && about.Label2->text().startsWith("e-mail: ") &&
                about.Label3->text().startsWith("help: "));
        for (const QLabel* label : {about.Label1, about.Label2, about.Label3, about.Label4, about.Label5}) {
            QCOMPARE(colour(label), QColor(Qt::white));
            // Every text stays inside the window.
            QVERIFY2(about.rect().contains(label->geometry()), qPrintable(label->objectName()));
        }
        QCOMPARE(about.Panel1->geometry(), QRect(8, 88, 89, 25));
        QCOMPARE(about.Panel2->geometry(), about.Panel1->geometry());
        QCOMPARE(colour(about.Panel1, QPalette::Window), QColor(1, 154, 212));
        QCOMPARE(about.Panel2->frameShadow(), QFrame::Sunken);
        QCOMPARE(about.childAt(QPoint(50, 100)), about.Panel1); // the button at rest is on top

        bool closedOnRelease = false;
        p.f.ui.onModal = [&](QDialog&) {
            QTest::mousePress(about.Panel1, Qt::LeftButton, {}, QPoint(40, 12));
            QVERIFY(!about.Panel1->isVisible() && about.Panel2->isVisible());
            QVERIFY(about.isVisible());
            // Released far from the button, over a label.
            QTest::mouseRelease(&about, Qt::LeftButton, {}, QPoint(260, 30));
            closedOnRelease = !about.isVisible();
        };
        p.main->aboutClick();
        QVERIFY(closedOnRelease);

        // At the next opening the button is at rest, and a release without a press on it closes nothing.
        bool openAfterRelease = false;
        p.f.ui.onModal = [&](QDialog&) {
            QVERIFY(about.Panel1->isVisible());
            QTest::mouseRelease(&about, Qt::LeftButton, {}, QPoint(200, 10));
            openAfterRelease = about.isVisible();
        };
        p.main->aboutClick();
        QVERIFY(openAfterRelease);
    }

    void links_singleClickOpensSite_doubleClickOpensHelp_helpButtonFindsReadMe() {
        AboutProgram p;
        TForm6& about = *p.about;
        bool openAfterClicks = false;
        p.f.ui.onModal = [&](QDialog&) {
            // A single click on the help line does nothing; double-clicking the site opens it once, not per click.
            QTest::mouseClick(about.Label3, Qt::LeftButton);
            QTest::mouseClick(about.Label5, Qt::LeftButton);
            QTest::mouseDClick(about.Label3, Qt::LeftButton);
            QTest::mouseClick(about.Label5, Qt::LeftButton);
            QTest::mouseDClick(about.Label5, Qt::LeftButton);
            openAfterClicks = about.isVisible();
        };
        p.main->aboutClick();
        const std::pair<QString, bool> site{TForm6::kSiteAddress, true};
        QCOMPARE(p.f.ui.shellOpened, (Opened{site, {TForm6::kHelpAddress, true}, site}));
        QVERIFY(openAfterClicks);

        // Help opens ReadMe.txt from the working folder, else from beside the program; found nowhere, the
        // error box says so instead of nothing happening.
        p.f.ui.clear();
        p.main->help->click();
        QCOMPARE(p.f.ui.errors(), QStringList{"Cannot open \"ReadMe.txt\": File not found."});
        QVERIFY(p.f.ui.shellOpened.empty());
        p.f.ui.clear();
        writeFile(p.f.appFolder() / "ReadMe.txt", "beside the program");
        p.main->help->click();
        writeFile(p.f.workingFolder() / "ReadMe.txt", "in the working folder");
        p.main->help->click();
        QCOMPARE(p.f.ui.shellOpened, (Opened{{qtext((p.f.appFolder() / "ReadMe.txt").string()), false},
                                             {qtext((p.f.workingFolder() / "ReadMe.txt").string()), false}}));
        QVERIFY(p.f.ui.messages.empty());
    }
};

QTEST_MAIN(AboutWindowTest)
#include "AboutWindowTest.moc"
