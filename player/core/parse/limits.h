// Caps on everything a file can make the player allocate or repeat.
#pragma once

#include <cstddef>

namespace swf {

constexpr size_t kMaxShapeEdges = 1u << 20;       // edges in one shape (records, glyph or morph)
constexpr int kMaxSpriteNesting = 32;              // DefineSprite inside DefineSprite while parsing
constexpr int kMaxDisplayDepth = 16;               // nested clips while running and rendering
constexpr size_t kMaxDisplayObjects = 1u << 16;    // objects in one display list
constexpr size_t kMaxActionsPerFrame = 100000;     // AVM1 actions executed per frame
constexpr size_t kMaxClipEventHandlers = 256;      // onClipEvent handlers of one placement
constexpr size_t kMaxExports = 1u << 16;           // ExportAssets names of one movie
constexpr size_t kMaxFrames = 1u << 16;            // frames in one timeline (SWF stores a u16)
constexpr size_t kMaxGlyphsPerText = 1u << 16;     // glyph entries of one text field
constexpr size_t kMaxTagInfos = 1u << 20;          // tags listed for swfinfo
constexpr size_t kMaxWarnings = 1000;              // damaged-tag notes kept
constexpr size_t kMaxTraces = 10000;               // trace lines kept; later ones are dropped
// Budgets for a whole movie: a small compressed file can describe far more than it weighs.
constexpr size_t kMaxMovieEdges = 16u << 20;       // edges of all shapes, glyphs and morphs
constexpr size_t kMaxMovieBitmapPixels = 64u << 20;  // decoded pixels of all bitmaps (256 MiB)
// JPEG, PNG and GIF bytes handed to the decoders, JPEGTables counted again with each DefineBits
// that uses them: a large JPEGTables and many tiny DefineBits tags would otherwise cost the
// table size once per tag.
constexpr size_t kMaxMovieImageBytes = 256u << 20;
constexpr size_t kMaxMovieCommands = 4u << 20;     // display-list commands of all timelines
constexpr size_t kMaxSoundFrames = 44100u * 60 * 10;       // decoded frames of one event sound (10 min)
constexpr size_t kMaxStreamBlockBytes = 1u << 20;         // one frame of soundtrack (a second of 44 kHz stereo is 176 KB)
constexpr size_t kMaxMovieSoundFrames = 44100u * 60 * 30;  // decoded frames kept for all event sounds

}  // namespace swf
