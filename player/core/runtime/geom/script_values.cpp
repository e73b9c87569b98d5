#include "script_values.h"

#include "../avm1/native_class.h"

#include <cmath>

namespace swf::geom {

Value plus(Vm& vm, const Value& a, const Value& b) {
    const Value pb = vm.toPrimitive(b);
    const Value pa = vm.toPrimitive(a);
    if (pa.isString() || pb.isString()) return vm.newString(vm.toString(pa) + vm.toString(pb));
    return Value::number(vm.toNumber(pa) + vm.toNumber(pb));
}

Value minus(Vm& vm, const Value& a, const Value& b) {
    const double y = vm.toNumber(b);
    return Value::number(vm.toNumber(a) - y);
}

Value times(Vm& vm, const Value& a, const Value& b) {
    const double x = vm.toNumber(a);
    return Value::number(x * vm.toNumber(b));
}

Value divided(Vm& vm, const Value& a, const Value& b) {
    const double y = vm.toNumber(b);
    return Value::number(vm.toNumber(a) / y);
}

namespace {

// Less2 on primitives: two strings compare by code units, anything else as numbers.
int compare(Vm& vm, const Value& a, const Value& b, bool& unordered) {
    const Value pa = vm.toPrimitive(a, avm1::PrimitiveHint::Number);
    const Value pb = vm.toPrimitive(b, avm1::PrimitiveHint::Number);
    unordered = false;
    if (pa.isString() && pb.isString()) {
        const int c = vm.toString(pa).compare(vm.toString(pb));
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    const double x = vm.toNumber(pa), y = vm.toNumber(pb);
    if (std::isnan(x) || std::isnan(y)) {
        unordered = true;
        return 0;
    }
    return x < y ? -1 : x > y ? 1 : 0;
}

}  // namespace

bool less(Vm& vm, const Value& a, const Value& b) {
    bool unordered;
    const int c = compare(vm, a, b, unordered);
    return !unordered && c < 0;
}

bool lessOrEqual(Vm& vm, const Value& a, const Value& b) {
    // a <= b is !(b < a): NaN on either side makes it true, as the original's isEmpty shows.
    bool unordered;
    const int c = compare(vm, b, a, unordered);
    return unordered || c >= 0;
}

Value compared(Vm& vm, const Value& a, const Value& b, bool orEqual) {
    bool unordered;
    const int c = compare(vm, a, b, unordered);
    if (unordered) return Value();
    return Value::boolean(orEqual ? c <= 0 : c < 0);
}

bool looselyEqual(Vm& vm, const Value& a, const Value& b) {
    if (a.isNullish() || b.isNullish()) return a.isNullish() && b.isNullish();
    if (a.isObject() && b.isObject()) return a.asObject() == b.asObject();
    if (a.isString() && b.isString()) return a.asString() == b.asString();
    const Value pa = a.isObject() ? vm.toPrimitive(a) : a;
    const Value pb = b.isObject() ? vm.toPrimitive(b) : b;
    if (pa.isString() && pb.isString()) return pa.asString() == pb.asString();
    return vm.toNumber(pa) == vm.toNumber(pb);
}

Object* flashPackage(Vm& vm, const char* name) { return avm1::packageObject(vm, {"flash", name}); }

Value constructGeom(Vm& vm, const char* className, const std::vector<Value>& args) {
    Object* flash = vm.getMember(vm.global(), "flash").asObject();
    Object* package = flash ? vm.getMember(flash, "geom").asObject() : nullptr;
    const Value ctor = package ? vm.getMember(package, className) : Value();
    if (ctor.asObject() && ctor.asObject()->asFunction()) return vm.construct(ctor, avm1::Arguments(args));
    return Value::object(vm.newObject());
}

}  // namespace swf::geom
