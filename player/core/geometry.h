// Basic value types shared by the SWF parser and the renderer: twips, matrices, colours,
// colour transforms. Portable: never include platform headers here.
#pragma once

#include <algorithm>
#include <cstdint>

namespace swf {

// SWF coordinates are twips, 1/20 of a pixel at 100 % scale.
constexpr int kTwipsPerPixel = 20;

struct Point {
    float x = 0;
    float y = 0;
};

inline bool operator==(Point a, Point b) { return a.x == b.x && a.y == b.y; }
inline bool operator!=(Point a, Point b) { return !(a == b); }

// Axis-aligned rectangle, min inclusive, max exclusive where it matters (pixels).
struct Rect {
    int32_t xMin = 0;
    int32_t xMax = 0;
    int32_t yMin = 0;
    int32_t yMax = 0;
    bool empty() const { return xMax <= xMin || yMax <= yMin; }
    int32_t width() const { return xMax - xMin; }
    int32_t height() const { return yMax - yMin; }
};

// Affine transform in SWF order: x' = a*x + c*y + tx, y' = b*x + d*y + ty
// (a = ScaleX, b = RotateSkew0, c = RotateSkew1, d = ScaleY).
struct Matrix {
    float a = 1, b = 0, c = 0, d = 1;
    float tx = 0, ty = 0;

    Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }

    // this * other: apply `other` first, then this.
    Matrix operator*(const Matrix& o) const {
        return {a * o.a + c * o.b, b * o.a + d * o.b, a * o.c + c * o.d,
                b * o.c + d * o.d, a * o.tx + c * o.ty + tx, b * o.tx + d * o.ty + ty};
    }

    static Matrix scale(float sx, float sy) { return {sx, 0, 0, sy, 0, 0}; }
    static Matrix translate(float x, float y) { return {1, 0, 0, 1, x, y}; }
};

// Straight (not premultiplied) 8-bit colour as stored in SWF files.
struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

inline bool operator==(Rgba x, Rgba y) { return x.r == y.r && x.g == y.g && x.b == y.b && x.a == y.a; }

// Premultiplied BGRA in one word: byte order in memory B, G, R, A on little-endian machines,
// which is what a 32-bit DIB section expects.
inline uint32_t premultiply(Rgba c) {
    auto mul = [&](uint8_t v) { return uint32_t((v * c.a + 127) / 255); };
    return (uint32_t(c.a) << 24) | (mul(c.r) << 16) | (mul(c.g) << 8) | mul(c.b);
}

// SWF colour transform: channel' = clamp(channel * mult / 256 + add), applied to straight colour.
struct ColorTransform {
    int16_t rMul = 256, gMul = 256, bMul = 256, aMul = 256;
    int16_t rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;

    bool isIdentity() const {
        return rMul == 256 && gMul == 256 && bMul == 256 && aMul == 256 && rAdd == 0 && gAdd == 0 &&
               bAdd == 0 && aAdd == 0;
    }

    Rgba apply(Rgba c) const {
        auto ch = [](int v, int mul, int add) {
            return uint8_t(std::clamp(((v * mul) >> 8) + add, 0, 255));
        };
        return {ch(c.r, rMul, rAdd), ch(c.g, gMul, gAdd), ch(c.b, bMul, bAdd), ch(c.a, aMul, aAdd)};
    }

    // this * inner: apply `inner` first (the child's own transform), then this (the parent's).
    // In 8.8 fixed point, each field wrapping to 16 bits as the original's sum does, for drawing
    // as for scripts reading a concatenated transform (an offset of -523 under a blue
    // multiplier of 127.5 comes out as -1147, not held at -32768).
    ColorTransform operator*(const ColorTransform& in) const {
        auto wrap = [](int v) { return int16_t(uint16_t(unsigned(v))); };
        auto mulc = [&](int outer, int inner) { return wrap((outer * inner) >> 8); };
        auto addc = [&](int outerMul, int innerAdd, int outerAdd) { return wrap(((innerAdd * outerMul) >> 8) + outerAdd); };
        return {mulc(rMul, in.rMul), mulc(gMul, in.gMul), mulc(bMul, in.bMul), mulc(aMul, in.aMul),
                addc(rMul, in.rAdd, rAdd), addc(gMul, in.gAdd, gAdd), addc(bMul, in.bAdd, bAdd),
                addc(aMul, in.aAdd, aAdd)};
    }
};

}  // namespace swf
