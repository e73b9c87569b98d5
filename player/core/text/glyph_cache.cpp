#include "glyph_cache.h"

#include "../model/model_limits.h"

namespace swf {

std::shared_ptr<const Shape> GlyphCache::get(const std::shared_ptr<const Shape>& outline, Rgba color) {
    if (!outline) return nullptr;
    uint32_t packed = uint32_t(color.r) << 24 | uint32_t(color.g) << 16 | uint32_t(color.b) << 8 | color.a;
    auto key = std::make_pair(outline.get(), packed);
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
    auto copy = std::make_shared<const Shape>(std::move(shape));
    shapes_.emplace(key, std::make_pair(outline, copy));
    return copy;
}

}  // namespace swf
