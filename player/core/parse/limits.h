// Caps on everything a file can make the parser allocate or repeat (the model's shared caps
// come with model/model_limits.h).
#pragma once

#include <cstddef>

#include "../model/model_limits.h"

namespace swf {

constexpr int kMaxSpriteNesting = 32;              // DefineSprite inside DefineSprite while parsing
constexpr size_t kMaxActionsPerFrame = 100000;     // AVM1 actions executed per frame
constexpr size_t kMaxClipEventHandlers = 256;      // onClipEvent handlers of one placement
constexpr size_t kMaxExports = 1u << 16;           // ExportAssets names of one movie
constexpr size_t kMaxFrames = 1u << 16;            // frames in one timeline (SWF stores a u16)
constexpr size_t kMaxGlyphsPerText = 1u << 16;     // glyph entries of one text field
constexpr size_t kMaxTagInfos = 1u << 20;          // tags listed for swfinfo
// Budgets for a whole movie: a small compressed file can describe far more than it weighs.
constexpr size_t kMaxMovieBitmapPixels = 64u << 20;  // decoded pixels of all bitmaps (256 MiB)
// JPEG, PNG and GIF bytes handed to the decoders, JPEGTables counted again with each DefineBits
// that uses them: a large JPEGTables and many tiny DefineBits tags would otherwise cost the
// table size once per tag.
constexpr size_t kMaxMovieImageBytes = 256u << 20;
constexpr size_t kMaxMovieCommands = 4u << 20;     // display-list commands of all timelines

}  // namespace swf






