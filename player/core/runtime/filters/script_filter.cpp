#include "script_filter.h"

#include <algorithm>
#include <cmath>

namespace swf::filters {
namespace {

constexpr double kPi = 3.14159265358979323846;

Rgba colorOf(uint32_t rgb, uint8_t alpha) {
    return Rgba{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), alpha};
}
uint32_t rgbOf(Rgba c) { return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b; }

// BitmapDataChannel (1, 2, 4, 8) to the renderer's component (0 red .. 3 alpha); -1: none.
int componentIndex(int channel) {
    switch (channel) {
        case 1: return 0;
        case 2: return 1;
        case 4: return 2;
        case 8: return 3;
        default: return -1;
    }
}

float finite(double v) { return std::isfinite(v) ? float(v) : 0.0f; }

}  // namespace

double wrapAngle(double degrees) { return std::fmod(degrees, 360.0); }

ScriptFilter defaultFilter(FilterKind kind) {
    ScriptFilter f;
    f.kind = kind;
    switch (kind) {
        case FilterKind::Glow:
            f.color = 0xff0000;
            f.blurX = f.blurY = 6;
            f.strength = 2;
            break;
        case FilterKind::Convolution:
        case FilterKind::DisplacementMap:
            f.alpha = 0;
            break;
        default: break;
    }
    return f;
}

Filter toRenderFilter(const ScriptFilter& s, std::shared_ptr<const Bitmap> map) {
    Filter f;
    f.kind = s.kind;
    f.blurX = finite(s.blurX);
    f.blurY = finite(s.blurY);
    f.passes = s.quality;
    // Only shadows, bevels and the gradient filters are offset; a glow stays centred.
    const bool offset = s.kind == FilterKind::DropShadow || s.kind == FilterKind::Bevel ||
                        s.kind == FilterKind::GradientGlow || s.kind == FilterKind::GradientBevel;
    f.angle = offset && std::isfinite(s.angle) ? s.angle * kPi / 180 : 0;
    f.distance = offset ? std::clamp(finite(s.distance), -kMaxFilterDistance, kMaxFilterDistance) : 0.0f;
    f.strength = finite(s.strength);
    f.color = colorOf(s.color, s.alpha);
    f.knockout = s.knockout;
    switch (s.kind) {
        case FilterKind::DropShadow:
            f.inner = s.inner;
            f.hideObject = s.hideObject;
            break;
        case FilterKind::Glow: f.inner = s.inner; break;
        case FilterKind::Bevel:
        case FilterKind::GradientGlow:
        case FilterKind::GradientBevel:
            f.highlight = colorOf(s.highlightColor, s.highlightAlpha);
            f.inner = s.side == EffectSide::Inner;
            f.onTop = s.side == EffectSide::Full;
            for (size_t i = 0; i < s.stopCount; ++i)
                f.gradient.push_back(GradientRecord{s.stops[i].ratio, colorOf(s.stops[i].rgb, s.stops[i].alpha)});
            break;
        case FilterKind::ColorMatrix:
            for (size_t i = 0; i < 20; ++i) f.matrix[i] = float(s.colorMatrix[i]);
            break;
        case FilterKind::Convolution: {
            f.columns = std::clamp(s.matrixX, 0, kMaxKernelSide);
            f.rows = std::clamp(s.matrixY, 0, kMaxKernelSide);
            const size_t cells = size_t(f.columns * f.rows);
            f.kernel.assign(cells, 0.0f);
            for (size_t i = 0; i < cells && i < s.kernel.size(); ++i) f.kernel[i] = float(s.kernel[i]);
            f.divisor = float(s.divisor);
            f.bias = float(s.bias);
            f.preserveAlpha = s.preserveAlpha;
            f.clamp = s.clamp;
            f.defaultColor = f.color;
            break;
        }
        case FilterKind::DisplacementMap: {
            f.map = std::move(map);
            f.mapX = s.mapX;
            f.mapY = s.mapY;
            const int cx = componentIndex(s.componentX), cy = componentIndex(s.componentY);
            // A channel number that names no channel displaces nothing along its axis.
            f.componentX = uint8_t(std::max(cx, 0));
            f.componentY = uint8_t(std::max(cy, 0));
            f.scaleX = cx < 0 ? 0.0f : finite(s.scaleX);
            f.scaleY = cy < 0 ? 0.0f : finite(s.scaleY);
            f.mode = s.mode;
            f.fillColor = f.color;
            break;
        }
        case FilterKind::Blur: break;
    }
    return f;
}

ScriptFilter fromRenderFilter(const Filter& f) {
    ScriptFilter s = defaultFilter(f.kind);
    s.blurX = f.blurX;
    s.blurY = f.blurY;
    s.quality = std::clamp(f.passes, 0, kMaxFilterPasses);
    s.angle = f.angle * 180 / kPi;
    s.distance = f.distance;
    s.strength = f.strength;
    s.color = rgbOf(f.color);
    s.alpha = f.color.a;
    s.knockout = f.knockout;
    s.inner = f.inner;
    s.hideObject = f.hideObject;
    switch (f.kind) {
        case FilterKind::Bevel:
        case FilterKind::GradientGlow:
        case FilterKind::GradientBevel:
            s.highlightColor = rgbOf(f.highlight);
            s.highlightAlpha = f.highlight.a;
            s.side = f.onTop ? EffectSide::Full : f.inner ? EffectSide::Inner : EffectSide::Outer;
            for (const GradientRecord& g : f.gradient) {
                if (s.stopCount == kMaxGradientStops) break;
                s.stops[s.stopCount++] = GradientStop{rgbOf(g.color), g.color.a, g.ratio};
            }
            break;
        case FilterKind::ColorMatrix:
            for (size_t i = 0; i < 20; ++i) s.colorMatrix[i] = f.matrix[i];
            break;
        case FilterKind::Convolution:
            s.matrixX = f.columns;
            s.matrixY = f.rows;
            s.kernel.assign(f.kernel.begin(), f.kernel.end());
            s.divisor = f.divisor;
            s.bias = f.bias;
            s.preserveAlpha = f.preserveAlpha;
            s.clamp = f.clamp;
            s.color = rgbOf(f.defaultColor);
            s.alpha = f.defaultColor.a;
            break;
        case FilterKind::DisplacementMap: {
            s.mapX = f.mapX;
            s.mapY = f.mapY;
            const int channels[] = {1, 2, 4, 8};
            s.componentX = channels[f.componentX & 3];
            s.componentY = channels[f.componentY & 3];
            s.scaleX = f.scaleX;
            s.scaleY = f.scaleY;
            s.mode = f.mode;
            s.color = rgbOf(f.fillColor);
            s.alpha = f.fillColor.a;
            break;
        }
        default: break;
    }
    return s;
}

}  // namespace swf::filters
