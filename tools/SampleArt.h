#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Drawing of the sample library that ships in data/: ball frames (shaded spheres with a
// brand-specific panel pattern, turning over the 21 frames), the main window's logo and the
// program's icon.
// Everything is computed from fixed numbers only, so every run gives the same bytes.
namespace orbisto::sample {

namespace fs = std::filesystem;

// An 8-bit picture, rows top to bottom, `channels` bytes a pixel (4 = RGBA, 3 = RGB).
struct Picture {
    int width = 0;
    int height = 0;
    int channels = 4;
    std::vector<std::uint8_t> pixels;
};

struct Colour {
    double r, g, b; // 0..1
};

// The panel layout painted on a ball; each turns about its own axis of symmetry.
enum class Pattern {
    Panels,  // twelve round panels at the corners of an icosahedron
    Stripes, // six segments from pole to pole and a band round the middle
    Swirl,   // three arms winding from pole to pole
    Octants, // eight curved triangles in two colours
};

struct BallDesign {
    Pattern pattern;
    Colour shell;
    Colour panel;
};

struct SampleBall {
    std::string brand;
    std::string ball;
    BallDesign design;
    bool isNew;
};

// The balls of the sample library, brand by brand.
const std::vector<SampleBall>& sampleBalls();

// Frame `index` (0 = ball_11 ... 20 = ball_73) of a ball, 17 x 17 RGBA, transparent outside the ball.
// Each row of three frames turns the ball by a third of its pattern's period, so the three frames of
// a row loop without a jump; the seven rows look at the ball from different sides.
Picture drawBallFrame(const BallDesign& design, int index);

// The logo shown at the left of the main window: 145 x 297 RGB.
Picture drawLogo();

// Sizes of the program's icon, in pixels; each is drawn on its own so small ones stay sharp.
inline constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

// The program's icon: the logo's ball on a transparent ground, size x size RGBA.
Picture drawIcon(int size);

// The same icon as scalable vector graphics (SVG 1.1 text): flat panels and a shading overlay.
std::string iconSvg();

// Encoders. No time stamps or other varying data are written.
std::vector<std::uint8_t> encodePng(const Picture& picture);
std::vector<std::uint8_t> encodeJpeg(const Picture& picture, int quality);

// Appends the ball tag trailer: the text, then its length + 4 as a 4-byte little-endian integer.
void appendBallTag(std::vector<std::uint8_t>& bytes, std::string_view text);

// Content of a marker file tst.ini.
std::string markerText(bool isNew);

// Writes `bytes` to `file` through a temporary file beside it and a rename, so a failure never leaves
// a half-written file. Raises std::runtime_error naming the file on failure.
void writeFileAtomically(const fs::path& file, const std::vector<std::uint8_t>& bytes);

// Writes balls/<brand>/<ball>/ (markers and 21 tagged frames), logo.jpg and icons/ (orbisto-<size>.png
// and orbisto.svg) into `dataFolder`, creating the folder when it is missing. Files already there are
// replaced; others stay.
void writeSampleData(const fs::path& dataFolder);

} // namespace orbisto::sample
