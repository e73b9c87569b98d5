#include "glyph_cache.h"

#include "../model/model_limits.h"

namespace swf {

std::shared_ptr<const Shape> GlyphCache::get(const std::shared_ptr<const Shape>& outline, Rgba color, uint16_t stroke) {
    if (!outline) return nullptr;
    uint32_t packed = uint32_t(color.r) << 24 | uint32_t(color.g) << 16 | uint32_t(color.b) << 8 | color.a;
    auto key = std::make_tuple(outline.get(), packed, stroke);
    auto it = shapes_.find(key);
    if (it != shapes_.end()) return it->second.second;
    Shape shape = *outline;
    size_t edges = 0;
    for (const ShapeLayer& layer : shape.layers) edges += layer.edges.size();
    if (edges > kMaxMovieEdges - edges_) return nullptr;
    edges_ += edges;
    for (ShapeLayer& layer : shape.layers)
        for (FillStyle& fill : layer.fills) {
            fill.type = FillType::Solid;
            fill.color = color;
        }
    if (stroke > 0) {
        LineStyle line;
        line.width = stroke;
        line.color = color;
        for (ShapeLayer& layer : shape.layers) {
            layer.lines.assign(1, line);
            for (Edge& e : layer.edges) e.line = 1;
        }
        shape.bounds = {shape.bounds.xMin - stroke, shape.bounds.xMax + stroke, shape.bounds.yMin - stroke,
                        shape.bounds.yMax + stroke};
    }
    auto copy = std::make_shared<const Shape>(std::move(shape));
    shapes_.emplace(key, std::make_pair(outline, copy));
    return copy;
}

}  // namespace swf
