// flash.geom.Rectangle: x, y, width and height as plain properties; the edges, corners and
// size are derived properties that read and write those four.
#include "../avm1/native_class.h"
#include "geom_classes.h"
#include "script_values.h"

namespace swf::geom {
namespace {

using avm1::Arguments;

void setEmpty(Vm& vm, const Value& self) {
    // height first: the order for-in shows
    for (const char* field : {"height", "width", "y", "x"}) put(vm, self, field, Value::number(0));
}

Value construct(Vm& vm, const Value& self, const Arguments& args) {
    if (args.empty()) {
        setEmpty(vm, self);
        return Value();
    }
    put(vm, self, "x", args[0]);
    put(vm, self, "y", args[1]);
    put(vm, self, "width", args[2]);
    put(vm, self, "height", args[3]);
    return Value();
}

// origin + extent, origin read first.
Value far(Vm& vm, const Value& self, const char* origin, const char* extent) {
    const Value start = get(vm, self, origin);
    return plus(vm, start, get(vm, self, extent));
}

bool isEmpty(Vm& vm, const Value& self) {
    return lessOrEqual(vm, get(vm, self, "width"), Value::number(0)) ||
           lessOrEqual(vm, get(vm, self, "height"), Value::number(0));
}

Value empty(Vm& vm, const Value& self, const Arguments&) { return Value::boolean(isEmpty(vm, self)); }
Value setEmptyMethod(Vm& vm, const Value& self, const Arguments&) {
    setEmpty(vm, self);
    return Value();
}

Value clone(Vm& vm, const Value& self, const Arguments&) {
    std::vector<Value> fields;
    for (const char* field : {"x", "y", "width", "height"}) fields.push_back(get(vm, self, field));
    return constructGeom(vm, "Rectangle", fields);
}

// The near edge moves and the size follows, so the far edge stays.
void moveNearEdge(Vm& vm, const Value& self, const char* origin, const char* extent, const Value& to) {
    const Value size = get(vm, self, extent);
    put(vm, self, extent, plus(vm, size, minus(vm, get(vm, self, origin), to)));
    put(vm, self, origin, to);
}

Value left(Vm& vm, const Value& self, const Arguments&) { return get(vm, self, "x"); }
Value setLeft(Vm& vm, const Value& self, const Arguments& args) {
    moveNearEdge(vm, self, "x", "width", args[0]);
    return Value();
}
Value top(Vm& vm, const Value& self, const Arguments&) { return get(vm, self, "y"); }
Value setTop(Vm& vm, const Value& self, const Arguments& args) {
    moveNearEdge(vm, self, "y", "height", args[0]);
    return Value();
}
Value right(Vm& vm, const Value& self, const Arguments&) { return far(vm, self, "x", "width"); }
Value setRight(Vm& vm, const Value& self, const Arguments& args) {
    put(vm, self, "width", minus(vm, args[0], get(vm, self, "x")));
    return Value();
}
Value bottom(Vm& vm, const Value& self, const Arguments&) { return far(vm, self, "y", "height"); }
Value setBottom(Vm& vm, const Value& self, const Arguments& args) {
    put(vm, self, "height", minus(vm, args[0], get(vm, self, "y")));
    return Value();
}
Value topLeft(Vm& vm, const Value& self, const Arguments&) {
    const Value x = get(vm, self, "x");
    return makePoint(vm, x, get(vm, self, "y"));
}
Value setTopLeft(Vm& vm, const Value& self, const Arguments& args) {
    const Value& corner = args[0];
    put(vm, self, "width", plus(vm, get(vm, self, "width"), minus(vm, get(vm, self, "x"), get(vm, corner, "x"))));
    put(vm, self, "height", plus(vm, get(vm, self, "height"), minus(vm, get(vm, self, "y"), get(vm, corner, "y"))));
    put(vm, self, "x", get(vm, corner, "x"));
    put(vm, self, "y", get(vm, corner, "y"));
    return Value();
}
Value bottomRight(Vm& vm, const Value& self, const Arguments&) {
    const Value x = far(vm, self, "x", "width");
    return makePoint(vm, x, far(vm, self, "y", "height"));
}
Value setBottomRight(Vm& vm, const Value& self, const Arguments& args) {
    put(vm, self, "width", minus(vm, get(vm, args[0], "x"), get(vm, self, "x")));
    put(vm, self, "height", minus(vm, get(vm, args[0], "y"), get(vm, self, "y")));
    return Value();
}
Value size(Vm& vm, const Value& self, const Arguments&) {
    const Value w = get(vm, self, "width");
    return makePoint(vm, w, get(vm, self, "height"));
}
Value setSize(Vm& vm, const Value& self, const Arguments& args) {
    put(vm, self, "width", get(vm, args[0], "x"));
    put(vm, self, "height", get(vm, args[0], "y"));
    return Value();
}

// Grows by d on both sides of an axis.
void grow(Vm& vm, const Value& self, const char* origin, const char* extent, const Value& d) {
    put(vm, self, origin, minus(vm, get(vm, self, origin), d));
    put(vm, self, extent, plus(vm, get(vm, self, extent), times(vm, d, Value::number(2))));
}
Value inflate(Vm& vm, const Value& self, const Arguments& args) {
    grow(vm, self, "x", "width", args[0]);
    grow(vm, self, "y", "height", args[1]);
    return Value();
}
Value inflatePoint(Vm& vm, const Value& self, const Arguments& args) {
    grow(vm, self, "x", "width", get(vm, args[0], "x"));
    grow(vm, self, "y", "height", get(vm, args[0], "y"));
    return Value();
}
Value offset(Vm& vm, const Value& self, const Arguments& args) {
    put(vm, self, "x", plus(vm, get(vm, self, "x"), args[0]));
    put(vm, self, "y", plus(vm, get(vm, self, "y"), args[1]));
    return Value();
}
Value offsetPoint(Vm& vm, const Value& self, const Arguments& args) {
    put(vm, self, "x", plus(vm, get(vm, self, "x"), get(vm, args[0], "x")));
    put(vm, self, "y", plus(vm, get(vm, self, "y"), get(vm, args[0], "y")));
    return Value();
}

// The comparisons of `a && b && ...` as a script chains them: the first that is not true
// (false, or undefined where a NaN was compared) is the answer.
template <class... Tests>
Value allOf(Tests... tests) {
    Value result = Value::boolean(true);
    ((result.isBoolean() && result.asBoolean() ? (void)(result = tests()) : (void)0), ...);
    return result;
}

// origin <= v < origin + extent
Value within(Vm& vm, const Value& self, const char* origin, const char* extent, const Value& v) {
    return allOf([&] { return compared(vm, get(vm, self, origin), v, true); },
                 [&] { return compared(vm, v, far(vm, self, origin, extent), false); });
}
Value containsAt(Vm& vm, const Value& self, const Value& x, const Value& y) {
    return allOf([&] { return within(vm, self, "x", "width", x); }, [&] { return within(vm, self, "y", "height", y); });
}
Value contains(Vm& vm, const Value& self, const Arguments& args) { return containsAt(vm, self, args[0], args[1]); }
Value containsPoint(Vm& vm, const Value& self, const Arguments& args) {
    const Value x = get(vm, args[0], "x");
    return containsAt(vm, self, x, get(vm, args[0], "y"));
}
Value containsRectangle(Vm& vm, const Value& self, const Arguments& args) {
    const Value& r = args[0];
    const Value otherRight = far(vm, r, "x", "width");
    const Value otherBottom = far(vm, r, "y", "height");
    const Value myRight = far(vm, self, "x", "width");
    const Value myBottom = far(vm, self, "y", "height");
    const Value x = get(vm, self, "x"), y = get(vm, self, "y");
    const Value rx = get(vm, r, "x"), ry = get(vm, r, "y");
    return allOf([&] { return compared(vm, x, rx, true); }, [&] { return compared(vm, rx, myRight, false); },
                 [&] { return compared(vm, y, ry, true); }, [&] { return compared(vm, ry, myBottom, false); },
                 [&] { return compared(vm, x, otherRight, false); }, [&] { return compared(vm, otherRight, myRight, true); },
                 [&] { return compared(vm, y, otherBottom, false); }, [&] { return compared(vm, otherBottom, myBottom, true); });
}

Value mathCall(Vm& vm, const char* fn, const Value& a, const Value& b) {
    const Value math = vm.getMember(vm.global(), "Math");
    const Value args[] = {a, b};
    return vm.callMethod(math, fn, Arguments(args, 2));
}

// The rectangle from the nearer (`near` of Math.max / Math.min) of the two origins to the
// `farthest` of the two far edges: the overlap (max, min) or the union (min, max).
Value spanned(Vm& vm, const Value& self, const Value& other, const char* near, const char* farthest) {
    const Value result = constructGeom(vm, "Rectangle", {});
    put(vm, result, "x", mathCall(vm, near, get(vm, self, "x"), get(vm, other, "x")));
    put(vm, result, "y", mathCall(vm, near, get(vm, self, "y"), get(vm, other, "y")));
    const Value otherRight = far(vm, other, "x", "width");
    const Value right = far(vm, self, "x", "width");
    put(vm, result, "width", minus(vm, mathCall(vm, farthest, right, otherRight), get(vm, result, "x")));
    const Value otherBottom = far(vm, other, "y", "height");
    const Value bottom = far(vm, self, "y", "height");
    put(vm, result, "height", minus(vm, mathCall(vm, farthest, bottom, otherBottom), get(vm, result, "y")));
    return result;
}

// The overlap of two rectangles, or the empty rectangle (0, 0, 0, 0).
Value intersection(Vm& vm, const Value& self, const Arguments& args) {
    const Value& other = args[0];
    if (isEmpty(vm, self) || vm.toBoolean(vm.callMethod(other, "isEmpty", Arguments()))) {
        const Value result = constructGeom(vm, "Rectangle", {});
        setEmpty(vm, result);
        return result;
    }
    const Value result = spanned(vm, self, other, "max", "min");
    if (isEmpty(vm, result)) setEmpty(vm, result);
    return result;
}

Value intersects(Vm& vm, const Value& self, const Arguments& args) {
    const Value overlap = vm.callMethod(self, "intersection", args);
    return Value::boolean(!vm.toBoolean(vm.callMethod(overlap, "isEmpty", Arguments())));
}

Value unionOf(Vm& vm, const Value& self, const Arguments& args) {
    const Value& other = args[0];
    if (isEmpty(vm, self)) return vm.callMethod(other, "clone", Arguments());
    if (vm.toBoolean(vm.callMethod(other, "isEmpty", Arguments()))) return vm.callMethod(self, "clone", Arguments());
    return spanned(vm, self, other, "min", "max");
}

Value equals(Vm& vm, const Value& self, const Arguments& args) {
    Object* other = args[0].asObject();
    Object* ctor = vm.getMember(flashPackage(vm, "geom"), "Rectangle").asObject();
    if (!other || !ctor || !vm.instanceOf(other, ctor)) return Value::boolean(false);
    for (const char* field : {"x", "y", "width", "height"}) {
        const Value theirs = get(vm, args[0], field);
        if (!looselyEqual(vm, theirs, get(vm, self, field))) return Value::boolean(false);
    }
    return Value::boolean(true);
}

Value toString(Vm& vm, const Value& self, const Arguments&) {
    std::string text = "(x=" + vm.toString(get(vm, self, "x"));
    text += ", y=" + vm.toString(get(vm, self, "y"));
    text += ", w=" + vm.toString(get(vm, self, "width"));
    text += ", h=" + vm.toString(get(vm, self, "height")) + ")";
    return vm.newString(std::move(text));
}

}  // namespace

Value makeRectangle(Vm& vm, double x, double y, double width, double height) {
    return constructGeom(vm, "Rectangle", {Value::number(x), Value::number(y), Value::number(width), Value::number(height)});
}

void registerRectangleClass(Vm& vm) {
    using avm1::defineMethod;
    using avm1::defineNativeProperty;
    auto* ctor = avm1::defineClass(vm, flashPackage(vm, "geom"), {"Rectangle", nullptr, construct, nullptr, nullptr});
    Object* proto = avm1::prototypeOf(vm, ctor);
    defineMethod(vm, proto, "clone", clone);
    defineMethod(vm, proto, "setEmpty", setEmptyMethod);
    defineMethod(vm, proto, "isEmpty", empty);
    defineNativeProperty(vm, proto, "left", left, setLeft);
    defineNativeProperty(vm, proto, "right", right, setRight);
    defineNativeProperty(vm, proto, "top", top, setTop);
    defineNativeProperty(vm, proto, "bottom", bottom, setBottom);
    defineNativeProperty(vm, proto, "topLeft", topLeft, setTopLeft);
    defineNativeProperty(vm, proto, "bottomRight", bottomRight, setBottomRight);
    defineNativeProperty(vm, proto, "size", size, setSize);
    defineMethod(vm, proto, "inflate", inflate);
    defineMethod(vm, proto, "inflatePoint", inflatePoint);
    defineMethod(vm, proto, "offset", offset);
    defineMethod(vm, proto, "offsetPoint", offsetPoint);
    defineMethod(vm, proto, "contains", contains);
    defineMethod(vm, proto, "containsPoint", containsPoint);
    defineMethod(vm, proto, "containsRectangle", containsRectangle);
    defineMethod(vm, proto, "intersection", intersection);
    defineMethod(vm, proto, "intersects", intersects);
    defineMethod(vm, proto, "union", unionOf);
    defineMethod(vm, proto, "equals", equals);
    defineMethod(vm, proto, "toString", toString);
}

}  // namespace swf::geom
