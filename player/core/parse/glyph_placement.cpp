#include "glyph_placement.h"

namespace swf {

void placeTextGlyphs(TextCharacter& text, GlyphCache& cache) {
    for (const TextRun& run : text.runs) {
        if (!run.font) continue;
        float scale = run.height / run.font->emSize;
        float x = run.x;
        for (const GlyphEntry& g : run.glyphs) {
            if (g.index < run.font->glyphs.size()) {
                std::shared_ptr<const Shape> outline(run.font, &run.font->glyphs[g.index]);
                if (auto shape = cache.get(outline, run.color))
                    text.glyphs.push_back({shape, Matrix{scale, 0, 0, scale, x, run.y}});
            }
            x += float(g.advance);
        }
    }
}

}  // namespace swf
