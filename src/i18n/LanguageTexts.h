#pragma once

#include "library/ArchiveProblem.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orbisto::i18n {

// Where a text read from a language file goes.
enum class TextKind {
    Control, // the caption of the control named `target` (a button, group box or label)
    Title,   // the window's title
    Message, // the shared message `message`
};

// The readings of a language file. Each reads its rows in table order, key by key.
enum class TextWindow {
    Main,         // lang0: the main window's captions and every shared message
    Settings,     // lang4
    LanguageInfo, // the settings window's "Current language" group, from the file of the language picked
    Skin,         // lang3
    SkinPreview,  // lang3, after Skin, in preview mode only: replaces what GroupBox311 and form3 have set
    OwnBall,      // lang5
};

// The messages the windows show, named after their keys in the language file.
enum class Message {
    redmsg,
    selmsg,
    katmsg,
    dodmsg,
    pusmsg,
    istmsg,
    ist2msg,
    resmsg,
    namemsg, // the own-ball window's name check
    chkmsg,  // the own-ball window's frame check, followed by the missing frames
    srcinst, // where a game folder came from, in the version buttons' tooltips
    srcset,
    srcwine, // followed by the Wine prefix's folder
    bakmsg,  // after an install kept the game's own ball in the library
    admmsg,  // a folder Orbisto may not write into, followed by the path
    usemsg,  // a frame another program holds open, followed by the path
    setmsg,  // archives and drops
    nosetmsg,
    dropmsg,
    arcbadmsg, // archive refusals, one for each ArchiveProblem
    arcencmsg,
    arcnummsg,
    arcsizemsg,
    arctotmsg,
    arcbombmsg,
};
inline constexpr std::size_t kMessageCount = static_cast<std::size_t>(Message::arcbombmsg) + 1;

// One text of a language file: the key read in section "lang", what it sets, and the text it gets when the
// file, the section or the key is missing (an empty value in the file stays empty). The keys of the
// original program have no fallback: their missing key gives the empty text, not the layout's.
struct LanguageText {
    std::string_view key;
    TextWindow window;
    TextKind kind;
    std::string_view target; // Control: the control's objectName
    Message message{};       // Message: the message it sets
    std::string_view fallback;
    std::optional<library::ArchiveProblem> problem; // an archive refusal's message: that refusal
};

// Every text the program reads, window by window, each window's rows in their reading order.
std::span<const LanguageText> languageTexts();
// The rows of one window, in reading order.
std::span<const LanguageText> windowTexts(TextWindow window);
// The row of `key`, compared ignoring ASCII case as the file's keys are; null for a key no window reads.
const LanguageText* findLanguageText(std::string_view key);
// The row that sets `message`.
const LanguageText& messageText(Message message);
// The message that tells of an archive refused for `problem`.
Message archiveMessage(library::ArchiveProblem problem);

// The message texts of the language in use, by message. Empty until a language is read.
class Messages {
public:
    std::string& operator[](Message message) { return texts_[static_cast<std::size_t>(message)]; }
    const std::string& operator[](Message message) const { return texts_[static_cast<std::size_t>(message)]; }

private:
    std::array<std::string, kMessageCount> texts_{};
};

} // namespace orbisto::i18n
