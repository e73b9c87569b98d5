// Comparisons and logic: the SWF 4 numeric forms and the ECMA-262 edition 3 algorithms.
#include <cmath>

#include "action_handlers.h"

namespace swf::avm1 {
namespace {

using C = ActionCode;

// ECMA abstract relational comparison a < b: true, false, or undefined when NaN is involved.
Value lessThan(Vm& vm, const Value& a, const Value& b) {
    Value pa = vm.toPrimitive(a, PrimitiveHint::Number);
    Value pb = vm.toPrimitive(b, PrimitiveHint::Number);
    if (pa.isString() && pb.isString()) return Value::boolean(pa.asString() < pb.asString());
    double x = vm.toNumber(pa);
    double y = vm.toNumber(pb);
    if (std::isnan(x) || std::isnan(y)) return Value();
    return Value::boolean(x < y);
}

// ECMA abstract equality.
bool looselyEqual(Vm& vm, const Value& a, const Value& b) {
    using T = Value::Type;
    if (a.type() == b.type()) {
        if (a.isObject()) return a.asObject() == b.asObject();
        return a.strictEquals(b);
    }
    if (a.isNullish() && b.isNullish()) return true;
    // An object meets undefined or null through its primitive value: one whose valueOf gives
    // undefined, or that has none (a Sound's id3), equals undefined.
    if (a.isObject() && b.isNullish()) return vm.toPrimitive(a).isNullish();
    if (b.isObject() && a.isNullish()) return vm.toPrimitive(b).isNullish();
    if (a.isNullish() || b.isNullish()) return false;
    if (a.type() == T::Number && b.type() == T::String) return a.asNumber() == vm.toNumber(b);
    if (a.type() == T::String && b.type() == T::Number) return vm.toNumber(a) == b.asNumber();
    if (a.isBoolean()) return looselyEqual(vm, Value::number(a.asBoolean() ? 1 : 0), b);
    if (b.isBoolean()) return looselyEqual(vm, a, Value::number(b.asBoolean() ? 1 : 0));
    if (a.isObject() && !b.isObject()) {
        Value pa = vm.toPrimitive(a);
        return !pa.isObject() && looselyEqual(vm, pa, b);
    }
    if (b.isObject() && !a.isObject()) {
        Value pb = vm.toPrimitive(b);
        return !pb.isObject() && looselyEqual(vm, a, pb);
    }
    return false;
}

void equals(Interpreter& in, Activation&, const Action&) {
    Value b = in.pop();
    Value a = in.pop();
    double x = in.vm().toNumber(a);
    double y = in.vm().toNumber(b);
    in.pushBool(x == y);
}

void less(Interpreter& in, Activation&, const Action&) {
    Value b = in.pop();
    Value a = in.pop();
    double x = in.vm().toNumber(a);  // the left operand's valueOf runs first
    double y = in.vm().toNumber(b);
    in.pushBool(x < y);
}

void equals2(Interpreter& in, Activation&, const Action&) {
    Value b = in.pop();
    Value a = in.pop();
    in.pushBool(looselyEqual(in.vm(), a, b));
}

void strictEquals(Interpreter& in, Activation&, const Action&) {
    Value b = in.pop();
    Value a = in.pop();
    in.pushBool(a.strictEquals(b));
}

void less2(Interpreter& in, Activation&, const Action&) {
    Value b = in.pop();
    Value a = in.pop();
    in.push(lessThan(in.vm(), a, b));
}

void greater(Interpreter& in, Activation&, const Action&) {
    Value b = in.pop();
    Value a = in.pop();
    in.push(lessThan(in.vm(), b, a));
}

void logicalAnd(Interpreter& in, Activation&, const Action&) {
    Value b = in.pop();
    Value a = in.pop();
    bool x = in.vm().toBoolean(a);
    bool y = in.vm().toBoolean(b);
    in.pushBool(x && y);
}

void logicalOr(Interpreter& in, Activation&, const Action&) {
    Value b = in.pop();
    Value a = in.pop();
    bool x = in.vm().toBoolean(a);
    bool y = in.vm().toBoolean(b);
    in.pushBool(x || y);
}

void logicalNot(Interpreter& in, Activation&, const Action&) { in.pushBool(!in.vm().toBoolean(in.pop())); }

void typeOf(Interpreter& in, Activation&, const Action&) {
    Value v = in.pop();
    const char* name = "undefined";
    switch (v.type()) {
        case Value::Type::Undefined: name = "undefined"; break;
        case Value::Type::Null: name = "null"; break;
        case Value::Type::Boolean: name = "boolean"; break;
        case Value::Type::Number: name = "number"; break;
        case Value::Type::String: name = "string"; break;
        case Value::Type::Object: name = v.asObject()->typeOf(); break;
    }
    in.push(Value::string(std::string(name)));
}

}  // namespace

void addComparisonActions(HandlerTable& t) {
    t[uint8_t(C::Equals)] = equals;
    t[uint8_t(C::Less)] = less;
    t[uint8_t(C::Equals2)] = equals2;
    t[uint8_t(C::StrictEquals)] = strictEquals;
    t[uint8_t(C::Less2)] = less2;
    t[uint8_t(C::Greater)] = greater;
    t[uint8_t(C::And)] = logicalAnd;
    t[uint8_t(C::Or)] = logicalOr;
    t[uint8_t(C::Not)] = logicalNot;
    t[uint8_t(C::TypeOf)] = typeOf;
}

}  // namespace swf::avm1
