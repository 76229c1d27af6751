#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Wine's registry file format ("WINE REGISTRY Version 2"), in which the Linux settings store keeps
// its two hives: parsed into keys and values, and written back with every untouched line as it was.
namespace orbisto::platform::registry {

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
std::string escape(std::string_view text, std::string_view special);
// The keys and values of a file; nothing for a file that is not in this format.
std::optional<RegHive> parseHive(std::string_view content);
// The file's text, keys and values sorted case-insensitively as Wine writes them.
std::string serialize(RegHive& hive);
// Gives a changed key the time stamps Wine writes: on its key line and as #time=.
void stamp(RegKey& key);

} // namespace orbisto::platform::registry
