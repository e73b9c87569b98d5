// flash.geom.Point: x and y as plain properties, so any value a script stores stays as stored
// (new Point(1) keeps y undefined); the methods read them in the original's order.
#include <cmath>

#include "../avm1/native_class.h"
#include "geom_classes.h"
#include "script_values.h"

namespace swf::geom {
namespace {

using avm1::Arguments;

Value construct(Vm& vm, const Value& self, const Arguments& args) {
    if (args.empty()) {
        // y first: the order for-in shows
        put(vm, self, "y", Value::number(0));
        put(vm, self, "x", Value::number(0));
        return Value();
    }
    put(vm, self, "x", args[0]);
    put(vm, self, "y", args[1]);
    return Value();
}

Value length(Vm& vm, const Value& self, const Arguments&) {
    const Value x = get(vm, self, "x");
    const Value x2 = times(vm, x, x);
    const Value y = get(vm, self, "y");
    const Value y2 = times(vm, y, y);
    return Value::number(std::sqrt(vm.toNumber(plus(vm, x2, y2))));
}
Value ignoreWrite(Vm&, const Value&, const Arguments&) { return Value(); }

// this.axis op other.axis, this read first.
Value combine(Vm& vm, const Value& self, const Value& other, const char* axis, Value (*op)(Vm&, const Value&, const Value&)) {
    const Value mine = get(vm, self, axis);
    return op(vm, mine, get(vm, other, axis));
}

Value add(Vm& vm, const Value& self, const Arguments& args) {
    const Value y = combine(vm, self, args[0], "y", plus);
    const Value x = combine(vm, self, args[0], "x", plus);
    return makePoint(vm, x, y);
}

Value subtract(Vm& vm, const Value& self, const Arguments& args) {
    const Value y = combine(vm, self, args[0], "y", minus);
    const Value x = combine(vm, self, args[0], "x", minus);
    return makePoint(vm, x, y);
}

// Only a Point equals a Point: a look-alike's fields are not even read.
Value equals(Vm& vm, const Value& self, const Arguments& args) {
    Object* other = args[0].asObject();
    Object* ctor = vm.getMember(flashPackage(vm, "geom"), "Point").asObject();
    if (!other || !ctor || !vm.instanceOf(other, ctor)) return Value::boolean(false);
    for (const char* axis : {"x", "y"}) {
        const Value theirs = get(vm, args[0], axis);
        if (!looselyEqual(vm, theirs, get(vm, self, axis))) return Value::boolean(false);
    }
    return Value::boolean(true);
}

Value clone(Vm& vm, const Value& self, const Arguments&) {
    const Value y = get(vm, self, "y");
    const Value x = get(vm, self, "x");
    return makePoint(vm, x, y);
}

Value offset(Vm& vm, const Value& self, const Arguments& args) {
    put(vm, self, "x", plus(vm, get(vm, self, "x"), args[0]));
    put(vm, self, "y", plus(vm, get(vm, self, "y"), args[1]));
    return Value();
}

// A zero, negative or NaN length leaves the point alone (new Point(100, null) stays put: its
// length is NaN); a negative target length turns it round.
Value normalize(Vm& vm, const Value& self, const Arguments& args) {
    const Value current = get(vm, self, "length");
    if (!less(vm, Value::number(0), current)) return Value();
    const Value scale = divided(vm, args[0], current);
    put(vm, self, "x", times(vm, get(vm, self, "x"), scale));
    put(vm, self, "y", times(vm, get(vm, self, "y"), scale));
    return Value();
}

Value toString(Vm& vm, const Value& self, const Arguments&) {
    std::string text = "(x=" + vm.toString(get(vm, self, "x"));
    text += ", y=" + vm.toString(get(vm, self, "y")) + ")";
    return vm.newString(std::move(text));
}

// Point.distance(a, b) is a.subtract(b).length: a look-alike without subtract gives undefined.
Value distance(Vm& vm, const Value&, const Arguments& args) {
    const Value difference = vm.callMethod(args[0], "subtract", Arguments(&args[1], 1));
    return get(vm, difference, "length");
}

Value polar(Vm& vm, const Value&, const Arguments& args) {
    const double angle = vm.toNumber(args[1]);
    const Value y = times(vm, args[0], Value::number(std::sin(angle)));
    const Value x = times(vm, args[0], Value::number(std::cos(angle)));
    return makePoint(vm, x, y);
}

// interpolate(a, b, f) is b + (a - b) * f: f = 1 gives a, 0 gives b.
Value interpolate(Vm& vm, const Value&, const Arguments& args) {
    auto along = [&](const char* axis) {
        const Value base = get(vm, args[1], axis);
        const Value from = get(vm, args[0], axis);
        const Value to = get(vm, args[1], axis);
        return plus(vm, base, times(vm, minus(vm, from, to), args[2]));
    };
    const Value y = along("y");
    const Value x = along("x");
    return makePoint(vm, x, y);
}

}  // namespace

Value makePoint(Vm& vm, const Value& x, const Value& y) { return constructGeom(vm, "Point", {x, y}); }

void registerPointClass(Vm& vm) {
    using avm1::defineMethod;
    auto* ctor = avm1::defineClass(vm, flashPackage(vm, "geom"), {"Point", nullptr, construct, nullptr, nullptr});
    Object* proto = avm1::prototypeOf(vm, ctor);
    avm1::defineNativeProperty(vm, proto, "length", length, ignoreWrite);
    defineMethod(vm, proto, "add", add);
    defineMethod(vm, proto, "subtract", subtract);
    defineMethod(vm, proto, "equals", equals);
    defineMethod(vm, proto, "clone", clone);
    defineMethod(vm, proto, "offset", offset);
    defineMethod(vm, proto, "normalize", normalize);
    defineMethod(vm, proto, "toString", toString);
    defineMethod(vm, ctor, "distance", distance);
    defineMethod(vm, ctor, "polar", polar);
    defineMethod(vm, ctor, "interpolate", interpolate);
}

}  // namespace swf::geom
