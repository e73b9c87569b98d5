#include "static_text_display.h"

#include "../dirty_rects.h"
#include "device_box.h"

namespace swf {

void drawPlacedGlyphs(Renderer& r, const std::vector<PlacedGlyph>& glyphs, const Matrix& m, const ColorTransform& cx) {
    for (const PlacedGlyph& g : glyphs) r.drawShape(*g.shape, m * g.matrix, cx);
}

void StaticTextDisplay::draw(Renderer& r, const Matrix& m, const ColorTransform& cx) const {
    drawPlacedGlyphs(r, text_.glyphs, m * text_.matrix, cx);
}

std::vector<IntRect> StaticTextDisplay::deviceParts(const Matrix& m, int w, int h) const {
    // Files differ on whether the bounds include the text matrix; take both.
    return {unite(deviceBox(text_.bounds, m, w, h), deviceBox(text_.bounds, m * text_.matrix, w, h))};
}

}  // namespace swf
