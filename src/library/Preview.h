#pragma once

#include "platform/Image.h"

#include <array>
#include <filesystem>

namespace orbisto::library {

// The preview plays row 7 of a ball: slot 1 ball_71.png, slot 2 ball_72.png, slot 3 ball_73.png.
inline constexpr int kPreviewSlots = 3;
using PreviewSlots = std::array<Image, kPreviewSlots>;

// Timer interval in milliseconds for a speed slider position 1..5: 120, 200, 300, 400, 500.
int previewInterval(int sliderPosition);

// The slot drawn after `frame`: 1, 2, 3, 1, ... (0, before any pick, also goes on to 1).
int nextPreviewFrame(int frame);

// The frame of slot `frame` (1..3), or nullptr for 0 or an empty slot: nothing is drawn then.
const Image* previewSlot(const PreviewSlots& slots, int frame);

// Decodes ball_71..73.png of `ballFolder` into slots 1..3 in that order. A frame that cannot be
// opened or decoded stops there with its error: the slots before it hold the new frames, its own
// slot is emptied, the later slots keep what they held.
void loadPreviewFrames(const std::filesystem::path& ballFolder, PreviewSlots& slots);

} // namespace orbisto::library
