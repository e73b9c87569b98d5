// A font embedded in the movie (DefineFont 1/2/3) seen through the layout's font interface.
#pragma once

#include "../model/characters.h"
#include "layout_font.h"

namespace swf {

class EmbeddedLayoutFont : public LayoutFont {
public:
    explicit EmbeddedLayoutFont(std::shared_ptr<const FontCharacter> font) : font_(std::move(font)) {}
    float unitsPerEm() const override { return font_->emSize; }
    // Fonts without a layout table carry no metrics; 0.8 / 0.2 EM is what their glyphs fill.
    float ascent() const override { return font_->hasLayout ? font_->ascent : font_->emSize * 0.8f; }
    float descent() const override { return font_->hasLayout ? font_->descent : font_->emSize * 0.2f; }
    float leading() const override { return font_->hasLayout ? font_->leading : 0; }
    int glyphFor(char32_t code) const override;
    float advance(int glyph) const override;
    float kerning(int left, int right) const override;
    std::shared_ptr<const Shape> outline(int glyph) const override;

private:
    std::shared_ptr<const FontCharacter> font_;
};

}  // namespace swf
