// Arbitrary bytes through the archive reader, and the same bytes as an entry's path through the path
// rules. The reader finds sets or raises an ArchiveError, nothing else; an unpacked set is exactly its
// files, directly inside its private folder, which goes when it is dropped; a path taken as safe has
// no part that could lead out.

#include "FuzzSupport.h"
#include "library/ArchiveImport.h"

using namespace orbisto;
using namespace orbisto::library;
using orbisto::fuzz::check;

namespace {

void checkPathRules(std::string_view path) {
    const auto safe = safeEntryPath(path);
    if (!safe) {
        return;
    }
    check(!safe->empty() && safe->front() != '/', "a safe path is relative and not empty");
    check(safe->find_first_of("\\:") == std::string::npos, "a safe path has no backslash and no colon");
    std::size_t start = 0;
    while (start <= safe->size()) {
        const std::size_t end = std::min(safe->find('/', start), safe->size());
        const std::string_view part = std::string_view(*safe).substr(start, end - start);
        check(!part.empty() && part.find_last_not_of(". ") != std::string_view::npos,
              "no part of a safe path is empty or dots and blanks only");
        for (char c : part) {
            check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f, "a safe path has no control character");
        }
        start = end + 1;
    }
}

std::size_t entriesIn(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        check(entry.is_regular_file() && !entry.is_symlink(), "only plain files are unpacked");
        ++count;
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkPathRules(std::string_view(reinterpret_cast<const char*>(data), size));

    ArchiveLimits limits;
    limits.maxEntries = 200;
    limits.maxEntrySize = 1u << 20;
    limits.maxTotalSize = 4u << 20;
    const std::span<const std::uint8_t> bytes(data, size);
    std::filesystem::path folder;
    try {
        const ArchiveBalls balls = findBallSets(bytes, limits);
        check(balls.sets.empty() != balls.missingFrames.empty(), "either sets or the frames the best folder lacks");
        if (!balls.sets.empty()) {
            UnpackedBall unpacked(platform::localFileSystem(), fuzz::scratchFolder());
            folder = unpacked.folder();
            try {
                unpackBallSet(platform::localFileSystem(), bytes, balls.sets.front(), folder, limits);
                check(entriesIn(folder) == balls.sets.front().files.size(), "the set's files and nothing else");
            } catch (const ArchiveError&) {
                check(entriesIn(folder) < balls.sets.front().files.size(), "a refused set stops before its end");
            }
        }
    } catch (const ArchiveError& error) {
        check(error.what()[0] != '\0', "a refused archive says why");
    }
    check(folder.empty() || !std::filesystem::exists(folder), "the unpack folder goes with its set");
    return 0;
}
