#include "library/BallTag.h"

#include "platform/Errors.h"
#include "support/TempFolder.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace orbisto::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using library::ReadBallTag;
using library::SaveToExe;

Bytes concat(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

class BallTagTrailer : public ::testing::Test {
protected:
    TempFolder temp;
    const fs::path frame = temp / "ball_73.png";
    const Bytes png = makePng(17, 17, 0x336699FFu);
};

// Each file is read, then tagged anew: only the old trailer (if any) is replaced.
TEST_F(BallTagTrailer, readThenRetag_replacesOnlyTheTrailer) {
    const Bytes abc = concat(png, {0x61, 0x62, 0x63, 0x07, 0x00, 0x00, 0x00});
    const Bytes abcd = concat(png, {0x61, 0x62, 0x63, 0x64, 0x08, 0x00, 0x00, 0x00});
    struct Case {
        Bytes content;
        std::string tag;
        bool trailer; // what hasBallTag says: an empty tag is a tag too
        std::string newTag;
        Bytes written;
    };
    const Case cases[] = {
        {png, "", false, "abc", abc},
        {abc, "abc", true, "abcd", abcd},
        {abcd, "abcd", true, "", concat(png, {0x04, 0x00, 0x00, 0x00})},
        // Length exactly 4: an empty tag, cut alone.
        {{0x10, 0x20, 0x04, 0x00, 0x00, 0x00}, "", true, "x", {0x10, 0x20, 'x', 0x05, 0x00, 0x00, 0x00}},
        // Length equal to the file size: the tag is everything before the length.
        {{'a', 'b', 0x06, 0x00, 0x00, 0x00}, "ab", true, "z", {'z', 0x05, 0x00, 0x00, 0x00}},
        // Lengths above the size, below 4, or negative: no tag, the file is kept whole.
        {{'a', 'b', 0x07, 0, 0, 0}, "", false, "t", {'a', 'b', 0x07, 0, 0, 0, 't', 0x05, 0, 0, 0}},
        {{'a', 'b', 0x03, 0, 0, 0}, "", false, "t", {'a', 'b', 0x03, 0, 0, 0, 't', 0x05, 0, 0, 0}},
        {{'a', 'b', 0, 0, 0, 0x80}, "", false, "t", {'a', 'b', 0, 0, 0, 0x80, 't', 0x05, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        writeFile(frame, c.content);
        EXPECT_EQ(ReadBallTag(frame), c.tag);
        EXPECT_EQ(library::hasBallTag(frame), c.trailer) << "tag '" << c.tag << "'";
        SaveToExe(frame, c.newTag);
        EXPECT_EQ(readBytes(frame), c.written) << "tag '" << c.newTag << "'";
        EXPECT_EQ(ReadBallTag(frame), c.newTag);
    }
}

TEST_F(BallTagTrailer, shortMissingOrReadOnlyFile_raisesIoErrorAndChangesNothing) {
    for (const Bytes& content : {Bytes{}, Bytes{0x01}, Bytes{0x04, 0x00, 0x00}}) {
        writeFile(frame, content);
        EXPECT_NE(ioErrorCode([&] { ReadBallTag(frame); }), 0);
        EXPECT_NE(ioErrorCode([&] { SaveToExe(frame, "abc"); }), 0);
        EXPECT_FALSE(library::hasBallTag(frame)); // too short for a trailer, which is no error
        EXPECT_EQ(readBytes(frame), content);
    }

    const fs::path missing = temp / "missing.png";
    EXPECT_EQ(ioErrorCode([&] { ReadBallTag(missing); }), 2);
    EXPECT_EQ(ioErrorCode([&] { SaveToExe(missing, "abc"); }), 2);
    EXPECT_FALSE(fs::exists(missing));

    const Bytes tagged = concat(png, {'B', '|', 'N', 0x07, 0x00, 0x00, 0x00});
    writeFile(frame, tagged);
    fs::permissions(frame, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(ReadBallTag(frame), "B|N");
    EXPECT_EQ(ioErrorCode([&] { SaveToExe(frame, "other"); }), 5);
    EXPECT_EQ(readBytes(frame), tagged);
}

// Random files retagged with random texts (bars, high bytes, bytes that look like lengths): the
// content before the trailer never changes.
TEST_F(BallTagTrailer, randomRetagging_neverTouchesTheBytesBeforeTheTrailer) {
    std::mt19937 random(20261207u);
    auto randomBytes = [&](std::size_t count) {
        Bytes bytes(count);
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(random() & 0xFFu);
        }
        return bytes;
    };
    for (int fileIndex = 0; fileIndex < 200; ++fileIndex) {
        Bytes body = randomBytes(4 + random() % 300);
        body.back() |= 0x80u; // a negative length: the body carries no tag of its own
        const fs::path file = temp / ("f" + std::to_string(fileIndex) + ".png");
        writeFile(file, body);

        for (int round = 0; round < 4; ++round) {
            const Bytes text = randomBytes(random() % 40);
            SaveToExe(file, std::string(text.begin(), text.end()));
            const Bytes trailer = concat(text, {static_cast<std::uint8_t>(text.size() + 4), 0, 0, 0});
            ASSERT_EQ(readBytes(file), concat(body, trailer)) << "file " << fileIndex << " round " << round;
            ASSERT_EQ(ReadBallTag(file), std::string(text.begin(), text.end()));
        }
    }
}

} // namespace
} // namespace orbisto::test
