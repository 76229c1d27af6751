// The key search of Wine's registry files (user.reg, system.reg of a prefix) and its value
// decoding. Any bytes are searched without a crash, and whatever the settings store's full parse
// reads from the same file the search finds too (for key names written as Wine writes them); values
// the store writes (every escape of the format) are found as written.

#include "FuzzSupport.h"
#include "platform/Errors.h"
#include "platform/linux/HiveSearch.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <cctype>
#include <fuzzer/FuzzedDataProvider.h>
#include <map>
#include <optional>
#include <vector>

using namespace orbisto;
using platform::Hive;

namespace {

// One to three components with the characters the format escapes and a few beyond ASCII.
std::string keyPath(FuzzedDataProvider& input) {
    static const std::vector<std::string> kPieces = {"a", "B", "z", "0", " ", "[", "]", "\"", "ż", "Ż", "x"};
    std::string path;
    const auto components = input.ConsumeIntegralInRange<int>(1, 3);
    for (int i = 0; i < components; ++i) {
        path += "\\";
        const auto length = input.ConsumeIntegralInRange<int>(1, 5);
        for (int j = 0; j < length; ++j) {
            path += kPieces[input.ConsumeIntegralInRange<std::size_t>(0, kPieces.size() - 1)];
        }
    }
    return path;
}

std::string text(FuzzedDataProvider& input, std::size_t maxLength) {
    static const std::vector<std::string> kPieces = {"a",  "E",  "0",    "f",    " ", "\\", "\"", "=", "[", "]",
                                                     "\t", "\n", "\x01", "\x7f", "é", "ż",  "€",  "😀", ":"};
    std::string result;
    const auto length = input.ConsumeIntegralInRange<std::size_t>(0, maxLength);
    for (std::size_t i = 0; i < length && input.remaining_bytes() > 0; ++i) {
        result += kPieces[input.ConsumeIntegralInRange<std::size_t>(0, kPieces.size() - 1)];
    }
    return result;
}

// Wine indents the lines that continue a long hex value; a continuation line that starts with "["
// is read as a key line by the search, and as data by the store's full parse.
bool hasKeyLineAfterContinuation(std::string_view hive) {
    for (std::size_t at = hive.find("\n["); at != std::string_view::npos; at = hive.find("\n[", at + 1)) {
        std::size_t end = at;
        while (end > 0 && (hive[end - 1] == ' ' || hive[end - 1] == '\t' || hive[end - 1] == '\r')) {
            --end;
        }
        if (end > 0 && hive[end - 1] == '\\') {
            return true;
        }
    }
    return false;
}

// The search finds key names written as Wine writes them: ASCII characters plain (only "\\", "\[" and
// "\]" escaped), no empty part, and no character beyond ASCII that ignoring case makes ASCII.
bool keyNamesWrittenAsWineDoes(std::string_view hive) {
    for (std::size_t at = hive.find("\n["); at != std::string_view::npos; at = hive.find("\n[", at + 1)) {
        std::size_t pos = at + 2;
        while (pos < hive.size() && hive[pos] != ']' && hive[pos] != '\n') {
            const char c = hive[pos++];
            if (static_cast<unsigned char>(c) >= 0x80) {
                return false;
            }
            if (c != '\\' || pos >= hive.size()) {
                continue;
            }
            const char escaped = hive[pos++];
            if (escaped == '\\' && hive.substr(pos, 2) == "\\\\") {
                return false; // an empty part
            }
            if (escaped == 'x') {
                unsigned value = 0;
                for (int digits = 0;
                     digits < 4 && pos < hive.size() && std::isxdigit(static_cast<unsigned char>(hive[pos]));
                     ++digits) {
                    value = value * 16 + static_cast<unsigned>(std::stoi(std::string(1, hive[pos++]), nullptr, 16));
                }
                std::string character;
                platform::utf8::append(character, value);
                const std::string lower = toLowerLocale(character);
                if (value < 0x80 || static_cast<unsigned char>(lower[0]) < 0x80) {
                    return false;
                }
            } else if (escaped != '\\' && escaped != '[' && escaped != ']') {
                return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto folder = fuzz::scratchFolder() / "store";
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    auto store = platform::makeRegistryFileStore(folder);

    if (input.ConsumeBool()) {
        // Any bytes as a hive: the search never fails, and agrees with the store's full parse.
        std::vector<std::string> keys;
        const auto count = input.ConsumeIntegralInRange<int>(1, 4);
        for (int i = 0; i < count; ++i) {
            keys.push_back(keyPath(input));
        }
        const std::string name = input.ConsumeBool() ? "Path" : text(input, 4);
        const std::string hive = input.ConsumeRemainingBytesAsString();
        const auto found = platform::findHiveTexts(hive, keys, name);
        fuzz::check(found.size() == keys.size(), "one result per key");
        // A file is passed over when it cannot hold the keys; never one that holds one.
        fuzz::check(std::none_of(found.begin(), found.end(), [](const auto& text) { return text.has_value(); }) ||
                        platform::HiveSearch(keys, name).mayHoldKeys(hive),
                    "a file with a key found may hold the keys");
        if (hasKeyLineAfterContinuation(hive) || !keyNamesWrittenAsWineDoes(hive)) {
            return 0;
        }
        std::filesystem::create_directories(folder);
        fuzz::writeBytes(folder / "user.reg", hive);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            std::string stored;
            try {
                stored = store->readText(Hive::CurrentUser, keys[i], name);
            } catch (const SettingsTypeError&) {
                fuzz::check(!found[i], "a value of another type is no text");
                continue;
            }
            fuzz::check(stored.empty() || found[i] == stored, "the search finds what the store reads");
        }
        return 0;
    }

    // Values the store writes are found as written, under keys asked in any case.
    std::map<std::pair<std::string, std::string>, std::string> expected;
    while (input.remaining_bytes() > 0 && expected.size() < 10) {
        const std::string path = keyPath(input);
        const std::string name = input.ConsumeBool() ? "Path" : text(input, 4);
        const std::string value = text(input, 24);
        store->writeText(Hive::CurrentUser, path, name, value);
        // The store matches names without regard to case, beyond ASCII too.
        expected[{toLowerLocale(path), toLowerLocale(name)}] = value;
    }
    const std::string hive = fuzz::readBytes(folder / "user.reg");
    for (const auto& [key, value] : expected) {
        const auto found = platform::findHiveTexts(hive, std::vector<std::string>{key.first}, key.second);
        fuzz::check(found[0] == value, "a value the store wrote is found as written");
    }
    return 0;
}
