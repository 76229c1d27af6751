// Settings store in Wine's registry file format. Any bytes as a hive file can be read and, when the
// store accepts to write into it, the value written reads back. Writes of many keys and values into a
// fresh store read back as a case-insensitive map of the last value written.

#include <fuzzer/FuzzedDataProvider.h>

#include <map>
#include <utility>

#include "FuzzSupport.h"
#include "platform/Errors.h"
#include "platform/SettingsStore.h"

using namespace orbisto;
using platform::Hive;

namespace {

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// A key path of one to three components, each 1 to 6 characters that include the ones the file
// format escapes ("[", "]", quotes, blanks).
std::string keyPath(FuzzedDataProvider& input) {
    static constexpr std::string_view kAlphabet = "aBz09 []\"=@_.";
    std::string path;
    const auto components = input.ConsumeIntegralInRange<int>(1, 3);
    for (int i = 0; i < components; ++i) {
        path += "\\";
        const auto length = input.ConsumeIntegralInRange<int>(1, 6);
        for (int j = 0; j < length; ++j) {
            path += kAlphabet[input.ConsumeIntegralInRange<std::size_t>(0, kAlphabet.size() - 1)];
        }
    }
    return path;
}

// Text the program stores: printable ASCII, control characters the format escapes, backslashes,
// quotes, and a few characters beyond ASCII as UTF-8. No NUL.
std::string text(FuzzedDataProvider& input, std::size_t maxLength) {
    static const std::vector<std::string> kPieces = {"a", "Z", "0", " ", "\\", "\"", "=", "@", "[", "]", "\t", "\n",
                                                     "\r", "\x01", "\x7f", "%", ";", "é", "Ł", "€", "😀"};
    std::string result;
    const auto length = input.ConsumeIntegralInRange<std::size_t>(0, maxLength);
    for (std::size_t i = 0; i < length && input.remaining_bytes() > 0; ++i) {
        result += kPieces[input.ConsumeIntegralInRange<std::size_t>(0, kPieces.size() - 1)];
    }
    return result;
}

void clearStore(const std::filesystem::path& folder) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto folder = fuzz::scratchFolder() / "store";
    clearStore(folder);
    auto store = platform::makeRegistryFileStore(folder);

    if (input.ConsumeBool()) {
        // Arbitrary bytes as the user hive.
        const std::string path = keyPath(input);
        const std::string name = text(input, 6);
        const std::string value = text(input, 20);
        std::filesystem::create_directories(folder);
        fuzz::writeBytes(folder / "user.reg", input.ConsumeRemainingBytesAsString());
        try {
            store->readText(Hive::CurrentUser, path, name);
        } catch (const SettingsTypeError&) {
        }
        try {
            store->writeText(Hive::CurrentUser, path, name, value);
        } catch (const SettingsWriteError&) {
            return 0; // a file the store does not understand is left alone
        }
        fuzz::check(store->readText(Hive::CurrentUser, path, name) == value,
                    "a value written into an existing hive reads back");
        return 0;
    }

    // Many writes into a fresh store, then every value read back.
    std::map<std::tuple<Hive, std::string, std::string>, std::pair<std::string, std::string>> expected;
    std::vector<std::tuple<Hive, std::string, std::string>> written;
    while (input.remaining_bytes() > 0 && written.size() < 12) {
        const Hive hive = input.ConsumeBool() ? Hive::CurrentUser : Hive::LocalMachine;
        const std::string path = keyPath(input);
        const std::string name = text(input, 6);
        const std::string value = text(input, 20);
        store->writeText(hive, path, name, value);
        // Leading backslash optional; names compare without regard to case.
        expected[{hive, lowerAscii(path.substr(1)), lowerAscii(name)}] = {value, name};
        written.emplace_back(hive, path, name);
    }
    for (const auto& [hive, path, name] : written) {
        const auto& value = expected.at({hive, lowerAscii(path.substr(1)), lowerAscii(name)}).first;
        fuzz::check(store->readText(hive, path, name) == value, "every value written reads back");
        fuzz::check(store->readText(hive, lowerAscii(path.substr(1)), lowerAscii(name)) == value,
                    "key paths and value names match without regard to case");
    }
    return 0;
}
