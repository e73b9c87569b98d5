#include "scene.h"

#include <cmath>

#include <tags.h>

namespace scene {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kTw = 20;  // twips per pixel
constexpr int kLightStep = 4;  // frames between moves of the lights

swf::Rgba rgba(int r, int g, int b, int a = 255) {
    return {uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(a)};
}

swf::FillStyle gradientFill(swf::FillType type, const swf::Matrix& m, std::vector<swf::GradientRecord> records) {
    swf::FillStyle f;
    f.type = type;
    f.gradient.matrix = m;
    f.gradient.records = std::move(records);
    return f;
}

// Phase of frame k for a motion that repeats `cycles` times per loop.
double phase(int k, double cycles, double offset = 0) { return 2 * kPi * (cycles * k / kLoopFrames + offset); }

// A circle of radius r twips around the origin: eight quadratic curves, clockwise on screen.
void circle(swfw::ShapeWriter& s, int32_t r) {
    const double controlRadius = r / std::cos(kPi / 8);
    s.moveTo(r, 0);
    for (int i = 1; i <= 8; ++i) {
        const double mid = (i - 0.5) * kPi / 4, end = i * kPi / 4;
        s.curveTo(int32_t(std::lround(controlRadius * std::cos(mid))), int32_t(std::lround(controlRadius * std::sin(mid))),
                  int32_t(std::lround(r * std::cos(end))), int32_t(std::lround(r * std::sin(end))));
    }
}

// The evening sky: a vertical gradient over the whole stage.
swfw::Tag sky(uint16_t id) {
    const int32_t w = kWidth * kTw, h = kHeight * kTw;
    const float s = float(h) / 32768.0f;
    swfw::ShapeWriter shape;
    const int fill = shape.addFill(gradientFill(swf::FillType::LinearGradient,
                                                swf::Matrix{0, s, -s, 0, float(w) / 2, float(h) / 2},
                                                {{0, rgba(14, 22, 52)}, {120, rgba(34, 48, 92)},
                                                 {200, rgba(66, 52, 104)}, {255, rgba(96, 62, 112)}}));
    shape.rect(0, 0, w, h, fill);
    return swfw::defineShape(id, 3, swf::Rect{0, w, 0, h}, shape);
}

// A soft light: a disc whose colour fades to nothing at its rim.
swfw::Tag orb(uint16_t id, int32_t radiusPx, swf::Rgba core) {
    const int32_t r = radiusPx * kTw;
    const float s = float(r) / 16384.0f;
    swf::Rgba mid = core, rim = core;
    mid.a = uint8_t(core.a / 3);
    rim.a = 0;
    swfw::ShapeWriter shape;
    shape.fill1(shape.addFill(gradientFill(swf::FillType::RadialGradient, swf::Matrix::scale(s, s),
                                           {{0, core}, {110, mid}, {255, rim}})));
    circle(shape, r);
    return swfw::defineShape(id, 3, swf::Rect{-r, r, -r, r}, shape);
}

// One edge list of a ribbon: a band of even thickness whose top follows a gentle wave across
// the whole width. Start and end shapes share the structure (the morph pairs their edges).
swfw::ShapeWriter ribbonEdges(double wavePhase, double amplitudePx, double thicknessPx) {
    constexpr int kSegments = 10;
    const int32_t segment = kWidth * kTw / (kSegments - 2);
    const double amplitude = amplitudePx * kTw;
    const int32_t thickness = int32_t(thicknessPx * kTw);
    auto x = [&](int i) { return -segment + i * segment; };
    auto y = [&](double i) { return int32_t(std::lround(amplitude * std::sin(wavePhase + i * kPi / 2.5))); };
    swfw::ShapeWriter s;
    s.fill1(1);
    s.moveTo(x(0), y(0));
    for (int i = 0; i < kSegments; ++i) s.curveTo(x(i) + segment / 2, y(i + 0.5) * 4 / 3, x(i + 1), y(i + 1));
    s.lineTo(x(kSegments), y(kSegments) + thickness);
    for (int i = kSegments; i > 0; --i) {
        s.curveTo(x(i) - segment / 2, y(i - 0.5) * 4 / 3 + thickness, x(i - 1), y(i - 1) + thickness);
    }
    s.lineTo(x(0), y(0));
    return s;
}

swfw::Tag ribbon(uint16_t id, swf::Rgba left, swf::Rgba right, swf::Rgba left2, swf::Rgba right2) {
    const float s = float(kWidth * kTw) / 32768.0f;
    const swf::Matrix across{s, 0, 0, s, float(kWidth * kTw) / 2, 0};
    swfw::MorphFillPair fill;
    fill.start = gradientFill(swf::FillType::LinearGradient, across, {{0, left}, {255, right}});
    fill.end = gradientFill(swf::FillType::LinearGradient, across, {{0, left2}, {255, right2}});
    const int32_t margin = 140 * kTw, w = kWidth * kTw;
    return swfw::defineMorphShape(id, swf::Rect{-w / 4, w + w / 4, -margin, margin + 70 * kTw},
                                  swf::Rect{-w / 4, w + w / 4, -margin, margin + 70 * kTw}, {fill}, {},
                                  ribbonEdges(0.0, 30, 64), ribbonEdges(kPi * 0.8, 44, 48));
}

// A firefly: a small warm glow whose brightness pulses on the sprite's own timeline.
std::vector<swfw::Tag> firefly(uint16_t glowId, uint16_t spriteId) {
    std::vector<swfw::Tag> tags;
    tags.push_back(orb(glowId, 9, rgba(255, 236, 170, 230)));
    constexpr int kFrames = 48;
    std::vector<swfw::Tag> frames;
    for (int k = 0; k < kFrames; ++k) {
        swfw::Place p;
        p.depth = 1;
        if (k == 0) {
            p.character = glowId;
            p.matrix = swf::Matrix{};
        } else {
            p.move = true;
        }
        swf::ColorTransform glow;
        glow.aMul = int16_t(256 * (0.35 + 0.65 * (0.5 + 0.5 * std::cos(2 * kPi * k / kFrames))));
        p.colorTransform = glow;
        frames.push_back(swfw::placeObject2(p));
        frames.push_back(swfw::Tag{1, {}});  // ShowFrame
    }
    tags.push_back(swfw::defineSprite(spriteId, kFrames, frames));
    return tags;
}

struct Light {
    uint16_t character;
    double x, y;          // centre of its path, pixels
    double rx, ry;        // path radii
    double cycles;        // turns per loop on the path
    double offset;        // phase offset, in turns
    double breathe;       // scale swing
};

struct Firefly {
    double x, y;  // start, pixels
    double drift;  // sideways sway, pixels
    double offset;
    int riseCycles;  // times it rises through the sky per loop
};

swf::Matrix placeAt(double xPx, double yPx, double scale = 1.0) {
    return swf::Matrix{float(scale), 0, 0, float(scale), float(xPx * kTw), float(yPx * kTw)};
}

}  // namespace

std::vector<uint8_t> buildMovie() {
    swfw::MovieWriter m(8, kWidth, kHeight, kFrameRate);
    m.add(swfw::setBackgroundColor(rgba(14, 22, 52)));

    enum : uint16_t { kSky = 1, kPink, kCyan, kGold, kLavender, kRibbonA, kRibbonB, kGlow, kFirefly };
    m.add(sky(kSky));
    m.add(orb(kPink, 150, rgba(255, 150, 190, 120)));
    m.add(orb(kCyan, 170, rgba(120, 210, 255, 110)));
    m.add(orb(kGold, 120, rgba(255, 210, 140, 120)));
    m.add(orb(kLavender, 190, rgba(180, 160, 255, 100)));
    m.add(ribbon(kRibbonA, rgba(90, 200, 220, 110), rgba(150, 120, 230, 110), rgba(150, 120, 230, 120),
                 rgba(240, 150, 200, 110)));
    m.add(ribbon(kRibbonB, rgba(240, 170, 210, 80), rgba(110, 190, 240, 80), rgba(120, 220, 200, 90),
                 rgba(240, 200, 150, 80)));
    for (auto& tag : firefly(kGlow, kFirefly)) m.add(std::move(tag));

    const Light lights[] = {
        {kLavender, 250, 200, 70, 35, 1, 0.00, 0.10},
        {kCyan, 560, 260, 80, 45, 1, 0.35, 0.12},
        {kPink, 420, 150, 90, 30, 1, 0.60, 0.08},
        {kGold, 640, 120, 60, 30, 1, 0.80, 0.15},
    };
    const Firefly flies[] = {
        {90, 560, 14, 0.00, 1}, {210, 600, 10, 0.40, 2}, {330, 580, 18, 0.75, 1}, {470, 610, 12, 0.20, 1},
        {590, 570, 16, 0.55, 2}, {700, 600, 12, 0.90, 1}, {150, 590, 20, 0.65, 1}, {760, 585, 10, 0.30, 2},
    };
    constexpr uint16_t kSkyDepth = 1, kLightDepth = 10, kRibbonDepth = 30, kFlyDepth = 40;

    for (int k = 0; k < kLoopFrames; ++k) {
        const bool first = k == 0;
        if (first) m.add(swfw::placeObject2({kSkyDepth, kSky, false, swf::Matrix{}}));
        // The lights drift a little every few frames only: they are large and soft, so a step
        // of a few pixels does not show, and the frames between redraw just the ribbons and
        // the fireflies over them.
        for (size_t i = 0; k % kLightStep == 0 && i < sizeof lights / sizeof lights[0]; ++i) {
            const Light& l = lights[i];
            const double a = phase(k, l.cycles, l.offset);
            const double scale = 1.0 + l.breathe * std::sin(phase(k, 1, l.offset));
            swfw::Place p{uint16_t(kLightDepth + i), std::nullopt, !first,
                          placeAt(l.x + l.rx * std::cos(a), l.y + l.ry * std::sin(a), scale)};
            if (first) p.character = l.character;
            m.add(swfw::placeObject2(p));
        }
        // The ribbons sway: morph ratio and a slow vertical drift, the second mirrored.
        const double sway = 0.5 - 0.5 * std::cos(phase(k, 2));
        const double sway2 = 0.5 - 0.5 * std::cos(phase(k, 3, 0.25));
        swfw::Place ra{kRibbonDepth, std::nullopt, !first, placeAt(0, 410 + 12 * std::sin(phase(k, 1)))};
        ra.ratio = uint16_t(std::lround(sway * 65535));
        swfw::Place rb{uint16_t(kRibbonDepth + 1), std::nullopt, !first,
                       swf::Matrix{-1, 0, 0, 1, float(kWidth * kTw), float((455 + 10 * std::sin(phase(k, 1, 0.5))) * kTw)}};
        rb.ratio = uint16_t(std::lround(sway2 * 65535));
        if (first) {
            ra.character = kRibbonA;
            rb.character = kRibbonB;
        }
        m.add(swfw::placeObject2(ra));
        m.add(swfw::placeObject2(rb));
        // Fireflies rise from the ribbons and fade into the sky, swaying a little.
        for (size_t i = 0; i < sizeof flies / sizeof flies[0]; ++i) {
            const Firefly& f = flies[i];
            double t = double(k) * f.riseCycles / kLoopFrames + f.offset;
            t -= std::floor(t);
            const double x = f.x + f.drift * std::sin(2 * kPi * (t * 3 + f.offset));
            const double y = f.y - t * 520;
            swfw::Place p{uint16_t(kFlyDepth + i), std::nullopt, !first, placeAt(x, y, 0.7 + 0.5 * (1 - t))};
            swf::ColorTransform fade;
            fade.aMul = int16_t(256 * std::min(1.0, std::min(t * 6, (1 - t) * 2.5)));
            p.colorTransform = fade;
            if (first) p.character = kFirefly;
            m.add(swfw::placeObject2(p));
        }
        m.showFrame();
    }
    return m.build(true);
}

}  // namespace scene
