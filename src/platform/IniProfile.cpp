#include "platform/IniProfile.h"

#include "platform/IniText.h"
#include "platform/Text.h"

#include <optional>
#include <vector>

namespace orbisto::platform {

namespace {

constexpr std::size_t kMaxValueLength = 2047;
constexpr std::string_view kBlanks = " \t\r\n\v\f";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view trimLeft(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view trimRight(std::string_view text) {
    const std::size_t last = text.find_last_not_of(kBlanks);
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view trim(std::string_view text) {
    return trimRight(trimLeft(text));
}

// Cuts to 2047 bytes without leaving half a UTF-8 sequence at the end.
std::string capped(std::string_view text) {
    if (text.size() <= kMaxValueLength) {
        return std::string(text);
    }
    const auto isContinuation = [&](std::size_t i) { return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80; };
    std::size_t cut = kMaxValueLength;
    std::size_t lead = cut;
    while (lead + 3 > cut && lead > 0 && isContinuation(lead)) {
        --lead;
    }
    if (lead < cut && static_cast<unsigned char>(text[lead]) >= 0xC0) {
        cut = lead;
    }
    return std::string(text.substr(0, cut));
}

// One line of the file: where its text and its line break lie in the file's bytes.
struct Line {
    std::size_t start = 0;
    std::size_t end = 0;  // end of the text, before the line break
    std::size_t next = 0; // start of the next line
};

// What a line says: a section header, a key line, or nothing usable.
struct ParsedLine {
    enum class Kind { Other, Section, Key } kind = Kind::Other;
    std::string_view name;  // section or key name, trimmed
    std::string_view value; // key lines: the value, trimmed
    std::size_t keyOffset = 0;
};

std::vector<Line> splitLines(std::string_view content, std::size_t from) {
    std::vector<Line> lines;
    std::size_t pos = from;
    while (pos < content.size()) {
        Line line;
        line.start = pos;
        const std::size_t brk = content.find_first_of("\r\n", pos);
        if (brk == std::string_view::npos) {
            line.end = line.next = content.size();
        } else {
            line.end = brk;
            line.next = brk + ((content[brk] == '\r' && brk + 1 < content.size() && content[brk + 1] == '\n') ? 2 : 1);
        }
        lines.push_back(line);
        pos = line.next;
    }
    return lines;
}

ParsedLine parseLine(std::string_view content, const Line& line) {
    const std::string_view raw = content.substr(line.start, line.end - line.start);
    const std::string_view text = trim(raw);
    ParsedLine parsed;
    if (text.empty()) {
        return parsed;
    }
    if (text.front() == '[') {
        const std::size_t close = text.rfind(']');
        if (close != std::string_view::npos) {
            parsed.kind = ParsedLine::Kind::Section;
            parsed.name = trim(text.substr(1, close - 1));
            return parsed;
        }
    }
    const std::size_t equals = text.find('=');
    if (equals != std::string_view::npos) {
        parsed.kind = ParsedLine::Kind::Key;
        parsed.name = trimRight(text.substr(0, equals));
        parsed.value = trim(text.substr(equals + 1));
        parsed.keyOffset = static_cast<std::size_t>(text.data() - content.data());
    }
    return parsed;
}

std::size_t bomLength(std::string_view content) {
    return content.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
}

} // namespace

std::string profileStringIn(std::string_view content, std::string_view section, std::string_view key,
                            std::string_view fallback) {
    const std::string_view sectionName = trim(section);
    const std::string_view keyName = trim(key);
    // Keys before the first header belong to the section without a name.
    bool inSection = sectionName.empty();
    for (const Line& line : splitLines(content, bomLength(content))) {
        const ParsedLine parsed = parseLine(content, line);
        if (parsed.kind == ParsedLine::Kind::Section) {
            if (inSection) {
                break; // only the first section of that name counts
            }
            inSection = equalsIgnoreCase(parsed.name, sectionName);
        } else if (inSection && parsed.kind == ParsedLine::Kind::Key && equalsIgnoreCase(parsed.name, keyName)) {
            std::string_view value = parsed.value;
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
                value = value.substr(1, value.size() - 2);
            }
            return capped(value);
        }
    }
    // The profile API drops the default's trailing blanks.
    return capped(trimRight(fallback));
}

std::optional<std::string> ini::withValue(std::string_view content, std::string_view section, std::string_view key,
                                          std::string_view value) {
    const std::string_view sectionName = trim(section);
    const std::string_view keyName = trim(key);
    const std::string entry = std::string(keyName) + "=" + std::string(value) + "\r\n";
    const std::size_t textStart = bomLength(content);
    std::optional<std::string> updated;
    bool inSection = sectionName.empty();
    bool sectionFound = inSection;
    std::optional<Line> lastSectionLine; // last non-blank line of the section
    for (const Line& line : splitLines(content, textStart)) {
        const ParsedLine parsed = parseLine(content, line);
        if (parsed.kind == ParsedLine::Kind::Section) {
            if (inSection) {
                break;
            }
            inSection = equalsIgnoreCase(parsed.name, sectionName);
            if (inSection) {
                sectionFound = true;
                lastSectionLine = line;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (parsed.kind == ParsedLine::Kind::Key && equalsIgnoreCase(parsed.name, keyName)) {
            if (parsed.value == value) {
                return std::nullopt; // nothing changes, so the file is left alone
            }
            updated = std::string(content.substr(0, parsed.keyOffset)) + std::string(parsed.name) + "=" +
                      std::string(value) + std::string(content.substr(line.end));
            break;
        }
        if (!trim(content.substr(line.start, line.end - line.start)).empty()) {
            lastSectionLine = line;
        }
    }

    if (updated) {
        // the key was replaced in place
    } else if (sectionFound && lastSectionLine) {
        if (lastSectionLine->next == lastSectionLine->end) { // the last line of the file, without a line break
            updated = std::string(content) + "\r\n" + entry;
        } else {
            updated = std::string(content.substr(0, lastSectionLine->next)) + entry +
                      std::string(content.substr(lastSectionLine->next));
        }
    } else if (sectionFound) {
        // Keys before any header, in a file that has none yet.
        updated = std::string(content.substr(0, textStart)) + entry + std::string(content.substr(textStart));
    } else {
        const bool endsInLineBreak = content.size() <= textStart || content.back() == '\n' || content.back() == '\r';
        updated =
            std::string(content) + (endsInLineBreak ? "" : "\r\n") + "[" + std::string(sectionName) + "]\r\n" + entry;
    }

    return updated;
}

} // namespace orbisto::platform
