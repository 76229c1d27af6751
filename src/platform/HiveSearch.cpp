#include "platform/HiveSearch.h"

#include "platform/RegistryText.h"
#include "platform/Text.h"

#include <cstring>

namespace orbisto::platform {

namespace {

constexpr std::string_view kSignature = "WINE REGISTRY Version 2";

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// "\Software\\Vendor\" and "Software\Vendor" name the same key.
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

struct WantedKey {
    std::string path;    // normalized, as decoded names are compared
    std::string written; // lower case, as Wine writes a plain key line: "software\\\\vendor"
};

WantedKey wantedKey(std::string_view keyPath) {
    WantedKey key{normalizeKeyPath(keyPath), {}};
    for (const char c : key.path) {
        if (c == '\\' || c == '[' || c == ']') {
            key.written += '\\';
        }
        key.written += lowerAscii(c);
    }
    return key;
}

enum class Match { No, Yes, Decode };

// Compares a key line's name (from after its "[") with the plain written form of a wanted key.
// A mismatch at an escape or at a non-ASCII byte is no answer: the name then has to be decoded.
Match compareWritten(std::string_view line, const std::string& written) {
    const std::size_t common = std::min(line.size(), written.size());
    for (std::size_t i = 0; i < common; ++i) {
        const char c = line[i];
        if (lowerAscii(c) != written[i]) {
            return c == '\\' || static_cast<unsigned char>(c) >= 0x80 || written[i] == '\\' ? Match::Decode : Match::No;
        }
    }
    if (line.size() <= written.size()) {
        return Match::No; // the line ends inside the name
    }
    const char next = line[written.size()];
    return next == ']' ? Match::Yes : next == '\\' ? Match::Decode : Match::No;
}

std::string_view lineAt(std::string_view text, std::size_t start) {
    const std::size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    return line;
}

std::string_view trimRight(std::string_view text) {
    const std::size_t last = text.find_last_not_of(" \t");
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

// The value `valueName` among the lines that follow a key line (up to the next key), as text.
std::optional<std::string> valueText(std::string_view hive, std::size_t pos, std::string_view valueName) {
    const auto nextLine = [&] {
        const std::string_view line = lineAt(hive, pos);
        const std::size_t end = hive.find('\n', pos + line.size());
        pos = end == std::string_view::npos ? hive.size() : end + 1;
        return line;
    };
    while (pos < hive.size() && hive[pos] != '[') {
        const std::string_view line = nextLine();
        if (!line.starts_with('"') && !line.starts_with('@')) {
            continue;
        }
        std::size_t at = 1;
        std::optional<std::string> name = std::string(); // "@" is the key's default value
        if (line.front() == '"') {
            name = registry::parseEscaped(line, at, '"');
        }
        if (!name || at >= line.size() || line[at] != '=') {
            continue;
        }
        std::string data(line.substr(at + 1));
        // Long hex data goes on over indented lines, each but the last ending in a backslash.
        if (data.starts_with("hex:") || data.starts_with("hex(")) {
            while (trimRight(data).ends_with('\\') && pos < hive.size()) {
                data = std::string(trimRight(data));
                data.pop_back();
                const std::string_view more = nextLine();
                data += more.substr(std::min(more.find_first_not_of(" \t"), more.size()));
            }
        }
        if (!equalsIgnoreCase(*name, valueName)) {
            continue;
        }
        auto text = registry::textOf(data);
        if (text) {
            text->resize(std::min(text->size(), text->find('\0')));
        }
        return text;
    }
    return std::nullopt;
}

} // namespace

std::vector<std::optional<std::string>> findHiveTexts(std::string_view hive, std::span<const std::string> keyPaths,
                                                      std::string_view valueName) {
    std::vector<std::optional<std::string>> results(keyPaths.size());
    if (!hive.starts_with(kSignature)) {
        return results;
    }
    std::vector<WantedKey> wanted;
    for (const std::string& path : keyPaths) {
        wanted.push_back(wantedKey(path));
    }
    std::vector<bool> seen(keyPaths.size(), false);
    std::size_t left = keyPaths.size();

    // Key lines are the lines that start with "["; a "[" elsewhere is inside a value.
    const char* const begin = hive.data();
    const char* const end = begin + hive.size();
    const char* p = begin;
    while (left > 0 && (p = static_cast<const char*>(std::memchr(p, '[', static_cast<std::size_t>(end - p))))) {
        const std::size_t at = static_cast<std::size_t>(p - begin);
        ++p;
        if (at == 0 || hive[at - 1] != '\n') {
            continue;
        }
        const std::string_view line = lineAt(hive, at + 1);
        std::optional<std::string> decoded;
        for (std::size_t i = 0; i < wanted.size(); ++i) {
            if (seen[i]) {
                continue;
            }
            Match match = compareWritten(line, wanted[i].written);
            if (match == Match::Decode) {
                if (!decoded) {
                    std::size_t pos = 0;
                    decoded = normalizeKeyPath(registry::parseEscaped(line, pos, ']').value_or(std::string()));
                }
                match = !decoded->empty() && equalsIgnoreCase(*decoded, wanted[i].path) ? Match::Yes : Match::No;
            }
            if (match == Match::Yes) {
                seen[i] = true;
                --left;
                const std::size_t lineEnd = at + 1 + line.size();
                const std::size_t values = hive.find('\n', lineEnd);
                if (values != std::string_view::npos) {
                    results[i] = valueText(hive, values + 1, valueName);
                }
            }
        }
    }
    return results;
}

} // namespace orbisto::platform
