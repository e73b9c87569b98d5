#include "test_shapes.h"

#include <cmath>

namespace swf::test {

namespace {
Point twips(float x, float y) { return {x * kTwipsPerPixel, y * kTwipsPerPixel}; }
}  // namespace

FillStyle solidFill(Rgba color) {
    FillStyle f;
    f.type = FillType::Solid;
    f.color = color;
    return f;
}

LineStyle solidLine(float widthPixels, Rgba color) {
    LineStyle l;
    l.width = uint16_t(widthPixels * kTwipsPerPixel);
    l.color = color;
    return l;
}

ShapeBuilder& ShapeBuilder::fill(FillStyle style) {
    layer().fills.push_back(std::move(style));
    return *this;
}

ShapeBuilder& ShapeBuilder::line(LineStyle style) {
    layer().lines.push_back(std::move(style));
    return *this;
}

ShapeBuilder& ShapeBuilder::use(uint16_t fill0, uint16_t fill1, uint16_t line) {
    fill0_ = fill0;
    fill1_ = fill1;
    line_ = line;
    return *this;
}

ShapeBuilder& ShapeBuilder::moveTo(float x, float y) {
    pen_ = twips(x, y);
    return *this;
}

ShapeBuilder& ShapeBuilder::lineTo(float x, float y) {
    Edge e;
    e.from = pen_;
    e.to = twips(x, y);
    e.fill0 = fill0_;
    e.fill1 = fill1_;
    e.line = line_;
    layer().edges.push_back(e);
    pen_ = e.to;
    return *this;
}

ShapeBuilder& ShapeBuilder::curveTo(float cx, float cy, float x, float y) {
    Edge e;
    e.from = pen_;
    e.control = twips(cx, cy);
    e.to = twips(x, y);
    e.curved = true;
    e.fill0 = fill0_;
    e.fill1 = fill1_;
    e.line = line_;
    layer().edges.push_back(e);
    pen_ = e.to;
    return *this;
}

ShapeBuilder& ShapeBuilder::polygon(const std::vector<Point>& points) {
    if (points.empty()) return *this;
    moveTo(points[0].x, points[0].y);
    for (size_t i = 1; i < points.size(); ++i) lineTo(points[i].x, points[i].y);
    return lineTo(points[0].x, points[0].y);
}

ShapeBuilder& ShapeBuilder::rect(float x0, float y0, float x1, float y1) {
    return polygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

ShapeBuilder& ShapeBuilder::circle(float cx, float cy, float r, bool counterClockwise) {
    // Eight quadratic arcs of 45 degrees; the control point sits at r / cos(22.5 deg).
    const float pi = 3.14159265f;
    const float controlRadius = r / std::cos(pi / 8);
    const float sign = counterClockwise ? -1.0f : 1.0f;
    moveTo(cx + r, cy);
    for (int i = 0; i < 8; ++i) {
        float mid = sign * (float(i) + 0.5f) * pi / 4, end = sign * float(i + 1) * pi / 4;
        curveTo(cx + controlRadius * std::cos(mid), cy + controlRadius * std::sin(mid),
                cx + r * std::cos(end), cy + r * std::sin(end));
    }
    return *this;
}

ShapeBuilder& ShapeBuilder::newLayer() {
    shape_.layers.emplace_back();
    fill0_ = fill1_ = line_ = 0;
    return *this;
}

ShapeBuilder& ShapeBuilder::nonZero(bool on) {
    shape_.nonZeroWinding = on;
    return *this;
}

Shape ShapeBuilder::build() const { return shape_; }

Shape rectShape(float x0, float y0, float x1, float y1, FillStyle fill) {
    return ShapeBuilder().fill(std::move(fill)).use(0, 1).rect(x0, y0, x1, y1).build();
}

}  // namespace swf::test
