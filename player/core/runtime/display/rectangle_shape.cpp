#include "rectangle_shape.h"

namespace swf {

Shape rectangleShape(const Rect& b, const FillStyle& fill) {
    Shape shape;
    shape.bounds = b;
    ShapeLayer layer;
    layer.fills.push_back(fill);
    const Point corners[4] = {{float(b.xMin), float(b.yMin)}, {float(b.xMax), float(b.yMin)}, {float(b.xMax), float(b.yMax)},
                              {float(b.xMin), float(b.yMax)}};
    for (int i = 0; i < 4; ++i) {
        Edge e;
        e.from = corners[i];
        e.to = corners[(i + 1) % 4];
        e.fill1 = 1;
        layer.edges.push_back(e);
    }
    shape.layers.push_back(std::move(layer));
    return shape;
}

}  // namespace swf
