// flash.geom.Matrix: a, b, c, d, tx, ty as plain properties (translation in pixels). The
// methods compose through each other (rotate and scale through concat, createBox through
// identity, rotate and scale) as the original's do, so a script overriding one sees it used.
#include <cmath>

#include "../avm1/native_class.h"
#include "geom_classes.h"
#include "script_values.h"

namespace swf::geom {
namespace {

using avm1::Arguments;

constexpr const char* kFields[] = {"a", "b", "c", "d", "tx", "ty"};

void identity(Vm& vm, const Value& self) {
    // the diagonal first, each pair backwards: the order for-in shows
    put(vm, self, "d", Value::number(1));
    put(vm, self, "a", Value::number(1));
    put(vm, self, "c", Value::number(0));
    put(vm, self, "b", Value::number(0));
    put(vm, self, "ty", Value::number(0));
    put(vm, self, "tx", Value::number(0));
}

Value construct(Vm& vm, const Value& self, const Arguments& args) {
    if (args.empty()) {
        identity(vm, self);
        return Value();
    }
    for (size_t i = 0; i < 6; ++i) put(vm, self, kFields[i], args[i]);
    return Value();
}

Value identityMethod(Vm& vm, const Value& self, const Arguments&) {
    identity(vm, self);
    return Value();
}

double field(Vm& vm, const Value& o, const char* name) { return vm.toNumber(get(vm, o, name)); }

// this = this then m. The skew terms are only read when either matrix has skew (NaN counts).
Value concat(Vm& vm, const Value& self, const Arguments& args) {
    const Value& m = args[0];
    double a = field(vm, self, "a") * field(vm, m, "a");
    double d = field(vm, self, "d") * field(vm, m, "d");
    double b = 0, c = 0;
    double tx = field(vm, self, "tx") * field(vm, m, "a") + field(vm, m, "tx");
    double ty = field(vm, self, "ty") * field(vm, m, "d") + field(vm, m, "ty");
    auto skewed = [&](const Value& o, const char* name) { return !looselyEqual(vm, get(vm, o, name), Value::number(0)); };
    if (skewed(self, "b") || skewed(self, "c") || skewed(m, "b") || skewed(m, "c")) {
        a += field(vm, self, "b") * field(vm, m, "c");
        d += field(vm, self, "c") * field(vm, m, "b");
        b += field(vm, self, "a") * field(vm, m, "b") + field(vm, self, "b") * field(vm, m, "d");
        c += field(vm, self, "c") * field(vm, m, "a") + field(vm, self, "d") * field(vm, m, "c");
        tx += field(vm, self, "ty") * field(vm, m, "c");
        ty += field(vm, self, "tx") * field(vm, m, "b");
    }
    const double values[] = {a, b, c, d, tx, ty};
    for (size_t i = 0; i < 6; ++i) put(vm, self, kFields[i], Value::number(values[i]));
    return Value();
}

// Without skew the scales invert alone (a zero scale becomes infinite); a singular matrix
// becomes the identity.
Value invert(Vm& vm, const Value& self, const Arguments&) {
    const Value zero = Value::number(0);
    if (looselyEqual(vm, get(vm, self, "b"), zero) && looselyEqual(vm, get(vm, self, "c"), zero)) {
        put(vm, self, "a", Value::number(1 / field(vm, self, "a")));
        put(vm, self, "d", Value::number(1 / field(vm, self, "d")));
        put(vm, self, "c", zero);
        put(vm, self, "b", zero);
        put(vm, self, "tx", Value::number(-field(vm, self, "a") * field(vm, self, "tx")));
        put(vm, self, "ty", Value::number(-field(vm, self, "d") * field(vm, self, "ty")));
        return Value();
    }
    const double a = field(vm, self, "a"), b = field(vm, self, "b"), c = field(vm, self, "c"), d = field(vm, self, "d");
    double det = a * d - b * c;
    if (det == 0) {
        identity(vm, self);
        return Value();
    }
    det = 1 / det;
    put(vm, self, "a", Value::number(d * det));
    put(vm, self, "b", Value::number(-b * det));
    put(vm, self, "c", Value::number(-c * det));
    put(vm, self, "d", Value::number(a * det));
    const Value ty = get(vm, self, "ty");
    const Value tx = get(vm, self, "tx");
    const Value moved = vm.callMethod(self, "deltaTransformPoint", Arguments(std::vector<Value>{makePoint(vm, tx, ty)}));
    put(vm, self, "tx", Value::number(-vm.toNumber(get(vm, moved, "x"))));
    put(vm, self, "ty", Value::number(-vm.toNumber(get(vm, moved, "y"))));
    return Value();
}

Value makeMatrixValue(Vm& vm, const std::vector<Value>& fields) {
    return constructGeom(vm, "Matrix", fields);
}

Value rotate(Vm& vm, const Value& self, const Arguments& args) {
    const double angle = vm.toNumber(args[0]);
    const double cos = std::cos(angle), sin = std::sin(angle);
    const Value by = makeMatrixValue(vm, {Value::number(cos), Value::number(sin), Value::number(-sin), Value::number(cos),
                                          Value::number(0), Value::number(0)});
    return vm.callMethod(self, "concat", Arguments(std::vector<Value>{by}));
}

Value scale(Vm& vm, const Value& self, const Arguments& args) {
    const Value by = makeMatrixValue(vm, {args[0], Value::number(0), Value::number(0), args[1], Value::number(0), Value::number(0)});
    return vm.callMethod(self, "concat", Arguments(std::vector<Value>{by}));
}

Value translate(Vm& vm, const Value& self, const Arguments& args) {
    put(vm, self, "tx", plus(vm, get(vm, self, "tx"), args[0]));
    put(vm, self, "ty", plus(vm, get(vm, self, "ty"), args[1]));
    return Value();
}

// The rotation is not defaulted: left out, it fills the matrix with NaN; tx and ty default to 0.
Value createBox(Vm& vm, const Value& self, const Arguments& args) {
    const Value tx = args.size() < 4 ? Value::number(0) : args[3];
    const Value ty = args.size() < 5 ? Value::number(0) : args[4];
    vm.callMethod(self, "identity", Arguments());
    vm.callMethod(self, "rotate", Arguments(&args[2], 1));
    const Value scales[] = {args[0], args[1]};
    vm.callMethod(self, "scale", Arguments(scales, 2));
    put(vm, self, "tx", tx);
    put(vm, self, "ty", ty);
    return Value();
}

// A gradient's box: the gradient square (1638.4 pixels a side) scaled to width x height,
// centred in the box at (tx, ty).
Value createGradientBox(Vm& vm, const Value& self, const Arguments& args) {
    const Value rotation = args.size() < 3 ? Value::number(0) : args[2];
    const Value tx = args.size() < 4 ? Value::number(0) : args[3];
    const Value ty = args.size() < 5 ? Value::number(0) : args[4];
    const Value half = Value::number(2), side = Value::number(1638.4);
    const Value boxY = plus(vm, ty, divided(vm, args[1], half));
    const Value boxX = plus(vm, tx, divided(vm, args[0], half));
    const Value scaleY = divided(vm, args[1], side);
    const Value scaleX = divided(vm, args[0], side);
    const Value box[] = {scaleX, scaleY, rotation, boxX, boxY};
    vm.callMethod(self, "createBox", Arguments(box, 5));
    return Value();
}

Value clone(Vm& vm, const Value& self, const Arguments&) {
    std::vector<Value> fields(6);
    for (size_t i = 6; i-- > 0;) fields[i] = get(vm, self, kFields[i]);  // read backwards, as the original
    return makeMatrixValue(vm, fields);
}

Value deltaTransformPoint(Vm& vm, const Value& self, const Arguments& args) {
    const Value& p = args[0];
    const double y = field(vm, self, "d") * field(vm, p, "y") + field(vm, self, "b") * field(vm, p, "x");
    const double x = field(vm, self, "a") * field(vm, p, "x") + field(vm, self, "c") * field(vm, p, "y");
    return makePoint(vm, Value::number(x), Value::number(y));
}

Value transformPoint(Vm& vm, const Value& self, const Arguments& args) {
    const Value& p = args[0];
    const double dy = field(vm, self, "d") * field(vm, p, "y") + field(vm, self, "b") * field(vm, p, "x");
    const Value y = plus(vm, Value::number(dy), get(vm, self, "ty"));
    const double dx = field(vm, self, "a") * field(vm, p, "x") + field(vm, self, "c") * field(vm, p, "y");
    const Value x = plus(vm, Value::number(dx), get(vm, self, "tx"));
    return makePoint(vm, x, y);
}

Value toString(Vm& vm, const Value& self, const Arguments&) {
    std::string text = "(";
    for (size_t i = 0; i < 6; ++i) {
        if (i) text += ", ";
        text += std::string(kFields[i]) + "=" + vm.toString(get(vm, self, kFields[i]));
    }
    return vm.newString(text + ")");
}

}  // namespace

Value makeMatrix(Vm& vm, const Matrix& m) {
    return makeMatrixValue(vm, {Value::number(m.a), Value::number(m.b), Value::number(m.c), Value::number(m.d),
                                Value::number(m.tx / 20.0), Value::number(m.ty / 20.0)});
}

std::optional<Matrix> matrixOf(Vm& vm, const Value& v) {
    if (!v.asObject()) return std::nullopt;
    double f[6];
    for (size_t i = 0; i < 6; ++i) {
        const Value x = get(vm, v, kFields[i]);
        if (x.isUndefined()) return std::nullopt;
        f[i] = vm.toNumber(x);
        if (!std::isfinite(f[i])) return std::nullopt;
    }
    return Matrix{float(f[0]), float(f[1]), float(f[2]), float(f[3]), float(f[4] * 20), float(f[5] * 20)};
}

void registerMatrixClass(Vm& vm) {
    using avm1::defineMethod;
    auto* ctor = avm1::defineClass(vm, flashPackage(vm, "geom"), {"Matrix", nullptr, construct, nullptr, nullptr});
    Object* proto = avm1::prototypeOf(vm, ctor);
    defineMethod(vm, proto, "concat", concat);
    defineMethod(vm, proto, "invert", invert);
    defineMethod(vm, proto, "createBox", createBox);
    defineMethod(vm, proto, "createGradientBox", createGradientBox);
    defineMethod(vm, proto, "clone", clone);
    defineMethod(vm, proto, "identity", identityMethod);
    defineMethod(vm, proto, "rotate", rotate);
    defineMethod(vm, proto, "translate", translate);
    defineMethod(vm, proto, "scale", scale);
    defineMethod(vm, proto, "deltaTransformPoint", deltaTransformPoint);
    defineMethod(vm, proto, "transformPoint", transformPoint);
    defineMethod(vm, proto, "toString", toString);
}

}  // namespace swf::geom
