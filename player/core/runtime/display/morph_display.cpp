#include "morph_display.h"

#include <algorithm>
#include <cmath>

#include "../../model/morph.h"
#include "device_box.h"

namespace swf {
namespace {

// Strips of about this many device pixels, at most kMaxStrips.
constexpr int kStripWidthPx = 160;
constexpr int kMaxStrips = 8;

// A morph's bounds are the file's two declared boxes blended, often far roomier than the shape
// at its ratio. Without strokes (whose joins reach past the edges) every filled pixel lies
// between edges crossing its column, inside the box of their points and control points; a
// long wavy band is boxed strip by strip across its width. None when the shape has strokes.
std::vector<Rect> stripBounds(const Shape& shape, int strips) {
    float x0 = INFINITY, x1 = -INFINITY;
    for (const ShapeLayer& layer : shape.layers) {
        for (const Edge& e : layer.edges) {
            if (e.line != 0) return {};
            for (const Point* p : {&e.from, &e.to, e.curved ? &e.control : &e.from}) {
                x0 = std::min(x0, p->x);
                x1 = std::max(x1, p->x);
            }
        }
    }
    constexpr float kLimit = 1e9f;  // twips; past this the declared box is as good
    if (!(x0 <= x1) || x0 < -kLimit || x1 > kLimit) return {};
    const float step = (x1 - x0) / float(strips);
    std::vector<Rect> out;
    for (int i = 0; i < strips; ++i) {
        const float sx0 = x0 + step * float(i), sx1 = i + 1 == strips ? x1 : x0 + step * float(i + 1);
        float y0 = INFINITY, y1 = -INFINITY;
        for (const ShapeLayer& layer : shape.layers) {
            for (const Edge& e : layer.edges) {
                const Point& c = e.curved ? e.control : e.from;
                const float ex0 = std::min({e.from.x, e.to.x, c.x}), ex1 = std::max({e.from.x, e.to.x, c.x});
                if (ex1 < sx0 || ex0 > sx1) continue;
                y0 = std::min({y0, e.from.y, e.to.y, c.y});
                y1 = std::max({y1, e.from.y, e.to.y, c.y});
            }
        }
        if (!(y0 <= y1)) continue;  // no edge crosses the strip: nothing is filled there
        if (y0 < -kLimit || y1 > kLimit) return {};
        out.push_back(Rect{int32_t(std::floor(sx0)), int32_t(std::ceil(sx1)), int32_t(std::floor(y0)), int32_t(std::ceil(y1))});
    }
    return out;
}

}  // namespace

void MorphDisplay::stateChanged() {
    if (shape_ && shapeRatio_ == state().ratio) return;
    shapeRatio_ = state().ratio;
    shape_ = std::make_shared<const Shape>(morphShapeAt(morph_, shapeRatio_));
}

void MorphDisplay::draw(Renderer& r, const Matrix& m, const ColorTransform& cx) const {
    if (shape_) r.drawShape(*shape_, m, cx);
}

std::vector<IntRect> MorphDisplay::deviceParts(const Matrix& m, int w, int h) const {
    if (!shape_) return {deviceBox(Rect{}, m, w, h)};
    const IntRect whole = deviceBox(shape_->bounds, m, w, h);
    const int strips = std::clamp((whole.x1 - whole.x0) / kStripWidthPx, 1, kMaxStrips);
    std::vector<IntRect> parts;
    for (const Rect& box : stripBounds(*shape_, strips)) parts.push_back(deviceBox(box, m, w, h));
    if (parts.empty()) parts.push_back(whole);
    return parts;
}

void MorphDisplay::hashContent(SignatureHasher& h) const {
    h.add(character());
    h.add(shape_.get());
}

}  // namespace swf
