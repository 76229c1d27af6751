#include "support/GuiFixture.h"

using namespace orbisto;
using namespace orbisto::test;
using i18n::Message;

namespace {

// The 18 captions of the main window and the 8 messages that a language file sets.
const QStringList kMainCaptions{"install",   "add",       "settings",  "about",     "help",      "prevs",
                                "GroupBox1", "GroupBox2", "GroupBox3", "GroupBox4", "GroupBox5", "GroupBox6",
                                "GroupBox8", "Label2",    "rbn",       "rbw",       "rbnaw",     "cbinstall"};
const QStringList kMessages{"redmsg", "selmsg", "katmsg", "dodmsg", "pusmsg", "istmsg", "ist2msg", "resmsg"};

void writeLanguage(GuiFixture& f, const std::string& name, std::string_view text) {
    writeFile(f.appFolder() / "Languages" / (name + ".ini"), text);
}

// Lines setting every main-window key to "<key> <tag>", but those left out.
std::string mainWindowKeys(const QString& tag, const QStringList& leaveOut = {}) {
    std::string text;
    for (const QString& key : kMainCaptions + kMessages) {
        if (!leaveOut.contains(key)) {
            text += (key + "=" + key + " " + tag + "\n").toStdString();
        }
    }
    return text;
}

// The caption of a group box, button or label.
QString caption(QWidget* window, const QString& name) {
    const QWidget* control = window->findChild<QWidget*>(name);
    const QVariant title = control->property("title");
    return title.isValid() ? title.toString() : control->property("text").toString();
}

// The 8 messages, in the order of kMessages.
QStringList messages(const SharedState& s) {
    QStringList texts;
    for (const QString& key : kMessages) {
        texts << QString::fromStdString(s.messages[i18n::findLanguageText(key.toStdString())->message]);
    }
    return texts;
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
    void startup_storedLanguageOrEnglish_missingFileEmptiesAll() {
        // The stored language, the one applied, and the tag its file gives every text.
        const std::tuple<QString, QString, QString> cases[] = {
            {{}, "English", " EN"}, {"Polski", "Polski", " PL"}, {"Gone", "Gone", {}}};
        for (const auto& [stored, applied, tag] : cases) {
            GuiFixture f;
            writeLanguage(f, "English", "[lang]\n" + mainWindowKeys("EN"));
            writeLanguage(f, "Polski", "[lang]\n" + mainWindowKeys("PL"));
            if (!stored.isEmpty()) {
                f.storeMachine(kLanguageKey, "lang", stored.toStdString());
            }
            TForm1& main = f.start();

            // Every caption and message from the file; all empty without it, with no fall-back.
            QCOMPARE(main.Label5->text(), applied);
            QStringList shown;
            QStringList expected;
            for (const QString& name : kMainCaptions) {
                shown << caption(&main, name);
            }
            for (const QString& key : kMainCaptions + kMessages) {
                expected << (tag.isEmpty() ? QString() : key + tag);
            }
            QCOMPARE(shown + messages(main.state()), expected);
            // The own-ball window's messages are built in; texts no language file sets keep their layout.
            QVERIFY(main.state().messages[Message::namemsg].starts_with("A name may not be empty"));
            QVERIFY(main.state().messages[Message::bakmsg].starts_with("Before installing, Orbisto has kept"));
            QCOMPARE(main.rb2005->text(), QString("FM 2005"));
        }
    }

    // Values: a missing key, quotes, blanks, case, a byte-order mark and the length limit. Then the other
    // windows: the skin window's preview keys, and an edited file reaching the own-ball window at its next
    // showing but not the main window.
    void values_missingKeyQuotesBlanksCaseBomAndLengthLimit_otherWindowsAndEdits() {
        GuiFixture f;
        const QStringList special{"install", "help", "about", "settings", "add", "rbw", "selmsg"};
        const std::string skinKeys = "\r\nGroupBox311=Install to skin\r\nform3=Install to skin\r\nintall2=Install\r\n";
        writeLanguage(f, "English",
                      "\xEF\xBB\xBF[LaNg]\r\nINSTALL=\"Install\"\r\nhelp =   Hilfe und Über   \r\nAbout='About'\r\n"
                      "settings=\"Settings\r\nnamemsg=\r\nGroupBox311p=Skins\r\nform3p=Balls in skins\r\nadd=" +
                          std::string(3000, 'x') + skinKeys + mainWindowKeys("EN", special));
        writeLanguage(f, "Bare", "[lang]" + skinKeys);
        TForm1& main = f.start();

        QCOMPARE(main.install->text(), QString("Install"));
        QCOMPARE(main.help->text(), QString("Hilfe und Über"));
        QCOMPARE(main.about->text(), QString("About"));
        QCOMPARE(main.settings->text(), QString("\"Settings")); // an unbalanced quote stays
        QCOMPARE(main.add->text(), QString(2047, 'x'));
        // A missing key empties only its control or message; an empty own message stays empty.
        QCOMPARE(main.rbw->text(), QString());
        QCOMPARE(main.rbn->text(), QString("rbn EN"));
        QCOMPARE(messages(main.state()).mid(0, 2), (QStringList{"redmsg EN", ""}));
        QCOMPARE(main.state().messages[Message::namemsg], std::string());
        QVERIFY(main.state().messages[Message::chkmsg].starts_with("The chosen folder lacks"));

        auto* form3 = main.findChild<QDialog*>("Form3");
        main.lang3("English");
        QCOMPARE(caption(form3, "GroupBox311"), QString("Install to skin"));
        QCOMPARE(caption(form3, "intall2"), QString("Install"));
        // Preview mode reads the preview keys instead, and no fallback when they are absent.
        main.state().SkinPreviewMode = "a";
        main.lang3("English");
        QCOMPARE(caption(form3, "GroupBox311"), QString("Skins"));
        QCOMPARE(form3->windowTitle(), QString("Balls in skins"));
        main.lang3("Bare");
        QCOMPARE(caption(form3, "GroupBox311"), QString());
        QCOMPARE(form3->windowTitle(), QString());
        main.state().SkinPreviewMode = "A"; // any other mode text is not preview mode
        main.lang3("Bare");
        QCOMPARE(form3->windowTitle(), QString("Install to skin"));

        writeLanguage(f, "English", "[lang]\ninstall=Put in\nGroup7Box1=New ball\nform7=My ball\n");
        auto* form7 = main.findChild<QDialog*>("Form7");
        QString shownTitle;
        f.ui.onModal = [&](QDialog& dialog) { shownTitle = dialog.windowTitle(); };
        f.ui.showModal(*form7);
        QCOMPARE(shownTitle, QString("My ball"));
        QCOMPARE(caption(form7, "Group7Box1"), QString("New ball"));
        QCOMPARE(main.install->text(), QString("Install"));
    }

    void shippedLanguages_captionsFitTheirControls() {
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
                const auto* box = qobject_cast<QGroupBox*>(control);
                const int needed = box != nullptr ? titleEnd(box) : control->sizeHint().width();
                // A label sizes itself to its text.
                QVERIFY2(
                    needed <= control->width() || qobject_cast<QLabel*>(control) != nullptr,
                    qPrintable(QString("%1: %2 needs %3 of %4").arg(language, name).arg(needed).arg(control->width())));
            }
            // The own-ball window's archive button, in the free row of its group.
            TForm7& own = *f.context->forms.form7;
            own.show();
            QCOMPARE(own.JvXPButton74->geometry(), QRect(8, 138, 177, 25));
            QVERIFY2(own.JvXPButton74->sizeHint().width() <= own.JvXPButton74->width(), language);
            QVERIFY2((own.JvXPButton74->text() == "Open archive with ball") == (std::string(language) == "English"),
                     language);
            for (QWidget* other : own.Group7Box1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                QVERIFY2(other == own.JvXPButton74 || !other->geometry().intersects(own.JvXPButton74->geometry()),
                         qPrintable(other->objectName()));
            }
            own.close();
        }
    }
};

QTEST_MAIN(LanguageTest)
#include "LanguageTest.moc"
