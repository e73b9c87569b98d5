// Turns the glyph records of static text into glyph outlines placed in text space.
#pragma once

#include "../model/characters.h"
#include "../text/glyph_cache.h"

namespace swf {

void placeTextGlyphs(TextCharacter& text, GlyphCache& cache);

}  // namespace swf
