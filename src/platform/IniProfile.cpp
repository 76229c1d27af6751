#include "platform/IniProfile.h"

#include "platform/AnsiText.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/IniText.h"
#include "platform/PathText.h"
#include "platform/Text.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace orbisto::platform {

namespace {

constexpr std::size_t kMaxValueLength = 2047;
// What Windows trims around names and values in the file; the names asked for lose spaces only.
constexpr std::string_view kBlanks = " \t\v";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16Bom = "\xFF\xFE";

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

// One line of the text: where its characters and its line break lie.
struct Line {
    std::size_t start = 0;
    std::size_t end = 0;  // end of the text, before the line break
    std::size_t next = 0; // start of the next line
};

// What a line says: a section header, a key line, or nothing usable (blank, comment, no "=").
struct ParsedLine {
    enum class Kind { Other, Section, Key } kind = Kind::Other;
    std::string_view name;  // section or key name, trimmed
    std::string_view value; // key lines: the value, trimmed
    std::size_t keyOffset = 0;
};

std::vector<Line> splitLines(std::string_view content) {
    std::vector<Line> lines;
    std::size_t pos = 0;
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
    const std::string_view text = trim(content.substr(line.start, line.end - line.start), kBlanks);
    ParsedLine parsed;
    if (text.empty() || text.front() == ';') {
        return parsed; // a comment, whatever follows
    }
    if (text.front() == '[') {
        // The name runs to the first "]", or to the end of the line when there is none.
        const std::string_view inside = text.substr(1);
        parsed.kind = ParsedLine::Kind::Section;
        parsed.name = trim(inside.substr(0, inside.find(']')), kBlanks);
        return parsed;
    }
    const std::size_t equals = text.find('=');
    if (equals != std::string_view::npos) {
        parsed.kind = ParsedLine::Kind::Key;
        parsed.name = trimRight(text.substr(0, equals), kBlanks);
        parsed.value = trim(text.substr(equals + 1), kBlanks);
        parsed.keyOffset = static_cast<std::size_t>(text.data() - content.data());
    }
    return parsed;
}

// The names asked for lose their spaces; tabs stay and then match nothing, as on Windows.
std::string_view askedName(std::string_view name) {
    return trim(name, " ");
}

} // namespace

ini::Decoded ini::decode(std::string_view bytes) {
    if (bytes.starts_with(kUtf16Bom)) {
        std::u16string units((bytes.size() - kUtf16Bom.size()) / 2, u'\0');
        for (std::size_t i = 0; i < units.size(); ++i) {
            const auto low = static_cast<unsigned char>(bytes[kUtf16Bom.size() + 2 * i]);
            const auto high = static_cast<unsigned char>(bytes[kUtf16Bom.size() + 2 * i + 1]);
            units[i] = static_cast<char16_t>(low | (high << 8));
        }
        return {utf8::fromUtf16(units), Encoding::Utf16Le};
    }
    if (bytes.starts_with(kUtf8Bom)) {
        return {std::string(bytes.substr(kUtf8Bom.size())), Encoding::Utf8Bom};
    }
    if (utf8::isValid(bytes)) {
        return {std::string(bytes), Encoding::Utf8};
    }
    return {ansiToUtf8(bytes), Encoding::Ansi};
}

std::string ini::encode(std::string_view text, Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf16Le: {
        std::string out(kUtf16Bom);
        for (const char16_t unit : utf8::toUtf16(text)) {
            out += static_cast<char>(unit & 0xFF);
            out += static_cast<char>(unit >> 8);
        }
        return out;
    }
    case Encoding::Utf8Bom:
        return std::string(kUtf8Bom) + std::string(text);
    case Encoding::Ansi:
        return utf8ToAnsi(text);
    case Encoding::Utf8:
        break;
    }
    return std::string(text);
}

std::string profileStringIn(std::string_view content, std::string_view section, std::string_view key,
                            std::string_view fallback) {
    const ini::Decoded decoded = ini::decode(content);
    const std::string_view text = decoded.text;
    const std::string_view sectionName = askedName(section);
    const std::string_view keyName = askedName(key);
    // Keys before the first header belong to the section without a name, and so do those of "[]".
    bool inSection = sectionName.empty();
    bool byHeader = false;
    for (const Line& line : splitLines(text)) {
        const ParsedLine parsed = parseLine(text, line);
        if (parsed.kind == ParsedLine::Kind::Section) {
            if (inSection && byHeader) {
                break; // only the first section of that name counts
            }
            inSection = equalsIgnoreCase(parsed.name, sectionName);
            byHeader = true;
        } else if (inSection && parsed.kind == ParsedLine::Kind::Key && equalsIgnoreCase(parsed.name, keyName)) {
            std::string_view value = parsed.value;
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
                value = value.substr(1, value.size() - 2);
            }
            return capped(value);
        }
    }
    // The profile API drops the default's trailing spaces.
    return capped(trimRight(fallback, " "));
}

std::optional<std::string> ini::withValue(std::string_view content, std::string_view section, std::string_view key,
                                          std::string_view value) {
    const std::string_view sectionName = askedName(section);
    const std::string_view keyName = askedName(key);
    const std::string entry = std::string(keyName) + "=" + std::string(value) + "\r\n";
    std::optional<std::string> updated;
    bool inSection = sectionName.empty();
    bool byHeader = false;
    bool sectionFound = inSection;
    std::optional<Line> lastSectionLine; // last non-blank line of the section
    for (const Line& line : splitLines(content)) {
        const ParsedLine parsed = parseLine(content, line);
        if (parsed.kind == ParsedLine::Kind::Section) {
            if (inSection && byHeader) {
                break;
            }
            inSection = equalsIgnoreCase(parsed.name, sectionName);
            byHeader = true;
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
        if (!trim(content.substr(line.start, line.end - line.start), kBlanks).empty()) {
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
        updated = entry + std::string(content);
    } else {
        const bool endsInLineBreak = content.empty() || content.back() == '\n' || content.back() == '\r';
        updated =
            std::string(content) + (endsInLineBreak ? "" : "\r\n") + "[" + std::string(sectionName) + "]\r\n" + entry;
    }
    return updated;
}

namespace {

std::optional<std::string> readContent(const std::filesystem::path& file) {
    try {
        const auto bytes = localFileSystem().readFile(file);
        return std::string(bytes.begin(), bytes.end());
    } catch (const IoError&) {
        return std::nullopt;
    }
}

} // namespace

std::string readProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                              std::string_view fallback) {
    const auto content = readContent(file);
    return profileStringIn(content ? std::string_view(*content) : std::string_view(), section, key, fallback);
}

void writeProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                        std::string_view value) {
    // A new file is UTF-8 without a byte-order mark; an existing one keeps its encoding.
    ini::Decoded decoded{{}, ini::Encoding::Utf8};
    if (localFileSystem().exists(file)) {
        const auto existing = readContent(file);
        if (!existing || isReadOnlyFile(file)) {
            throw IniWriteError(toText(file));
        }
        decoded = ini::decode(*existing);
    }
    const auto updated = ini::withValue(decoded.text, section, key, value);
    if (!updated) {
        return;
    }
    const std::string bytes = ini::encode(*updated, decoded.encoding);
    try {
        replaceFileAtomically(file, {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    } catch (const IoError&) {
        throw IniWriteError(toText(file));
    }
}

} // namespace orbisto::platform
