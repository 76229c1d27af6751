#include "platform/HiveSearch.h"

#include "platform/RegistryText.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace orbisto::platform {

namespace {

constexpr std::string_view kSignature = "WINE REGISTRY Version 2";
// Shorter texts shared by the wanted keys are too common to lead anywhere: every key line is visited.
constexpr std::size_t kMinimumAnchor = 8;

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
    std::string written; // lower case, as Wine writes a plain key line: software\\vendor
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

// The longest run of ASCII characters that `a` and `b` share (case already folded).
std::string longestCommonRun(std::string_view a, std::string_view b) {
    std::vector<std::size_t> previous(b.size() + 1, 0);
    std::vector<std::size_t> current(b.size() + 1, 0);
    std::size_t best = 0;
    std::size_t bestEnd = 0;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const bool same = a[i - 1] == b[j - 1] && static_cast<unsigned char>(a[i - 1]) < 0x80;
            current[j] = same ? previous[j - 1] + 1 : 0;
            if (current[j] > best) {
                best = current[j];
                bestEnd = i;
            }
        }
        std::swap(previous, current);
    }
    return std::string(a.substr(bestEnd - best, best));
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool equalsFoldedAt(std::string_view text, std::size_t at, std::string_view folded) {
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (lowerAscii(text[at + i]) != folded[i]) {
            return false;
        }
    }
    return true;
}

using Bytes = unsigned char __attribute__((vector_size(16)));

Bytes splat(unsigned char c) {
    Bytes bytes;
    std::memset(&bytes, c, sizeof bytes);
    return bytes;
}

// The places of the two characters of `folded` least likely in registry text: letters outside the hex
// digits, rarest first (registry files are full of hex numbers, backslashes and blanks).
std::pair<std::size_t, std::size_t> rarePlaces(std::string_view folded) {
    static constexpr std::string_view kRarestFirst = "qjzxvkwygphmulnrtois";
    const auto rank = [](char c) {
        const std::size_t place = kRarestFirst.find(c);
        return place == std::string_view::npos ? kRarestFirst.size() : place;
    };
    std::size_t first = 0;
    std::size_t second = folded.size() - 1;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (rank(folded[i]) < rank(folded[first])) {
            first = i;
        }
    }
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (i != first && folded[i] != folded[first] && (second == first || rank(folded[i]) < rank(folded[second]))) {
            second = i;
        }
    }
    return {first, second};
}

// Where `folded` (lower-case ASCII) next occurs in `text` from `from` on, ASCII case ignored; npos
// when nowhere. Sixteen places at a time are tested for two of its rarest characters.
std::size_t findFoldedPortable(std::string_view text, std::string_view folded, std::size_t from, std::size_t one,
                               std::size_t two) {
    const std::size_t length = folded.size();
    // A byte ORed with 0x20 equals a lower-case letter only when it is that letter in either case.
    const Bytes oneCase = splat(isLetter(folded[one]) ? 0x20 : 0);
    const Bytes twoCase = splat(isLetter(folded[two]) ? 0x20 : 0);
    const Bytes oneWanted = splat(static_cast<unsigned char>(folded[one]));
    const Bytes twoWanted = splat(static_cast<unsigned char>(folded[two]));
    std::size_t at = from;
    for (; at + length - 1 + sizeof(Bytes) <= text.size(); at += sizeof(Bytes)) {
        Bytes atOne;
        Bytes atTwo;
        std::memcpy(&atOne, text.data() + at + one, sizeof atOne);
        std::memcpy(&atTwo, text.data() + at + two, sizeof atTwo);
        const auto hits = ((atOne | oneCase) == oneWanted) & ((atTwo | twoCase) == twoWanted);
        std::uint64_t halves[2];
        std::memcpy(halves, &hits, sizeof halves);
        if ((halves[0] | halves[1]) == 0) {
            continue;
        }
        for (std::size_t k = 0; k < sizeof(Bytes); ++k) {
            if (hits[k] != 0 && equalsFoldedAt(text, at + k, folded)) {
                return at + k;
            }
        }
    }
    for (; at + length <= text.size(); ++at) {
        if (equalsFoldedAt(text, at, folded)) {
            return at;
        }
    }
    return std::string_view::npos;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// The places among 32 where both characters match, as bits.
__attribute__((target("avx2"))) inline std::uint32_t hitsAvx2(const char* at, std::size_t one, std::size_t two,
                                                              const __m256i* wanted) {
    const __m256i atOne = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + one));
    const __m256i atTwo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + two));
    const __m256i hits = _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_or_si256(atOne, wanted[0]), wanted[1]),
                                          _mm256_cmpeq_epi8(_mm256_or_si256(atTwo, wanted[2]), wanted[3]));
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(hits));
}

// The same as findFoldedPortable, 64 places at a time with the AVX2 instructions of the processors
// that have them.
__attribute__((target("avx2"))) std::size_t findFoldedAvx2(std::string_view text, std::string_view folded,
                                                           std::size_t from, std::size_t one, std::size_t two) {
    const std::size_t length = folded.size();
    // Case bits and characters of the two places.
    const __m256i wanted[4] = {
        _mm256_set1_epi8(static_cast<char>(isLetter(folded[one]) ? 0x20 : 0)), _mm256_set1_epi8(folded[one]),
        _mm256_set1_epi8(static_cast<char>(isLetter(folded[two]) ? 0x20 : 0)), _mm256_set1_epi8(folded[two])};
    std::size_t at = from;
    for (; at + length - 1 + 64 <= text.size(); at += 64) {
        const std::uint64_t hits = hitsAvx2(text.data() + at, one, two, wanted) |
                                   static_cast<std::uint64_t>(hitsAvx2(text.data() + at + 32, one, two, wanted)) << 32;
        for (std::uint64_t left = hits; left != 0; left &= left - 1) {
            const std::size_t place = at + static_cast<std::size_t>(__builtin_ctzll(left));
            if (equalsFoldedAt(text, place, folded)) {
                return place;
            }
        }
    }
    return findFoldedPortable(text, folded, at, one, two);
}
#endif

std::size_t findFolded(std::string_view text, std::string_view folded, std::size_t from) {
    const std::size_t length = folded.size();
    if (length == 0 || text.size() < length || from > text.size() - length) {
        return std::string_view::npos;
    }
    const auto [one, two] = rarePlaces(folded);
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        return findFoldedAvx2(text, folded, from, one, two);
    }
#endif
    return findFoldedPortable(text, folded, from, one, two);
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

HiveSearch::HiveSearch(std::span<const std::string> keyPaths, std::string_view valueName) : valueName_(valueName) {
    for (const std::string& path : keyPaths) {
        WantedKey key = wantedKey(path);
        paths_.push_back(std::move(key.path));
        written_.push_back(std::move(key.written));
    }
    // The text all wanted keys share, as Wine writes it, leads to the few key lines that can match:
    // far fewer stops than at every key line of a hive of thousands.
    if (!written_.empty()) {
        anchor_ = longestCommonRun(written_[0], written_[0]);
        for (std::size_t i = 1; i < written_.size(); ++i) {
            anchor_ = longestCommonRun(anchor_, written_[i]);
        }
    }
    if (anchor_.size() < kMinimumAnchor) {
        anchor_.clear(); // too common to lead anywhere: every key line is visited
    }
}

void HiveSearch::restart() {
    places_.clear();
    scanned_ = 0;
}

void HiveSearch::scan(std::string_view head) {
    if (anchor_.empty() || head.size() < anchor_.size()) {
        return;
    }
    for (std::size_t at = scanned_; (at = findFolded(head, anchor_, at)) != std::string_view::npos; ++at) {
        places_.push_back(at);
    }
    scanned_ = std::max(scanned_, head.size() - anchor_.size() + 1);
}

std::vector<std::optional<std::string>> HiveSearch::results(std::string_view hive) const {
    std::vector<std::optional<std::string>> results(paths_.size());
    if (!hive.starts_with(kSignature) || paths_.empty()) {
        return results;
    }
    std::vector<bool> seen(paths_.size(), false);
    std::size_t left = paths_.size();

    // Compares the key line whose "[" stands at `at` with every key still wanted; the end of the line.
    const auto visitKeyLine = [&](std::size_t at) {
        const std::string_view name = hive.substr(at + 1); // the key's name and what follows it
        const std::string_view line = lineAt(hive, at + 1);
        std::optional<std::string> decoded;
        for (std::size_t i = 0; i < paths_.size(); ++i) {
            if (seen[i]) {
                continue;
            }
            Match match = compareWritten(name, written_[i]);
            if (match == Match::Decode) {
                if (!decoded) {
                    std::size_t pos = 0;
                    decoded = normalizeKeyPath(registry::parseEscaped(line, pos, ']').value_or(std::string()));
                }
                match = !decoded->empty() && equalsIgnoreCase(*decoded, paths_[i]) ? Match::Yes : Match::No;
            }
            if (match == Match::Yes) {
                seen[i] = true;
                --left;
                const std::size_t values = hive.find('\n', at + 1 + line.size());
                if (values != std::string_view::npos) {
                    results[i] = valueText(hive, values + 1, valueName_);
                }
            }
        }
        return at + 1 + line.size();
    };

    if (!anchor_.empty()) {
        std::size_t done = 0; // the end of the last key line visited
        for (const std::size_t place : places_) {
            if (left == 0) {
                break;
            }
            const std::size_t newline = hive.rfind('\n', place);
            if (place >= done && newline != std::string_view::npos && hive[newline + 1] == '[') {
                done = visitKeyLine(newline + 1);
            }
        }
        return results;
    }
    // Key lines are the lines that start with "["; a "[" elsewhere is inside a value.
    for (std::size_t at = hive.find("\n["); left > 0 && at != std::string_view::npos; at = hive.find("\n[", at)) {
        at = visitKeyLine(at + 1);
    }
    return results;
}

std::vector<std::optional<std::string>> findHiveTexts(std::string_view hive, std::span<const std::string> keyPaths,
                                                      std::string_view valueName) {
    HiveSearch search(keyPaths, valueName);
    search.scan(hive);
    return search.results(hive);
}

} // namespace orbisto::platform
