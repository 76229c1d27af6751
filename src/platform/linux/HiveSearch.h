#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto::platform {

// Looks up one text value under a few keys of a registry file in Wine's format (user.reg,
// system.reg) without building the hive: a single pass finds the places where the text the wanted
// keys share stands, looking at one 14-byte block in every few dozen bytes (a sampled search for a
// long pattern by fingerprints of blocks), and only the key lines there are compared and only a
// wanted key's lines decoded.
//
// `keyPaths` are key paths as the program names them ("Software\Vendor\Key", single backslashes,
// a leading one optional), matched case-insensitively; the first key of a name counts. Key names are
// found as Wine writes them: ASCII characters plain, a character beyond ASCII as a \x escape or
// UTF-8. For each key the result holds the value's text (cut at its first NUL) or nothing: a missing
// key or value, a value of a non-text type, a garbled line, or a file without Wine's signature.
class HiveSearch {
public:
    HiveSearch(std::span<const std::string> keyPaths, std::string_view valueName);

    // The texts in one file; a search serves any number of files.
    std::vector<std::optional<std::string>> find(std::string_view hive) const;
    // False when `piece` of a file cannot hold any of the keys (it lacks the text they share), so
    // a file whose every piece (overlapping by overlap() bytes) says so holds none of them.
    bool mayHoldKeys(std::string_view piece) const { return anchor_.empty() || !anchorPlaces(piece).empty(); }
    std::size_t overlap() const { return anchor_.size(); }

private:
    // Where the anchor stands in `hive`, in file order.
    std::vector<std::size_t> anchorPlaces(std::string_view hive) const;

    std::vector<std::string> paths_;   // normalized
    std::vector<std::string> written_; // lower case, as Wine writes the names
    std::string valueName_;
    std::string anchor_;     // the written text all keys share; empty when too short to help
    std::size_t stride_ = 0; // between the blocks looked at; 0 when every place is tried
    unsigned bit_ = 0;
    std::vector<std::uint32_t> anchorPrints_; // the fingerprint of the anchor's block at each offset
    std::vector<std::uint8_t> wantedPrints_;  // a flag for each fingerprint: one of the anchor's
};

// The search of a hive held whole.
std::vector<std::optional<std::string>> findHiveTexts(std::string_view hive, std::span<const std::string> keyPaths,
                                                      std::string_view valueName);

} // namespace orbisto::platform
