#pragma once

#include <string_view>

namespace orbisto::library {

// Why an archive is refused.
enum class ArchiveProblem {
    Unreadable, // corrupt, truncated, or no archive of a kind we read
    Encrypted,
    TooManyEntries,
    EntryTooLarge,
    TooLargeInAll,
    Bomb,
};

// The built-in English text of a refusal: what ArchiveError::what() says, and the language texts'
// fallback for a file that lacks the message. The numbers follow ArchiveLimits' defaults.
constexpr std::string_view archiveProblemText(ArchiveProblem problem) {
    switch (problem) {
    case ArchiveProblem::Unreadable:
        return "The archive is damaged, incomplete or of a kind Orbisto cannot read.";
    case ArchiveProblem::Encrypted:
        return "The archive is encrypted; Orbisto cannot read encrypted archives.";
    case ArchiveProblem::TooManyEntries:
        return "The archive holds more than 2000 entries.";
    case ArchiveProblem::EntryTooLarge:
        return "A file in the archive is larger than 16 MiB.";
    case ArchiveProblem::TooLargeInAll:
        return "The archive unpacks to more than 128 MiB.";
    case ArchiveProblem::Bomb:
        return "A file in the archive expands more than 200 times its packed size: it may be an archive bomb.";
    }
    return {};
}

} // namespace orbisto::library
