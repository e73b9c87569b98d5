// Source-over of a span of paint onto canvas pixels, each pixel scaled by its coverage first:
// the inner loop of every single-fill row. With SSE2 four pixels go at once, in 16-bit lanes
// that hold every intermediate of pixel_math.h's rounding exactly (x * k + 128 + its high
// byte stays below 2^16), so the bytes are those of the plain loop for any input.
#pragma once

#include <cstdint>

#include "pixel_math.h"

namespace swf::render {

// dst[i] = blendCovered(colors[i], coverage[i], dst[i]) for i < n.
void blendCoveredSpan(const uint32_t* colors, const uint8_t* coverage, uint32_t* dst, int n);
// The same with one colour for the whole span.
void blendSolidSpan(uint32_t color, const uint8_t* coverage, uint32_t* dst, int n);

// The plain loops, one pixel at a time: what the tests compare the fast ones with.
inline void blendCoveredSpanPlain(const uint32_t* colors, const uint8_t* coverage, uint32_t* dst, int n) {
    for (int i = 0; i < n; ++i) dst[i] = blendCovered(colors[i], coverage[i], dst[i]);
}
inline void blendSolidSpanPlain(uint32_t color, const uint8_t* coverage, uint32_t* dst, int n) {
    for (int i = 0; i < n; ++i) dst[i] = blendCovered(color, coverage[i], dst[i]);
}

}  // namespace swf::render
