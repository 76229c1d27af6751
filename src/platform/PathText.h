#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace orbisto::platform {

// The one seam between the program's text (UTF-8 on every platform; on Linux any bytes a file
// name holds) and std::filesystem::path. Building a path straight from a std::string would decode
// it in the C library's narrow encoding on Windows (byte for byte with mingw), so every place
// where text becomes a path, or a path text, goes through these two.
std::filesystem::path toPath(std::string_view text);
std::string toText(const std::filesystem::path& path);

// A path's text with this system's own separator, the way its programs write and read paths:
// on Windows "C:/Games/FM 2006" becomes "C:\Games\FM 2006"; on Linux the text stays as it is.
std::string withNativeSeparators(std::string_view text);

} // namespace orbisto::platform
