// Builds a glyph shape from a platform font's contours: font units, y down (the caller flips),
// one layer whose fill 1 is the text colour, the non-zero rule TrueType outlines are made for.
#pragma once

#include "../shape.h"

namespace swf {

class OutlineBuilder {
public:
    OutlineBuilder();
    void moveTo(Point p);  // closes the open contour
    void lineTo(Point p);
    void quadTo(Point control, Point p);
    // The outline so far, every contour closed; the builder is left empty.
    Shape finish();

private:
    void close();
    ShapeLayer layer_;
    Point pen_, start_;
    bool open_ = false;
};

}  // namespace swf
