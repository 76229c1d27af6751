#include "platform/FileSystem.h"

#include "platform/Errors.h"

namespace orbisto::platform {

std::optional<std::vector<std::uint8_t>> FileSystem::readPlainFile(const Path& file) const {
    if (!isPlainFile(file)) {
        return std::nullopt;
    }
    try {
        return readFile(file);
    } catch (const IoError&) {
        return std::nullopt;
    }
}

} // namespace orbisto::platform
