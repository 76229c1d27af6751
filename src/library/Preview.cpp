#include "library/Preview.h"

#include "platform/PathText.h"

#include <string>

namespace orbisto::library {

int previewInterval(int sliderPosition) {
    return sliderPosition <= 1 ? 120 : sliderPosition * 100;
}

int nextPreviewFrame(int frame) {
    const int next = frame + 1;
    return next > kPreviewSlots ? 1 : next;
}

const Image* previewSlot(const PreviewSlots& slots, int frame) {
    if (frame < 1 || frame > kPreviewSlots) {
        return nullptr;
    }
    const Image& image = slots[static_cast<std::size_t>(frame - 1)];
    return image.empty() ? nullptr : &image;
}

void loadPreviewFrames(const std::filesystem::path& ballFolder, PreviewSlots& slots) {
    for (int n = 1; n <= kPreviewSlots; ++n) {
        Image& slot = slots[static_cast<std::size_t>(n - 1)];
        slot = Image{}; // a frame that fails leaves its slot empty
        slot = platform::decodePngFile(ballFolder / platform::toPath("ball_7" + std::to_string(n) + ".png"));
    }
}

} // namespace orbisto::library
