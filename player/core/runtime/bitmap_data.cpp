#include "bitmap_data.h"

#include <algorithm>
#include <cmath>

namespace swf {

namespace {

IntRect cut(IntRect r, IntRect to) {
    IntRect c{std::max(r.x0, to.x0), std::max(r.y0, to.y0), std::min(r.x1, to.x1), std::min(r.y1, to.y1)};
    return c.empty() ? IntRect{} : c;
}

Rgba straight(uint32_t word) {
    const uint32_t a = word >> 24;
    if (a == 0) return {0, 0, 0, 0};
    // As the original reads its pixels back: times a reciprocal of 8 fraction bits cut down
    // (65280 / a), then rounded with halves downwards. So 4 at alpha 18 reads 57 (56.67 up)
    // but 90 at alpha 121 reads 189 (189.67 down); 0xAABBCCDD stored at alpha 0xAA reads
    // 0xAABBCCDC, 0x12345678 reads 0x12395571.
    const uint32_t reciprocal = 65280 / a;
    auto un = [reciprocal](uint32_t v) { return uint8_t(std::min<uint32_t>(255, (v * reciprocal + 127) >> 8)); };
    return {un((word >> 16) & 255), un((word >> 8) & 255), un(word & 255), uint8_t(a)};
}

}  // namespace

uint32_t premultipliedOver(uint32_t src, uint32_t dst) {
    const uint32_t inv = 255 - (src >> 24);
    auto ch = [&](int shift) {
        const uint32_t s = (src >> shift) & 255, d = (dst >> shift) & 255;
        return std::min<uint32_t>(255, s + d * inv / 255) << shift;
    };
    return ch(24) | ch(16) | ch(8) | ch(0);
}

uint32_t premultipliedFromArgb(uint32_t argb) {
    return premultiply(Rgba{uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb), uint8_t(argb >> 24)});
}

uint32_t argbFromPremultiplied(uint32_t word) {
    const Rgba c = straight(word);
    return uint32_t(c.a) << 24 | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
}

bool BitmapData::sizeAllowed(int width, int height, int swfVersion) {
    if (width < 1 || height < 1) return false;
    if (swfVersion < 10) return width <= kMaxSide && height <= kMaxSide;
    return width <= kMaxSideFromSwf10 && height <= kMaxSideFromSwf10 && int64_t(width) * height <= kMaxPixelsFromSwf10;
}

BitmapData::BitmapData(int width, int height, bool transparent, uint32_t fillArgb) : transparent_(transparent) {
    if (!sizeAllowed(width, height, 10)) return;
    pixels_ = Bitmap(width, height, store(fillArgb));
}

BitmapData::BitmapData(const Bitmap& pixels) {
    if (sizeAllowed(pixels.width, pixels.height, 10)) pixels_ = pixels;
}

bool BitmapData::sourceArea(const BitmapData& source, IntRect from, int toX, int toY, IntRect& src, int& dx,
                            int& dy) const {
    if (!valid() || !source.valid()) return false;
    dx = toX - from.x0;
    dy = toY - from.y0;
    const IntRect inSource = cut(from, source.bounds());
    const IntRect target = cut(IntRect{inSource.x0 + dx, inSource.y0 + dy, inSource.x1 + dx, inSource.y1 + dy}, bounds());
    if (target.empty()) return false;
    src = IntRect{target.x0 - dx, target.y0 - dy, target.x1 - dx, target.y1 - dy};
    return true;
}

uint32_t BitmapData::store(uint32_t argb) const {
    if (!transparent_) argb |= 0xff000000u;
    return premultipliedFromArgb(argb);
}

uint32_t BitmapData::getPixel32(int x, int y) const {
    if (!valid() || x < 0 || y < 0 || x >= pixels_.width || y >= pixels_.height) return 0;
    // An opaque bitmap's words are read as they are: threshold's copySource can leave a
    // translucent word in one (0x12345678 copied reads 0x12040608).
    if (!transparent_) return pixels_.row(y)[x];
    return argbFromPremultiplied(pixels_.row(y)[x]);
}

void BitmapData::setPixel32(int x, int y, uint32_t argb) {
    ++version_;
    if (!valid() || x < 0 || y < 0 || x >= pixels_.width || y >= pixels_.height) return;
    pixels_.row(y)[x] = store(argb);
}

void BitmapData::setPixel(int x, int y, uint32_t rgb) {
    ++version_;
    if (!valid() || x < 0 || y < 0 || x >= pixels_.width || y >= pixels_.height) return;
    const uint32_t alpha = pixels_.row(y)[x] & 0xff000000u;
    pixels_.row(y)[x] = store(alpha | (rgb & 0xffffffu));
}

void BitmapData::fillRect(IntRect rect, uint32_t argb) {
    ++version_;
    const IntRect r = cut(rect, bounds());
    const uint32_t word = store(argb);
    for (int y = r.y0; y < r.y1; ++y) std::fill(pixels_.row(y) + r.x0, pixels_.row(y) + r.x1, word);
}

void BitmapData::copyPixels(const BitmapData& source, IntRect from, int toX, int toY, bool mergeAlpha) {
    ++version_;
    IntRect src;
    int dx, dy;
    if (!sourceArea(source, from, toX, toY, src, dx, dy)) return;
    // A copy within one bitmap reads everything before writing.
    const Bitmap copy = &source == this ? source.pixels_ : Bitmap();
    const Bitmap& read = &source == this ? copy : source.pixels_;
    for (int y = src.y0; y < src.y1; ++y) {
        const uint32_t* in = read.row(y);
        uint32_t* out = pixels_.row(y + dy);
        for (int x = src.x0; x < src.x1; ++x) {
            // Into an opaque bitmap a translucent pixel always goes over what lies there.
            const bool blend = mergeAlpha || !transparent_;
            out[x + dx] = blend ? premultipliedOver(in[x], out[x + dx]) : in[x];
        }
    }
}

void BitmapData::colorTransform(IntRect rect, const ColorTransform& cx) {
    ++version_;
    const IntRect r = cut(rect, bounds());
    for (int y = r.y0; y < r.y1; ++y) {
        uint32_t* row = pixels_.row(y);
        for (int x = r.x0; x < r.x1; ++x) {
            Rgba c = cx.apply(straight(row[x]));
            if (!transparent_) c.a = 255;
            row[x] = premultiply(c);
        }
    }
}

void BitmapData::scroll(int dx, int dy) {
    ++version_;
    if (!valid()) return;
    const Bitmap before = pixels_;
    const int w = pixels_.width, h = pixels_.height;
    for (int y = std::max(0, dy); y < std::min(h, h + dy); ++y) {
        const uint32_t* in = before.row(y - dy);
        uint32_t* out = pixels_.row(y);
        for (int x = std::max(0, dx); x < std::min(w, w + dx); ++x) out[x] = in[x - dx];
    }
}

bool BitmapData::floodFill(int x, int y, uint32_t argb) {
    ++version_;
    if (!valid() || x < 0 || y < 0 || x >= pixels_.width || y >= pixels_.height) return false;
    const uint32_t target = pixels_.row(y)[x], word = store(argb);
    if (target == word) return false;
    // Span filling with an explicit stack: at most one entry per pixel, never recursion.
    std::vector<std::pair<int, int>> stack{{x, y}};
    while (!stack.empty()) {
        auto [sx, sy] = stack.back();
        stack.pop_back();
        uint32_t* row = pixels_.row(sy);
        if (row[sx] != target) continue;
        int left = sx, right = sx;
        while (left > 0 && row[left - 1] == target) --left;
        while (right + 1 < pixels_.width && row[right + 1] == target) ++right;
        std::fill(row + left, row + right + 1, word);
        for (int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= pixels_.height) continue;
            const uint32_t* next = pixels_.row(ny);
            for (int nx = left; nx <= right; ++nx) {
                if (next[nx] == target && (nx == left || next[nx - 1] != target)) stack.push_back({nx, ny});
            }
        }
    }
    return true;
}

void BitmapData::applyFilter(const BitmapData& source, IntRect from, int toX, int toY, const Filter& filter) {
    ++version_;
    if (!valid() || !source.valid()) return;
    const IntRect src = cut(from, source.bounds());
    if (src.empty()) return;
    Bitmap part(src.x1 - src.x0, src.y1 - src.y0);
    for (int y = src.y0; y < src.y1; ++y)
        std::copy(source.pixels_.row(y) + src.x0, source.pixels_.row(y) + src.x1, part.row(y - src.y0));
    // The part filtered in a layer over transparency, then written over the target rectangle.
    const int x = toX + (src.x0 - from.x0), y = toY + (src.y0 - from.y0);
    Bitmap filtered(pixels_.width, pixels_.height, 0);
    {
        Renderer r(filtered, Quality::High);
        r.beginLayer(bounds());
        r.drawKeptLayer(part, x, y, BlendMode::Normal);
        r.endLayer(BlendMode::Normal, {filter});
    }
    const IntRect target = cut(IntRect{x, y, x + part.width, y + part.height}, bounds());
    for (int row = target.y0; row < target.y1; ++row) {
        for (int col = target.x0; col < target.x1; ++col) {
            uint32_t p = filtered.row(row)[col];
            if (!transparent_) p = premultipliedOver(p, 0xff000000u);
            pixels_.row(row)[col] = p;
        }
    }
}

}  // namespace swf
