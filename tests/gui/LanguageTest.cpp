#include "app/TForm1.h"
#include "platform/SettingsStore.h"
#include "support/GuiFixture.h"

#include <QAbstractButton>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QtTest>

using namespace orbisto;
using namespace orbisto::test;

namespace {

const std::string kLanguageKey = "\\SOFTWARE\\VESKO\\zvk\\Lang";

// The 18 captions of the main window that a language file sets.
const QStringList kMainCaptions{"install",   "add",       "settings",  "about",     "help",      "prevs",
                                "GroupBox1", "GroupBox2", "GroupBox3", "GroupBox4", "GroupBox5", "GroupBox6",
                                "GroupBox8", "Label2",    "rbn",       "rbw",       "rbnaw",     "cbinstall"};

void writeLanguage(GuiFixture& f, const std::string& name, std::string_view text) {
    writeFile(f.appFolder() / "Languages" / (name + ".ini"), text);
}

// A language file with every main-window key set to "<key> <tag>" and every message to "<msg> <tag>".
std::string fullMainWindowFile(const QString& tag, const QStringList& leaveOut = {}) {
    std::string text = "[lang]\n";
    QStringList keys = kMainCaptions;
    keys << "redmsg"
         << "selmsg"
         << "katmsg"
         << "dodmsg"
         << "pusmsg"
         << "istmsg"
         << "ist2msg"
         << "resmsg";
    for (const QString& key : keys) {
        if (!leaveOut.contains(key)) {
            text += (key + "=" + key + " " + tag + "\n").toStdString();
        }
    }
    return text;
}

QString caption(QWidget* window, const QString& name) {
    QWidget* control = window->findChild<QWidget*>(name);
    if (auto* box = qobject_cast<QGroupBox*>(control)) {
        return box->title();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        return label->text();
    }
    return QStringLiteral("<no control %1>").arg(name);
}

QStringList messages(const SharedState& s) {
    return {QString::fromStdString(s.redmsg),  QString::fromStdString(s.selmsg), QString::fromStdString(s.katmsg),
            QString::fromStdString(s.dodmsg),  QString::fromStdString(s.pusmsg), QString::fromStdString(s.istmsg),
            QString::fromStdString(s.ist2msg), QString::fromStdString(s.resmsg)};
}

// Where the title of a group box ends, as the style draws it.
int titleEnd(const QGroupBox* box) {
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.textAlignment = box->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.features = box->isFlat() ? QStyleOptionFrame::Flat : QStyleOptionFrame::None;
    const QRect label = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    return label.left() + box->fontMetrics().horizontalAdvance(box->title());
}

} // namespace

class LanguageTest : public QObject {
    Q_OBJECT

private slots:
    void startup_storedLanguageOrEnglish_appliedAndNamed_data();
    void startup_storedLanguageOrEnglish_appliedAndNamed();
    void missingFile_everyCaptionAndMessageEmpty_ownMessagesBuiltIn();
    void missingKey_emptiesOnlyItsCaptionOrMessage();
    void values_quotesBlanksCaseBomAndLengthLimit();
    void skinWindow_previewKeysReplaceNormalOnes_emptyWhenAbsent();
    void editedFile_reachesOwnBallWindowAtNextShowing_notMainWindow();
    void shippedLanguages_mainWindowCaptionsFitTheirControls();
};

void LanguageTest::startup_storedLanguageOrEnglish_appliedAndNamed_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("applied");
    QTest::newRow("nothing stored") << ""
                                    << "English";
    QTest::newRow("Polski stored") << "Polski"
                                   << "Polski";
}

void LanguageTest::startup_storedLanguageOrEnglish_appliedAndNamed() {
    QFETCH(QString, stored);
    QFETCH(QString, applied);
    GuiFixture f;
    writeLanguage(f, "English", fullMainWindowFile("EN"));
    writeLanguage(f, "Polski", fullMainWindowFile("PL"));
    if (!stored.isEmpty()) {
        f.storeMachine(kLanguageKey, "lang", stored.toStdString());
    }
    TForm1& main = f.start();

    const QString tag = applied == "English" ? "EN" : "PL";
    QCOMPARE(main.Label5->text(), applied);
    for (const QString& name : kMainCaptions) {
        QCOMPARE(caption(&main, name), name + " " + tag);
    }
    QCOMPARE(QString::fromStdString(main.state().resmsg), "resmsg " + tag);
}

void LanguageTest::missingFile_everyCaptionAndMessageEmpty_ownMessagesBuiltIn() {
    GuiFixture f;
    f.installShippedLanguages();
    f.storeMachine(kLanguageKey, "lang", "Gone");
    TForm1& main = f.start();

    QCOMPARE(main.Label5->text(), QString("Gone"));
    for (const QString& name : kMainCaptions) {
        QCOMPARE(caption(&main, name), QString());
    }
    QCOMPARE(messages(main.state()), QStringList(8, QString()));
    QVERIFY(main.state().namemsg.starts_with("A name may not be empty"));
    QVERIFY(main.state().chkmsg.starts_with("The chosen folder lacks"));
    // Texts that no language file sets keep their layout.
    QCOMPARE(main.rb2005->text(), QString("FM 2005"));
    QCOMPARE(main.windowTitle(), QString("Orbisto 3.0"));
}

void LanguageTest::missingKey_emptiesOnlyItsCaptionOrMessage() {
    GuiFixture f;
    writeLanguage(f, "English", fullMainWindowFile("EN", {"rbw", "selmsg"}) + "namemsg=\nchkmsg=Frames missing:\n");
    TForm1& main = f.start();

    QCOMPARE(main.rbw->text(), QString());
    QCOMPARE(main.rbn->text(), QString("rbn EN"));
    QCOMPARE(main.state().selmsg, std::string());
    QCOMPARE(main.state().redmsg, std::string("redmsg EN"));
    // An own message present but empty stays empty; no built-in text replaces it.
    QCOMPARE(main.state().namemsg, std::string());
    QCOMPARE(main.state().chkmsg, std::string("Frames missing:"));
}

void LanguageTest::values_quotesBlanksCaseBomAndLengthLimit() {
    GuiFixture f;
    const std::string longText(3000, 'x');
    writeLanguage(f, "English",
                  "\xEF\xBB\xBF[LaNg]\r\nINSTALL=\"Install\"\r\nhelp =   Hilfe und Über   \r\nAbout='About'\r\n"
                  "settings=\"Settings\r\nadd=" +
                      longText + "\r\n");
    TForm1& main = f.start();

    QCOMPARE(main.install->text(), QString("Install"));
    QCOMPARE(main.help->text(), QString("Hilfe und Über"));
    QCOMPARE(main.about->text(), QString("About"));
    QCOMPARE(main.settings->text(), QString("\"Settings")); // an unbalanced quote stays
    QCOMPARE(main.add->text(), QString(2047, 'x'));
}

void LanguageTest::skinWindow_previewKeysReplaceNormalOnes_emptyWhenAbsent() {
    GuiFixture f;
    const std::string normal = "[lang]\nGroupBox311=Install to skin\nform3=Install to skin\nintall2=Install\n";
    writeLanguage(f, "English", normal + "GroupBox311p=Skins\nform3p=Balls in skins\n");
    writeLanguage(f, "Bare", normal);
    TForm1& main = f.start();
    auto* form3 = main.findChild<QDialog*>("Form3");
    QVERIFY(form3 != nullptr);

    main.state().SkinPreviewMode = "";
    main.lang3("English");
    QCOMPARE(caption(form3, "GroupBox311"), QString("Install to skin"));
    QCOMPARE(form3->windowTitle(), QString("Install to skin"));
    QCOMPARE(caption(form3, "intall2"), QString("Install"));

    main.state().SkinPreviewMode = "a";
    main.lang3("English");
    QCOMPARE(caption(form3, "GroupBox311"), QString("Skins"));
    QCOMPARE(form3->windowTitle(), QString("Balls in skins"));

    main.lang3("Bare");
    QCOMPARE(caption(form3, "GroupBox311"), QString());
    QCOMPARE(form3->windowTitle(), QString());
    // Any other mode text is not preview mode.
    main.state().SkinPreviewMode = "A";
    main.lang3("Bare");
    QCOMPARE(form3->windowTitle(), QString("Install to skin"));
}

void LanguageTest::editedFile_reachesOwnBallWindowAtNextShowing_notMainWindow() {
    GuiFixture f;
    writeLanguage(f, "English", "[lang]\ninstall=Install\nGroup7Box1=Add ball\nform7=Own Ball\n");
    TForm1& main = f.start();
    auto* form7 = main.findChild<QDialog*>("Form7");
    QVERIFY(form7 != nullptr);

    writeLanguage(f, "English", "[lang]\ninstall=Put in\nGroup7Box1=New ball\nform7=My ball\n");
    QString shownTitle;
    f.ui.onModal = [&](QDialog& dialog) { shownTitle = dialog.windowTitle(); };
    f.ui.showModal(*form7);

    QCOMPARE(shownTitle, QString("My ball"));
    QCOMPARE(caption(form7, "Group7Box1"), QString("New ball"));
    QCOMPARE(main.install->text(), QString("Install"));
}

void LanguageTest::shippedLanguages_mainWindowCaptionsFitTheirControls() {
    for (const char* language : {"English", "Polski", "Deutsch"}) {
        GuiFixture f;
        f.installShippedLanguages();
        f.storeMachine(kLanguageKey, "lang", language);
        TForm1& main = f.start();
        // Screenshots to look at, when asked for.
        if (const QString folder = qEnvironmentVariable("ORBISTO_SCREENSHOT_DIR"); !folder.isEmpty()) {
            main.grab().save(folder + "/main-" + language + ".png");
        }
        for (const QString& name : kMainCaptions) {
            auto* control = main.findChild<QWidget*>(name);
            // A label sizes itself to its text.
            const auto* box = qobject_cast<QGroupBox*>(control);
            const int needed = box != nullptr ? titleEnd(box) : control->sizeHint().width();
            QVERIFY2(
                needed <= control->width() || qobject_cast<QLabel*>(control) != nullptr,
                qPrintable(QString("%1: %2 needs %3 of %4").arg(language, name).arg(needed).arg(control->width())));
        }
    }
}

QTEST_MAIN(LanguageTest)
#include "LanguageTest.moc"
