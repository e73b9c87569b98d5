#include "records.h"

namespace swf {

Rect readRect(Reader& r) {
    r.align();
    int bits = int(r.ubits(5));
    Rect rect;
    rect.xMin = r.sbits(bits);
    rect.xMax = r.sbits(bits);
    rect.yMin = r.sbits(bits);
    rect.yMax = r.sbits(bits);
    r.align();
    return rect;
}

Matrix readMatrix(Reader& r) {
    r.align();
    Matrix m;
    if (r.bit()) {
        int bits = int(r.ubits(5));
        m.a = r.fbits(bits);
        m.d = r.fbits(bits);
    }
    if (r.bit()) {
        int bits = int(r.ubits(5));
        m.b = r.fbits(bits);
        m.c = r.fbits(bits);
    }
    int bits = int(r.ubits(5));
    m.tx = float(r.sbits(bits));
    m.ty = float(r.sbits(bits));
    r.align();
    return m;
}

ColorTransform readColorTransform(Reader& r, bool withAlpha) {
    r.align();
    ColorTransform cx;
    bool hasAdd = r.bit();
    bool hasMul = r.bit();
    int bits = int(r.ubits(4));
    if (hasMul) {
        cx.rMul = int16_t(r.sbits(bits));
        cx.gMul = int16_t(r.sbits(bits));
        cx.bMul = int16_t(r.sbits(bits));
        if (withAlpha) cx.aMul = int16_t(r.sbits(bits));
    }
    if (hasAdd) {
        cx.rAdd = int16_t(r.sbits(bits));
        cx.gAdd = int16_t(r.sbits(bits));
        cx.bAdd = int16_t(r.sbits(bits));
        if (withAlpha) cx.aAdd = int16_t(r.sbits(bits));
    }
    r.align();
    return cx;
}

Rgba readRgb(Reader& r) {
    Rgba c;
    c.r = r.u8();
    c.g = r.u8();
    c.b = r.u8();
    return c;
}

Rgba readRgba(Reader& r) {
    Rgba c = readRgb(r);
    c.a = r.u8();
    return c;
}

}  // namespace swf
