// Builds renderer input in code: shapes in pixel units (stored as twips), fills and strokes.
#pragma once

#include <vector>

#include "renderer.h"

namespace swf::test {

// Shapes below are built in twips = 20 x the pixel numbers given; this draws them 1:1.
inline Matrix pixelsToDevice() { return Matrix::scale(1.0f / kTwipsPerPixel, 1.0f / kTwipsPerPixel); }

FillStyle solidFill(Rgba color);
LineStyle solidLine(float widthPixels, Rgba color);

// Records edges into one layer with a current fill0 / fill1 / line, like the file's records.
class ShapeBuilder {
public:
    ShapeBuilder& fill(FillStyle style);  // adds fills[n]; returns *this
    ShapeBuilder& line(LineStyle style);
    ShapeBuilder& use(uint16_t fill0, uint16_t fill1, uint16_t line = 0);
    ShapeBuilder& moveTo(float x, float y);
    ShapeBuilder& lineTo(float x, float y);
    ShapeBuilder& curveTo(float cx, float cy, float x, float y);
    // Closed polygon through the points, in the order given.
    ShapeBuilder& polygon(const std::vector<Point>& points);
    ShapeBuilder& rect(float x0, float y0, float x1, float y1);
    // Circle of four-times-two quadratic curves; clockwise on screen unless `counterClockwise`.
    ShapeBuilder& circle(float cx, float cy, float r, bool counterClockwise = false);
    ShapeBuilder& newLayer();
    ShapeBuilder& nonZero(bool on = true);
    Shape build() const;

private:
    ShapeLayer& layer() { return shape_.layers.back(); }
    Shape shape_ = Shape{Rect{}, false, std::vector<ShapeLayer>(1)};
    Point pen_;
    uint16_t fill0_ = 0, fill1_ = 0, line_ = 0;
};

// One filled rectangle (fill on the right of a clockwise outline).
Shape rectShape(float x0, float y0, float x1, float y1, FillStyle fill);

}  // namespace swf::test
