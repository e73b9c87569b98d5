// The one translation unit that compiles Debian's stb_image (its JPEG, PNG and GIF decoders).
// Its symbols stay private to that unit, and the flags it needs (see CMakeLists.txt) apply to
// the third-party code alone. Callers check the payload first (jpeg_check.h): the decoder
// trusts its tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace swf::stb {

struct FreePixels {
    void operator()(uint8_t* pixels) const;
};
using Pixels = std::unique_ptr<uint8_t[], FreePixels>;

// Width and height from the header alone; false when the decoder does not recognise it.
bool imageSize(const uint8_t* data, size_t size, int& width, int& height);
// Straight RGBA, four bytes a pixel, row after row; null when decoding fails.
Pixels loadRgba(const uint8_t* data, size_t size, int& width, int& height);

}  // namespace swf::stb
