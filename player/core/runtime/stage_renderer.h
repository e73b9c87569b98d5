// Draws a clip tree through the renderer: depth order, clip layers as masks, nested transforms.
#pragma once

#include "../renderer.h"
#include "clip.h"

namespace swf {

void drawClip(Renderer& renderer, const Clip& clip, const Matrix& toDevice, const ColorTransform& cx,
              bool asMask = false);

// Only the clip's objects at depths in [fromDepth, toDepth). A mask below fromDepth is not in
// force, so the caller picks bounds that no mask spans.
void drawClipLayers(Renderer& renderer, const Clip& clip, const Matrix& toDevice, int fromDepth, int toDepth);

}  // namespace swf
