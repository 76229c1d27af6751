#include "library/BallTag.h"

#include "platform/Errors.h"
#include "support/TempFolder.h"

#include <cstdint>
#include <functional>
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

void makeReadOnly(const fs::path& file) {
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

int ioErrorCode(const std::function<void()>& action) {
    try {
        action();
    } catch (const IoError& error) {
        return error.code();
    }
    return 0;
}

class BallTagTrailer : public ::testing::Test {
protected:
    TempFolder temp;
    const fs::path frame = temp / "ball_73.png";
    const Bytes png = makePng(17, 17, 0x336699FFu);
};

TEST_F(BallTagTrailer, untaggedPng_readsEmptyText) {
    writeFile(frame, png);
    EXPECT_EQ(ReadBallTag(frame), "");
    EXPECT_EQ(readBytes(frame), png);
}

TEST_F(BallTagTrailer, tagThenRetag_leavesOnlyTheLastTrailerAfterThePngData) {
    writeFile(frame, png);

    SaveToExe(frame, "abc");
    EXPECT_EQ(readBytes(frame), concat(png, {0x61, 0x62, 0x63, 0x07, 0x00, 0x00, 0x00}));
    EXPECT_EQ(ReadBallTag(frame), "abc");

    SaveToExe(frame, "abcd");
    EXPECT_EQ(readBytes(frame), concat(png, {0x61, 0x62, 0x63, 0x64, 0x08, 0x00, 0x00, 0x00}));
    EXPECT_EQ(ReadBallTag(frame), "abcd");

    SaveToExe(frame, "");
    EXPECT_EQ(readBytes(frame), concat(png, {0x04, 0x00, 0x00, 0x00}));
    EXPECT_EQ(ReadBallTag(frame), "");
}

TEST_F(BallTagTrailer, lengthExactlyFour_isAnEmptyTagThatTheWriterCutsAlone) {
    const Bytes body{0x10, 0x20, 0x30};
    writeFile(frame, concat(body, {0x04, 0x00, 0x00, 0x00}));
    EXPECT_EQ(ReadBallTag(frame), "");

    SaveToExe(frame, "x");
    EXPECT_EQ(readBytes(frame), concat(body, {'x', 0x05, 0x00, 0x00, 0x00}));
}

TEST_F(BallTagTrailer, lengthEqualToFileSize_tagIsTheWholeFileBeforeTheLength) {
    writeFile(frame, Bytes{'a', 'b', 0x06, 0x00, 0x00, 0x00});
    EXPECT_EQ(ReadBallTag(frame), "ab");

    SaveToExe(frame, "z");
    EXPECT_EQ(readBytes(frame), (Bytes{'z', 0x05, 0x00, 0x00, 0x00}));
}

TEST_F(BallTagTrailer, lengthOutsideFourToSize_meansNoTag) {
    // 7 is one more than the file size; 3 is below the 4 length bytes; 0x80000000 is negative.
    for (const Bytes& tail : {Bytes{0x07, 0, 0, 0}, Bytes{0x03, 0, 0, 0}, Bytes{0, 0, 0, 0x80}}) {
        const Bytes content = concat({'a', 'b'}, tail);
        writeFile(frame, content);
        EXPECT_EQ(ReadBallTag(frame), "");
        SaveToExe(frame, "t");
        EXPECT_EQ(readBytes(frame), concat(content, {'t', 0x05, 0x00, 0x00, 0x00}));
    }
}

TEST_F(BallTagTrailer, fileShorterThanFourBytes_raisesIoErrorAndStaysUnchanged) {
    for (const Bytes& content : {Bytes{}, Bytes{0x01}, Bytes{0x04, 0x00, 0x00}}) {
        writeFile(frame, content);
        EXPECT_NE(ioErrorCode([&] { ReadBallTag(frame); }), 0);
        EXPECT_NE(ioErrorCode([&] { SaveToExe(frame, "abc"); }), 0);
        EXPECT_EQ(readBytes(frame), content);
    }
}

TEST_F(BallTagTrailer, missingFile_raisesFileNotFoundAndCreatesNothing) {
    EXPECT_EQ(ioErrorCode([&] { ReadBallTag(frame); }), 2);
    EXPECT_EQ(ioErrorCode([&] { SaveToExe(frame, "abc"); }), 2);
    EXPECT_FALSE(fs::exists(frame));
}

TEST_F(BallTagTrailer, readOnlyFrame_readsButRefusesTheWriteUnchanged) {
    const Bytes tagged = concat(png, {'B', '|', 'N', 0x07, 0x00, 0x00, 0x00});
    writeFile(frame, tagged);
    makeReadOnly(frame);

    EXPECT_EQ(ReadBallTag(frame), "B|N");
    EXPECT_EQ(ioErrorCode([&] { SaveToExe(frame, "other"); }), 5);
    EXPECT_EQ(readBytes(frame), tagged);
}

// Many files of random content and size, tagged again and again with random texts (bars, high
// bytes, bytes that look like lengths): the content before the trailer never changes.
TEST_F(BallTagTrailer, randomRetagging_neverTouchesTheBytesBeforeTheTrailer) {
    std::mt19937 random(20261207u);
    auto byte = [&] { return static_cast<std::uint8_t>(random() & 0xFFu); };
    for (int fileIndex = 0; fileIndex < 200; ++fileIndex) {
        Bytes body(4 + random() % 300);
        for (auto& b : body) {
            b = byte();
        }
        body.back() |= 0x80u; // the last byte makes L negative: the body carries no tag of its own
        const fs::path file = temp / ("f" + std::to_string(fileIndex) + ".png");
        writeFile(file, body);

        for (int round = 0; round < 4; ++round) {
            std::string text(random() % 40, '\0');
            for (char& c : text) {
                c = static_cast<char>(byte());
            }
            SaveToExe(file, text);
            Bytes trailer(text.begin(), text.end());
            const auto length = static_cast<std::uint32_t>(text.size() + 4);
            for (int shift = 0; shift < 32; shift += 8) {
                trailer.push_back(static_cast<std::uint8_t>(length >> shift));
            }
            ASSERT_EQ(readBytes(file), concat(body, trailer)) << "file " << fileIndex << " round " << round;
            ASSERT_EQ(ReadBallTag(file), text);
        }
    }
}

} // namespace
} // namespace orbisto::test
