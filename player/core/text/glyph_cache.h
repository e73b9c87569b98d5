// Coloured copies of glyph outlines, shared by every text that uses the same glyph and colour.
#pragma once

#include <map>
#include <memory>
#include <tuple>
#include <utility>

#include "../shape.h"

namespace swf {

class GlyphCache {
public:
    // The outline with every fill made the solid colour; null for a null outline, or once the
    // copies reach the edge budget (many colours of many big glyphs).
    // `stroke` > 0 also draws the outline with a line that wide (glyph units): heavier stems.
    std::shared_ptr<const Shape> get(const std::shared_ptr<const Shape>& outline, Rgba color, uint16_t stroke = 0);

private:
    // The outline is kept alive by its copy's entry, so its address cannot be reused.
    std::map<std::tuple<const Shape*, uint32_t, uint16_t>, std::pair<std::shared_ptr<const Shape>, std::shared_ptr<const Shape>>>
        shapes_;
    size_t edges_ = 0;  // across all copies
};

}  // namespace swf
