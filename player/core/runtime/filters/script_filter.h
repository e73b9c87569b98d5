// A flash.filters object's numbers as scripts read them back: kept apart from the renderer's
// Filter because the original keeps what was set (an angle in degrees as given, a kernel of
// any length, the map's BitmapData object), and converts only when the filter is used.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "../../filter.h"

namespace swf::filters {

// Which sides a bevel or gradient filter draws: the object's inside, outside, or both.
enum class EffectSide : uint8_t { Inner, Outer, Full };

struct GradientStop {
    uint32_t rgb = 0;
    uint8_t alpha = 0;
    uint8_t ratio = 0;
};

constexpr size_t kMaxGradientStops = 16;
constexpr int kMaxKernelSide = 15;
// The default angle: 45 degrees as the original stores it (0.785398163 radians).
constexpr double kDefaultAngle = 44.9999999772279;

struct ScriptFilter {
    FilterKind kind = FilterKind::Blur;
    double blurX = 4, blurY = 4;
    int quality = 1;
    double distance = 4;
    double angle = kDefaultAngle;  // degrees
    double strength = 1;
    uint32_t color = 0;            // shadow, glow, convolution and displacement colour; a bevel's shadow
    uint8_t alpha = 255;
    uint32_t highlightColor = 0xffffff;
    uint8_t highlightAlpha = 255;
    bool inner = false, knockout = false, hideObject = false;
    EffectSide side = EffectSide::Inner;
    // Gradient stops: the first stopCount are in use; the others keep their values, and a
    // longer colors array brings them back.
    std::array<GradientStop, kMaxGradientStops> stops{};
    size_t stopCount = 0;
    std::array<double, 20> colorMatrix{1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};
    int matrixX = 0, matrixY = 0;
    std::vector<double> kernel;
    double divisor = 1, bias = 0;
    bool preserveAlpha = true, clamp = true;
    int mapX = 0, mapY = 0;
    int componentX = 0, componentY = 0;  // BitmapDataChannel numbers: 1 red, 2 green, 4 blue, 8 alpha
    double scaleX = 0, scaleY = 0;
    DisplacementMode mode = DisplacementMode::Wrap;
};

// A new filter of the kind with the original's defaults (a glow is red, 6 pixels, strength 2).
ScriptFilter defaultFilter(FilterKind kind);
// What the renderer draws (sizes in stage pixels); `map` is the displacement map's pixels.
Filter toRenderFilter(const ScriptFilter& f, std::shared_ptr<const Bitmap> map = nullptr);
// A filter placed by the timeline (or set earlier by script) as scripts read it.
ScriptFilter fromRenderFilter(const Filter& f);

// Whole degrees kept as given, the sign kept: 361 is 1, -1 stays -1.
double wrapAngle(double degrees);

}  // namespace swf::filters
