// Draws a clip tree through the renderer: depth order, clip layers as masks, nested transforms.
#pragma once

#include "../renderer.h"
#include "clip.h"

namespace swf {

void drawClip(Renderer& renderer, const Clip& clip, const Matrix& toDevice, const ColorTransform& cx,
              bool asMask = false);

}  // namespace swf
