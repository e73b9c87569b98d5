#include "records.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace swfw {
namespace {

int bitsForAll(std::initializer_list<int32_t> values) {
    int n = 1;
    for (int32_t v : values) n = std::max(n, BitWriter::signedBits(v));
    return n;
}

int32_t toFixed16(float v) { return int32_t(std::lround(double(v) * 65536.0)); }

void writeGradient(BitWriter& w, const swf::Gradient& g, int shapeVersion, bool focal) {
    writeMatrix(w, g.matrix);
    w.ubits(uint32_t(g.spread), 2);
    w.ubits(uint32_t(g.interpolation), 2);
    w.ubits(uint32_t(std::min<size_t>(g.records.size(), 15)), 4);
    for (size_t i = 0; i < g.records.size() && i < 15; ++i) {
        w.u8(g.records[i].ratio);
        writeColor(w, g.records[i].color, shapeVersion >= 3);
    }
    if (focal) w.fixed8(g.focalPoint);
}

}  // namespace

void writeRect(BitWriter& w, const swf::Rect& r) {
    int n = bitsForAll({r.xMin, r.xMax, r.yMin, r.yMax});
    w.align();
    w.ubits(uint32_t(n), 5);
    w.sbits(r.xMin, n);
    w.sbits(r.xMax, n);
    w.sbits(r.yMin, n);
    w.sbits(r.yMax, n);
    w.align();
}

void writeMatrix(BitWriter& w, const swf::Matrix& m) {
    w.align();
    bool hasScale = m.a != 1 || m.d != 1;
    w.bit(hasScale);
    if (hasScale) {
        int32_t a = toFixed16(m.a), d = toFixed16(m.d);
        int n = bitsForAll({a, d});
        w.ubits(uint32_t(n), 5);
        w.sbits(a, n);
        w.sbits(d, n);
    }
    bool hasRotate = m.b != 0 || m.c != 0;
    w.bit(hasRotate);
    if (hasRotate) {
        int32_t b = toFixed16(m.b), c = toFixed16(m.c);
        int n = bitsForAll({b, c});
        w.ubits(uint32_t(n), 5);
        w.sbits(b, n);
        w.sbits(c, n);
    }
    int32_t tx = int32_t(std::lround(m.tx)), ty = int32_t(std::lround(m.ty));
    int n = (tx == 0 && ty == 0) ? 0 : bitsForAll({tx, ty});
    w.ubits(uint32_t(n), 5);
    w.sbits(tx, n);
    w.sbits(ty, n);
    w.align();
}

void writeColorTransform(BitWriter& w, const swf::ColorTransform& cx, bool withAlpha) {
    bool hasMul = cx.rMul != 256 || cx.gMul != 256 || cx.bMul != 256 || (withAlpha && cx.aMul != 256);
    bool hasAdd = cx.rAdd != 0 || cx.gAdd != 0 || cx.bAdd != 0 || (withAlpha && cx.aAdd != 0);
    int n = std::min(15, bitsForAll({cx.rMul, cx.gMul, cx.bMul, cx.aMul, cx.rAdd, cx.gAdd, cx.bAdd, cx.aAdd}));
    w.align();
    w.bit(hasAdd);
    w.bit(hasMul);
    w.ubits(uint32_t(n), 4);
    if (hasMul) {
        w.sbits(cx.rMul, n);
        w.sbits(cx.gMul, n);
        w.sbits(cx.bMul, n);
        if (withAlpha) w.sbits(cx.aMul, n);
    }
    if (hasAdd) {
        w.sbits(cx.rAdd, n);
        w.sbits(cx.gAdd, n);
        w.sbits(cx.bAdd, n);
        if (withAlpha) w.sbits(cx.aAdd, n);
    }
    w.align();
}

void writeColor(BitWriter& w, swf::Rgba c, bool withAlpha) {
    w.u8(c.r);
    w.u8(c.g);
    w.u8(c.b);
    if (withAlpha) w.u8(c.a);
}

void writeFillStyle(BitWriter& w, const swf::FillStyle& f, int shapeVersion) {
    w.u8(uint8_t(f.type));
    switch (f.type) {
        case swf::FillType::Solid: writeColor(w, f.color, shapeVersion >= 3); break;
        case swf::FillType::LinearGradient:
        case swf::FillType::RadialGradient:
        case swf::FillType::FocalGradient:
            writeGradient(w, f.gradient, shapeVersion, f.type == swf::FillType::FocalGradient);
            break;
        default:
            w.u16(f.bitmapId);
            writeMatrix(w, f.bitmapMatrix);
            break;
    }
}

void writeLineStyle(BitWriter& w, const swf::LineStyle& l, int shapeVersion) {
    w.u16(l.width);
    if (shapeVersion < 4) {
        writeColor(w, l.color, shapeVersion >= 3);
        return;
    }
    w.ubits(uint32_t(l.startCap), 2);
    w.ubits(uint32_t(l.join), 2);
    w.bit(l.hasFill);
    w.bit(l.noHScale);
    w.bit(l.noVScale);
    w.bit(l.pixelHinting);
    w.ubits(0, 5);
    w.bit(l.noClose);
    w.ubits(uint32_t(l.endCap), 2);
    if (l.join == swf::JoinStyle::Miter) w.fixed8(l.miterLimit);
    if (l.hasFill) writeFillStyle(w, l.fill, shapeVersion);
    else writeColor(w, l.color, true);
}

}  // namespace swfw
