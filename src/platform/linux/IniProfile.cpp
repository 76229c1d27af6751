#include "platform/IniProfile.h"

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/IniText.h"

#include <optional>

namespace orbisto::platform {

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
    std::string content;
    if (localFileSystem().exists(file)) {
        auto existing = readContent(file);
        if (!existing || isReadOnlyFile(file)) {
            throw IniWriteError(file.string());
        }
        content = std::move(*existing);
    }
    const auto updated = ini::withValue(content, section, key, value);
    if (!updated) {
        return;
    }
    try {
        replaceFileAtomically(file, {reinterpret_cast<const std::uint8_t*>(updated->data()), updated->size()});
    } catch (const IoError&) {
        throw IniWriteError(file.string());
    }
}

} // namespace orbisto::platform
