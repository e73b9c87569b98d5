// Caps on what the loaded model may hold, shared by the parser that builds it and the runtime
// that extends it (drawing API shapes, morph frames, glyph outlines).
#pragma once

#include <cstddef>

namespace swf {

constexpr size_t kMaxShapeEdges = 1u << 20;    // edges in one shape (records, glyph, morph or drawing)
constexpr size_t kMaxMovieEdges = 16u << 20;   // edges of all shapes, glyphs and morphs
constexpr size_t kMaxWarnings = 1000;          // notes kept (damaged tags, undecodable sounds)

}  // namespace swf
