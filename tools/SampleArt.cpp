#include "tools/SampleArt.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <jpeglib.h>
#include <numbers>
#include <png.h>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace orbisto::sample {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kFrameSize = 17;
constexpr int kSupersample = 4; // samples per pixel edge, for smooth outlines

struct Vec {
    double x, y, z;
};

Vec operator+(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec operator*(Vec a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
double dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec normalized(Vec a) {
    return a * (1.0 / std::sqrt(dot(a, a)));
}

Colour mix(Colour a, Colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

std::uint8_t toByte(double v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

// Angle of one full repeat of a pattern about its axis: turning by it gives the same picture.
double patternPeriod(Pattern pattern) {
    switch (pattern) {
    case Pattern::Panels:
        return 2 * kPi / 5;
    case Pattern::Stripes:
    case Pattern::Swirl:
        return 2 * kPi / 3;
    case Pattern::Octants:
        return kPi;
    }
    return 2 * kPi;
}

// Angular radius of a round panel of the Panels pattern.
constexpr double kPanelRadius = 0.40;

const std::array<Vec, 12>& icosahedronCorners() {
    static const std::array<Vec, 12> corners = [] {
        std::array<Vec, 12> c{};
        c[0] = {0, 0, 1};
        c[1] = {0, 0, -1};
        const double ringZ = 1 / std::sqrt(5.0);
        const double ringR = 2 / std::sqrt(5.0);
        for (int k = 0; k < 5; ++k) {
            const double a = 2 * kPi * k / 5;
            c[2 + k] = {ringR * std::cos(a), ringR * std::sin(a), ringZ};
            c[7 + k] = {ringR * std::cos(a + kPi / 5), ringR * std::sin(a + kPi / 5), -ringZ};
        }
        return c;
    }();
    return corners;
}

// Share of panel colour at point q of the unit sphere, in the pattern's own frame (axis = z).
double panelShare(Pattern pattern, Vec q) {
    switch (pattern) {
    case Pattern::Panels: {
        double nearest = -1;
        for (const Vec& corner : icosahedronCorners()) {
            nearest = std::max(nearest, dot(q, corner));
        }
        return nearest > std::cos(kPanelRadius) ? 1.0 : 0.0;
    }
    case Pattern::Stripes: {
        const double longitude = std::atan2(q.y, q.x) + kPi;
        const bool oddSegment = static_cast<int>(std::floor(longitude / (kPi / 3))) % 2 == 1;
        const bool inBand = std::abs(q.z) < 0.22;
        return oddSegment != inBand ? 1.0 : 0.0;
    }
    case Pattern::Swirl: {
        const double longitude = std::atan2(q.y, q.x);
        return std::sin(3 * (longitude + 2.4 * q.z)) > 0.30 ? 1.0 : 0.0;
    }
    case Pattern::Octants: {
        const double seam = std::min({std::abs(q.x), std::abs(q.y), std::abs(q.z)});
        if (seam < 0.07) {
            return 0.5;
        }
        return q.x * q.y * q.z > 0 ? 1.0 : 0.0;
    }
    }
    return 0.0;
}

// A ball as seen on the screen: the axis it turns about and how far it has turned.
struct BallPose {
    Vec axis;
    double turn;
};

BallPose framePose(Pattern pattern, int index) {
    const int row = index / 3;
    const int column = index % 3;
    const double tilt = (22.0 + 9.0 * row) * kPi / 180;
    const double azimuth = 2 * kPi * row / 7;
    const Vec axis{std::sin(tilt) * std::cos(azimuth), std::cos(tilt), std::sin(tilt) * std::sin(azimuth)};
    const double period = patternPeriod(pattern);
    return {normalized(axis), period * (column / 3.0 + 0.37 * row)};
}

// Colour of the lit ball at the point with normal n (view space: x right, y up, z to the viewer).
Colour shadeBall(const BallDesign& design, const BallPose& pose, Vec n) {
    const Vec helper = std::abs(pose.axis.z) < 0.9 ? Vec{0, 0, 1} : Vec{1, 0, 0};
    const Vec e1 = normalized(cross(helper, pose.axis));
    const Vec e2 = cross(pose.axis, e1);
    const double u = dot(n, e1);
    const double v = dot(n, e2);
    const double c = std::cos(-pose.turn);
    const double s = std::sin(-pose.turn);
    const Vec q{u * c - v * s, u * s + v * c, dot(n, pose.axis)};
    const Colour base = mix(design.shell, design.panel, panelShare(design.pattern, q));

    const Vec light = normalized({-0.45, 0.55, 0.70});
    const Vec halfway = normalized(light + Vec{0, 0, 1});
    const double diffuse = std::max(0.0, dot(n, light));
    const double highlight = 0.45 * std::pow(std::max(0.0, dot(n, halfway)), 24);
    const double lit = 0.32 + 0.78 * diffuse;
    return {base.r * lit + highlight, base.g * lit + highlight, base.b * lit + highlight};
}

// Draws a ball of `radius` centred at (cx, cy) over `picture`; with 4 channels the pixels outside
// the ball stay transparent, with 3 the ball is blended over what is there.
void paintBall(Picture& picture, const BallDesign& design, const BallPose& pose, double cx, double cy, double radius) {
    const int x0 = std::max(0, static_cast<int>(std::floor(cx - radius)));
    const int x1 = std::min(picture.width - 1, static_cast<int>(std::ceil(cx + radius)));
    const int y0 = std::max(0, static_cast<int>(std::floor(cy - radius)));
    const int y1 = std::min(picture.height - 1, static_cast<int>(std::ceil(cy + radius)));
    for (int py = y0; py <= y1; ++py) {
        for (int px = x0; px <= x1; ++px) {
            double r = 0, g = 0, b = 0;
            int covered = 0;
            for (int sy = 0; sy < kSupersample; ++sy) {
                for (int sx = 0; sx < kSupersample; ++sx) {
                    const double dx = (px + (sx + 0.5) / kSupersample - cx) / radius;
                    const double dy = -(py + (sy + 0.5) / kSupersample - cy) / radius;
                    const double rr = dx * dx + dy * dy;
                    if (rr > 1.0) {
                        continue;
                    }
                    const Colour c = shadeBall(design, pose, {dx, dy, std::sqrt(1.0 - rr)});
                    r += c.r;
                    g += c.g;
                    b += c.b;
                    ++covered;
                }
            }
            if (covered == 0) {
                continue;
            }
            const double coverage = static_cast<double>(covered) / (kSupersample * kSupersample);
            std::uint8_t* pixel =
                &picture.pixels[(static_cast<std::size_t>(py) * picture.width + px) * picture.channels];
            const Colour ball{r / covered, g / covered, b / covered};
            if (picture.channels == 4) {
                pixel[0] = toByte(ball.r);
                pixel[1] = toByte(ball.g);
                pixel[2] = toByte(ball.b);
                pixel[3] = toByte(coverage);
            } else {
                const Colour under{pixel[0] / 255.0, pixel[1] / 255.0, pixel[2] / 255.0};
                const Colour over = mix(under, ball, coverage);
                pixel[0] = toByte(over.r);
                pixel[1] = toByte(over.g);
                pixel[2] = toByte(over.b);
            }
        }
    }
}

// The ball of the logo and of the icon, and how it lies.
const BallDesign kLogoBall{Pattern::Panels, {0.96, 0.96, 0.94}, {0.08, 0.10, 0.18}};
const BallPose& logoBallPose() {
    static const BallPose pose{normalized({0.35, 0.85, 0.40}), 0.3};
    return pose;
}

// Turns a point of the pattern's own frame into view space: the inverse of the turn in shadeBall.
Vec patternToView(const BallPose& pose, Vec q) {
    const Vec helper = std::abs(pose.axis.z) < 0.9 ? Vec{0, 0, 1} : Vec{1, 0, 0};
    const Vec e1 = normalized(cross(helper, pose.axis));
    const Vec e2 = cross(pose.axis, e1);
    const double c = std::cos(-pose.turn);
    const double s = std::sin(-pose.turn);
    const double u = c * q.x + s * q.y;
    const double v = -s * q.x + c * q.y;
    return e1 * u + e2 * v + pose.axis * q.z;
}

// The visible part of a round panel centred on the unit vector m (view space), as a polygon in
// view coordinates (x right, y up, unit ball radius); empty when the panel lies wholly behind.
// It is bounded by the panel's rim where that faces the viewer and by the ball's outline where
// the panel reaches round the edge.
std::vector<std::pair<double, double>> visiblePanel(Vec m, double radius) {
    constexpr int kSteps = 72;
    std::vector<std::pair<double, double>> outline;
    const double rho = std::sqrt(std::max(0.0, 1.0 - m.z * m.z));
    if (m.z <= -std::sin(radius)) {
        return outline;
    }
    // The rim: m cos r + sin r (a cos t + b sin t) with `a` level with the screen, so its depth is
    // m.z cos r + sin r rho sin t.
    const Vec a = rho < 1e-9 ? Vec{1, 0, 0} : Vec{-m.y / rho, m.x / rho, 0};
    const Vec b = cross(m, a);
    const auto rimPoint = [&](double t) {
        const Vec p = m * std::cos(radius) + (a * std::cos(t) + b * std::sin(t)) * std::sin(radius);
        return std::pair{p.x, p.y};
    };
    if (m.z >= std::sin(radius)) {
        for (int i = 0; i < kSteps; ++i) {
            outline.push_back(rimPoint(2 * kPi * i / kSteps));
        }
        return outline;
    }
    const double k = std::clamp(-m.z * std::cos(radius) / (std::sin(radius) * rho), -1.0, 1.0);
    const double t0 = std::asin(k);
    const double t1 = kPi - t0;
    for (int i = 0; i <= kSteps; ++i) {
        outline.push_back(rimPoint(t0 + (t1 - t0) * i / kSteps));
    }
    // Back along the ball's outline, between the two points where the rim meets it.
    const double middle = std::atan2(m.y, m.x);
    const double half = std::acos(std::clamp(std::cos(radius) / rho, -1.0, 1.0));
    std::vector<std::pair<double, double>> edge;
    for (int i = 0; i <= kSteps / 2; ++i) {
        const double phi = middle - half + 2 * half * i / (kSteps / 2);
        edge.emplace_back(std::cos(phi), std::sin(phi));
    }
    const auto distance = [](std::pair<double, double> p, std::pair<double, double> q) {
        return std::hypot(p.first - q.first, p.second - q.second);
    };
    if (distance(outline.back(), edge.back()) < distance(outline.back(), edge.front())) {
        std::reverse(edge.begin(), edge.end());
    }
    outline.insert(outline.end(), edge.begin() + 1, edge.end() - 1);
    return outline;
}

std::string svgColour(Colour c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", toByte(c.r), toByte(c.g), toByte(c.b));
    return text;
}

// A 5 x 7 pixel font for the few characters of the logo, row by row.
const char* glyph(char c) {
    switch (c) {
    case 'O':
        return ".###.#...##...##...##...##...#.###.";
    case 'r':
        return "..........#.##.##..##....#....#....";
    case 'b':
        return "#....#....####.#...##...##...#####.";
    case 'i':
        return "..#........##....#....#....#...###.";
    case 's':
        return "...........#####.....###.....#####.";
    case 't':
        return ".#....#...####..#....#....#..#..##.";
    case 'o':
        return "...........###.#...##...##...#.###.";
    case '3':
        return "####.....#....#.###.....#....#####.";
    case '.':
        return "..........................##...##..";
    case '0':
        return ".###.#..###.#.##.#.##.#.###..#.###.";
    default:
        return nullptr;
    }
}

void blendPixel(Picture& picture, int x, int y, Colour colour, double alpha) {
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) {
        return;
    }
    std::uint8_t* pixel = &picture.pixels[(static_cast<std::size_t>(y) * picture.width + x) * picture.channels];
    const Colour over = mix({pixel[0] / 255.0, pixel[1] / 255.0, pixel[2] / 255.0}, colour, alpha);
    pixel[0] = toByte(over.r);
    pixel[1] = toByte(over.g);
    pixel[2] = toByte(over.b);
}

int textWidth(std::string_view text, int scale) {
    return static_cast<int>(text.size()) * 6 * scale - scale;
}

void paintText(Picture& picture, std::string_view text, int left, int top, int scale, Colour colour) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* bits = glyph(text[i]);
        if (bits == nullptr) {
            continue;
        }
        for (int gy = 0; gy < 7; ++gy) {
            for (int gx = 0; gx < 5; ++gx) {
                if (bits[gy * 5 + gx] != '#') {
                    continue;
                }
                for (int sy = 0; sy < scale; ++sy) {
                    for (int sx = 0; sx < scale; ++sx) {
                        const int x = left + static_cast<int>(i) * 6 * scale + gx * scale + sx;
                        const int y = top + gy * scale + sy;
                        blendPixel(picture, x + 1, y + 1, {0, 0, 0}, 0.45); // shadow
                        blendPixel(picture, x, y, colour, 1.0);
                    }
                }
            }
        }
    }
}

[[noreturn]] void pngFailed(png_structp, png_const_charp message) {
    throw std::runtime_error(std::string("PNG encoder: ") + message);
}

void pngWarning(png_structp, png_const_charp) {}

void pngAppend(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void pngFlush(png_structp) {}

struct JpegErrorExit {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void jpegFailed(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegErrorExit*>(info->err);
    info->err->format_message(info, error->message);
    std::longjmp(error->jump, 1);
}

} // namespace

const std::vector<SampleBall>& sampleBalls() {
    static const std::vector<SampleBall> balls = {
        {"Kestrel", "Aero", {Pattern::Panels, {0.96, 0.96, 0.94}, {0.10, 0.12, 0.16}}, false},
        {"Kestrel", "Talon", {Pattern::Panels, {0.97, 0.93, 0.82}, {0.72, 0.12, 0.10}}, false},
        {"Kestrel", "Hover", {Pattern::Panels, {0.93, 0.96, 1.00}, {0.12, 0.35, 0.85}}, true},
        {"Northwind", "Gale", {Pattern::Stripes, {0.97, 0.97, 0.97}, {0.05, 0.45, 0.70}}, false},
        {"Northwind", "Squall", {Pattern::Stripes, {0.98, 0.86, 0.20}, {0.10, 0.10, 0.12}}, false},
        {"Solano", "Siesta", {Pattern::Swirl, {0.98, 0.95, 0.88}, {0.90, 0.45, 0.08}}, false},
        {"Solano", "Mirage", {Pattern::Swirl, {0.95, 0.95, 0.97}, {0.55, 0.18, 0.62}}, false},
        {"Solano", "Ember", {Pattern::Swirl, {0.99, 0.80, 0.25}, {0.80, 0.10, 0.05}}, true},
        {"Tundra", "Frost", {Pattern::Octants, {1.00, 0.55, 0.10}, {0.20, 0.20, 0.25}}, false},
        {"Tundra", "Polar", {Pattern::Octants, {0.97, 0.98, 1.00}, {0.25, 0.55, 0.80}}, false},
    };
    return balls;
}

Picture drawBallFrame(const BallDesign& design, int index) {
    if (index < 0 || index > 20) {
        throw std::out_of_range("frame index " + std::to_string(index) + " is outside 0..20");
    }
    Picture picture{kFrameSize, kFrameSize, 4, std::vector<std::uint8_t>(kFrameSize * kFrameSize * 4, 0)};
    paintBall(picture, design, framePose(design.pattern, index), kFrameSize / 2.0, kFrameSize / 2.0, 8.0);
    return picture;
}

Picture drawLogo() {
    constexpr int width = 145;
    constexpr int height = 297;
    Picture picture{width, height, 3, std::vector<std::uint8_t>(width * height * 3)};
    const Colour top{0.05, 0.08, 0.20};
    const Colour bottom{0.02, 0.32, 0.30};
    const Colour glow{0.18, 0.30, 0.52};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // A vertical gradient with a soft glow behind the ball.
            const double gx = (x - 72.5) / 80.0;
            const double gy = (y - 100.0) / 90.0;
            const double glowShare = std::max(0.0, 1.0 - (gx * gx + gy * gy)) * 0.55;
            const Colour c = mix(mix(top, bottom, static_cast<double>(y) / (height - 1)), glow, glowShare);
            std::uint8_t* pixel = &picture.pixels[(static_cast<std::size_t>(y) * width + x) * 3];
            pixel[0] = toByte(c.r);
            pixel[1] = toByte(c.g);
            pixel[2] = toByte(c.b);
        }
    }
    // Shadow on the ground, then the ball above it.
    for (int y = 150; y < 172; ++y) {
        for (int x = 20; x < 125; ++x) {
            const double ex = (x + 0.5 - 72.5) / 44.0;
            const double ey = (y + 0.5 - 160.0) / 6.0;
            const double d = ex * ex + ey * ey;
            if (d < 1.0) {
                blendPixel(picture, x, y, {0, 0, 0}, 0.45 * (1.0 - d));
            }
        }
    }
    paintBall(picture, kLogoBall, logoBallPose(), 72.5, 100.0, 50.0);

    const Colour lime{0.81, 1.00, 0.16};
    paintText(picture, "Orbisto", (width - textWidth("Orbisto", 3)) / 2, 182, 3, lime);
    paintText(picture, "3.0", (width - textWidth("3.0", 2)) / 2, 214, 2, {0.92, 0.95, 1.0});

    // Half-way line and centre circle of a pitch along the bottom.
    for (int y = 240; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double dx = x + 0.5 - 72.5;
            const double dy = y + 0.5 - 282.0;
            const double ring = std::abs(std::sqrt(dx * dx + dy * dy) - 30.0);
            const double line = std::abs(y + 0.5 - 282.0);
            const double nearest = std::min(ring, line);
            if (nearest < 1.2) {
                blendPixel(picture, x, y, {1, 1, 1}, 0.40 * (1.2 - nearest) / 1.2);
            }
        }
    }
    return picture;
}

Picture drawIcon(int size) {
    if (size < 1 || size > 1024) {
        throw std::out_of_range("icon size " + std::to_string(size) + " is outside 1..1024");
    }
    Picture picture{size, size, 4, std::vector<std::uint8_t>(static_cast<std::size_t>(size) * size * 4, 0)};
    // The ball fills the square but for a thin margin, as desktop icons of round things do.
    paintBall(picture, kLogoBall, logoBallPose(), size / 2.0, size / 2.0, size * 0.46);
    return picture;
}

std::string iconSvg() {
    constexpr double kCentre = 128;
    constexpr double kRadius = 256 * 0.46;
    std::ostringstream svg;
    svg.setf(std::ios::fixed);
    svg.precision(2);
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"256\" height=\"256\" "
           "viewBox=\"0 0 256 256\">\n"
        << "  <title>Orbisto</title>\n"
        << "  <defs>\n"
        << "    <radialGradient id=\"light\" cx=\"0.36\" cy=\"0.30\" r=\"0.75\">\n"
        << "      <stop offset=\"0\" stop-color=\"#ffffff\" stop-opacity=\"0.60\"/>\n"
        << "      <stop offset=\"0.22\" stop-color=\"#ffffff\" stop-opacity=\"0\"/>\n"
        << "      <stop offset=\"0.55\" stop-color=\"#000000\" stop-opacity=\"0\"/>\n"
        << "      <stop offset=\"1\" stop-color=\"#000000\" stop-opacity=\"0.62\"/>\n"
        << "    </radialGradient>\n"
        << "  </defs>\n"
        << "  <circle cx=\"" << kCentre << "\" cy=\"" << kCentre << "\" r=\"" << kRadius << "\" fill=\""
        << svgColour(kLogoBall.shell) << "\"/>\n";
    for (const Vec& corner : icosahedronCorners()) {
        const auto outline = visiblePanel(patternToView(logoBallPose(), corner), kPanelRadius);
        if (outline.empty()) {
            continue;
        }
        svg << "  <polygon fill=\"" << svgColour(kLogoBall.panel) << "\" points=\"";
        for (std::size_t i = 0; i < outline.size(); ++i) {
            // View space has y up; SVG has y down.
            svg << (i == 0 ? "" : " ") << kCentre + kRadius * outline[i].first << ","
                << kCentre - kRadius * outline[i].second;
        }
        svg << "\"/>\n";
    }
    svg << "  <circle cx=\"" << kCentre << "\" cy=\"" << kCentre << "\" r=\"" << kRadius
        << "\" fill=\"url(#light)\"/>\n"
        << "</svg>\n";
    return svg.str();
}

std::vector<std::uint8_t> encodePng(const Picture& picture) {
    if (picture.channels != 4 ||
        picture.pixels.size() != static_cast<std::size_t>(picture.width) * picture.height * 4) {
        throw std::invalid_argument("PNG encoder: an RGBA picture is expected");
    }
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngFailed, pngWarning);
    if (png == nullptr) {
        throw std::runtime_error("PNG encoder: out of memory");
    }
    png_infop info = png_create_info_struct(png);
    try {
        if (info == nullptr) {
            throw std::runtime_error("PNG encoder: out of memory");
        }
        png_set_write_fn(png, &out, pngAppend, pngFlush);
        png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
                     PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_compression_level(png, 9);
        png_write_info(png, info);
        for (int y = 0; y < picture.height; ++y) {
            png_write_row(png, &picture.pixels[static_cast<std::size_t>(y) * picture.width * 4]);
        }
        png_write_end(png, nullptr);
    } catch (...) {
        png_destroy_write_struct(&png, &info);
        throw;
    }
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<std::uint8_t> encodeJpeg(const Picture& picture, int quality) {
    if (picture.channels != 3 ||
        picture.pixels.size() != static_cast<std::size_t>(picture.width) * picture.height * 3) {
        throw std::invalid_argument("JPEG encoder: an RGB picture is expected");
    }
    jpeg_compress_struct info{};
    JpegErrorExit error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpegFailed;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(error.jump) != 0) {
        // `buffer` may have changed since setjmp, so it is not trusted here: a failed run leaks it.
        jpeg_destroy_compress(&info);
        throw std::runtime_error(std::string("JPEG encoder: ") + error.message);
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(picture.width);
    info.image_height = static_cast<JDIMENSION>(picture.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    info.dct_method = JDCT_ISLOW; // exact integer transform: the same bytes on every machine
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(&picture.pixels[static_cast<std::size_t>(info.next_scanline) * picture.width * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

void appendBallTag(std::vector<std::uint8_t>& bytes, std::string_view text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    const auto length = static_cast<std::uint32_t>(text.size() + 4);
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
    }
}

std::string markerText(bool isNew) {
    return isNew ? "[Sys]\r\nAuth=1\r\nNew=1\r\n" : "[Sys]\r\nAuth=1\r\n";
}

void writeFileAtomically(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    // The temporary name starts with a dot, so a scan of the folder never sees it.
    const fs::path temporary = file.parent_path() / ("." + file.filename().string() + ".part");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            const int err = errno;
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throw std::runtime_error("cannot write " + file.string() + ": " + std::strerror(err));
        }
    }
    std::error_code renamed;
    fs::rename(temporary, file, renamed);
    if (renamed) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw std::runtime_error("cannot write " + file.string() + ": " + renamed.message());
    }
}

void writeSampleData(const fs::path& dataFolder) {
    const auto text = [](std::string_view s) { return std::vector<std::uint8_t>(s.begin(), s.end()); };
    const fs::path balls = dataFolder / "balls";
    fs::create_directories(balls);
    for (const SampleBall& ball : sampleBalls()) {
        const fs::path brandFolder = balls / ball.brand;
        const fs::path ballFolder = brandFolder / ball.ball;
        fs::create_directories(ballFolder);
        writeFileAtomically(brandFolder / "tst.ini", text(markerText(false)));
        writeFileAtomically(ballFolder / "tst.ini", text(markerText(ball.isNew)));
        for (int index = 0; index < 21; ++index) {
            auto bytes = encodePng(drawBallFrame(ball.design, index));
            appendBallTag(bytes, ball.brand + "|" + ball.ball);
            const std::string name = "ball_" + std::to_string(index / 3 + 1) + std::to_string(index % 3 + 1) + ".png";
            writeFileAtomically(ballFolder / name, bytes);
        }
    }
    writeFileAtomically(dataFolder / "logo.jpg", encodeJpeg(drawLogo(), 92));

    const fs::path icons = dataFolder / "icons";
    fs::create_directories(icons);
    for (const int size : kIconSizes) {
        writeFileAtomically(icons / ("orbisto-" + std::to_string(size) + ".png"), encodePng(drawIcon(size)));
    }
    writeFileAtomically(icons / "orbisto.svg", text(iconSvg()));
}

} // namespace orbisto::sample
