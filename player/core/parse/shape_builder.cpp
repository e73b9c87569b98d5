#include "shape_records.h"

namespace swf {

Shape buildShape(const RawShape& raw, const Rect& bounds) {
    Shape shape;
    shape.bounds = bounds;
    shape.layers.emplace_back();
    shape.layers.back().fills = raw.styles.fills;
    shape.layers.back().lines = raw.styles.lines;
    int64_t x = 0, y = 0;
    uint16_t fill0 = 0, fill1 = 0, line = 0;
    auto fillIndex = [&](uint32_t i) { return uint16_t(i <= shape.layers.back().fills.size() ? i : 0); };
    auto lineIndex = [&](uint32_t i) { return uint16_t(i <= shape.layers.back().lines.size() ? i : 0); };
    for (const ShapeRecord& rec : raw.records) {
        if (rec.kind == ShapeRecord::Kind::StyleChange) {
            if (rec.newStyles >= 0 && size_t(rec.newStyles) < raw.newStyles.size()) {
                const StyleTable& table = raw.newStyles[size_t(rec.newStyles)];
                ShapeLayer layer;
                layer.fills = table.fills;
                layer.lines = table.lines;
                shape.layers.push_back(std::move(layer));
                fill0 = fill1 = line = 0;
            }
            if (rec.hasMove) {
                x = rec.moveX;
                y = rec.moveY;
            }
            if (rec.hasFill0) fill0 = fillIndex(rec.fill0);
            if (rec.hasFill1) fill1 = fillIndex(rec.fill1);
            if (rec.hasLine) line = lineIndex(rec.line);
            continue;
        }
        Edge edge;
        edge.from = {float(x), float(y)};
        edge.fill0 = fill0;
        edge.fill1 = fill1;
        edge.line = line;
        x += rec.dx;
        y += rec.dy;
        if (rec.kind == ShapeRecord::Kind::Curve) {
            edge.curved = true;
            edge.control = {float(x), float(y)};
            x += rec.ax;
            y += rec.ay;
        }
        edge.to = {float(x), float(y)};
        // An edge that neither fills nor strokes only moves the pen.
        if (fill0 || fill1 || line) shape.layers.back().edges.push_back(edge);
    }
    return shape;
}

}  // namespace swf
