// The pixels behind a script's BitmapData: a bitmap of the sizes sizeAllowed() takes, opaque or
// transparent, kept premultiplied as everything the renderer draws (so, as in the original, a
// translucent pixel read back may differ slightly from the colour written). Colours in and out
// are the script's 0xAARRGGBB numbers. Rectangles are cut to the bitmap; nothing here reads
// outside it. A disposed or never valid bitmap ignores every call and reads as 0.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "../bitmap.h"
#include "../filter.h"
#include "../geometry.h"
#include "../renderer.h"

namespace swf {

class BitmapData {
public:
    // Before SWF 10 the original takes 1..2880 pixels a side; from SWF 10 under 8192 a side and
    // under 2^24 pixels in all (4095 x 4096 is made, 4096 x 4096 refused).
    static constexpr int kMaxSide = 2880;
    static constexpr int kMaxSideFromSwf10 = 8191;
    static constexpr int64_t kMaxPixelsFromSwf10 = (int64_t(1) << 24) - 1;
    static bool sizeAllowed(int width, int height, int swfVersion);

    // Sizes outside what the newest version allows make no pixels (see valid()).
    BitmapData(int width, int height, bool transparent, uint32_t fillArgb);
    // The decoded pixels of a library bitmap, taken as they are (premultiplied), transparent.
    explicit BitmapData(const Bitmap& pixels);

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
    // The source's `from` rectangle with its top left at `to`. mergeAlpha (and always, into an
    // opaque bitmap) puts translucent source pixels over what lies there instead of replacing
    // it.
    void copyPixels(const BitmapData& source, IntRect from, int toX, int toY, bool mergeAlpha);
    // copyPixels through a mask: each pixel's alpha times the alpha bitmap's at the same offset
    // from alphaX, alphaY, over 256 (an opaque alpha bitmap leaves the source's alpha), then
    // put over the target when mergeAlpha or when this bitmap is opaque, else replacing it.
    void copyPixelsWithAlpha(const BitmapData& source, IntRect from, int toX, int toY, const BitmapData& alpha,
                             int alphaX, int alphaY, bool mergeAlpha);
    // The colour transform on every pixel of the rectangle (straight colour, as the renderer's).
    void colorTransform(IntRect rect, const ColorTransform& cx);
    // One channel of the source (1 red, 2 green, 4 blue, 8 alpha; another value reads 0) into one
    // of this bitmap's (another value changes nothing), over the source's `from` rectangle.
    void copyChannel(const BitmapData& source, IntRect from, int toX, int toY, int sourceChannel, int destChannel);
    // Per channel, source x m + target x (256 - m), over 256, m held in 0..256 (red, green,
    // blue, alpha).
    void merge(const BitmapData& source, IntRect from, int toX, int toY, const std::array<int, 4>& multipliers);
    // Each source pixel's red, green, blue and alpha looked up in their table and the four
    // results added (wrapping) into the new colour.
    using PaletteTables = std::array<std::array<uint32_t, 256>, 4>;
    void paletteMap(const BitmapData& source, IntRect from, int toX, int toY, const PaletteTables& tables);
    enum class ThresholdTest { Less, LessOrEqual, Greater, GreaterOrEqual, Equal, NotEqual };
    // Pixels of the source whose masked stored word (premultiplied 0xAARRGGBB, unsigned)
    // passes the test against the masked threshold become `color`; the others are copied from
    // the source when copySource. Answers how many passed.
    int threshold(const BitmapData& source, IntRect from, int toX, int toY, ThresholdTest test, uint32_t thresholdArgb,
                  uint32_t color, uint32_t mask, bool copySource);
    // Replaces numPixels pixels of the rectangle, in an order fixed by the seed, with the
    // source's (or with fillColor when the source is this bitmap). Answers the seed to pass
    // next time to go on with the same sequence.
    int pixelDissolve(const BitmapData& source, IntRect from, int toX, int toY, int seed, int numPixels,
                      uint32_t fillColor);

    // Moves the content by (dx, dy); what moves in from outside keeps its old pixels.
    void scroll(int dx, int dy);
    // Paints the 4-connected region of pixels of the colour at (x, y). False when (x, y) is
    // outside or already holds the colour.
    bool floodFill(int x, int y, uint32_t argb);
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
    // Hit tests against the alpha channel: a pixel counts when its alpha is at least the
    // threshold (one alpha 0 pixel never counts against a point). The point and rectangle are
    // in this bitmap's pixels; other bitmap: both placed by their top left corners.
    bool hitTestPoint(int x, int y, int alphaThreshold) const;
    bool hitTestRect(IntRect rect, int alphaThreshold) const;
    bool hitTestBitmap(int x, int y, int alphaThreshold, const BitmapData& other, int otherX, int otherY,
                       int otherAlphaThreshold) const;
    // The smallest rectangle holding every pixel whose stored word (premultiplied ARGB) masked
    // equals `color` (masked too on a transparent bitmap; on an opaque one the pixels take the
    // colour's alpha), or, when !findColor, differs from it; empty when none. As the original,
    // a lone match at (0, 0) counts as none.
    IntRect colorBounds(uint32_t mask, uint32_t color, bool findColor) const;
    // Null when the pixels are the same; else a transparent bitmap holding, per pixel, the
    // difference of the colours (alpha 255), or of the alphas alone (0xZZFFFFFF) when only they
    // differ, or 0 where equal. Both must be valid and of one size.
    std::unique_ptr<BitmapData> compare(const BitmapData& other) const;

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

    // The source's `from` rectangle cut to both bitmaps: `src` in the source, moved by (dx, dy)
    // into this one. False when nothing is left.
    bool sourceArea(const BitmapData& source, IntRect from, int toX, int toY, IntRect& src, int& dx, int& dy) const;

private:
    // Runs visit(sourceWord, targetWord&) over the source's `from` rectangle and where it lands
    // here; a source that is this bitmap is read as it was before the call. False when nothing
    // lands (bitmap_data_channels.cpp).
    template <typename Visit>
    bool eachSourcePixel(const BitmapData& source, IntRect from, int toX, int toY, Visit visit);
    IntRect bounds() const { return {0, 0, pixels_.width, pixels_.height}; }
    uint32_t store(uint32_t argb) const;  // script colour -> premultiplied word of this bitmap

    Bitmap pixels_;
    bool transparent_ = true;
    uint64_t version_ = 0;
};

// The shift register pixelDissolve walks: the fewest bits (2 to 24) whose register reaches
// count - 1, and one step of it.
int dissolveBits(uint32_t count);
uint32_t dissolveStep(uint32_t state, int bits);

// Source over destination, premultiplied words; what lies beneath is scaled down with
// truncation, as the original (0x22445566 over 0x45112233 gives alpha 0x5d, not 0x5e).
uint32_t premultipliedOver(uint32_t src, uint32_t dst);

// 0xAARRGGBB <-> premultiplied BGRA words.
uint32_t premultipliedFromArgb(uint32_t argb);
uint32_t argbFromPremultiplied(uint32_t word);

}  // namespace swf
