// BitmapData operations that combine a source rectangle with this bitmap channel by channel:
// copyPixels through an alpha bitmap, copyChannel, merge, paletteMap and threshold. Each works
// on straight colour (what getPixel32 answers) and stores the result premultiplied.
#include <algorithm>

#include "bitmap_data.h"

namespace swf {

namespace {

int channelShift(int channel) {
    switch (channel) {
        case 1: return 16;
        case 2: return 8;
        case 4: return 0;
        case 8: return 24;
        default: return -1;
    }
}

// A copy of the source's words when it is the target itself, so every read sees the pixels
// as they were before the call (copyChannel from a bitmap into itself).
const Bitmap& readable(const BitmapData& source, const BitmapData& target, Bitmap& copy) {
    if (&source != &target) return source.pixels();
    copy = source.pixels();
    return copy;
}

}  // namespace

template <typename Visit>
bool BitmapData::eachSourcePixel(const BitmapData& source, IntRect from, int toX, int toY, Visit visit) {
    ++version_;
    IntRect src;
    int dx, dy;
    if (!sourceArea(source, from, toX, toY, src, dx, dy)) return false;
    Bitmap copy;
    const Bitmap& in = readable(source, *this, copy);
    for (int y = src.y0; y < src.y1; ++y) {
        const uint32_t* row = in.row(y);
        uint32_t* out = pixels_.row(y + dy);
        for (int x = src.x0; x < src.x1; ++x) visit(row[x], out[x + dx]);
    }
    return true;
}

void BitmapData::copyPixelsWithAlpha(const BitmapData& source, IntRect from, int toX, int toY, const BitmapData& alpha,
                                     int alphaX, int alphaY, bool mergeAlpha) {
    ++version_;
    IntRect src;
    int dx, dy;
    if (!alpha.valid() || !sourceArea(source, from, toX, toY, src, dx, dy)) return;
    Bitmap sourceCopy, alphaCopy;
    const Bitmap& in = readable(source, *this, sourceCopy);
    const Bitmap& mask = readable(alpha, *this, alphaCopy);
    // The mask pixel of a source pixel sits at the same offset from (alphaX, alphaY) as the
    // source pixel from the rectangle's corner; source pixels without one are left alone.
    const int ax = alphaX - from.x0, ay = alphaY - from.y0;
    for (int y = src.y0; y < src.y1; ++y) {
        const int my = y + ay;
        if (my < 0 || my >= mask.height) continue;
        for (int x = src.x0; x < src.x1; ++x) {
            const int mx = x + ax;
            if (mx < 0 || mx >= mask.width) continue;
            const uint32_t argb = argbFromPremultiplied(in.row(y)[x]);
            uint32_t a = source.transparent() ? argb >> 24 : 255;
            // Scaled by the mask's alpha over 256, as the original: an opaque source under a
            // mask alpha of 0x12 gets 0x11.
            if (alpha.transparent()) a = ((mask.row(my)[mx] >> 24) * a) >> 8;
            const uint32_t word = premultipliedFromArgb((argb & 0xffffffu) | a << 24);
            uint32_t& out = pixels_.row(y + dy)[x + dx];
            out = mergeAlpha || !transparent_ ? premultipliedOver(word, out) : word;
            if (!transparent_) out |= 0xff000000u;
        }
    }
}

void BitmapData::copyChannel(const BitmapData& source, IntRect from, int toX, int toY, int sourceChannel,
                             int destChannel) {
    const int destShift = channelShift(destChannel), sourceShift = channelShift(sourceChannel);
    if (destShift < 0) return;
    eachSourcePixel(source, from, toX, toY, [&](uint32_t in, uint32_t& out) {
        const uint32_t value = sourceShift < 0 ? 0 : (argbFromPremultiplied(in) >> sourceShift) & 255;
        out = store((argbFromPremultiplied(out) & ~(0xffu << destShift)) | value << destShift);
    });
}

void BitmapData::merge(const BitmapData& source, IntRect from, int toX, int toY, const std::array<int, 4>& multipliers) {
    // Red, green, blue, alpha as the shifts of 0xAARRGGBB.
    static constexpr int kShifts[4] = {16, 8, 0, 24};
    eachSourcePixel(source, from, toX, toY, [&](uint32_t in, uint32_t& out) {
        const uint32_t s = argbFromPremultiplied(in), d = argbFromPremultiplied(out);
        uint32_t mixed = 0;
        for (size_t c = 0; c < 4; ++c) {
            const uint32_t m = uint32_t(std::clamp(multipliers[c], 0, 256));
            const uint32_t sv = (s >> kShifts[c]) & 255, dv = (d >> kShifts[c]) & 255;
            mixed |= ((sv * m + dv * (256 - m)) / 256) << kShifts[c];
        }
        out = store(mixed);
    });
}

void BitmapData::paletteMap(const BitmapData& source, IntRect from, int toX, int toY, const PaletteTables& tables) {
    eachSourcePixel(source, from, toX, toY, [&](uint32_t in, uint32_t& out) {
        const uint32_t s = argbFromPremultiplied(in);
        out = store(tables[0][(s >> 16) & 255] + tables[1][(s >> 8) & 255] + tables[2][s & 255] + tables[3][s >> 24]);
    });
}

int BitmapData::threshold(const BitmapData& source, IntRect from, int toX, int toY, ThresholdTest test,
                          uint32_t thresholdArgb, uint32_t color, uint32_t mask, bool copySource) {
    const uint32_t limit = thresholdArgb & mask;
    auto passes = [&](uint32_t v) {
        switch (test) {
            case ThresholdTest::Less: return v < limit;
            case ThresholdTest::LessOrEqual: return v <= limit;
            case ThresholdTest::Greater: return v > limit;
            case ThresholdTest::GreaterOrEqual: return v >= limit;
            case ThresholdTest::Equal: return v == limit;
            case ThresholdTest::NotEqual: return v != limit;
        }
        return false;
    };
    // Written premultiplied with its alpha even into an opaque bitmap, as the original.
    const uint32_t word = premultipliedFromArgb(color);
    int count = 0;
    eachSourcePixel(source, from, toX, toY, [&](uint32_t in, uint32_t& out) {
        if (passes(in & mask)) {
            out = word;
            ++count;
        } else if (copySource) {
            out = in;  // the stored word as it is, even into an opaque bitmap
        }
    });
    return count;
}

}  // namespace swf
