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

// AVM1 asks valueOf only (for numbers and for `+`); an object it leaves as an object then
// converts to NaN, or to text through its toString when a string is needed.
Value Vm::toPrimitive(const Value& v, PrimitiveHint hint) {
    Object* o = v.asObject();
    if (!o) return v;
    // A method that is there but no function leaves the object as it is, which prints as
    // "[type Object]"; an object with no such property at all (one made with no prototype,
    // a Sound's id3) converts to undefined.
    const char* method = hint == PrimitiveHint::String ? "toString" : "valueOf";
    Value fn = getMember(o, method);
    Object* callee = fn.asObject();
    if (!callee || !callee->asFunction()) return findProperty(o, method) ? v : Value();
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
            return p.isObject() ? NAN : toNumber(p);
        }
    }
    return NAN;
}

std::string Vm::toString(const Value& v) {
    switch (v.type()) {
        case Value::Type::Undefined: return version_ >= 7 ? "undefined" : "";
        case Value::Type::Null: return "null";
        case Value::Type::Boolean: return v.asBoolean() ? "true" : "false";
        case Value::Type::Number: return numberToString(v.asNumber());
        case Value::Type::String: return v.asString();
        case Value::Type::Object: {
            // A clip converts to its path ("_level0.mc") without calling toString.
            if (auto* clip = dynamic_cast<ScriptClip*>(v.asObject())) return clip->alive() ? clip->targetPath() : "";
            Value p = toPrimitive(v, PrimitiveHint::String);
            if (p.isObject()) return p.asObject()->asFunction() ? "[type Function]" : "[type Object]";
            return p.isUndefined() && version_ < 7 ? "" : toString(p);
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
    Object* proto = nullptr;
    switch (v.type()) {
        case Value::Type::Undefined:
        case Value::Type::Null: return nullptr;
        case Value::Type::Object: return v.asObject();
        case Value::Type::Boolean: proto = builtins_.booleanProto; break;
        case Value::Type::Number: proto = builtins_.numberProto; break;
        case Value::Type::String: proto = builtins_.stringProto; break;
    }
    if (!proto) return nullptr;
    // The prototype's constructor makes the wrapper of the right kind (a String object).
    Value ctor = getMember(proto, "constructor");
    Value args[] = {v};
    Value boxed = construct(ctor, Arguments(args, 1));
    return boxed.asObject();
}

}  // namespace swf::avm1
