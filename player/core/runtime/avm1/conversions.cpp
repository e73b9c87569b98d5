// The version-aware conversions of the Vm.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "number_format.h"
#include "script_clip.h"
#include "string_to_number.h"
#include "vm.h"

namespace swf::avm1 {

std::string Vm::numberToString(double n) { return formatNumber(n); }

// AVM1 asks valueOf only (for numbers and for `+`; a Date asks toString for `+` from SWF 6).
// A missing method gives undefined (a bare object such as _global is undefined as a number:
// 0 before SWF 7); a method giving an object leaves the object, which is NaN as a number.
Value Vm::toPrimitive(const Value& v, PrimitiveHint hint) {
    Object* o = v.asObject();
    if (!o) return v;
    if (hint == PrimitiveHint::None) hint = o->prefersStringPrimitive() && version_ >= 6 ? PrimitiveHint::String : PrimitiveHint::Number;
    // A method that is there but no function leaves the object as it is, which prints as
    // "[type Object]"; a missing or undefined one (an object made with no prototype, a Sound's
    // id3, `o.valueOf = undefined`) converts to undefined.
    const char* method = hint == PrimitiveHint::String ? "toString" : "valueOf";
    Value fn = getMemberWithoutResolve(o, method);
    Object* callee = fn.asObject();
    // Before SWF 6 such a method converts to undefined too, as if it were not there.
    if (!callee || !callee->asFunction()) return fn.isUndefined() || version_ < 6 ? Value() : v;
    Value p = call(fn, v, Arguments());
    return p.isPrimitive() ? p : v;
}

double Vm::toNumber(const Value& v) {
    switch (v.type()) {
        case Value::Type::Undefined:
        case Value::Type::Null: return version_ >= 7 ? NAN : 0;
        case Value::Type::Boolean: return v.asBoolean() ? 1 : 0;
        case Value::Type::Number: return v.asNumber();
        case Value::Type::String: return stringToNumber(v.asString(), version_);
        case Value::Type::Object: {
            Value p = toPrimitive(v, PrimitiveHint::Number);
            // SWF 4 arithmetic knew no objects: `{} / {}` divides by zero there.
            if (p.isObject()) return version_ < 5 ? 0 : NAN;
            return toNumber(p);
        }
    }
    return NAN;
}

std::string Vm::toString(const Value& v) {
    switch (v.type()) {
        case Value::Type::Undefined: return version_ >= 7 ? "undefined" : "";
        case Value::Type::Null: return "null";
        // SWF 4 had no booleans in text: a comparison prints as 1 or 0.
        case Value::Type::Boolean: return version_ < 5 ? (v.asBoolean() ? "1" : "0") : (v.asBoolean() ? "true" : "false");
        case Value::Type::Number: return numberToString(v.asNumber());
        case Value::Type::String: return v.asString();
        case Value::Type::Object: {
            // A clip converts to its path ("_level0.mc") without calling toString.
            Object* o = v.asObject();
            if (auto* clip = dynamic_cast<ScriptClip*>(o)) return clip->targetPath();
            // Anything but text from toString (a missing method, undefined, an object, even a
            // number) prints as the object's kind.
            Value fn = getMemberWithoutResolve(o, "toString");
            Object* callee = fn.asObject();
            if (callee && callee->asFunction()) {
                Value p = call(fn, v, Arguments());
                if (p.isString()) return p.asString();
            }
            return o->asFunction() ? "[type Function]" : "[type Object]";
        }
    }
    return "";
}

bool Vm::toBoolean(const Value& v) {
    switch (v.type()) {
        case Value::Type::Undefined:
        case Value::Type::Null: return false;
        case Value::Type::Boolean: return v.asBoolean();
        case Value::Type::Number: return v.asNumber() != 0 && !std::isnan(v.asNumber());
        case Value::Type::String:
            if (version_ >= 7) return !v.asString().empty();
            {
                double n = stringToNumber(v.asString(), version_);
                return n != 0 && !std::isnan(n);
            }
        case Value::Type::Object: return true;
    }
    return false;
}

double Vm::toInteger(const Value& v) {
    double n = toNumber(v);
    if (std::isnan(n)) return 0;
    if (std::isinf(n)) return n;
    return std::trunc(n);
}

int32_t Vm::toInt32(const Value& v) {
    double n = toNumber(v);
    if (!std::isfinite(n)) return 0;
    double m = std::fmod(std::trunc(n), 4294967296.0);
    if (m < 0) m += 4294967296.0;
    return int32_t(uint32_t(m));
}

Object* Vm::toObject(const Value& v) {
    const char* className = nullptr;
    switch (v.type()) {
        case Value::Type::Undefined:
        case Value::Type::Null: return nullptr;
        case Value::Type::Object: return v.asObject();
        case Value::Type::Boolean: className = "Boolean"; break;
        case Value::Type::Number: className = "Number"; break;
        case Value::Type::String: className = "String"; break;
    }
    // The wrapper is made by whatever _global.String (Number, Boolean) is now, found without
    // __resolve: a movie replacing String with a subclass gets its instances for "abc".length.
    Value ctor = getMemberWithoutResolve(global_, className);
    Object* c = ctor.asObject();
    if (!c || !c->asFunction()) return nullptr;
    Value args[] = {v};
    return construct(ctor, Arguments(args, 1)).asObject();
}

}  // namespace swf::avm1
