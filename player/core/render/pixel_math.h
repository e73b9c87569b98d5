// Integer arithmetic on premultiplied BGRA words (see premultiply() in geometry.h). Everything
// here is exact integer math so that output is identical on every compiler and platform.
#pragma once

#include <cstdint>

namespace swf::render {

// Rounded v / 255 for v in 0..255*255*2, without a division.
inline uint32_t div255(uint32_t v) {
    v += 128;
    return (v + (v >> 8)) >> 8;
}

inline uint32_t alphaOf(uint32_t p) { return p >> 24; }

// Scales every channel of a premultiplied pixel by k / 255.
inline uint32_t scalePixel(uint32_t p, uint32_t k) {
    if (k >= 255) return p;
    if (k == 0) return 0;
    uint32_t rb = (p & 0x00ff00ffu) * k + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00ff00ffu)) >> 8) & 0x00ff00ffu;
    uint32_t ag = ((p >> 8) & 0x00ff00ffu) * k + 0x00800080u;
    ag = (ag + ((ag >> 8) & 0x00ff00ffu)) & 0xff00ff00u;
    return rb | ag;
}

// scalePixel() without its shortcuts: the same result for every k in 0..255 (the rounding is
// exact at 0 and 255), and no branch, so that loops over whole runs vectorise.
inline uint32_t scalePixelBranchless(uint32_t p, uint32_t k) {
    uint32_t rb = (p & 0x00ff00ffu) * k + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00ff00ffu)) >> 8) & 0x00ff00ffu;
    uint32_t ag = ((p >> 8) & 0x00ff00ffu) * k + 0x00800080u;
    ag = (ag + ((ag >> 8) & 0x00ff00ffu)) & 0xff00ff00u;
    return rb | ag;
}

// sourceOver(src, dst), branch-free.
inline uint32_t sourceOverBranchless(uint32_t src, uint32_t dst) {
    return src + scalePixelBranchless(dst, 255 - alphaOf(src));
}

// sourceOver(scalePixel(src, coverage), dst) for coverage in 0..255, branch-free.
inline uint32_t blendCovered(uint32_t src, uint32_t coverage, uint32_t dst) {
    const uint32_t s = scalePixelBranchless(src, coverage);
    return s + scalePixelBranchless(dst, 255 - alphaOf(s));
}

// Porter-Duff source-over of premultiplied pixels.
inline uint32_t sourceOver(uint32_t src, uint32_t dst) {
    uint32_t sa = alphaOf(src);
    if (sa == 255) return src;
    if (sa == 0 && src == 0) return dst;
    return src + scalePixel(dst, 255 - sa);
}

// Asks for the cache lines of a row about to be blended (the next one, while this one is being
// done): the canvas is far larger than the caches, and waiting for it was a third of the time
// of the moving-shapes benchmark.
inline void prefetchRowForWrite(const uint32_t* row, int count) {
#if defined(__GNUC__) || defined(__clang__)
    for (int i = 0; i < count; i += 16) __builtin_prefetch(row + i, 1);
#else
    (void)row;
    (void)count;
#endif
}

inline uint32_t packPixel(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

}  // namespace swf::render
