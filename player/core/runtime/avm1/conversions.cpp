// The version-aware conversions of the Vm.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "script_clip.h"
#include "vm.h"

namespace swf::avm1 {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// Until the library's string-to-number rules are wired in: decimal text with surrounding
// blanks, "0x" hexadecimal from SWF 6, nothing else.
double parseNumber(const std::string& s, int version) {
    size_t i = 0, n = s.size();
    while (i < n && isSpace(s[i])) ++i;
    if (i == n) return version >= 5 ? NAN : 0;
    if (version >= 6 && n - i > 2 && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        char* end = nullptr;
        long long v = std::strtoll(s.c_str() + i + 2, &end, 16);
        return *end == '\0' ? double(int32_t(uint32_t(v))) : NAN;
    }
    const char* start = s.c_str() + i;
    if (start[0] == 'i' || start[0] == 'I' || start[0] == 'n' || start[0] == 'N' ||
        ((start[0] == '+' || start[0] == '-') && (start[1] == 'i' || start[1] == 'I' || start[1] == 'n' || start[1] == 'N')))
        return NAN;  // strtod would read "inf" and "nan"
    char* end = nullptr;
    double v = std::strtod(start, &end);
    if (end == start) return NAN;
    while (*end && isSpace(*end)) ++end;
    return *end ? NAN : v;
}

}  // namespace

std::string Vm::numberToString(double n) {
    if (std::isnan(n)) return "NaN";
    if (std::isinf(n)) return n > 0 ? "Infinity" : "-Infinity";
    if (n == 0) return "0";
    if (std::fabs(n) < 1e15 && n == std::floor(n)) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.0f", n);
        return buf;
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", n);
    std::string s = buf;
    size_t e = s.find('e');
    if (e != std::string::npos) {
        // "1e+021" / "1e-05" -> "1e+21" / "1e-5"
        std::string mant = s.substr(0, e), exp = s.substr(e + 1);
        char sign = exp[0];
        size_t d = 1;
        while (d + 1 < exp.size() && exp[d] == '0') ++d;
        s = mant + "e" + sign + exp.substr(d);
    }
    return s;
}

Value Vm::toPrimitive(const Value& v, PrimitiveHint hint) {
    Object* o = v.asObject();
    if (!o) return v;
    if (hint == PrimitiveHint::String) {
        Value s = callMethod(v, "toString", Arguments());
        if (s.isPrimitive()) return s;
        Value n = callMethod(v, "valueOf", Arguments());
        return n.isPrimitive() ? n : Value::string(std::string(o->asFunction() ? "[type Function]" : "[type Object]"));
    }
    Value n = callMethod(v, "valueOf", Arguments());
    if (n.isPrimitive()) return n;
    Value s = callMethod(v, "toString", Arguments());
    if (s.isPrimitive()) return s;
    // A clip's valueOf gives the clip itself: it stays an object.
    return v;
}

double Vm::toNumber(const Value& v) {
    switch (v.type()) {
        case Value::Type::Undefined:
        case Value::Type::Null: return version_ >= 7 ? NAN : 0;
        case Value::Type::Boolean: return v.asBoolean() ? 1 : 0;
        case Value::Type::Number: return v.asNumber();
        case Value::Type::String: return parseNumber(v.asString(), version_);
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
            return toString(p);
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
                double n = parseNumber(v.asString(), version_);
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
