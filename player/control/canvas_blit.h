// The player's canvas is a top-down 32-bit DIB as it lies in memory (premultiplied BGRA words,
// rows top to bottom, no padding; the stage is opaque, so the alpha byte is never looked at):
// it goes to a device context straight from there, with no back buffer in between.
#pragma once

#include <windows.h>

#include <bitmap.h>

namespace swfctl {

// A BITMAPINFO header for a top-down 32-bit DIB of the canvas layout.
BITMAPINFO TopDownInfo(int width, int height);

// Sends `area` of the canvas (cut to it) to the same place of `target`; false when nothing
// was drawn.
bool PaintCanvasArea(HDC target, const swf::Canvas& canvas, const RECT& area);

}  // namespace swfctl
