// Decoded bitmaps and the render target share one pixel format: premultiplied BGRA words
// (see premultiply() in geometry.h), rows top to bottom, no padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf {

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // width * height premultiplied BGRA

    Bitmap() = default;
    Bitmap(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    uint32_t* row(int y) { return pixels.data() + size_t(y) * size_t(width); }
    const uint32_t* row(int y) const { return pixels.data() + size_t(y) * size_t(width); }
};

// The render target is a bitmap of the output size.
using Canvas = Bitmap;

// Hard caps for anything a file can ask us to allocate.
constexpr int kMaxBitmapSide = 8192;
constexpr int64_t kMaxBitmapPixels = 16 * 1024 * 1024;

}  // namespace swf
