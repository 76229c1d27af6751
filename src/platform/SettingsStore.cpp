#include "platform/SettingsStore.h"

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/RegistryText.h"
#include "platform/Text.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

namespace orbisto::platform {

namespace {

using registry::isHexDigit;
using registry::normalizeKeyPath;
using registry::parseEscaped;
using registry::textOf;

constexpr std::string_view kSignature = "WINE REGISTRY Version 2";

// A value as it stands in the file: its name, and its data text after the "=" (continuation
// lines joined). Values nobody changed are written back with their lines untouched.
struct RegValue {
    std::string name; // "" for the key's default value, written @
    std::string data;
    std::vector<std::string> lines;
};

struct RegKey {
    std::string path;                     // components separated by one backslash
    std::string suffix;                   // what follows "]" on the key line: the timestamp
    std::vector<std::string> optionLines; // #time=, #class=, #link and the like
    std::vector<RegValue> values;
};

struct RegHive {
    std::vector<std::string> header; // the lines between the signature and the first key
    std::vector<RegKey> keys;
};

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

std::string_view trimRight(std::string_view text) {
    const std::size_t last = text.find_last_not_of(" \t");
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

bool isIndented(std::string_view line) {
    return line.starts_with(' ') || line.starts_with('\t');
}

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
            // Long hex data goes on over indented lines, each but the last ending in a backslash. Only
            // hex data, and only onto indented lines: garbled data ending in a backslash must not
            // swallow the key or value line after it.
            const bool isHex = value.data.starts_with("hex:") || value.data.starts_with("hex(");
            while (isHex && trimRight(value.data).ends_with('\\') && i + 1 < lines.size() && isIndented(lines[i + 1])) {
                value.data = std::string(trimRight(value.data));
                value.data.pop_back();
                const std::string& next = lines[++i];
                value.data += next.substr(std::min(next.find_first_not_of(" \t"), next.size()));
                value.lines.push_back(next);
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

const char* hiveFileName(Hive hive) {
    return hive == Hive::CurrentUser ? "user.reg" : "system.reg";
}

std::vector<std::string> newHeader(Hive hive) {
    return {hive == Hive::CurrentUser ? ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000"
                                      : ";; All keys relative to \\\\Machine"};
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

class RegistryFileStore final : public SettingsStore {
public:
    explicit RegistryFileStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

    std::string readText(Hive hive, std::string_view keyPath, std::string_view valueName) const override {
        const std::filesystem::path file = folder_ / toPath(hiveFileName(hive));
        if (!localFileSystem().isPlainFile(file)) {
            return {};
        }
        std::optional<RegHive> parsed;
        try {
            const auto bytes = localFileSystem().readFile(file);
            parsed = parseHive(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        } catch (const IoError&) {
            return {};
        }
        if (!parsed) {
            return {};
        }
        const std::string path = normalizeKeyPath(keyPath);
        for (const auto& key : parsed->keys) {
            if (!equalsIgnoreCase(key.path, path)) {
                continue;
            }
            for (const auto& value : key.values) {
                if (equalsIgnoreCase(value.name, valueName)) {
                    auto text = textOf(value.data);
                    if (!text) {
                        throw SettingsTypeError(valueName);
                    }
                    // Like the Windows call, the text ends at its first NUL.
                    return text->substr(0, text->find('\0'));
                }
            }
            return {}; // only the first key of that name counts
        }
        return {};
    }

    void writeText(Hive hive, std::string_view keyPath, std::string_view valueName, std::string_view value) override {
        FileSystem& fs = localFileSystem();
        const std::filesystem::path file = folder_ / toPath(hiveFileName(hive));
        std::vector<std::filesystem::path> createdFolders;
        try {
            RegHive parsed{newHeader(hive), {}};
            if (fs.exists(file)) {
                const auto bytes = fs.readFile(file);
                auto existing = parseHive(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
                if (!existing || isReadOnlyFile(file)) {
                    // A file we do not understand is kept as it is, not overwritten.
                    throw SettingsWriteError(valueName);
                }
                parsed = std::move(*existing);
            } else {
                createFolders(createdFolders);
            }
            const std::string path = normalizeKeyPath(keyPath);
            auto key = std::find_if(parsed.keys.begin(), parsed.keys.end(),
                                    [&](const RegKey& k) { return equalsIgnoreCase(k.path, path); });
            if (key == parsed.keys.end()) {
                parsed.keys.push_back({path, {}, {}, {}});
                key = std::prev(parsed.keys.end());
            }
            const std::string data = "\"" + escape(value, "\"") + "\"";
            auto existingValue = std::find_if(key->values.begin(), key->values.end(),
                                              [&](const RegValue& v) { return equalsIgnoreCase(v.name, valueName); });
            if (existingValue == key->values.end()) {
                key->values.push_back({std::string(valueName), {}, {}});
                existingValue = std::prev(key->values.end());
            } else if (existingValue->data == data) {
                return; // the store already says so
            }
            existingValue->data = data;
            existingValue->lines = {
                (existingValue->name.empty() ? "@" : "\"" + escape(existingValue->name, "\"") + "\"") + "=" + data};
            stamp(*key);
            const std::string content = serialize(parsed);
            replaceFileAtomically(file, {reinterpret_cast<const std::uint8_t*>(content.data()), content.size()});
        } catch (const SettingsWriteError&) {
            removeCreatedFolders(createdFolders);
            throw;
        } catch (const Error&) {
            removeCreatedFolders(createdFolders);
            throw SettingsWriteError(valueName);
        }
    }

private:
    // Creates the store's folder and its missing parents, noting each one so a refused write can
    // take them away again.
    void createFolders(std::vector<std::filesystem::path>& created) const {
        std::vector<std::filesystem::path> missing;
        for (std::filesystem::path folder = folder_; !folder.empty() && !localFileSystem().exists(folder);
             folder = folder.parent_path()) {
            missing.push_back(folder);
            if (folder == folder.parent_path()) {
                break;
            }
        }
        for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
            localFileSystem().createFolder(*it);
            created.push_back(*it);
        }
    }

    static void removeCreatedFolders(const std::vector<std::filesystem::path>& created) noexcept {
        for (auto it = created.rbegin(); it != created.rend(); ++it) {
            std::error_code ignored; // only an empty folder goes, like rmdir
            std::filesystem::remove(*it, ignored);
        }
    }

    std::filesystem::path folder_;
};

} // namespace

std::unique_ptr<SettingsStore> makeRegistryFileStore(const std::filesystem::path& folder) {
    return std::make_unique<RegistryFileStore>(folder);
}

} // namespace orbisto::platform
