#include "platform/RegistryText.h"

#include "platform/Text.h"

#include "platform/Utf8.h"

#include <cstdint>
#include <vector>

namespace orbisto::platform::registry {

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::string normalizeKeyPath(std::string_view path) {
    std::string out;
    for (const char c : path) {
        if (c != '\\' || (!out.empty() && out.back() != '\\')) {
            out += c;
        }
    }
    while (!out.empty() && out.back() == '\\') {
        out.pop_back();
    }
    return out;
}

int hexValue(char c) {
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

std::optional<std::string> parseEscaped(std::string_view line, std::size_t& pos, char close) {
    std::u16string units;
    while (pos < line.size()) {
        const char c = line[pos];
        if (c == close) {
            ++pos;
            return utf8::fromUtf16(units);
        }
        if (c != '\\') {
            const char32_t codePoint = utf8::decodeNext(line, pos);
            if (codePoint >= 0x10000) {
                units += static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
                units += static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
            } else {
                units += static_cast<char16_t>(codePoint);
            }
            continue;
        }
        if (++pos >= line.size()) {
            return std::nullopt;
        }
        const char escaped = line[pos++];
        switch (escaped) {
        case 'a':
            units += u'\a';
            break;
        case 'b':
            units += u'\b';
            break;
        case 'e':
            units += u'\x1b';
            break;
        case 'f':
            units += u'\f';
            break;
        case 'n':
            units += u'\n';
            break;
        case 'r':
            units += u'\r';
            break;
        case 't':
            units += u'\t';
            break;
        case 'v':
            units += u'\v';
            break;
        case 'x': {
            unsigned value = 0;
            int digits = 0;
            while (digits < 4 && pos < line.size() && isHexDigit(line[pos])) {
                value = value * 16 + static_cast<unsigned>(hexValue(line[pos++]));
                ++digits;
            }
            units += digits == 0 ? u'x' : static_cast<char16_t>(value);
            break;
        }
        default:
            if (escaped >= '0' && escaped <= '7') {
                unsigned value = static_cast<unsigned>(escaped - '0');
                for (int digits = 1; digits < 3 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7';
                     ++digits) {
                    value = value * 8 + static_cast<unsigned>(line[pos++] - '0');
                }
                units += static_cast<char16_t>(value);
            } else {
                units += static_cast<char16_t>(static_cast<unsigned char>(escaped));
            }
        }
    }
    return std::nullopt; // no closing character
}

namespace {

std::vector<std::uint8_t> parseHexBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ',' || text[pos] == ' ' || text[pos] == '\t') {
            ++pos;
        } else if (pos + 1 < text.size() && isHexDigit(text[pos]) && isHexDigit(text[pos + 1])) {
            bytes.push_back(static_cast<std::uint8_t>(hexValue(text[pos]) * 16 + hexValue(text[pos + 1])));
            pos += 2;
        } else {
            ++pos;
        }
    }
    return bytes;
}

} // namespace

std::optional<std::string> textOf(std::string_view data) {
    if (data.starts_with('"')) {
        std::size_t pos = 1;
        return parseEscaped(data, pos, '"');
    }
    unsigned type = 0;
    std::size_t pos = 0;
    const bool isString = data.starts_with("str(");
    if (isString || data.starts_with("hex(")) {
        pos = 4;
        while (pos < data.size() && isHexDigit(data[pos])) {
            type = type * 16 + static_cast<unsigned>(hexValue(data[pos++]));
        }
        if (data.substr(pos, 2) != "):" || (type != 1 && type != 2)) {
            return std::nullopt;
        }
        pos += 2;
        if (isString) {
            if (pos >= data.size() || data[pos] != '"') {
                return std::nullopt;
            }
            ++pos;
            return parseEscaped(data, pos, '"');
        }
        const auto bytes = parseHexBytes(data.substr(pos));
        std::u16string units;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const auto unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
            if (unit == 0) {
                break; // the text ends at its terminator
            }
            units += unit;
        }
        return utf8::fromUtf16(units);
    }
    return std::nullopt;
}

bool continuesOnto(std::string_view data, std::string_view nextLine) {
    const bool isHex = data.starts_with("hex:") || data.starts_with("hex(");
    const bool indented = nextLine.starts_with(' ') || nextLine.starts_with('\t');
    return isHex && indented && trimRight(data).ends_with('\\');
}

void joinContinuation(std::string& data, std::string_view nextLine) {
    data.resize(trimRight(data).size() - 1);
    data += trimLeft(nextLine);
}

} // namespace orbisto::platform::registry
