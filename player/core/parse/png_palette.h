// Paletted PNGs whose pixels index past their PLTE chunk: the decoder keeps the palette in an
// uninitialised 256-entry stack array, so such pixels would show whatever the stack held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf {

// The PNG with every PLTE chunk padded to 256 entries of opaque black (with its CRC), so an
// index past the palette draws black, as common PNG readers draw it. Other chunks, and
// anything after a cut chunk or IEND, are copied unchanged.
std::vector<uint8_t> padPngPalettes(const uint8_t* png, size_t size);

}  // namespace swf
