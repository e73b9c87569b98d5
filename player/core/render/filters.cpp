#include "filters.h"

#include <algorithm>
#include <cmath>

#include "gradient_ramp.h"
#include "pixel_math.h"

namespace swf::render {

// Colour filters (filter_color.cpp).
void applyColorMatrix(const Filter& f, ChannelPlane& plane, bool reference);
void applyConvolution(const Filter& f, ChannelPlane& plane, bool reference);
void applyDisplacement(const Filter& f, ChannelPlane& plane, bool reference);

namespace {

void readArea(const Canvas& pixels, IntRect area, ChannelPlane& plane) {
    plane.reshape(area.x1 - area.x0, area.y1 - area.y0, 4);
    for (int y = area.y0; y < area.y1; ++y) {
        const uint32_t* row = pixels.row(y) + area.x0;
        uint8_t* out = plane.row(y - area.y0);
        for (int x = 0; x < plane.width; ++x, out += 4) {
            const uint32_t p = row[x];
            out[0] = uint8_t(p), out[1] = uint8_t(p >> 8), out[2] = uint8_t(p >> 16), out[3] = uint8_t(p >> 24);
        }
    }
}

void writeArea(const ChannelPlane& plane, Canvas& pixels, IntRect area) {
    for (int y = area.y0; y < area.y1; ++y) {
        uint32_t* row = pixels.row(y) + area.x0;
        const uint8_t* in = plane.row(y - area.y0);
        for (int x = 0; x < plane.width; ++x, in += 4) row[x] = packPixel(in[3], in[2], in[1], in[0]);
    }
}

uint32_t planePixel(const ChannelPlane& plane, int x, int y) {
    const uint8_t* p = plane.row(y) + size_t(x) * 4;
    return packPixel(p[3], p[2], p[1], p[0]);
}

void blur(ChannelPlane& plane, const Filter& f, FilterScratch& scratch, bool reference) {
    const int rx = blurRadius(f.blurX), ry = blurRadius(f.blurY), passes = filterPasses(f);
    if (reference) {
        boxBlurReference(plane, rx, ry, passes);
    } else {
        boxBlur(plane, rx, ry, passes, scratch.blurTemp);
    }
}

// The object's alpha, or its complement.
void alphaPlane(const ChannelPlane& color, bool inverted, ChannelPlane& alpha) {
    alpha.reshape(color.width, color.height, 1);
    const size_t n = size_t(color.width) * size_t(color.height);
    for (size_t i = 0; i < n; ++i) {
        const uint8_t a = color.bytes[i * 4 + 3];
        alpha.bytes[i] = inverted ? uint8_t(255 - a) : a;
    }
}

// The plane's value at (x - dx, y - dy); beyond the plane `outside`.
uint8_t shiftedAt(const ChannelPlane& p, int x, int y, int dx, int dy, uint8_t outside) {
    x -= dx;
    y -= dy;
    if (x < 0 || y < 0 || x >= p.width || y >= p.height) return outside;
    return p.bytes[size_t(y) * size_t(p.width) + size_t(x)];
}

// Strength in 1/256 steps, as the file stores it; the product saturates at full alpha.
uint32_t strengthen(uint32_t value, uint32_t strength256) { return std::min<uint32_t>(255, (value * strength256 + 128) >> 8); }

struct EffectSetup {
    int dx = 0, dy = 0;
    uint32_t strength256 = 256;
};

EffectSetup setupOf(const Filter& f) {
    EffectSetup s;
    const float distance = std::isfinite(f.distance) ? std::clamp(f.distance, -kMaxFilterDistance, kMaxFilterDistance) : 0;
    const float angle = std::isfinite(f.angle) ? float(f.angle) : 0.0f;
    s.dx = int(std::lround(std::cos(angle) * distance));
    s.dy = int(std::lround(std::sin(angle) * distance));
    const float strength = std::isfinite(f.strength) ? std::clamp(f.strength, 0.0f, 255.0f) : 0;
    s.strength256 = uint32_t(std::lround(strength * 256));
    return s;
}

// The effect's colour at one pixel, from the blurred alpha: one colour scaled by the strength,
// or a gradient entry chosen by it.
struct EffectColors {
    uint32_t color = 0, highlight = 0;
    GradientRamp ramp;
    bool gradient = false;
};

EffectColors colorsOf(const Filter& f) {
    EffectColors c;
    c.color = premultiply(f.color);
    c.highlight = premultiply(f.highlight);
    if (f.kind == FilterKind::GradientGlow || f.kind == FilterKind::GradientBevel) {
        Gradient g;
        g.records = f.gradient;
        c.ramp = buildGradientRamp(g, ColorTransform{});
        c.gradient = !c.ramp.empty;
    }
    return c;
}

// Puts the effect with the object: `effect` is already limited to where it shows.
uint32_t combine(const Filter& f, uint32_t object, uint32_t effect, bool inner) {
    if (f.knockout || f.hideObject) return effect;
    if (inner || f.onTop) return sourceOver(effect, object);
    return sourceOver(object, effect);
}

// Drop shadow, glow and gradient glow.
void shadow(const Filter& f, ChannelPlane& color, FilterScratch& scratch, bool reference) {
    const EffectSetup s = setupOf(f);
    const EffectColors colors = colorsOf(f);
    if (f.kind == FilterKind::GradientGlow && !colors.gradient) return;
    const bool inner = f.inner;
    // Inner effects spread the outside inwards: the blurred alpha inverted, so that beyond the
    // layer counts as outside (and the result does not depend on how far the layer reaches).
    alphaPlane(color, false, scratch.alpha);
    blur(scratch.alpha, f, scratch, reference);
    if (inner) {
        for (uint8_t& v : scratch.alpha.bytes) v = uint8_t(255 - v);
    }
    for (int y = 0; y < color.height; ++y) {
        for (int x = 0; x < color.width; ++x) {
            const uint32_t object = planePixel(color, x, y);
            const uint32_t objectAlpha = alphaOf(object);
            const uint32_t v = strengthen(shiftedAt(scratch.alpha, x, y, s.dx, s.dy, inner ? 255 : 0), s.strength256);
            uint32_t effect = colors.gradient ? colors.ramp.colors[v] : scalePixel(colors.color, v);
            // Inner: only over the object; knockout outer: only around it.
            if (inner) effect = scalePixel(effect, objectAlpha);
            else if (f.knockout) effect = scalePixel(effect, 255 - objectAlpha);
            const uint32_t out = combine(f, object, effect, inner);
            uint8_t* p = color.row(y) + size_t(x) * 4;
            p[0] = uint8_t(out), p[1] = uint8_t(out >> 8), p[2] = uint8_t(out >> 16), p[3] = uint8_t(out >> 24);
        }
    }
}

// Bevel and gradient bevel: the blurred alpha a distance down the angle minus the one a distance
// up it. With the angle pointing down-right (45 degrees), a square's top-left rim is lit (the
// highlight) and its bottom-right rim shaded.
void bevel(const Filter& f, ChannelPlane& color, FilterScratch& scratch, bool reference) {
    const EffectSetup s = setupOf(f);
    const EffectColors colors = colorsOf(f);
    if (f.kind == FilterKind::GradientBevel && !colors.gradient) return;
    alphaPlane(color, false, scratch.alpha);
    blur(scratch.alpha, f, scratch, reference);
    for (int y = 0; y < color.height; ++y) {
        for (int x = 0; x < color.width; ++x) {
            const uint32_t object = planePixel(color, x, y);
            const uint32_t objectAlpha = alphaOf(object);
            const int lit = shiftedAt(scratch.alpha, x, y, -s.dx, -s.dy, 0);
            const int shaded = shiftedAt(scratch.alpha, x, y, s.dx, s.dy, 0);
            const int difference = lit - shaded;  // > 0: the side facing the light
            uint32_t effect;
            if (colors.gradient) {
                const int signedStrength = int(strengthen(uint32_t(std::abs(difference)), s.strength256));
                // Ratio 0 is the highlight, 255 the shadow.
                effect = colors.ramp.colors[size_t(std::clamp(128 - (difference < 0 ? -signedStrength : signedStrength) / 2, 0, 255))];
            } else {
                const uint32_t v = strengthen(uint32_t(std::abs(difference)), s.strength256);
                effect = scalePixel(difference > 0 ? colors.highlight : colors.color, v);
            }
            // Inner: over the object only; outer: around it only; full (on top): both.
            if (f.inner) effect = scalePixel(effect, objectAlpha);
            else if (!f.onTop) effect = scalePixel(effect, 255 - objectAlpha);
            const uint32_t out = combine(f, object, effect, f.inner);
            uint8_t* p = color.row(y) + size_t(x) * 4;
            p[0] = uint8_t(out), p[1] = uint8_t(out >> 8), p[2] = uint8_t(out >> 16), p[3] = uint8_t(out >> 24);
        }
    }
}

}  // namespace

void applyFilter(const Filter& filter, Canvas& pixels, IntRect area, FilterScratch& scratch, bool reference) {
    if (area.empty()) return;
    readArea(pixels, area, scratch.color);
    switch (filter.kind) {
        case FilterKind::Blur: blur(scratch.color, filter, scratch, reference); break;
        case FilterKind::DropShadow:
        case FilterKind::Glow:
        case FilterKind::GradientGlow: shadow(filter, scratch.color, scratch, reference); break;
        case FilterKind::Bevel:
        case FilterKind::GradientBevel: bevel(filter, scratch.color, scratch, reference); break;
        case FilterKind::ColorMatrix: applyColorMatrix(filter, scratch.color, reference); break;
        case FilterKind::Convolution: applyConvolution(filter, scratch.color, reference); break;
        case FilterKind::DisplacementMap: applyDisplacement(filter, scratch.color, reference); break;
    }
    writeArea(scratch.color, pixels, area);
}

}  // namespace swf::render
