#include "i18n/LanguageTexts.h"

#include "library/ArchiveImport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <string>

using namespace orbisto;
using i18n::LanguageText;
using i18n::Message;
using i18n::TextKind;
using i18n::TextWindow;

namespace {

std::string upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return result;
}

constexpr TextWindow kWindows[] = {TextWindow::Main, TextWindow::Settings,    TextWindow::LanguageInfo,
                                   TextWindow::Skin, TextWindow::SkinPreview, TextWindow::OwnBall};

} // namespace

// The file's keys ignore case, so two rows differing only in case would read the same entry.
TEST(LanguageTexts, everyKeyUniqueIgnoringCase_foundInAnyCase_unknownNotFound) {
    for (const LanguageText& text : i18n::languageTexts()) {
        EXPECT_EQ(i18n::findLanguageText(text.key), &text) << text.key;
        EXPECT_EQ(i18n::findLanguageText(upper(text.key)), &text) << text.key;
        EXPECT_NE(text.kind == TextKind::Control, text.target.empty()) << text.key;
    }
    EXPECT_EQ(i18n::findLanguageText("nosuchkey"), nullptr);
    EXPECT_EQ(i18n::findLanguageText(""), nullptr);
    EXPECT_EQ(i18n::findLanguageText("redmsg "), nullptr);
}

// lang0 reads every message; a message row in another window's reading would never be set.
TEST(LanguageTexts, everyMessageReadOnceWithTheMainWindow_windowsTogetherMakeTheTable) {
    std::size_t rows = 0;
    for (TextWindow window : kWindows) {
        EXPECT_FALSE(i18n::windowTexts(window).empty()) << static_cast<int>(window);
        rows += i18n::windowTexts(window).size();
        for (const LanguageText& text : i18n::windowTexts(window)) {
            EXPECT_EQ(text.window, window) << text.key;
            EXPECT_TRUE(text.kind != TextKind::Message || window == TextWindow::Main) << text.key;
        }
    }
    EXPECT_EQ(rows, i18n::languageTexts().size());
    for (std::size_t id = 0; id < i18n::kMessageCount; ++id) {
        const auto message = static_cast<Message>(id);
        const auto main = i18n::windowTexts(TextWindow::Main);
        EXPECT_EQ(std::count_if(main.begin(), main.end(),
                                [&](const LanguageText& text) {
                                    return text.kind == TextKind::Message && text.message == message;
                                }),
                  1)
            << id;
        EXPECT_EQ(i18n::messageText(message).message, message) << id;
    }
}

// The original keys keep "a missing key gives the empty text"; the keys added since fall back to English.
TEST(LanguageTexts, fallbackExactlyForTheKeysAddedSinceTheOriginal) {
    const std::set<std::string_view> added{"namemsg",   "chkmsg",     "srcinst",     "srcset",    "srcwine",
                                           "bakmsg",    "admmsg",     "usemsg",      "setmsg",    "nosetmsg",
                                           "dropmsg",   "arcbadmsg",  "arcencmsg",   "arcnummsg", "arcsizemsg",
                                           "arctotmsg", "arcbombmsg", "JvXPButton74"};
    for (const LanguageText& text : i18n::languageTexts()) {
        EXPECT_EQ(text.fallback.empty(), !added.contains(text.key)) << text.key;
    }
    EXPECT_EQ(i18n::messageText(Message::srcwine).fallback, "Found in the Wine prefix");
}

// Each refusal names its own message, whose built-in English is what the archive reader says.
TEST(LanguageTexts, archiveProblemsMapToTheirOwnMessage_fallbackIsTheReadersText) {
    using library::ArchiveProblem;
    const std::pair<ArchiveProblem, std::string_view> expected[] = {
        {ArchiveProblem::Unreadable, "arcbadmsg"},     {ArchiveProblem::Encrypted, "arcencmsg"},
        {ArchiveProblem::TooManyEntries, "arcnummsg"}, {ArchiveProblem::EntryTooLarge, "arcsizemsg"},
        {ArchiveProblem::TooLargeInAll, "arctotmsg"},  {ArchiveProblem::Bomb, "arcbombmsg"},
    };
    for (const auto& [problem, key] : expected) {
        const LanguageText& text = i18n::messageText(i18n::archiveMessage(problem));
        EXPECT_EQ(text.key, key);
        EXPECT_EQ(text.problem, problem) << key;
        EXPECT_EQ(std::string(text.fallback), library::ArchiveError(problem).what()) << key;
    }
}
