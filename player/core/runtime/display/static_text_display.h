// A DefineText placed on a display list: glyphs laid out when the movie was read.
#pragma once

#include "display_object.h"

namespace swf {

class StaticTextDisplay final : public DisplayObject {
public:
    explicit StaticTextDisplay(const TextCharacter& text) : DisplayObject(text), text_(text) {}

    void draw(Renderer& r, const Matrix& m, const ColorTransform& cx) const override;
    std::vector<IntRect> deviceParts(const Matrix& m, int w, int h) const override;

private:
    const TextCharacter& text_;
};

// Shared with edit text: each glyph's shape with the glyph's own matrix after `m`.
void drawPlacedGlyphs(Renderer& r, const std::vector<PlacedGlyph>& glyphs, const Matrix& m, const ColorTransform& cx);

}  // namespace swf
