// Number: a boxed number, toString(radix) by the original's rules, and the constants.
#include <cmath>
#include <limits>

#include "library_classes.h"
#include "native_class.h"
#include "number_format.h"

namespace swf::avm1 {

namespace {

class NumberObject final : public Object {
public:
    using Object::Object;
    Value primitiveValue() const override { return Value::number(value); }
    double value = 0;
};

Object* makeNumberInstance(Vm& vm, Object* proto) { return vm.heap().make<NumberObject>(proto); }

Value constructNumber(Vm& vm, const Value& self, const Arguments& args) {
    if (auto* boxed = nativeAs<NumberObject>(self)) boxed->value = args.empty() ? 0 : vm.toNumber(args[0]);
    return self;
}

Value callNumber(Vm& vm, const Value&, const Arguments& args) {
    return Value::number(args.empty() ? 0 : vm.toNumber(args[0]));
}

// The number `this` holds; no conversion of other values, as the original (they answer
// undefined).
bool thisNumber(const Value& self, double& out) {
    if (self.isNumber()) {
        out = self.asNumber();
        return true;
    }
    if (auto* boxed = nativeAs<NumberObject>(self)) {
        out = boxed->value;
        return true;
    }
    return false;
}

Value numberToString(Vm& vm, const Value& self, const Arguments& args) {
    double n = 0;
    if (!thisNumber(self, n)) return Value();
    int radix = 10;
    if (!args[0].isUndefined()) {
        const double r = vm.toNumber(args[0]);
        if (r >= 2 && r <= 36) radix = static_cast<int>(r);
    }
    return vm.newString(radix == 10 ? formatNumber(n) : formatNumberRadix(n, radix));
}

Value numberValueOf(Vm&, const Value& self, const Arguments&) {
    double n = 0;
    return thisNumber(self, n) ? Value::number(n) : Value();
}

}  // namespace

void registerNumberClass(Vm& vm) {
    NativeFunction* ctor = defineClass(vm, vm.global(), {"Number", callNumber, constructNumber, makeNumberInstance, nullptr});
    Object* proto = prototypeOf(vm, ctor);
    vm.builtins().numberProto = proto;
    defineMethod(vm, proto, "toString", numberToString);
    defineMethod(vm, proto, "valueOf", numberValueOf);
    defineValue(ctor, "MAX_VALUE", Value::number(std::numeric_limits<double>::max()));
    defineValue(ctor, "MIN_VALUE", Value::number(std::numeric_limits<double>::denorm_min()));
    defineValue(ctor, "NaN", Value::number(std::numeric_limits<double>::quiet_NaN()));
    defineValue(ctor, "NEGATIVE_INFINITY", Value::number(-std::numeric_limits<double>::infinity()));
    defineValue(ctor, "POSITIVE_INFINITY", Value::number(std::numeric_limits<double>::infinity()));
}

}  // namespace swf::avm1
