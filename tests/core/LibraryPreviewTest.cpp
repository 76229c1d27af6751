#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "library/Preview.h"
#include "platform/Errors.h"
#include "support/TempFolder.h"

namespace orbisto::test {
namespace {

using library::PreviewSlots;

// Red channel of a slot's top-left pixel, or -1 for an empty slot.
int red(const PreviewSlots& slots, int frame) {
    const Image* image = library::previewSlot(slots, frame);
    return image == nullptr ? -1 : image->rgba[0];
}

// ball_71..73.png of one colour each: red = base, base + 1, base + 2.
fs::path rowSeven(const fs::path& folder, std::uint32_t base) {
    for (std::uint32_t n = 1; n <= 3; ++n) {
        writeFile(folder / ("ball_7" + std::to_string(n) + ".png"), makePng(17, 17, ((base + n - 1) << 24) | 0xFFu));
    }
    return folder;
}

class LibraryPreview : public ::testing::Test {
protected:
    TempFolder temp;
    PreviewSlots slots;
};

TEST_F(LibraryPreview, pick_fillsTheSlotsWithRowSevenInOrder) {
    library::loadPreviewFrames(rowSeven(temp / "Comet", 0x10), slots);
    EXPECT_EQ(red(slots, 1), 0x10);
    EXPECT_EQ(red(slots, 2), 0x11);
    EXPECT_EQ(red(slots, 3), 0x12);
    EXPECT_EQ(red(slots, 0), -1);
    EXPECT_EQ(red(slots, 4), -1);
}

TEST_F(LibraryPreview, missingMiddleFrame_stopsThereAndKeepsTheOldLastFrame) {
    library::loadPreviewFrames(rowSeven(temp / "Old", 0x10), slots);
    const fs::path next = rowSeven(temp / "New", 0x40);
    fs::remove(next / "ball_72.png");

    try {
        library::loadPreviewFrames(next, slots);
        FAIL() << "no error";
    } catch (const IoError& error) {
        EXPECT_EQ(error.code(), 2);
    }
    EXPECT_EQ(red(slots, 1), 0x40);
    EXPECT_EQ(red(slots, 2), -1);
    EXPECT_EQ(red(slots, 3), 0x12);
}

TEST_F(LibraryPreview, damagedFirstFrame_raisesImageErrorAndKeepsTheOthers) {
    library::loadPreviewFrames(rowSeven(temp / "Old", 0x10), slots);
    const fs::path next = rowSeven(temp / "New", 0x40);
    writeFile(next / "ball_71.png", "not a picture at all");

    EXPECT_THROW(library::loadPreviewFrames(next, slots), ImageError);
    EXPECT_EQ(red(slots, 1), -1);
    EXPECT_EQ(red(slots, 2), 0x11);
    EXPECT_EQ(red(slots, 3), 0x12);
}

TEST(LibraryPreviewCycle, nextFrame_runsOneTwoThreeFromStart) {
    EXPECT_EQ(library::nextPreviewFrame(0), 1);
    EXPECT_EQ(library::nextPreviewFrame(1), 2);
    EXPECT_EQ(library::nextPreviewFrame(2), 3);
    EXPECT_EQ(library::nextPreviewFrame(3), 1);
}

} // namespace
} // namespace orbisto::test
