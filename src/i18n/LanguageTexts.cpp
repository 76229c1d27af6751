#include "i18n/LanguageTexts.h"

#include <algorithm>

namespace orbisto::i18n {

namespace {

using enum TextWindow;
using library::ArchiveProblem;

// The caption of the control `target`; most keys are named after their control.
constexpr LanguageText control(TextWindow window, std::string_view key, std::string_view target,
                               std::string_view fallback = {}) {
    return {key, window, TextKind::Control, target, {}, fallback, {}};
}
constexpr LanguageText control(TextWindow window, std::string_view key) {
    return control(window, key, key);
}
constexpr LanguageText title(TextWindow window, std::string_view key) {
    return {key, window, TextKind::Title, {}, {}, {}, {}};
}
// Every message is read with the main window's texts.
constexpr LanguageText message(std::string_view key, Message message, std::string_view fallback = {}) {
    return {key, Main, TextKind::Message, {}, message, fallback, {}};
}
// The message of an archive refusal; its fallback is the archive reader's own text.
constexpr LanguageText refusal(std::string_view key, Message message, ArchiveProblem problem) {
    return {key, Main, TextKind::Message, {}, message, library::archiveProblemText(problem), problem};
}

constexpr std::array kTexts{
    control(Main, "install"),
    control(Main, "add"),
    control(Main, "settings"),
    control(Main, "about"),
    control(Main, "help"),
    control(Main, "prevs"),
    message("redmsg", Message::redmsg),
    message("selmsg", Message::selmsg),
    message("katmsg", Message::katmsg),
    message("dodmsg", Message::dodmsg),
    message("pusmsg", Message::pusmsg),
    message("istmsg", Message::istmsg),
    message("ist2msg", Message::ist2msg),
    message("resmsg", Message::resmsg),
    control(Main, "GroupBox1"),
    control(Main, "GroupBox2"),
    control(Main, "GroupBox3"),
    control(Main, "GroupBox4"),
    control(Main, "GroupBox5"),
    control(Main, "GroupBox6"),
    control(Main, "GroupBox8"),
    control(Main, "Label2"),
    control(Main, "rbn"),
    control(Main, "rbw"),
    control(Main, "rbnaw"),
    control(Main, "cbinstall"),
    // Keys added to the original ones; a language file that lacks them shows the built-in English.
    message("namemsg", Message::namemsg,
            "A name may not be empty or longer than 100 characters, contain a dot, / \\ : * ? \" < > | or control "
            "characters, end in a blank, or be a reserved device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0 to "
            "COM9, LPT0 to LPT9, COM\u00B9 to COM\u00B3, LPT\u00B9 to LPT\u00B3)."),
    message("chkmsg", Message::chkmsg, "The chosen folder lacks these ball frames:"),
    message("srcinst", Message::srcinst, "Recorded by the game's installer"),
    message("srcset", Message::srcset, "Chosen in Settings"),
    message("srcwine", Message::srcwine, "Found in the Wine prefix"),
    message("bakmsg", Message::bakmsg,
            "Before installing, Orbisto has kept the game's own ball in the library under the brand \"Original\". "
            "To get it back, install it from there:"),
    message("admmsg", Message::admmsg,
            "Orbisto may not write into the folder below, so nothing was changed. Start Orbisto with \"Run as "
            "administrator\", or install the game (and Orbisto) outside Program Files:"),
    message("usemsg", Message::usemsg,
            "The game or another program holds the file below, so nothing was installed. Close it and install "
            "again:"),
    message("setmsg", Message::setmsg, "The archive holds several balls. Choose one:"),
    message("nosetmsg", Message::nosetmsg, "The archive holds no complete ball. Its best folder lacks these frames:"),
    message("dropmsg", Message::dropmsg,
            "Drop one folder or one archive (zip, 7z, rar, tar.gz, tar.bz2, tar.xz) that holds a ball."),
    refusal("arcbadmsg", Message::arcbadmsg, ArchiveProblem::Unreadable),
    refusal("arcencmsg", Message::arcencmsg, ArchiveProblem::Encrypted),
    refusal("arcnummsg", Message::arcnummsg, ArchiveProblem::TooManyEntries),
    refusal("arcsizemsg", Message::arcsizemsg, ArchiveProblem::EntryTooLarge),
    refusal("arctotmsg", Message::arctotmsg, ArchiveProblem::TooLargeInAll),
    refusal("arcbombmsg", Message::arcbombmsg, ArchiveProblem::Bomb),

    control(Settings, "GroupBox31"),
    title(Settings, "form4"),

    control(LanguageInfo, "language", "Label3"),
    control(LanguageInfo, "author", "Label4"),

    control(Skin, "intall2"),
    control(Skin, "GroupBox311"),
    control(Skin, "GroupBox123"),
    control(Skin, "GroupBox23"),
    title(Skin, "form3"),

    control(SkinPreview, "GroupBox311p", "GroupBox311"),
    title(SkinPreview, "form3p"),

    control(OwnBall, "Group7Box1"),
    control(OwnBall, "Group7Box2"),
    control(OwnBall, "Group7Box3"),
    control(OwnBall, "Label71"),
    control(OwnBall, "Label73"),
    control(OwnBall, "Label72"),
    title(OwnBall, "form7"),
    control(OwnBall, "JvXPButton72"),
    control(OwnBall, "JvXPButton71"),
    control(OwnBall, "JvXPButton73"),
    control(OwnBall, "JvXPButton74", "JvXPButton74", "Open archive with ball"),
};

// windowTexts hands out one stretch of the table per window, so a window's rows must stand together.
constexpr bool windowsStandTogether() {
    for (std::size_t i = 1; i < kTexts.size(); ++i) {
        if (kTexts[i].window != kTexts[i - 1].window &&
            std::any_of(kTexts.begin(), kTexts.begin() + static_cast<std::ptrdiff_t>(i),
                        [&](const LanguageText& text) { return text.window == kTexts[i].window; })) {
            return false;
        }
    }
    return true;
}
static_assert(windowsStandTogether());

// messageText and Messages rely on one row for each message.
constexpr bool everyMessageHasOneRow() {
    for (std::size_t id = 0; id < kMessageCount; ++id) {
        if (std::count_if(kTexts.begin(), kTexts.end(), [id](const LanguageText& text) {
                return text.kind == TextKind::Message && text.message == static_cast<Message>(id);
            }) != 1) {
            return false;
        }
    }
    return true;
}
static_assert(everyMessageHasOneRow());

constexpr char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameKey(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

} // namespace

std::span<const LanguageText> languageTexts() {
    return kTexts;
}

std::span<const LanguageText> windowTexts(TextWindow window) {
    const auto sameWindow = [window](const LanguageText& text) { return text.window == window; };
    const auto first = std::find_if(kTexts.begin(), kTexts.end(), sameWindow);
    const auto end = std::find_if_not(first, kTexts.end(), sameWindow);
    return {first, end};
}

const LanguageText* findLanguageText(std::string_view key) {
    const auto found =
        std::find_if(kTexts.begin(), kTexts.end(), [key](const LanguageText& text) { return sameKey(text.key, key); });
    return found != kTexts.end() ? &*found : nullptr;
}

const LanguageText& messageText(Message message) {
    const auto found = std::find_if(kTexts.begin(), kTexts.end(), [message](const LanguageText& text) {
        return text.kind == TextKind::Message && text.message == message;
    });
    return *found; // there is one, as checked above
}

Message archiveMessage(ArchiveProblem problem) {
    const auto found = std::find_if(kTexts.begin(), kTexts.end(),
                                    [problem](const LanguageText& text) { return text.problem == problem; });
    return found != kTexts.end() ? found->message : Message::arcbadmsg;
}

} // namespace orbisto::i18n
