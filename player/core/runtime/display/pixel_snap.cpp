#include "pixel_snap.h"

#include <cmath>

namespace swf {

Matrix snapBitmapToPixels(const Shape& shape, Matrix m) {
    const FillStyle* bitmapFill = nullptr;
    for (const ShapeLayer& layer : shape.layers) {
        if (!layer.lines.empty()) return m;
        for (const FillStyle& fill : layer.fills) {
            if (!fill.isBitmap()) return m;
            bitmapFill = &fill;
        }
    }
    if (!bitmapFill) return m;
    const Matrix texels = m * bitmapFill->bitmapMatrix;
    auto unit = [](float v) { return std::fabs(std::fabs(v) - 1) < 0.001f; };
    if (!unit(texels.a) || !unit(texels.d) || texels.b != 0 || texels.c != 0) return m;
    if (!std::isfinite(texels.tx) || !std::isfinite(texels.ty) || std::fabs(texels.tx) > 1e7f || std::fabs(texels.ty) > 1e7f)
        return m;
    m.tx += std::floor(texels.tx + 0.5f) - texels.tx;
    m.ty += std::floor(texels.ty + 0.5f) - texels.ty;
    return m;
}

}  // namespace swf
