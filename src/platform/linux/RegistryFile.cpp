#include "platform/linux/RegistryFile.h"

#include "platform/Text.h"
#include "platform/Utf8.h"
#include "platform/RegistryText.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace orbisto::platform::registry {


constexpr std::string_view kSignature = "WINE REGISTRY Version 2";

// Writes a name or text the way Wine does, escaping the backslash and the characters of `special`.
std::string escape(std::string_view text, std::string_view special) {
    static constexpr char kEscapes[] = ".......abtnvfr.............e....";
    const std::u16string units = utf8::toUtf16(text);
    std::string out;
    char buffer[16];
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        const bool nextExists = i + 1 < units.size();
        if (unit > 127) {
            // Four digits when a hex digit follows, so the reader does not take it into the escape.
            const bool padded = nextExists && units[i + 1] < 128 && isHexDigit(static_cast<char>(units[i + 1]));
            std::snprintf(buffer, sizeof buffer, padded ? "\\x%04x" : "\\x%x", static_cast<unsigned>(unit));
            out += buffer;
        } else if (unit < 32) {
            if (kEscapes[unit] != '.') {
                out += '\\';
                out += kEscapes[unit];
            } else {
                const bool padded = nextExists && units[i + 1] >= '0' && units[i + 1] <= '7';
                std::snprintf(buffer, sizeof buffer, padded ? "\\%03o" : "\\%o", static_cast<unsigned>(unit));
                out += buffer;
            }
        } else {
            const char c = static_cast<char>(unit);
            if (c == '\\' || special.find(c) != std::string_view::npos) {
                out += '\\';
            }
            out += c;
        }
    }
    return out;
}

namespace {

std::string escapeKeyPath(std::string_view path) {
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t separator = path.find('\\', start);
        out += escape(path.substr(start, separator - start), "[]");
        if (separator == std::string_view::npos) {
            return out;
        }
        out += "\\\\";
        start = separator + 1;
    }
}

std::vector<std::string> splitFileLines(std::string_view content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string_view::npos) {
            end = content.size();
        }
        std::string_view line = content.substr(start, end - start);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

} // namespace

std::optional<RegHive> parseHive(std::string_view content) {
    const auto lines = splitFileLines(content);
    if (lines.empty() || trimRight(lines[0]) != kSignature) {
        return std::nullopt;
    }
    RegHive hive;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.starts_with('[')) {
            std::size_t pos = 1;
            auto path = parseEscaped(line, pos, ']');
            if (!path) {
                return std::nullopt;
            }
            hive.keys.push_back({normalizeKeyPath(*path), line.substr(pos), {}, {}});
            continue;
        }
        if (hive.keys.empty()) {
            hive.header.push_back(line);
            continue;
        }
        RegKey& key = hive.keys.back();
        if (line.starts_with('"') || line.starts_with('@')) {
            RegValue value;
            std::size_t pos = 1;
            if (line.front() == '"') {
                auto name = parseEscaped(line, pos, '"');
                if (!name) {
                    return std::nullopt;
                }
                value.name = std::move(*name);
            }
            if (pos >= line.size() || line[pos] != '=') {
                return std::nullopt;
            }
            value.data = line.substr(pos + 1);
            value.lines.push_back(line);
            while (i + 1 < lines.size() && continuesOnto(value.data, lines[i + 1])) {
                joinContinuation(value.data, lines[++i]);
                value.lines.push_back(lines[i]);
            }
            key.values.push_back(std::move(value));
        } else if (!trimRight(line).empty()) {
            key.optionLines.push_back(line);
        }
    }
    while (!hive.header.empty() && trimRight(hive.header.back()).empty()) {
        hive.header.pop_back();
    }
    return hive;
}

namespace {

// Order of keys and values in the file: case-insensitive, as Wine compares upper-cased names.
std::u16string orderKey(std::string_view name) {
    std::u16string units = utf8::toUtf16(toLowerLocale(name));
    for (char16_t& unit : units) {
        if (unit >= u'a' && unit <= u'z') {
            unit = static_cast<char16_t>(unit - u'a' + u'A');
        }
    }
    return units;
}

bool keyBefore(const RegKey& a, const RegKey& b) {
    // Component by component, so a key's sub-keys follow it directly.
    std::u16string left = orderKey(a.path);
    std::u16string right = orderKey(b.path);
    std::replace(left.begin(), left.end(), u'\\', u'\0');
    std::replace(right.begin(), right.end(), u'\\', u'\0');
    return left < right;
}

} // namespace

std::string serialize(RegHive& hive) {
    std::stable_sort(hive.keys.begin(), hive.keys.end(), keyBefore);
    std::string out(kSignature);
    out += '\n';
    for (const auto& line : hive.header) {
        out += line + '\n';
    }
    for (auto& key : hive.keys) {
        std::stable_sort(key.values.begin(), key.values.end(),
                         [](const RegValue& a, const RegValue& b) { return orderKey(a.name) < orderKey(b.name); });
        out += "\n[" + escapeKeyPath(key.path) + "]" + key.suffix + '\n';
        for (const auto& line : key.optionLines) {
            out += line + '\n';
        }
        for (const auto& value : key.values) {
            for (const auto& line : value.lines) {
                out += line + '\n';
            }
        }
    }
    return out;
}

// The key line's timestamp (seconds) and Wine's #time= line (100 ns units since 1601, in hex).
void stamp(RegKey& key) {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now).count();
    const auto ticks =
        static_cast<unsigned long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() / 100) +
        116444736000000000ull;
    key.suffix = " " + std::to_string(seconds);
    char time[32];
    std::snprintf(time, sizeof time, "#time=%llx", ticks);
    std::erase_if(key.optionLines, [](const std::string& line) { return line.starts_with("#time="); });
    key.optionLines.insert(key.optionLines.begin(), time);
}

} // namespace orbisto::platform::registry
