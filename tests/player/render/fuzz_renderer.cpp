// libFuzzer target for the rasterizer alone: the input bytes describe shapes, paints, matrices,
// clip rectangles and mask calls directly (no SWF parsing), at every quality level, so that the
// exact-area path and the strokes see far more shapes than whole movies would give them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "renderer.h"

namespace {

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t u8() { return at_ < size_ ? data_[at_++] : 0; }
    uint16_t u16() { return uint16_t(u8() | (u8() << 8)); }
    // Mostly small twips values; one in eight is any float bit pattern (NaN, infinities...).
    float number() {
        if ((u8() & 7) != 0) return float(int16_t(u16()));
        uint32_t bits = uint32_t(u16()) | (uint32_t(u16()) << 16);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    swf::Rgba color() { return {u8(), u8(), u8(), u8()}; }
    swf::Matrix matrix() {
        if (u8() & 1) return swf::Matrix::scale(1.0f / 20, 1.0f / 20);
        return {number() / 1024, number() / 1024, number() / 1024, number() / 1024, number(), number()};
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

swf::FillStyle readFill(ByteReader& in) {
    static const swf::FillType types[] = {
        swf::FillType::Solid, swf::FillType::LinearGradient, swf::FillType::RadialGradient,
        swf::FillType::FocalGradient, swf::FillType::RepeatingBitmap, swf::FillType::ClippedBitmap,
        swf::FillType::NonSmoothedRepeatingBitmap, swf::FillType::NonSmoothedClippedBitmap};
    swf::FillStyle f;
    f.type = types[in.u8() % 8];
    f.color = in.color();
    f.gradient.matrix = in.matrix();
    f.gradient.spread = swf::SpreadMode(in.u8() % 3);
    f.gradient.interpolation = swf::InterpolationMode(in.u8() % 2);
    f.gradient.focalPoint = in.number() / 256;
    for (int n = in.u8() % 16; n > 0; --n) f.gradient.records.push_back({in.u8(), in.color()});
    if (f.isBitmap() && (in.u8() & 3) != 0) {
        auto bitmap = std::make_shared<swf::Bitmap>(1 + in.u8() % 8, 1 + in.u8() % 8);
        for (uint32_t& p : bitmap->pixels) p = swf::premultiply(in.color());
        f.bitmap = bitmap;
    }
    f.bitmapMatrix = in.matrix();
    return f;
}

swf::Shape readShape(ByteReader& in) {
    swf::Shape shape;
    shape.nonZeroWinding = in.u8() & 1;
    shape.layers.resize(1 + in.u8() % 3);
    for (swf::ShapeLayer& layer : shape.layers) {
        for (int n = in.u8() % 5; n > 0; --n) layer.fills.push_back(readFill(in));
        for (int n = in.u8() % 3; n > 0; --n) {
            swf::LineStyle line;
            line.width = in.u16();
            line.color = in.color();
            line.startCap = swf::CapStyle(in.u8() % 3);
            line.endCap = swf::CapStyle(in.u8() % 3);
            line.join = swf::JoinStyle(in.u8() % 3);
            line.miterLimit = in.number() / 64;
            uint8_t flags = in.u8();
            line.noHScale = flags & 1;
            line.noVScale = flags & 2;
            line.noClose = flags & 4;
            line.hasFill = flags & 8;
            if (line.hasFill) line.fill = readFill(in);
            layer.lines.push_back(line);
        }
        swf::Point pen{in.number(), in.number()};
        for (int n = in.u16() % 512; n > 0; --n) {
            swf::Edge e;
            uint8_t flags = in.u8();
            e.from = flags & 1 ? swf::Point{in.number(), in.number()} : pen;
            e.to = {in.number(), in.number()};
            e.curved = flags & 2;
            if (e.curved) e.control = {in.number(), in.number()};
            e.fill0 = uint16_t(in.u8() % 6);
            e.fill1 = uint16_t(in.u8() % 6);
            e.line = uint16_t(in.u8() % 4);
            layer.edges.push_back(e);
            pen = e.to;
        }
    }
    return shape;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    swf::Canvas canvas(64, 48, 0xffffffffu);
    swf::Renderer renderer(canvas, swf::Quality(in.u8() % 3));
    const swf::Shape shape = readShape(in);
    for (int n = 1 + in.u8() % 8; n > 0; --n) {
        switch (in.u8() % 6) {
            case 0: renderer.beginMask(); break;
            case 1: renderer.endMask(); break;
            case 2: renderer.popMask(); break;
            case 3:
                renderer.setClipRect({int8_t(in.u8()), int8_t(in.u8()), int8_t(in.u8()), int8_t(in.u8())});
                break;
            default: {
                swf::ColorTransform cx{int16_t(in.u16()), int16_t(in.u16()), 256, int16_t(in.u16()), 0, int16_t(in.u16()), 0, 0};
                renderer.drawShape(shape, in.matrix(), cx);
            }
        }
    }
    // Whatever was drawn must stay valid premultiplied colour.
    for (uint32_t p : canvas.pixels) {
        uint32_t a = p >> 24;
        if (((p >> 16) & 255u) > a || ((p >> 8) & 255u) > a || (p & 255u) > a) __builtin_trap();
    }
    return 0;
}
