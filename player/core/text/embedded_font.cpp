#include "embedded_font.h"

#include <algorithm>

namespace swf {

int EmbeddedLayoutFont::glyphFor(char32_t code) const {
    if (code > 0xffff) return -1;  // SWF code tables hold 16-bit codes
    return font_->glyphForCode(uint16_t(code));
}

float EmbeddedLayoutFont::advance(int glyph) const {
    if (glyph < 0 || size_t(glyph) >= font_->glyphs.size()) return 0;
    if (font_->hasLayout && size_t(glyph) < font_->advances.size()) return font_->advances[size_t(glyph)];
    // DefineFont without a layout: the glyph's right edge and a little room.
    float maxX = 0;
    for (const ShapeLayer& layer : font_->glyphs[size_t(glyph)].layers)
        for (const Edge& e : layer.edges) maxX = std::max({maxX, e.from.x, e.to.x});
    return maxX + font_->emSize / 20;
}

float EmbeddedLayoutFont::kerning(int left, int right) const {
    if (font_->kerning.empty() || left < 0 || right < 0) return 0;
    if (size_t(left) >= font_->codes.size() || size_t(right) >= font_->codes.size()) return 0;
    auto it = font_->kerning.find({font_->codes[size_t(left)], font_->codes[size_t(right)]});
    return it == font_->kerning.end() ? 0 : it->second;
}

std::shared_ptr<const Shape> EmbeddedLayoutFont::outline(int glyph) const {
    if (glyph < 0 || size_t(glyph) >= font_->glyphs.size()) return nullptr;
    return std::shared_ptr<const Shape>(font_, &font_->glyphs[size_t(glyph)]);  // lives as long as the font
}

}  // namespace swf
