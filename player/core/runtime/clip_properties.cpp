#include "clip_properties.h"

#include <cmath>

#include "avm1/names.h"

namespace swf {
namespace {

const char* const kNames[] = {
    "_x", "_y", "_xscale", "_yscale", "_currentframe", "_totalframes", "_alpha", "_visible", "_width", "_height",
    "_rotation", "_target", "_framesloaded", "_name", "_droptarget", "_url", "_highquality", "_focusrect",
    "_soundbuftime", "_quality", "_xmouse", "_ymouse",
};

constexpr double kPi = 3.14159265358979323846;

}  // namespace

ClipProperty clipPropertyByName(const std::string& name, bool caseSensitive) {
    if (name.empty() || name[0] != '_') return ClipProperty::Count;
    for (int i = 0; i < int(ClipProperty::Count); ++i)
        if (avm1::sameName(name, kNames[i], avm1::NameRule{caseSensitive})) return ClipProperty(i);
    return ClipProperty::Count;
}

double readTransformProperty(const DisplayState& obj, ClipProperty p) {
    const Matrix& m = obj.matrix;
    switch (p) {
        case ClipProperty::X: return m.tx / 20.0;
        case ClipProperty::Y: return m.ty / 20.0;
        case ClipProperty::XScale: return std::sqrt(double(m.a) * m.a + double(m.b) * m.b) * 100;
        case ClipProperty::YScale: return std::sqrt(double(m.c) * m.c + double(m.d) * m.d) * 100;
        case ClipProperty::Rotation: return std::atan2(double(m.b), double(m.a)) * 180 / kPi;
        case ClipProperty::Alpha: return obj.colorTransform.aMul / 256.0 * 100;
        default: return 0;
    }
}

void writeTransformProperty(DisplayState& obj, ClipProperty p, double value) {
    if (!std::isfinite(value)) return;
    Matrix& m = obj.matrix;
    double xscale = std::sqrt(double(m.a) * m.a + double(m.b) * m.b);
    double yscale = std::sqrt(double(m.c) * m.c + double(m.d) * m.d);
    double rotation = std::atan2(double(m.b), double(m.a));
    double skew = std::atan2(-double(m.c), double(m.d)) - rotation;
    auto rebuild = [&] {
        m.a = float(xscale * std::cos(rotation));
        m.b = float(xscale * std::sin(rotation));
        m.c = float(-yscale * std::sin(rotation + skew));
        m.d = float(yscale * std::cos(rotation + skew));
    };
    switch (p) {
        case ClipProperty::X: m.tx = float(std::round(value * 20)); break;
        case ClipProperty::Y: m.ty = float(std::round(value * 20)); break;
        case ClipProperty::XScale: xscale = value / 100; rebuild(); break;
        case ClipProperty::YScale: yscale = value / 100; rebuild(); break;
        case ClipProperty::Rotation: {
            double deg = std::fmod(value, 360.0);
            if (deg > 180) deg -= 360;
            if (deg < -180) deg += 360;
            rotation = deg * kPi / 180;
            rebuild();
            break;
        }
        case ClipProperty::Alpha: obj.colorTransform.aMul = int16_t(std::max(-32768.0, std::min(32767.0, value * 2.56))); break;
        default: break;
    }
}

}  // namespace swf
