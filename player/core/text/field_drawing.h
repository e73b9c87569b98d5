// A laid-out field as shapes the renderer draws: background and border, glyphs in their run's
// colour, underlines.
#pragma once

#include <vector>

#include "glyph_cache.h"
#include "text_layout.h"

namespace swf {

// `weight` > 0 thickens every glyph's stems by that fraction of its em.
std::vector<PlacedGlyph> drawTextField(const TextLayout& layout, const TextFieldInput& field, GlyphCache& glyphs,
                                       float weight = 0);

// The field's rectangle grown to the lines laid out past it (a last line taller than the room
// left, a word wider than a line that cannot wrap): where drawing the field may change pixels.
Rect drawnTextBounds(const TextLayout& layout);

}  // namespace swf
