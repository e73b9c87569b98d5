#include "native_outline.h"

#include <text/outline_builder.h>

namespace swf {
namespace {

constexpr uint16_t kPrimLine = 1, kPrimQSpline = 2, kPrimCSpline = 3;
constexpr size_t kHeaderSize = 16;  // TTPOLYGONHEADER
constexpr size_t kPointSize = 8;    // POINTFX

class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool has(size_t at, size_t n) const { return at <= size_ && n <= size_ - at; }
    uint16_t u16(size_t at) const { return uint16_t(data_[at] | data_[at + 1] << 8); }
    uint32_t u32(size_t at) const { return uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16; }
    // POINTFX: FIXED x, FIXED y; FIXED is a WORD fraction then a SHORT value. y turns down.
    Point point(size_t at) const {
        auto fixed = [&](size_t p) { return float(int16_t(u16(p + 2))) + float(u16(p)) / 65536.0f; };
        return {fixed(at), -fixed(at + 4)};
    }

private:
    const uint8_t* data_;
    size_t size_;
};

void readCurves(const Bytes& b, size_t at, size_t end, OutlineBuilder& out) {
    while (at + 4 <= end) {
        uint16_t type = b.u16(at);
        size_t count = b.u16(at + 2);
        size_t points = at + 4;
        if (count * kPointSize > end - points) return;
        for (size_t i = 0; i < count; ++i) {
            Point p = b.point(points + i * kPointSize);
            if (type == kPrimQSpline && i + 1 < count) {
                Point next = b.point(points + (i + 1) * kPointSize);
                bool last = i + 2 == count;
                out.quadTo(p, last ? next : Point{(p.x + next.x) / 2, (p.y + next.y) / 2});
                if (last) break;  // `next` ended the curve
            } else if (type == kPrimLine || type == kPrimQSpline || type == kPrimCSpline) {
                out.lineTo(p);
            }
        }
        at = points + count * kPointSize;
    }
}

}  // namespace

Shape shapeFromNativeOutline(const uint8_t* data, size_t size) {
    OutlineBuilder out;
    Bytes b(data, size);
    for (size_t at = 0; b.has(at, kHeaderSize);) {
        size_t cb = b.u32(at);
        if (cb < kHeaderSize || !b.has(at, cb)) break;
        out.moveTo(b.point(at + 8));
        readCurves(b, at + kHeaderSize, at + cb, out);
        at += cb;
    }
    return out.finish();
}

}  // namespace swf
