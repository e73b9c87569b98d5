#include "filters.h"

#include <string>

#include "records.h"

namespace swf {
namespace {

// The flags byte that ends the shadow-like filters: inner, knockout, composite source, then
// (bevels) on top, and the pass count in the low bits.
void readEffectFlags(Reader& r, Filter& f, bool hasOnTop) {
    const uint8_t flags = r.u8();
    f.inner = flags & 0x80;
    f.knockout = flags & 0x40;
    f.hideObject = !(flags & 0x20);
    if (hasOnTop) {
        f.onTop = flags & 0x10;
        f.passes = flags & 0x0f;
    } else {
        f.passes = flags & 0x1f;
    }
}

void readBlur(Reader& r, Filter& f) {
    f.blurX = r.fixed16();
    f.blurY = r.fixed16();
}

// Blur, angle, distance and strength, in the order of the shadow, bevel and gradient filters.
void readShadowGeometry(Reader& r, Filter& f) {
    readBlur(r, f);
    f.angle = r.fixed16();
    f.distance = r.fixed16();
    f.strength = r.fixed8();
}

Filter readFilter(Reader& r, uint8_t id) {
    Filter f;
    switch (id) {
        case 0:
            f.kind = FilterKind::DropShadow;
            f.color = readRgba(r);
            readShadowGeometry(r, f);
            readEffectFlags(r, f, false);
            break;
        case 1: {
            f.kind = FilterKind::Blur;
            readBlur(r, f);
            f.passes = r.u8() >> 3;
            break;
        }
        case 2:
            f.kind = FilterKind::Glow;
            f.color = readRgba(r);
            readBlur(r, f);
            f.strength = r.fixed8();
            readEffectFlags(r, f, false);
            f.hideObject = false;  // a glow always shows its object unless knocked out
            break;
        case 3:
            f.kind = FilterKind::Bevel;
            // Files hold the highlight first, then the shadow (the format's documentation has
            // them the other way round; the original player reads them in this order).
            f.highlight = readRgba(r);
            f.color = readRgba(r);      // shadow
            readShadowGeometry(r, f);
            readEffectFlags(r, f, true);
            f.hideObject = false;
            break;
        case 4:
        case 7: {
            f.kind = id == 4 ? FilterKind::GradientGlow : FilterKind::GradientBevel;
            const size_t count = r.u8();
            f.gradient.resize(count);
            for (GradientRecord& g : f.gradient) g.color = readRgba(r);
            for (GradientRecord& g : f.gradient) g.ratio = r.u8();
            readShadowGeometry(r, f);
            readEffectFlags(r, f, true);
            f.hideObject = false;
            break;
        }
        case 5: {
            f.kind = FilterKind::Convolution;
            const int columns = r.u8(), rows = r.u8();
            f.divisor = r.f32();
            f.bias = r.f32();
            const bool kept = columns <= kMaxConvolutionSide && rows <= kMaxConvolutionSide;
            for (int i = 0; i < columns * rows; ++i) {
                const float v = r.f32();
                if (kept) f.kernel.push_back(v);
            }
            if (kept) {
                f.columns = columns;
                f.rows = rows;
            }
            f.defaultColor = readRgba(r);
            const uint8_t flags = r.u8();
            f.clamp = flags & 0x02;
            f.preserveAlpha = flags & 0x01;
            break;
        }
        case 6:
            f.kind = FilterKind::ColorMatrix;
            for (float& v : f.matrix) v = r.f32();
            break;
        default: r.fail("unknown filter " + std::to_string(id));
    }
    return f;
}

}  // namespace

std::vector<Filter> readFilterList(Reader& r) {
    std::vector<Filter> filters;
    const size_t count = r.u8();
    filters.reserve(count);
    for (size_t i = 0; i < count; ++i) filters.push_back(readFilter(r, r.u8()));
    return filters;
}

BlendMode blendModeFromByte(uint8_t value) {
    if (value < 1 || value > 14) return BlendMode::Normal;
    return BlendMode(value - 1);
}

}  // namespace swf
