#include "platform/linux/HiveSearch.h"

#include "platform/RegistryText.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace orbisto::platform {

namespace {

using registry::normalizeKeyPath;

constexpr std::string_view kSignature = "WINE REGISTRY Version 2";
// Shorter texts shared by the wanted keys are too common to lead anywhere: every key line is visited.
constexpr std::size_t kMinimumAnchor = 8;
// The bytes a fingerprint is taken of, and the number of fingerprints: a table of a byte for each
// stays in the first-level cache.
constexpr std::size_t kBlock = 14;
constexpr std::uint32_t kPrints = std::uint32_t{1} << kBlock;

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

bool equalsFoldedAt(std::string_view text, std::size_t at, std::string_view folded) {
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (lowerAscii(text[at + i]) != folded[i]) {
            return false;
        }
    }
    return true;
}

// Where `folded` (lower-case ASCII) next occurs in `text` from `from` on, ASCII case ignored; npos
// when nowhere. For texts too short for the sampled search below.
std::size_t findFolded(std::string_view text, std::string_view folded, std::size_t from) {
    for (std::size_t at = from; at + folded.size() <= text.size(); ++at) {
        if (lowerAscii(text[at]) == folded[0] && equalsFoldedAt(text, at, folded)) {
            return at;
        }
    }
    return std::string_view::npos;
}

// A block's fingerprint: one bit of each of its kBlock bytes, as a number below kPrints. For bits
// 0-4 it is the same in either ASCII case, which differ only in bit 5.
std::uint32_t fingerprintPlain(const char* block, unsigned bit) {
    std::uint32_t print = 0;
    for (std::size_t i = 0; i < kBlock; ++i) {
        print |= (static_cast<std::uint32_t>(static_cast<unsigned char>(block[i]) >> bit) & 1u) << i;
    }
    return print;
}

// The same, where 16 bytes can be read from `block`.
std::uint32_t fingerprint(const char* block, unsigned bit) {
#if defined(__SSE2__)
    // Shifting each 64-bit lane moves bit `bit` of every byte to that byte's top bit.
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
    const auto tops = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_sll_epi64(bytes, _mm_cvtsi32_si128(7 - bit))));
    return tops & (kPrints - 1);
#else
    return fingerprintPlain(block, bit);
#endif
}

// Whether `print` is one of the flagged (a byte each, 16 KiB: small enough for the first-level cache).
bool isWanted(const std::uint8_t* wanted, std::uint32_t print) {
    return wanted[print] != 0;
}

// The blocks at `at`, `at + stride`, ... up to `last`: the first whose fingerprint is in `wanted`,
// or the first block after `last` when none is.
std::size_t nextWantedBlockPlain(const char* text, std::size_t at, std::size_t last, std::size_t stride, unsigned bit,
                                 const std::uint8_t* wanted) {
    for (; at <= last && !isWanted(wanted, fingerprint(text + at, bit)); at += stride) {
    }
    return at;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// The top bits of the 16 bytes at `block` (low half) and at `block + stride` (high half), each
// byte's wanted bit moved to its top by shifting the 64-bit lanes left by `shift`.
__attribute__((target("avx2"))) inline std::uint32_t twoPrintsAvx2(const char* block, std::size_t stride,
                                                                   __m128i shift) {
    const __m256i pair =
        _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(block + stride), reinterpret_cast<const __m128i*>(block));
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_sll_epi64(pair, shift)));
}

// The same, four blocks at a time with the AVX2 instructions of the processors that have them.
__attribute__((target("avx2"))) std::size_t nextWantedBlockAvx2(const char* text, std::size_t at, std::size_t last,
                                                                std::size_t stride, unsigned bit,
                                                                const std::uint8_t* wanted) {
    const __m128i shift = _mm_cvtsi32_si128(static_cast<int>(7 - bit));
    constexpr std::uint32_t kMask = kPrints - 1;
    for (; at + 3 * stride <= last; at += 4 * stride) {
        const std::uint32_t near = twoPrintsAvx2(text + at, stride, shift);
        const std::uint32_t far = twoPrintsAvx2(text + at + 2 * stride, stride, shift);
        if ((wanted[near & kMask] | wanted[near >> 16 & kMask] | wanted[far & kMask] | wanted[far >> 16 & kMask]) !=
            0) {
            break; // the plain loop below finds which
        }
    }
    return nextWantedBlockPlain(text, at, last, stride, bit, wanted);
}
#endif

std::size_t nextWantedBlock(const char* text, std::size_t at, std::size_t last, std::size_t stride, unsigned bit,
                            const std::uint8_t* wanted) {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        return nextWantedBlockAvx2(text, at, last, stride, bit, wanted);
    }
#endif
    return nextWantedBlockPlain(text, at, last, stride, bit, wanted);
}

std::string_view lineAt(std::string_view text, std::size_t start) {
    const std::size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    return line;
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
        while (pos < hive.size() && registry::continuesOnto(data, lineAt(hive, pos))) {
            registry::joinContinuation(data, nextLine());
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
            if (written_[i].find(anchor_) == std::string::npos) {
                anchor_ = longestCommonRun(anchor_, written_[i]);
            }
        }
    }
    if (anchor_.size() < kMinimumAnchor) {
        anchor_.clear(); // too common to lead anywhere: every key line is visited
        return;
    }
    if (anchor_.size() < kBlock + kBlock - 1) {
        return; // too short to sample: every place is tried
    }
    // Any run of the anchor's length holds a whole block at some multiple of `stride_`, so only
    // those blocks are looked at. A block can start an anchor only where its fingerprint is one of
    // the anchor's own: one bit of each byte, the bit that tells the anchor's blocks apart best.
    stride_ = anchor_.size() - kBlock + 1;
    std::size_t mostDistinct = 0;
    for (unsigned bit = 0; bit < 5; ++bit) {
        std::vector<std::uint32_t> prints;
        for (std::size_t at = 0; at < stride_; ++at) {
            prints.push_back(fingerprintPlain(anchor_.data() + at, bit));
        }
        std::vector<std::uint32_t> distinct = prints;
        std::sort(distinct.begin(), distinct.end());
        const auto count = static_cast<std::size_t>(std::unique(distinct.begin(), distinct.end()) - distinct.begin());
        if (count > mostDistinct) {
            mostDistinct = count;
            bit_ = bit;
            anchorPrints_ = std::move(prints);
        }
    }
    wantedPrints_.assign(kPrints, 0);
    for (const std::uint32_t print : anchorPrints_) {
        wantedPrints_[print] = 1;
    }
}

std::vector<std::size_t> HiveSearch::anchorPlaces(std::string_view hive) const {
    std::vector<std::size_t> places;
    const std::size_t length = anchor_.size();
    if (hive.size() < length) {
        return places;
    }
    if (stride_ == 0) {
        for (std::size_t at = 0; (at = findFolded(hive, anchor_, at)) != std::string_view::npos; ++at) {
            places.push_back(at);
        }
        return places;
    }
    for (std::size_t block = 0, last = hive.size() - length;; block += stride_) {
        block = nextWantedBlock(hive.data(), block, last, stride_, bit_, wantedPrints_.data());
        if (block > last) {
            break;
        }
        const std::uint32_t print = fingerprint(hive.data() + block, bit_);
        for (std::size_t offset = 0; offset < anchorPrints_.size() && offset <= block; ++offset) {
            if (anchorPrints_[offset] == print && equalsFoldedAt(hive, block - offset, anchor_)) {
                places.push_back(block - offset);
            }
        }
    }
    // The last blocks looked at may leave the anchor's last places out; a place may also have been
    // found from two blocks.
    for (std::size_t at = hive.size() - std::min(hive.size(), length + stride_);
         (at = findFolded(hive, anchor_, at)) != std::string_view::npos; ++at) {
        places.push_back(at);
    }
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    return places;
}

std::vector<std::optional<std::string>> HiveSearch::find(std::string_view hive) const {
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
        for (const std::size_t place : anchorPlaces(hive)) {
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
    return HiveSearch(keyPaths, valueName).find(hive);
}

} // namespace orbisto::platform
