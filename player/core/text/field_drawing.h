// A laid-out field as shapes the renderer draws: background and border, glyphs in their run's
// colour, underlines.
#pragma once

#include <vector>

#include "glyph_cache.h"
#include "text_layout.h"

namespace swf {

std::vector<PlacedGlyph> drawTextField(const TextLayout& layout, const TextFieldInput& field, GlyphCache& glyphs);

}  // namespace swf
