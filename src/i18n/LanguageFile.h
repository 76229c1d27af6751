#pragma once

#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto::platform {
class FileSystem;
}

namespace orbisto::i18n {

// Where a text read from a language file goes.
enum class TextKind {
    Control, // the caption of the control named `target` (a button, group box or label)
    Title,   // the window's title
    Message, // the shared message text named `target`
};

// One text of a language file: the key read in section "lang" and what it sets.
struct LanguageText {
    std::string_view key;
    TextKind kind;
    std::string_view target;
};

// The language file of `language`: <programFolder>Languages/<language>.ini. The program folder ends
// in a separator; the name is used as it is.
std::filesystem::path languageFile(const std::string& programFolder, const std::string& language);

// One key of section "lang"; `fallback` when the file, the section or the key is missing.
std::string readLanguageText(const std::filesystem::path& file, std::string_view key, std::string_view fallback = {});

// Reads every text in order, each one afresh from the file, and hands it to `apply` right after
// reading it. A missing file, section or key gives the empty text: no fallback to layout texts.
void applyLanguageTexts(const std::filesystem::path& file, std::span<const LanguageText> texts,
                        const std::function<void(const LanguageText&, const std::string&)>& apply);

// Names of the languages in <programFolder>Languages: every "*.ini" file (folders, hidden and system
// entries are skipped), in the listing's order, with only its last extension removed.
std::vector<std::string> listLanguages(const platform::FileSystem& fs, const std::string& programFolder);

// The texts of each window, in the order they are read.
std::span<const LanguageText> mainWindowTexts();     // lang0: 18 captions and the 8 messages
std::span<const LanguageText> settingsWindowTexts(); // lang4
std::span<const LanguageText> skinWindowTexts();     // lang3
std::span<const LanguageText> skinPreviewTexts();    // lang3, after skinWindowTexts, in preview mode only
std::span<const LanguageText> ownBallWindowTexts();  // lang5

// Messages of the own-ball window's checks, with a built-in English text for language files that
// lack them (an empty value in the file stays empty).
inline constexpr std::string_view kNameMessageKey = "namemsg";
inline constexpr std::string_view kCheckMessageKey = "chkmsg";
inline constexpr std::string_view kDefaultNameMessage =
    "A name may not be empty or longer than 100 characters, contain a dot, / \\ : * ? \" < > | or control "
    "characters, end in a blank, or be a reserved device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0 to COM9, "
    "LPT0 to LPT9, COM\u00B9 to COM\u00B3, LPT\u00B9 to LPT\u00B3).";
inline constexpr std::string_view kDefaultCheckMessage = "The chosen folder lacks these ball frames:";
// Message of an install that first kept the game's own ball in the library, built-in English as above.
inline constexpr std::string_view kBackupMessageKey = "bakmsg";
inline constexpr std::string_view kDefaultBackupMessage =
    "Before installing, Orbisto has kept the game's own ball in the library under the brand \"Original\". "
    "To get it back, install it from there:";

// A folder Orbisto may not write into (the game's, a skin's, the library), and a frame another program
// holds open; each is followed by the path on a line of its own. Built-in English as above.
inline constexpr std::string_view kNotWritableMessageKey = "admmsg";
inline constexpr std::string_view kDefaultNotWritableMessage =
    "Orbisto may not write into the folder below, so nothing was changed. Start Orbisto with \"Run as "
    "administrator\", or install the game (and Orbisto) outside Program Files:";
inline constexpr std::string_view kInUseMessageKey = "usemsg";
inline constexpr std::string_view kDefaultInUseMessage =
    "The game or another program holds the file below, so nothing was installed. Close it and install again:";

// Where a game folder came from, told by the main window's version buttons; built-in English for
// language files that lack them. The Wine text is followed by the prefix's folder.
inline constexpr std::string_view kInstallerOriginKey = "srcinst";
inline constexpr std::string_view kSettingsOriginKey = "srcset";
inline constexpr std::string_view kWineOriginKey = "srcwine";
inline constexpr std::string_view kDefaultInstallerOrigin = "Recorded by the game's installer";
inline constexpr std::string_view kDefaultSettingsOrigin = "Chosen in Settings";
inline constexpr std::string_view kDefaultWineOrigin = "Found in the Wine prefix";

// Own-ball window: the button "Open archive with ball" and the messages of archives and drops, each with
// its built-in English (the archive refusals take theirs from the archive reader).
inline constexpr std::string_view kArchiveButtonKey = "JvXPButton74";
inline constexpr std::string_view kDefaultArchiveButton = "Open archive with ball";
inline constexpr std::string_view kDefaultSetMessage = "The archive holds several balls. Choose one:";
inline constexpr std::string_view kDefaultNoSetMessage =
    "The archive holds no complete ball. Its best folder lacks these frames:";
inline constexpr std::string_view kDefaultDropMessage =
    "Drop one folder or one archive (zip, 7z, rar, tar.gz, tar.bz2, tar.xz) that holds a ball.";

// Keys of the settings window's "Current language" group.
inline constexpr std::string_view kLanguageNameKey = "language";
inline constexpr std::string_view kAuthorKey = "author";

} // namespace orbisto::i18n
