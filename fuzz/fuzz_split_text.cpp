// SplitText against a plain model of its rules: skip line ends and blanks before a piece, end a piece
// at a separator or line end, let a quote protect everything up to the same quote, drop the ending
// character, never produce an empty piece.

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "platform/Text.h"

using namespace orbisto;

namespace {

std::vector<std::string> modelSplit(std::string_view text, std::string_view separators, std::string_view blanks) {
    const auto isLineEnd = [](char c) { return c == '\r' || c == '\n'; };
    std::vector<std::string> pieces;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && (isLineEnd(text[pos]) || blanks.find(text[pos]) != std::string_view::npos)) {
            ++pos;
        }
        const std::size_t start = pos;
        while (pos < text.size() && !isLineEnd(text[pos]) && separators.find(text[pos]) == std::string_view::npos) {
            if (text[pos] == '"' || text[pos] == '\'') {
                const std::size_t close = text.find(text[pos], pos + 1);
                pos = close == std::string_view::npos ? text.size() : close + 1;
            } else {
                ++pos;
            }
        }
        if (pos > start) {
            pieces.emplace_back(text.substr(start, pos - start));
        }
        ++pos; // the character that ended the piece
    }
    return pieces;
}

// Separators and blanks from the input, without quote characters: a quote always opens a stretch.
std::string characterSet(FuzzedDataProvider& input) {
    std::string set = input.ConsumeRandomLengthString(4);
    std::erase_if(set, [](char c) { return c == '"' || c == '\''; });
    return set;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string separators = characterSet(input);
    const std::string blanks = characterSet(input);
    const std::string text = input.ConsumeRemainingBytesAsString();

    const auto pieces = SplitText(text, separators, blanks);
    fuzz::check(pieces == modelSplit(text, separators, blanks), "SplitText cuts as its rules say");
    // The two calls the program makes.
    fuzz::check(SplitText(text, "-") == modelSplit(text, "-", ""), "new-ball entries split at \"-\"");
    fuzz::check(SplitText(text, "[") == modelSplit(text, "[", ""), "skin names split at \"[\"");
    return 0;
}
