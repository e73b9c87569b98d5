#include "clip_properties.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <cstdint>

#include "avm1/names.h"

namespace swf {
namespace {

const char* const kNames[] = {
    "_x", "_y", "_xscale", "_yscale", "_currentframe", "_totalframes", "_alpha", "_visible", "_width", "_height",
    "_rotation", "_target", "_framesloaded", "_name", "_droptarget", "_url", "_highquality", "_focusrect",
    "_soundbuftime", "_quality", "_xmouse", "_ymouse",
};

const char* const kQualities[] = {"LOW", "MEDIUM", "HIGH", "BEST"};

constexpr double kPi = 3.14159265358979323846;

void decompose(DisplayState& obj) {
    if (obj.scripted.valid) return;
    const Matrix& m = obj.matrix;
    obj.scripted.xscale = std::sqrt(double(m.a) * m.a + double(m.b) * m.b) * 100;
    obj.scripted.yscale = std::sqrt(double(m.c) * m.c + double(m.d) * m.d) * 100;
    obj.scripted.rotation = std::atan2(double(m.b), double(m.a)) * 180 / kPi;
    // Scales read positive, a mirror included: a clip flipped horizontally reads as turned
    // 180 degrees (the skew between the axes keeps the mirror when the matrix is rebuilt).
    obj.scripted.valid = true;
}

// The matrix from the remembered scale and rotation, keeping the matrix's skew.
void rebuild(DisplayState& obj) {
    Matrix& m = obj.matrix;
    const double oldRotation = std::atan2(double(m.b), double(m.a));
    double skew = std::atan2(-double(m.c), double(m.d)) - oldRotation;
    const double sx = obj.scripted.xscale / 100, sy = obj.scripted.yscale / 100;
    const double r = obj.scripted.rotation * kPi / 180;
    m.a = float(sx * std::cos(r));
    m.b = float(sx * std::sin(r));
    m.c = float(-sy * std::sin(r + skew));
    m.d = float(sy * std::cos(r + skew));
}

}  // namespace

ClipProperty clipPropertyByName(const std::string& name, bool caseSensitive) {
    if (name.empty() || name[0] != '_') return ClipProperty::Count;
    // Every script access to a clip's variable passes here: compare lengths before the names.
    static const auto lengths = [] {
        std::array<size_t, size_t(ClipProperty::Count)> out{};
        for (size_t i = 0; i < out.size(); ++i) out[i] = std::strlen(kNames[i]);
        return out;
    }();
    for (int i = 0; i < int(ClipProperty::Count); ++i)
        if (lengths[size_t(i)] == name.size() && avm1::sameName(name, kNames[i], avm1::NameRule{caseSensitive}))
            return ClipProperty(i);
    return ClipProperty::Count;
}

double pixelsToTwips(double px) {
    double twips = px * 20;
    if (!std::isfinite(twips) || std::fabs(twips) >= 2147483648.0) return double(INT32_MIN);
    return std::trunc(twips);
}

double turnedBoxSide(const Matrix& m, double w, double h, bool width) {
    double lo = 0, hi = 0;
    for (int corner = 0; corner < 4; ++corner) {
        const double x = corner & 1 ? w : 0, y = corner & 2 ? h : 0;
        const double at = std::round(width ? m.a * x + m.c * y : m.b * x + m.d * y);
        lo = corner ? std::min(lo, at) : at;
        hi = corner ? std::max(hi, at) : at;
    }
    return (hi - lo) / 20;
}

double readTransformProperty(DisplayState& obj, ClipProperty p) {
    switch (p) {
        case ClipProperty::X: return obj.matrix.tx / 20.0;
        case ClipProperty::Y: return obj.matrix.ty / 20.0;
        case ClipProperty::XScale: decompose(obj); return obj.scripted.xscale;
        case ClipProperty::YScale: decompose(obj); return obj.scripted.yscale;
        case ClipProperty::Rotation: decompose(obj); return obj.scripted.rotation;
        case ClipProperty::Alpha: return obj.colorTransform.aMul / 256.0 * 100;
        default: return 0;
    }
}

void writeTransformProperty(DisplayState& obj, ClipProperty p, double value) {
    switch (p) {
        case ClipProperty::X: obj.matrix.tx = float(pixelsToTwips(value)); break;
        case ClipProperty::Y: obj.matrix.ty = float(pixelsToTwips(value)); break;
        case ClipProperty::XScale:
            decompose(obj);
            obj.scripted.xscale = value;
            rebuild(obj);
            break;
        case ClipProperty::YScale:
            decompose(obj);
            obj.scripted.yscale = value;
            rebuild(obj);
            break;
        case ClipProperty::Rotation: {
            decompose(obj);
            double deg = std::fmod(value, 360.0);
            if (deg > 180) deg -= 360;
            if (deg < -180) deg += 360;
            obj.scripted.rotation = deg;
            rebuild(obj);
            break;
        }
        case ClipProperty::Alpha: {
            double mul = value * 2.56;
            // Out of the 16-bit range (infinities too) the multiplier wraps to 0, as in the original.
            obj.colorTransform.aMul = std::fabs(mul) < 32768 ? int16_t(std::trunc(mul)) : int16_t(0);
            break;
        }
        default: break;
    }
    obj.transformedByScript = true;  // the timeline no longer moves or tints it
}

ClipScales scalesForSize(bool width, double value, double contentWidth, double contentHeight,
                         double rotationDegrees, double scaleX, double scaleY) {
    // Written for _width; _height is the same with the sides (and the two scales) exchanged.
    const double side = width ? contentWidth : contentHeight;
    const double other = width ? contentHeight : contentWidth;
    const double keptScale = width ? scaleX : scaleY;
    const double otherScale = width ? scaleY : scaleX;
    const double ratio = other / side;
    const double alongSide = side != 0 ? value / side : 0;
    const double alongOther = side != 0 ? value / other : 0;
    const double radians = rotationDegrees * 3.14159265358979323846 / 180;
    const double c = std::fabs(std::cos(radians)), s = std::fabs(std::sin(radians));
    double sideScale = ratio * (c * alongSide + s * alongOther) / ((c + ratio * s) * (ratio * c + s));
    double otherNew = (s * keptScale + ratio * c * otherScale) / (ratio * c + s);
    if (!std::isfinite(sideScale)) sideScale = 0;
    if (!std::isfinite(otherNew)) otherNew = 0;
    return width ? ClipScales{sideScale, otherNew} : ClipScales{otherNew, sideScale};
}

std::optional<double> propertyNumber(avm1::Vm& vm, const avm1::Value& value) {
    if (value.isUndefined() || value.isNull()) return std::nullopt;
    double n = vm.toNumber(value);
    if (std::isnan(n)) return std::nullopt;
    return n;
}

int qualityByName(const std::string& name) {
    for (int i = 0; i < 4; ++i)
        if (avm1::sameName(name, kQualities[i], avm1::NameRule{false})) return i;
    return -1;
}

const char* qualityName(int quality) { return kQualities[quality < 0 || quality > 3 ? 2 : quality]; }

}  // namespace swf
