// BitmapData questions that change nothing: hit tests against the alpha channel, the bounds of
// a colour, and the comparison of two bitmaps.
#include <algorithm>

#include "bitmap_data.h"

namespace swf {

bool BitmapData::hitTestPoint(int x, int y, int alphaThreshold) const {
    if (!valid() || x < 0 || y < 0 || x >= pixels_.width || y >= pixels_.height) return false;
    const int alpha = int(pixels_.row(y)[x] >> 24);
    return alpha > 0 && alpha >= alphaThreshold;
}

bool BitmapData::hitTestRect(IntRect rect, int alphaThreshold) const {
    const IntRect r{std::max(rect.x0, 0), std::max(rect.y0, 0), std::min(rect.x1, pixels_.width),
                    std::min(rect.y1, pixels_.height)};
    if (!valid() || r.empty()) return false;
    for (int y = r.y0; y < r.y1; ++y) {
        const uint32_t* row = pixels_.row(y);
        for (int x = r.x0; x < r.x1; ++x)
            if (int(row[x] >> 24) >= alphaThreshold) return true;
    }
    return false;
}

bool BitmapData::hitTestBitmap(int x, int y, int alphaThreshold, const BitmapData& other, int otherX, int otherY,
                               int otherAlphaThreshold) const {
    if (!valid() || !other.valid()) return false;
    // The other bitmap's pixel (0, 0) lies at (ox, oy) of this one.
    const int ox = otherX - x, oy = otherY - y;
    const int x0 = std::max(0, ox), y0 = std::max(0, oy);
    const int x1 = std::min(pixels_.width, ox + other.pixels_.width), y1 = std::min(pixels_.height, oy + other.pixels_.height);
    for (int row = y0; row < y1; ++row) {
        const uint32_t* mine = pixels_.row(row);
        const uint32_t* theirs = other.pixels_.row(row - oy);
        for (int col = x0; col < x1; ++col) {
            if (int(mine[col] >> 24) >= alphaThreshold && int(theirs[col - ox] >> 24) >= otherAlphaThreshold) return true;
        }
    }
    return false;
}

IntRect BitmapData::colorBounds(uint32_t mask, uint32_t color, bool findColor) const {
    if (!valid()) return {};
    // A transparent bitmap compares the colour masked too. An opaque one compares it whole,
    // its pixels taking the colour's alpha: mask 0 finds every opaque pixel unlike 0x00ff0000
    // (every transparent one like it), and 0xaa000000 under mask 0xff000000 finds them all.
    if (transparent_) color &= mask;
    const uint32_t alphaOf = transparent_ ? 0 : 0xff000000u;
    const uint32_t takenAlpha = color & alphaOf;
    int minX = pixels_.width, minY = pixels_.height, maxX = 0, maxY = 0;
    for (int y = 0; y < pixels_.height; ++y) {
        const uint32_t* row = pixels_.row(y);
        for (int x = 0; x < pixels_.width; ++x) {
            if (((((row[x] & ~alphaOf) | takenAlpha) & mask) == color) != findColor) continue;
            minX = std::min(minX, x);
            minY = std::min(minY, y);
            maxX = std::max(maxX, x);
            maxY = std::max(maxY, y);
        }
    }
    if (maxX == 0 && maxY == 0) return {};
    return {minX, minY, maxX + 1, maxY + 1};
}

std::unique_ptr<BitmapData> BitmapData::compare(const BitmapData& other) const {
    if (!valid() || !other.valid() || pixels_.width != other.pixels_.width || pixels_.height != other.pixels_.height)
        return nullptr;
    auto result = std::make_unique<BitmapData>(pixels_.width, pixels_.height, true, 0);
    bool different = false;
    for (size_t i = 0; i < pixels_.pixels.size(); ++i) {
        const uint32_t a = argbFromPremultiplied(pixels_.pixels[i]), b = argbFromPremultiplied(other.pixels_.pixels[i]);
        if (a == b) continue;
        different = true;
        uint32_t diff;
        if ((a & 0xffffffu) != (b & 0xffffffu)) {
            auto sub = [&](int shift) { return (((a >> shift) & 255) - ((b >> shift) & 255)) & 255; };
            diff = 0xff000000u | sub(16) << 16 | sub(8) << 8 | sub(0);
        } else {
            diff = (((a >> 24) - (b >> 24)) & 255) << 24 | 0xffffffu;
        }
        result->pixels_.pixels[i] = result->store(diff);
    }
    return different ? std::move(result) : nullptr;
}

}  // namespace swf
