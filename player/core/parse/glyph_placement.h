// Turns text runs and edit-text fields into glyph outlines placed in text space.
#pragma once

#include <map>
#include <memory>
#include <tuple>

#include "../model/characters.h"

namespace swf {

// Coloured copies of glyph outlines, shared by every text that uses the same glyph and colour.
// get() returns null for a glyph the font lacks, or once the copies reach the edge budget.
class GlyphCache {
public:
    std::shared_ptr<const Shape> get(const FontCharacter& font, uint32_t glyph, Rgba color);

private:
    std::map<std::tuple<const FontCharacter*, uint32_t, uint32_t>, std::shared_ptr<const Shape>> shapes_;
    size_t edges_ = 0;  // across all copies; past kMaxMovieEdges new copies are refused
};

void placeTextGlyphs(TextCharacter& text, GlyphCache& cache);

// Static layout of an edit field's initial text with its embedded font: HTML tags are dropped,
// lines break at newlines (multiline fields) and at spaces when word wrap is on.
void layoutEditText(EditTextCharacter& edit, GlyphCache& cache);

// Plain text from the small HTML subset edit fields carry (<p>, <br>, <font>, entities).
std::string stripHtml(const std::string& html);

}  // namespace swf
