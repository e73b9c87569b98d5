// Reading pixels back and comparing canvases with PNG goldens.
#pragma once

#include <string>

#include "renderer.h"

namespace swf::test {

constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kBlack{0, 0, 0, 255};

Canvas whiteCanvas(int width, int height);
// Straight colour of a canvas pixel (exact for opaque pixels).
Rgba pixel(const Canvas& canvas, int x, int y);
uint32_t word(const Canvas& canvas, int x, int y);

bool writePng(const Canvas& canvas, const std::string& path);

// Compares with goldens/<name>.png byte for byte. On a mismatch (or a missing golden) writes
// the actual image to golden-actual/<name>.png in the build tree and returns the message.
// With RENDER_UPDATE_GOLDENS=1 in the environment it (re)writes the golden instead.
std::string compareWithGolden(const Canvas& canvas, const std::string& name);

}  // namespace swf::test
