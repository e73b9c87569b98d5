// Comparisons and logic: the SWF 4 numeric forms and the ECMA-262 edition 3 algorithms.
#include <cmath>

#include "action_handlers.h"
#include "equality.h"
#include "script_clip.h"
#include "utf16_text.h"

namespace swf::avm1 {
namespace {

using C = ActionCode;

// An object that stays an object after valueOf (a plain `{}`) makes a comparison false at
// once, before the right operand is converted; a clip stays a clip and compares as NaN.
bool isPlainObject(const Value& v) { return v.isObject() && !dynamic_cast<ScriptClip*>(v.asObject()); }

double primitiveToNumber(Vm& vm, const Value& p) { return p.isObject() ? NAN : vm.toNumber(p); }

// ECMA abstract relational comparison a < b: true, false, or undefined when NaN is involved.
// Strings compare by code point from SWF 6 (by byte before).
Value lessThan(Vm& vm, const Value& a, const Value& b) {
    Value pa = vm.toPrimitive(a, PrimitiveHint::Number);
    if (isPlainObject(pa)) return Value::boolean(false);
    Value pb = vm.toPrimitive(b, PrimitiveHint::Number);
    if (isPlainObject(pb)) return Value::boolean(false);
    if (pa.isString() && pb.isString())
        return Value::boolean(vm.swfVersion() >= 6 ? codePointLess(pa.asString(), pb.asString()) : pa.asString() < pb.asString());
    double x = primitiveToNumber(vm, pa);
    double y = primitiveToNumber(vm, pb);
    if (std::isnan(x) || std::isnan(y)) return Value();
    return Value::boolean(x < y);
}

// Numbers are equal when both are NaN as well: the original's NaN == NaN is true.
bool sameNumber(double x, double y) { return x == y || (std::isnan(x) && std::isnan(y)); }

// Clips compare by their target paths: after a rewind put a new timeline_child at depth 1 beside
// the one a script moved to depth 2, both are "_level0.timeline_child" and equal. A reference
// whose clip is gone (an empty path) equals only itself.
bool sameObject(Object* a, Object* b) {
    if (a == b) return true;
    auto* x = dynamic_cast<ScriptClip*>(a);
    auto* y = x ? dynamic_cast<ScriptClip*>(b) : nullptr;
    if (!y) return false;
    const std::string path = x->targetPath();
    return !path.empty() && path == y->targetPath();
}

bool strictlyEqual(const Value& a, const Value& b) {
    if (a.type() == Value::Type::Number && b.type() == Value::Type::Number) return sameNumber(a.asNumber(), b.asNumber());
    if (a.isObject() && b.isObject()) return sameObject(a.asObject(), b.asObject());
    return a.strictEquals(b);
}

}  // namespace

// ECMA abstract equality.
bool looselyEqual(Vm& vm, const Value& a, const Value& b) {
    using T = Value::Type;
    if (a.type() == b.type()) {
        if (a.isObject() && a.asObject() != b.asObject() && vm.swfVersion() < 6) {
            // SWF 5 compares two objects by their values: new Number(1) == new Number(1).
            Value pa = vm.toPrimitive(a);
            Value pb = vm.toPrimitive(b);
            return !pa.isObject() && !pb.isObject() && looselyEqual(vm, pa, pb);
        }
        return strictlyEqual(a, b);
    }
    if (a.isNullish() && b.isNullish()) return true;
    if ((a.isNullish() && !b.isObject()) || (b.isNullish() && !a.isObject())) return false;
    if (a.type() == T::Number && b.type() == T::String) return a.asNumber() == vm.toNumber(b);
    if (a.type() == T::String && b.type() == T::Number) return vm.toNumber(a) == b.asNumber();
    if (a.isBoolean()) return looselyEqual(vm, Value::number(a.asBoolean() ? 1 : 0), b);
    if (b.isBoolean()) return looselyEqual(vm, a, Value::number(b.asBoolean() ? 1 : 0));
    // An object without valueOf (_global) is undefined here, so `_global == null` holds.
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

namespace {

// SWF 4 Equals converts its right operand first (valueOf calls show the order).
void equals(Interpreter& in, Activation&, const Action&) {
    Value b = in.pop();
    Value a = in.pop();
    double y = in.vm().toNumber(b);
    double x = in.vm().toNumber(a);
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
    in.pushBool(strictlyEqual(a, b));
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
