// Blend modes and bitmap filters as the renderer applies them to an offscreen layer. Sizes are device pixels:
// whoever builds a Filter from a movie scales the blur and the distance by the stage transform
// (a blur of 10 at 2x zoom is 20 pixels). Nothing here knows the file format.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "bitmap.h"
#include "geometry.h"
#include "shape.h"

namespace swf {

// How a layer combines with what lies beneath it (see render/blend_modes.h for the formulas).
enum class BlendMode : uint8_t {
    Normal, Layer, Multiply, Screen, Lighten, Darken, Difference, Add, Subtract, Invert, Alpha, Erase,
    Overlay, HardLight
};

enum class FilterKind : uint8_t {
    Blur, DropShadow, Glow, Bevel, GradientGlow, GradientBevel, ColorMatrix, Convolution, DisplacementMap
};

enum class DisplacementMode : uint8_t { Wrap, Clamp, Ignore, Color };

struct Filter {
    FilterKind kind = FilterKind::Blur;

    // Blur and everything built on a blurred alpha (shadow, glow, bevel and their gradients).
    float blurX = 0, blurY = 0;  // box width in device pixels
    int passes = 1;              // 1 low, 2 medium, 3 high (0 none); more look closer to a Gaussian
    double angle = 0;            // radians, clockwise from +x (y grows downwards); double, as scripts read it back
    float distance = 0;          // offset of the shadow, in device pixels
    float strength = 1;          // multiplies the blurred alpha
    Rgba color{0, 0, 0, 255};    // shadow or glow colour; a bevel's shadow colour
    Rgba highlight{255, 255, 255, 255};  // a bevel's lit side
    bool inner = false;          // inside the object's shape instead of around it
    bool knockout = false;       // the object itself is cut out, only the effect stays
    bool hideObject = false;     // the effect alone, without the object (drop shadow)
    bool onTop = false;          // bevel: the effect over the object rather than under it
    std::vector<GradientRecord> gradient;  // gradient glow and bevel: colours by strength

    // Colour matrix: rows r, g, b, a of (r, g, b, a, offset) on straight colour in 0..255.
    std::array<float, 20> matrix{1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};

    // Convolution: a columns x rows kernel centred on the pixel, on straight colour.
    int columns = 0, rows = 0;
    std::vector<float> kernel;
    float divisor = 1, bias = 0;
    bool preserveAlpha = true;
    bool clamp = true;           // outside the layer repeats the edge, else defaultColor
    Rgba defaultColor{0, 0, 0, 0};

    // Displacement map: each pixel takes the one (component - 128) x scale / 256 away.
    std::shared_ptr<const Bitmap> map;  // premultiplied, like every bitmap
    int mapX = 0, mapY = 0;             // where the map's top left lies, in layer pixels
    uint8_t componentX = 0, componentY = 0;  // 0 red, 1 green, 2 blue, 3 alpha
    float scaleX = 0, scaleY = 0;
    DisplacementMode mode = DisplacementMode::Wrap;
    Rgba fillColor{0, 0, 0, 0};
};

// Largest sizes a filter may ask for; larger are clamped (they would only cost time).
constexpr float kMaxFilterBlur = 255;
constexpr int kMaxFilterPasses = 15;
constexpr float kMaxFilterDistance = 2048;
constexpr int kMaxConvolutionSide = 15;

// Half the box of one blur pass along an axis, in whole pixels: the box spans 2 r + 1 pixels,
// so blurs under 2 pixels leave the axis alone.
inline int blurRadius(float blur) {
    if (!(blur > 0)) return 0;
    return int(std::fmin(blur, kMaxFilterBlur) * 0.5f);
}

// Quality 0 (a pass count of 0) blurs nothing; shadows and glows then keep a hard edge.
inline int filterPasses(const Filter& f) { return f.passes < 0 ? 0 : f.passes > kMaxFilterPasses ? kMaxFilterPasses : f.passes; }

// How far a filter moves colour, in device pixels on each side: the caller widens the layer
// (and the changed area of the object) by this much.
struct FilterReach {
    int left = 0, top = 0, right = 0, bottom = 0;
};
FilterReach filterReach(const std::vector<Filter>& filters);

}  // namespace swf
