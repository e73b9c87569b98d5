#include "paint.h"

#include <algorithm>
#include <cmath>

namespace swf::render {

bool invertMatrix(const Matrix& m, Matrix& inverse) {
    double det = double(m.a) * m.d - double(m.b) * m.c;
    if (!std::isfinite(det) || std::fabs(det) < 1e-12) return false;
    double a = m.d / det, b = -m.b / det, c = -m.c / det, d = m.a / det;
    double tx = -(a * m.tx + c * m.ty), ty = -(b * m.tx + d * m.ty);
    inverse = {float(a), float(b), float(c), float(d), float(tx), float(ty)};
    return std::isfinite(inverse.a) && std::isfinite(inverse.b) && std::isfinite(inverse.c) &&
           std::isfinite(inverse.d) && std::isfinite(inverse.tx) && std::isfinite(inverse.ty);
}

Paint Paint::solid(uint32_t premultipliedColor) {
    Paint p;
    p.kind_ = premultipliedColor == 0 ? Kind::None : Kind::Solid;
    p.color_ = premultipliedColor;
    p.opaque_ = (premultipliedColor >> 24) == 255;
    return p;
}

Paint Paint::make(const FillStyle& fill, const Matrix& toDevice, const ColorTransform& cx,
                  bool smoothingAllowed) {
    switch (fill.type) {
        case FillType::LinearGradient:
        case FillType::RadialGradient:
        case FillType::FocalGradient: {
            std::shared_ptr<const GradientRamp> ramp = cachedGradientRamp(fill.gradient, cx);
            if (ramp->empty) return Paint();  // no records: nothing to draw
            Paint p;
            // A one-stop ramp (or any matrix that squashes the square to a line) is one colour:
            // the last stop, which is what every point of a collapsed square pads to.
            if (fill.gradient.records.size() == 1 || !invertMatrix(toDevice * fill.gradient.matrix, p.inverse_)) {
                return solid(ramp->colors[255]);
            }
            p.kind_ = fill.type == FillType::LinearGradient   ? Kind::Linear
                      : fill.type == FillType::RadialGradient ? Kind::Radial
                                                              : Kind::Focal;
            p.opaque_ = ramp->opaque;
            p.ramp_ = std::move(ramp);
            p.spread_ = fill.gradient.spread;
            // Focal points at the circle make the gradient singular; the format's own limit is
            // just inside it.
            float focal = std::isfinite(fill.gradient.focalPoint) ? fill.gradient.focalPoint : 0.0f;
            p.focal_ = std::clamp(focal, -0.98f, 0.98f);
            if (p.spread_ != SpreadMode::Pad && p.spread_ != SpreadMode::Reflect &&
                p.spread_ != SpreadMode::Repeat) {
                p.spread_ = SpreadMode::Pad;
            }
            return p;
        }
        case FillType::RepeatingBitmap:
        case FillType::ClippedBitmap:
        case FillType::NonSmoothedRepeatingBitmap:
        case FillType::NonSmoothedClippedBitmap: {
            // A bitmap the parser could not resolve (or an inconsistent one) draws nothing: a
            // hole is less misleading than an invented colour.
            const Bitmap* b = fill.bitmap.get();
            if (!b || b->width <= 0 || b->height <= 0 || b->width > kMaxBitmapSide ||
                b->height > kMaxBitmapSide ||
                b->pixels.size() < size_t(b->width) * size_t(b->height)) {
                return Paint();
            }
            Paint p;
            if (!invertMatrix(toDevice * fill.bitmapMatrix, p.inverse_)) return Paint();
            p.kind_ = Kind::Bitmap;
            p.bitmap_ = fill.bitmap;
            p.smooth_ = smoothingAllowed && fill.isSmoothed();
            p.repeat_ = fill.isRepeating();
            p.transformTexels_ = !cx.isIdentity();
            p.cx_ = cx;
            p.opaque_ = false;
            return p;
        }
        case FillType::Solid:
        default:
            return solid(premultiply(cx.apply(fill.color)));
    }
}

void Paint::shade(int x, int y, int count, uint32_t* out) const {
    switch (kind_) {
        case Kind::None:
            std::fill(out, out + count, 0u);
            return;
        case Kind::Solid:
            std::fill(out, out + count, color_);
            return;
        case Kind::Bitmap:
            shadeBitmap(x, y, count, out);
            return;
        default:
            shadeGradient(x, y, count, out);
            return;
    }
}

}  // namespace swf::render
