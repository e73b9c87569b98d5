// Caps on everything a file can make the player allocate or repeat.
#pragma once

#include <cstddef>

namespace swf {

constexpr size_t kMaxShapeEdges = 1u << 20;       // edges in one shape (records, glyph or morph)
constexpr int kMaxSpriteNesting = 32;              // DefineSprite inside DefineSprite while parsing
constexpr int kMaxDisplayDepth = 16;               // nested clips while running and rendering
constexpr size_t kMaxDisplayObjects = 1u << 16;    // objects in one display list
constexpr size_t kMaxActionsPerFrame = 100000;     // AVM1 actions executed per frame
constexpr size_t kMaxFrames = 1u << 16;            // frames in one timeline (SWF stores a u16)
constexpr size_t kMaxGlyphsPerText = 1u << 16;     // glyph entries of one text field

}  // namespace swf
