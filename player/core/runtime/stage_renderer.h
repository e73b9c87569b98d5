// Draws a clip tree through the renderer: depth order, clip layers as masks, nested transforms,
// and objects with filters, blend modes or cached bitmaps through offscreen layers. `toDevice`
// is the stage's transform: filter sizes follow its zoom.
#pragma once

#include "../renderer.h"
#include "bitmap_cache.h"
#include "clip.h"

namespace swf {

// `cache`, when given, keeps the layers of filtered and cached objects from frame to frame; its
// owner clears it when the canvas size or the quality changes.
void drawClip(Renderer& renderer, const Clip& clip, const Matrix& toDevice, const ColorTransform& cx,
              bool asMask = false, BitmapCache* cache = nullptr);

// Only the clip's objects at depths in [fromDepth, toDepth). A mask below fromDepth is not in
// force, so the caller picks bounds that no mask spans.
void drawClipLayers(Renderer& renderer, const Clip& clip, const Matrix& toDevice, int fromDepth, int toDepth,
                    BitmapCache* cache = nullptr);

// A root (a level's main timeline) with its own look, which scripts set through _root, Transform
// or filters: its colour transform over everything it draws; its filters and blend mode
// through a layer over the clip rectangle widened by the filters' reach, as a clip with those
// effects. Depths in [fromDepth, toDepth) as drawClipLayers, for a root without layer effects.
void drawRoot(Renderer& renderer, const Clip& root, const DisplayState& look, const Matrix& toDevice,
              BitmapCache* cache = nullptr, int fromDepth = 0, int toDepth = kDepthEnd);
// The root's filters or blend mode need a layer of the whole root: drawn whole, never in kept
// bottom layers apart from the rest.
bool rootNeedsLayer(const DisplayState& look);

}  // namespace swf
