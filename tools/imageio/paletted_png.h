// A paletted PNG (colour type 3, 8-bit indices), which the stb writer does not make: for the
// player's tests and fuzz seeds, indices past the palette included.
#pragma once

#include <cstdint>
#include <vector>

#include <geometry.h>

namespace swfimg {

// `indices` holds width * height palette indices, row after row; `palette` the PLTE colours
// (alpha ignored).
std::vector<uint8_t> encodePalettedPng(int width, int height, const std::vector<swf::Rgba>& palette,
                                       const std::vector<uint8_t>& indices);

}  // namespace swfimg
