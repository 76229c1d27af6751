// INI profiles: reading any file never fails; a value written into any file reads back as written,
// apart from the documented rules (surrounding blanks trimmed, one pair of matching quotes removed,
// cut at 2047 characters). Keys and sections are plain names; values hold no line breaks.

#include "FuzzSupport.h"
#include "platform/Errors.h"
#include "platform/IniProfile.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace orbisto;

namespace {

// A section or key name from the input: 1 to 8 letters, digits and underscores.
std::string plainName(FuzzedDataProvider& input) {
    static constexpr std::string_view kAlphabet = "abcXYZ019_";
    std::string name;
    const auto length = input.ConsumeIntegralInRange<std::size_t>(1, 8);
    for (std::size_t i = 0; i < length; ++i) {
        name += kAlphabet[input.ConsumeIntegralInRange<std::size_t>(0, kAlphabet.size() - 1)];
    }
    return name;
}

std::string expectedReadBack(std::string value) {
    static constexpr std::string_view kBlanks = " \t\v"; // what the reader trims around a value
    const auto first = value.find_first_not_of(kBlanks);
    value =
        first == std::string::npos ? std::string() : value.substr(first, value.find_last_not_of(kBlanks) - first + 1);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value.substr(0, std::min<std::size_t>(value.size(), 2047));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = plainName(input);
    const std::string key = plainName(input);
    std::string value = input.ConsumeRandomLengthString(3000);
    // A value holds no line break, and stays ASCII so the 2047 cut never meets a UTF-8 sequence.
    for (char& c : value) {
        if (c == '\r' || c == '\n' || static_cast<unsigned char>(c) >= 0x80) {
            c = '.';
        }
    }
    const std::string content = input.ConsumeRemainingBytesAsString();
    const auto file = fuzz::scratchFolder() / "tst.ini";
    fuzz::writeBytes(file, content);

    // Any content can be read, with any names asked for.
    platform::readProfileString(file, section, key, "fallback");
    const std::string_view names(content);
    platform::readProfileString(file, names.substr(0, std::min<std::size_t>(names.size(), 20)),
                                names.substr(std::min<std::size_t>(names.size(), 20)).substr(0, 20));

    platform::writeProfileString(file, section, key, value);
    fuzz::check(platform::readProfileString(file, section, key, "\x01missing") == expectedReadBack(value),
                "a written value reads back as written");
    fuzz::check(platform::readProfileString(file, section + " ", " " + key) == expectedReadBack(value),
                "names are trimmed when asked for");

    // Writing the same value again leaves the file byte for byte as it was.
    const std::string written = fuzz::readBytes(file);
    platform::writeProfileString(file, section, key, value);
    fuzz::check(fuzz::readBytes(file) == written, "writing the value a key has changes nothing");
    return 0;
}
