// The pixels behind a script's BitmapData: a bitmap of 1 to 2880 pixels a side, opaque or
// transparent, kept premultiplied as everything the renderer draws (so, as in the original, a
// translucent pixel read back may differ slightly from the colour written). Colours in and out
// are the script's 0xAARRGGBB numbers. Rectangles are cut to the bitmap; nothing here reads
// outside it. A disposed or never valid bitmap ignores every call and reads as 0.
#pragma once

#include <cstdint>
#include <vector>

#include "../bitmap.h"
#include "../filter.h"
#include "../geometry.h"
#include "../renderer.h"

namespace swf {

class BitmapData {
public:
    // The original refuses sides outside 1..2880 (and then has no pixels).
    static constexpr int kMaxSide = 2880;

    BitmapData(int width, int height, bool transparent, uint32_t fillArgb);

    bool valid() const { return !pixels_.pixels.empty(); }
    int width() const { return valid() ? pixels_.width : -1; }
    int height() const { return valid() ? pixels_.height : -1; }
    bool transparent() const { return transparent_; }
    const Bitmap& pixels() const { return pixels_; }
    // Writing through this counts as a change (see version()).
    Bitmap& pixels() {
        ++version_;
        return pixels_;
    }
    void dispose() {
        pixels_ = Bitmap();
        ++version_;
    }
    // Grows with every change of the pixels: what shows them redraws when it moves on.
    uint64_t version() const { return version_; }

    uint32_t getPixel32(int x, int y) const;  // 0 outside
    uint32_t getPixel(int x, int y) const { return getPixel32(x, y) & 0xffffffu; }
    void setPixel32(int x, int y, uint32_t argb);
    // Keeps the pixel's alpha.
    void setPixel(int x, int y, uint32_t rgb);

    void fillRect(IntRect rect, uint32_t argb);
    // The source's `from` rectangle with its top left at `to`. mergeAlpha puts translucent
    // source pixels over what lies there instead of replacing it.
    void copyPixels(const BitmapData& source, IntRect from, int toX, int toY, bool mergeAlpha);
    // The colour transform on every pixel of the rectangle (straight colour, as the renderer's).
    void colorTransform(IntRect rect, const ColorTransform& cx);
    // Moves the content by (dx, dy); what moves in from outside keeps its old pixels.
    void scroll(int dx, int dy);
    // Paints the 4-connected region of pixels of the colour at (x, y).
    void floodFill(int x, int y, uint32_t argb);
    // Random channel values in [low, high] from `seed`: the chosen channels (1 red, 2 green,
    // 4 blue, 8 alpha; grey: one value for red, green and blue), the others 0, alpha 255 unless
    // chosen. Deterministic per seed.
    void noise(int seed, int low, int high, int channels, bool grey);
    // Fractal noise: `octaves` layers of smooth noise of base size (baseX, baseY) pixels, each
    // half the size and half the weight of the one before (at most 16, and fewer on bitmaps so
    // large that they would take seconds); fractalNoise sums signed noise around the middle
    // grey, turbulence sums its magnitude. Channels as for noise().
    void perlinNoise(float baseX, float baseY, int octaves, int seed, bool stitch, bool fractalNoise,
                     int channels, bool grey);
    // Replaces the rectangle at (toX, toY) with the source's `from` rectangle run through the
    // filter (sizes in pixels).
    void applyFilter(const BitmapData& source, IntRect from, int toX, int toY, const Filter& filter);

    // A renderer drawing into the pixels (draw(): the caller draws a clip or shape through it,
    // with its matrix and colour transform, then lets it go). Smoothing and edges follow the
    // quality.
    Renderer renderer(Quality quality = Quality::High) {
        ++version_;
        return Renderer(pixels_, quality);
    }

private:
    IntRect bounds() const { return {0, 0, pixels_.width, pixels_.height}; }
    uint32_t store(uint32_t argb) const;  // script colour -> premultiplied word of this bitmap

    Bitmap pixels_;
    bool transparent_ = true;
    uint64_t version_ = 0;
};

// 0xAARRGGBB <-> premultiplied BGRA words.
uint32_t premultipliedFromArgb(uint32_t argb);
uint32_t argbFromPremultiplied(uint32_t word);

}  // namespace swf
