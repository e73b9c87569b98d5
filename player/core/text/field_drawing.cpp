#include "field_drawing.h"

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

void addRectEdges(ShapeLayer& layer, float x0, float y0, float x1, float y1, uint16_t fill, uint16_t line) {
    Point corners[4] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    for (int i = 0; i < 4; ++i) {
        Edge e;
        e.from = corners[i];
        e.to = corners[(i + 1) % 4];
        e.fill1 = fill;
        e.line = line;
        layer.edges.push_back(e);
    }
}

std::shared_ptr<const Shape> frameShape(const TextFieldInput& field, const Rect& b) {
    Shape shape;
    shape.bounds = b;
    ShapeLayer layer;
    uint16_t fill = 0, line = 0;
    if (field.background) {
        FillStyle f;
        f.color = field.backgroundColor;
        layer.fills.push_back(f);
        fill = 1;
    }
    if (field.border) {
        LineStyle l;  // a hairline: one device pixel whatever the scale
        l.color = field.borderColor;
        layer.lines.push_back(l);
        line = 1;
    }
    addRectEdges(layer, float(b.xMin), float(b.yMin), float(b.xMax), float(b.yMax), fill, line);
    shape.layers.push_back(std::move(layer));
    return std::make_shared<const Shape>(std::move(shape));
}

std::shared_ptr<const Shape> barShape(const LaidOutRect& r) {
    Shape shape;
    shape.bounds = {rectTwips(r.x0 - 1), rectTwips(r.x1 + 1), rectTwips(r.y0 - 1), rectTwips(r.y1 + 1)};
    ShapeLayer layer;
    FillStyle f;
    f.color = r.color;
    layer.fills.push_back(f);
    addRectEdges(layer, r.x0, r.y0, r.x1, r.y1, 1, 0);
    shape.layers.push_back(std::move(layer));
    return std::make_shared<const Shape>(std::move(shape));
}

}  // namespace

std::vector<PlacedGlyph> drawTextField(const TextLayout& layout, const TextFieldInput& field, GlyphCache& glyphs,
                                       float weight) {
    std::vector<PlacedGlyph> out;
    if (field.background || field.border) out.push_back({frameShape(field, layout.bounds), Matrix{}});
    for (const LaidOutGlyph& g : layout.glyphs) {
        if (!g.font || g.font->unitsPerEm() <= 0) continue;
        float scale = g.size / g.font->unitsPerEm();
        float stroke = weight > 0 ? std::min(weight * g.font->unitsPerEm(), 65535.0f) : 0;
        auto shape = glyphs.get(g.font->outline(g.glyph), g.color, uint16_t(stroke));
        if (!shape) continue;
        out.push_back({shape, Matrix{scale, 0, 0, scale, g.x, g.baseline}});
    }
    for (const LaidOutRect& r : layout.underlines) out.push_back({barShape(r), Matrix{}});
    return out;
}

Rect drawnTextBounds(const TextLayout& layout) {
    Rect r = layout.bounds;
    for (const LaidOutLine& line : layout.lines) {
        r.xMin = std::min(r.xMin, rectTwips(line.left - 1));
        r.xMax = std::max(r.xMax, rectTwips(line.left + line.width));
        r.yMax = std::max(r.yMax, rectTwips(line.top + line.ascent + line.descent));
    }
    return r;
}

}  // namespace swf
