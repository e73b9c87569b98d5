#include "outline_builder.h"

#include <algorithm>
#include <cmath>

namespace swf {

OutlineBuilder::OutlineBuilder() { layer_.fills.push_back(FillStyle{}); }

void OutlineBuilder::moveTo(Point p) {
    close();
    pen_ = start_ = p;
    open_ = true;
}

void OutlineBuilder::lineTo(Point p) {
    if (p == pen_) return;
    Edge e;
    e.from = pen_;
    e.to = p;
    e.fill1 = 1;
    layer_.edges.push_back(e);
    pen_ = p;
}

void OutlineBuilder::quadTo(Point control, Point p) {
    Edge e;
    e.from = pen_;
    e.control = control;
    e.to = p;
    e.curved = true;
    e.fill1 = 1;
    layer_.edges.push_back(e);
    pen_ = p;
}

void OutlineBuilder::close() {
    if (open_) lineTo(start_);
    open_ = false;
}

Shape OutlineBuilder::finish() {
    close();
    Shape shape;
    shape.nonZeroWinding = true;
    if (!layer_.edges.empty()) {
        float x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
        for (const Edge& e : layer_.edges)
            for (const Point& p : {e.from, e.to, e.curved ? e.control : e.from}) {
                x0 = std::min(x0, p.x);
                x1 = std::max(x1, p.x);
                y0 = std::min(y0, p.y);
                y1 = std::max(y1, p.y);
            }
        shape.bounds = {int32_t(std::floor(x0)), int32_t(std::ceil(x1)), int32_t(std::floor(y0)), int32_t(std::ceil(y1))};
        shape.layers.push_back(std::move(layer_));
    }
    layer_ = ShapeLayer{};
    layer_.fills.push_back(FillStyle{});
    return shape;
}

}  // namespace swf
