#include "blend_modes.h"

#include <algorithm>

#include "pixel_math.h"

namespace swf::render {
namespace {

uint32_t channel(uint32_t p, int shift) { return (p >> shift) & 0xffu; }

// Source-over alpha, shared by every mode that covers like paint.
uint32_t unionAlpha(uint32_t sa, uint32_t da) { return sa + da - div255(sa * da); }

// Terms of a separable mode: the blended part where both are opaque, plus each side where the
// other is absent; `mixed` is already multiplied by 255 (it is B(s, d) sa da in 0..255^2).
uint32_t separable(uint32_t mixed, uint32_t s, uint32_t d, uint32_t sa, uint32_t da) {
    return div255(mixed + s * (255 - da) + d * (255 - sa));
}

uint32_t overlayTerm(uint32_t s, uint32_t d, uint32_t sa, uint32_t da, bool hard) {
    const bool low = hard ? 2 * s <= sa : 2 * d <= da;
    if (low) return 2 * s * d;
    const uint32_t shade = 2 * (da - d) * (sa - s);
    const uint32_t full = sa * da;
    return shade >= full ? 0 : full - shade;
}

template <BlendMode Mode>
uint32_t blendChannels(uint32_t src, uint32_t dst) {
    const uint32_t sa = alphaOf(src), da = alphaOf(dst);
    uint32_t a = unionAlpha(sa, da);
    switch (Mode) {
        case BlendMode::Normal:
        case BlendMode::Layer: return sourceOver(src, dst);
        case BlendMode::Add: return packPixel(std::min<uint32_t>(sa + da, 255), std::min<uint32_t>(channel(src, 16) + channel(dst, 16), 255),
                                              std::min<uint32_t>(channel(src, 8) + channel(dst, 8), 255),
                                              std::min<uint32_t>(channel(src, 0) + channel(dst, 0), 255));
        case BlendMode::Alpha: return scalePixel(dst, sa);
        case BlendMode::Erase: return scalePixel(dst, 255 - sa);
        case BlendMode::Invert: a = da; break;
        default: break;
    }
    uint32_t out[3];
    for (int i = 0; i < 3; ++i) {
        const int shift = 16 - 8 * i;
        const uint32_t s = channel(src, shift), d = channel(dst, shift);
        uint32_t c = 0;
        switch (Mode) {
            case BlendMode::Multiply: c = separable(s * d, s, d, sa, da); break;
            case BlendMode::Screen: c = s + d - div255(s * d); break;
            case BlendMode::Lighten: c = separable(std::max(s * da, d * sa), s, d, sa, da); break;
            case BlendMode::Darken: c = separable(std::min(s * da, d * sa), s, d, sa, da); break;
            case BlendMode::Difference: c = div255(255 * (s + d) - 2 * std::min(s * da, d * sa)); break;
            case BlendMode::Subtract: c = d > s ? d - s : 0; break;
            case BlendMode::Invert: c = div255(d * (255 - sa) + (da - std::min(d, da)) * sa); break;
            case BlendMode::Overlay: c = separable(overlayTerm(s, d, sa, da, false), s, d, sa, da); break;
            case BlendMode::HardLight: c = separable(overlayTerm(s, d, sa, da, true), s, d, sa, da); break;
            default: break;
        }
        out[i] = std::min(c, a);
    }
    return packPixel(a, out[0], out[1], out[2]);
}

template <BlendMode Mode>
void blendLoop(const uint32_t* src, uint32_t* dst, int count) {
    for (int i = 0; i < count; ++i) {
        const uint32_t s = src[i];
        if (s == 0) continue;
        dst[i] = blendChannels<Mode>(s, dst[i]);
    }
}

}  // namespace

uint32_t blendPixel(BlendMode mode, uint32_t src, uint32_t dst) {
    // A pixel the layer did not draw changes nothing, whatever the mode: alpha and erase act
    // under the object's shape only.
    if (src == 0) return dst;
    switch (mode) {
        case BlendMode::Normal: return blendChannels<BlendMode::Normal>(src, dst);
        case BlendMode::Layer: return blendChannels<BlendMode::Layer>(src, dst);
        case BlendMode::Multiply: return blendChannels<BlendMode::Multiply>(src, dst);
        case BlendMode::Screen: return blendChannels<BlendMode::Screen>(src, dst);
        case BlendMode::Lighten: return blendChannels<BlendMode::Lighten>(src, dst);
        case BlendMode::Darken: return blendChannels<BlendMode::Darken>(src, dst);
        case BlendMode::Difference: return blendChannels<BlendMode::Difference>(src, dst);
        case BlendMode::Add: return blendChannels<BlendMode::Add>(src, dst);
        case BlendMode::Subtract: return blendChannels<BlendMode::Subtract>(src, dst);
        case BlendMode::Invert: return blendChannels<BlendMode::Invert>(src, dst);
        case BlendMode::Alpha: return blendChannels<BlendMode::Alpha>(src, dst);
        case BlendMode::Erase: return blendChannels<BlendMode::Erase>(src, dst);
        case BlendMode::Overlay: return blendChannels<BlendMode::Overlay>(src, dst);
        case BlendMode::HardLight: return blendChannels<BlendMode::HardLight>(src, dst);
    }
    return blendChannels<BlendMode::Normal>(src, dst);
}

void blendRow(BlendMode mode, const uint32_t* src, uint32_t* dst, int count) {
    switch (mode) {
        case BlendMode::Normal:
        case BlendMode::Layer:
            // The common case, branch-free so that it vectorises.
            for (int i = 0; i < count; ++i) dst[i] = sourceOverBranchless(src[i], dst[i]);
            return;
        case BlendMode::Multiply: return blendLoop<BlendMode::Multiply>(src, dst, count);
        case BlendMode::Screen: return blendLoop<BlendMode::Screen>(src, dst, count);
        case BlendMode::Lighten: return blendLoop<BlendMode::Lighten>(src, dst, count);
        case BlendMode::Darken: return blendLoop<BlendMode::Darken>(src, dst, count);
        case BlendMode::Difference: return blendLoop<BlendMode::Difference>(src, dst, count);
        case BlendMode::Add: return blendLoop<BlendMode::Add>(src, dst, count);
        case BlendMode::Subtract: return blendLoop<BlendMode::Subtract>(src, dst, count);
        case BlendMode::Invert: return blendLoop<BlendMode::Invert>(src, dst, count);
        case BlendMode::Alpha: return blendLoop<BlendMode::Alpha>(src, dst, count);
        case BlendMode::Erase: return blendLoop<BlendMode::Erase>(src, dst, count);
        case BlendMode::Overlay: return blendLoop<BlendMode::Overlay>(src, dst, count);
        case BlendMode::HardLight: return blendLoop<BlendMode::HardLight>(src, dst, count);
    }
}

}  // namespace swf::render
