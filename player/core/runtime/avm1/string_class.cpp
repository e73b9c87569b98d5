// String: a boxed string with `length`, and the methods over UTF-16 units with the
// original's argument conversions (32-bit wrapping positions, no-argument calls answering
// undefined, its substr rule for negative lengths).
#include <algorithm>
#include <cmath>

#include "library_classes.h"
#include "native_class.h"
#include "utf16_text.h"

namespace swf::avm1 {

namespace {

class StringObject final : public Object {
public:
    using Object::Object;
    Value primitiveValue() const override { return value; }
    Value value = Value::string(std::string());
};

Object* makeStringInstance(Vm& vm, Object* proto) { return vm.heap().make<StringObject>(proto); }

bool utf8(Vm& vm) { return vm.swfVersion() >= 6; }

std::string thisText(Vm& vm, const Value& self) {
    if (self.isString()) return self.asString();
    if (auto* boxed = nativeAs<StringObject>(self)) return vm.toString(boxed->value);
    return vm.toString(self);
}

std::u16string thisUnits(Vm& vm, const Value& self) { return toUtf16Units(thisText(vm, self), utf8(vm)); }

Value unitsValue(Vm& vm, const std::u16string& units) { return vm.newString(fromUtf16Units(units, utf8(vm))); }

int64_t clampPosition(int64_t n, int64_t length) { return std::clamp<int64_t>(n, 0, length); }

Value constructString(Vm& vm, const Value& self, const Arguments& args) {
    if (auto* boxed = nativeAs<StringObject>(self)) {
        boxed->value = vm.newString(args.empty() ? std::string() : vm.toString(args[0]));
        // An own property, as the original's: a script may overwrite it, not delete it.
        const double length = static_cast<double>(toUtf16Units(boxed->value.asString(), utf8(vm)).size());
        self.asObject()->define("length", Value::number(length), kDontEnum | kDontDelete);
    }
    return self;
}

Value callString(Vm& vm, const Value&, const Arguments& args) {
    return vm.newString(args.empty() ? std::string() : vm.toString(args[0]));
}

// Only strings and String objects answer; converting anything else would call toString
// again, which may be this very method (o.toString = String.prototype.toString).
Value stringValueOf(Vm&, const Value& self, const Arguments&) {
    if (self.isString()) return self;
    if (auto* boxed = nativeAs<StringObject>(self)) return boxed->value;
    return Value();
}

Value stringCharAt(Vm& vm, const Value& self, const Arguments& args) {
    const std::u16string units = thisUnits(vm, self);
    const int32_t i = vm.toInt32(args[0]);
    if (i < 0 || static_cast<size_t>(i) >= units.size()) return vm.newString(std::string());
    return unitsValue(vm, units.substr(static_cast<size_t>(i), 1));
}

Value stringCharCodeAt(Vm& vm, const Value& self, const Arguments& args) {
    const std::u16string units = thisUnits(vm, self);
    const int32_t i = vm.toInt32(args[0]);
    if (i < 0) return Value::number(std::nan(""));
    // Past the end SWF 5 reads the terminating zero; SWF 6 gives NaN.
    if (static_cast<size_t>(i) >= units.size()) return Value::number(utf8(vm) ? std::nan("") : 0);
    return Value::number(units[static_cast<size_t>(i)]);
}

Value stringConcat(Vm& vm, const Value& self, const Arguments& args) {
    std::string text = thisText(vm, self);
    for (const Value& v : args) {
        text += vm.toString(v);
        vm.checkStringSize(text.size());
    }
    return vm.newString(std::move(text));
}

Value stringFromCharCode(Vm& vm, const Value&, const Arguments& args) {
    std::u16string units;
    for (const Value& v : args) {
        const auto unit = static_cast<char16_t>(static_cast<uint32_t>(vm.toInt32(v)) & 0xFFFF);
        if (unit == 0) break;  // the original's strings end at a NUL
        units.push_back(unit);
    }
    return unitsValue(vm, units);
}

Value stringIndexOf(Vm& vm, const Value& self, const Arguments& args) {
    if (args.empty()) return Value();
    const std::u16string units = thisUnits(vm, self);
    const std::u16string needle = toUtf16Units(vm.toString(args[0]), utf8(vm));
    const int64_t start = clampPosition(vm.toInt32(args[1]), static_cast<int64_t>(units.size()));
    if (needle.empty()) return Value::number(args.size() > 1 && vm.toInt32(args[1]) > int64_t(units.size()) ? -1 : double(start));
    const size_t found = units.find(needle, static_cast<size_t>(start));
    return Value::number(found == std::u16string::npos ? -1 : static_cast<double>(found));
}

Value stringLastIndexOf(Vm& vm, const Value& self, const Arguments& args) {
    if (args.empty()) return Value();
    const std::u16string units = thisUnits(vm, self);
    const std::u16string needle = toUtf16Units(vm.toString(args[0]), utf8(vm));
    int64_t start = static_cast<int64_t>(units.size());
    if (args.size() > 1 && !args[1].isUndefined()) {
        start = vm.toInt32(args[1]);
        if (start < 0) return Value::number(-1);
    }
    const size_t found = units.rfind(needle, static_cast<size_t>(std::min<int64_t>(start, int64_t(units.size()))));
    return Value::number(found == std::u16string::npos ? -1 : static_cast<double>(found));
}

Value stringSlice(Vm& vm, const Value& self, const Arguments& args) {
    if (args.empty()) return Value();
    const std::u16string units = thisUnits(vm, self);
    const int64_t length = static_cast<int64_t>(units.size());
    auto position = [&](const Value& v, int64_t fallback) -> int64_t {
        if (v.isUndefined()) return fallback;
        int64_t n = vm.toInt32(v);
        return clampPosition(n < 0 ? length + n : n, length);
    };
    const int64_t start = position(args[0], 0);
    const int64_t end = position(args[1], length);
    if (end <= start) return vm.newString(std::string());
    return unitsValue(vm, units.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
}

Value stringSubstr(Vm& vm, const Value& self, const Arguments& args) {
    if (args.empty()) return Value();
    const std::u16string units = thisUnits(vm, self);
    const int64_t length = static_cast<int64_t>(units.size());
    int64_t start = vm.toInt32(args[0]);
    if (start < 0) start = std::max<int64_t>(0, length + start);
    start = std::min(start, length);
    int64_t count = length - start;
    if (!args[1].isUndefined()) {
        count = vm.toInt32(args[1]);
        if (count < 0) {
            // The original counts a negative length back from the end of the whole string, and
            // answers nothing when that reaches the end: "hello world".substr(3, -3) is "".
            count += length;
            if (count <= 0 || start + count >= length) return vm.newString(std::string());
        }
    }
    count = std::min(count, length - start);
    if (count <= 0) return vm.newString(std::string());
    return unitsValue(vm, units.substr(static_cast<size_t>(start), static_cast<size_t>(count)));
}

Value stringSubstring(Vm& vm, const Value& self, const Arguments& args) {
    if (args.empty()) return Value();
    const std::u16string units = thisUnits(vm, self);
    const int64_t length = static_cast<int64_t>(units.size());
    int64_t start = clampPosition(vm.toInt32(args[0]), length);
    int64_t end = args[1].isUndefined() ? length : clampPosition(vm.toInt32(args[1]), length);
    if (start > end) std::swap(start, end);
    return unitsValue(vm, units.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
}

// split: SWF 6 and later keep the string whole without a separator (whatever the limit) and
// split "" into units; SWF 5 splits on "," without one and keeps the string whole for "".
Value stringSplit(Vm& vm, const Value& self, const Arguments& args) {
    const std::u16string units = thisUnits(vm, self);
    const bool modern = vm.swfVersion() >= 6;
    std::vector<Value> parts;
    const bool noSeparator = args.empty() || args[0].isUndefined();
    if (noSeparator && modern) {
        parts.push_back(unitsValue(vm, units));
        return Value::object(makeArrayObject(vm, parts));
    }
    double limit = 4294967295.0;
    if (args.size() > 1 && !args[1].isUndefined()) limit = vm.toInt32(args[1]);
    if (limit <= 0) return Value::object(makeArrayObject(vm, parts));
    const std::u16string separator = noSeparator ? u"," : toUtf16Units(vm.toString(args[0]), utf8(vm));
    if (separator.empty()) {
        if (!modern) {
            parts.push_back(unitsValue(vm, units));
        } else {
            for (size_t i = 0; i < units.size() && parts.size() < limit; ++i) parts.push_back(unitsValue(vm, units.substr(i, 1)));
        }
        return Value::object(makeArrayObject(vm, parts));
    }
    size_t start = 0;
    while (parts.size() < limit) {
        const size_t found = units.find(separator, start);
        if (found == std::u16string::npos) {
            parts.push_back(unitsValue(vm, units.substr(start)));
            break;
        }
        parts.push_back(unitsValue(vm, units.substr(start, found - start)));
        start = found + separator.size();
    }
    return Value::object(makeArrayObject(vm, parts));
}

Value stringToUpperCase(Vm& vm, const Value& self, const Arguments&) {
    std::u16string units = thisUnits(vm, self);
    for (auto& u : units) u = upperCaseUnit(u);
    return unitsValue(vm, units);
}

Value stringToLowerCase(Vm& vm, const Value& self, const Arguments&) {
    std::u16string units = thisUnits(vm, self);
    for (auto& u : units) u = lowerCaseUnit(u);
    return unitsValue(vm, units);
}

}  // namespace

void registerStringClass(Vm& vm) {
    NativeFunction* ctor = defineClass(vm, vm.global(), {"String", callString, constructString, makeStringInstance, nullptr});
    Object* proto = prototypeOf(vm, ctor);
    vm.builtins().stringProto = proto;
    defineMethod(vm, ctor, "fromCharCode", stringFromCharCode);
    defineMethod(vm, proto, "toString", stringValueOf);
    defineMethod(vm, proto, "valueOf", stringValueOf);
    defineMethod(vm, proto, "charAt", stringCharAt);
    defineMethod(vm, proto, "charCodeAt", stringCharCodeAt);
    defineMethod(vm, proto, "concat", stringConcat);
    defineMethod(vm, proto, "indexOf", stringIndexOf);
    defineMethod(vm, proto, "lastIndexOf", stringLastIndexOf);
    defineMethod(vm, proto, "slice", stringSlice);
    defineMethod(vm, proto, "substr", stringSubstr);
    defineMethod(vm, proto, "substring", stringSubstring);
    defineMethod(vm, proto, "split", stringSplit);
    defineMethod(vm, proto, "toUpperCase", stringToUpperCase);
    defineMethod(vm, proto, "toLowerCase", stringToLowerCase);
}

}  // namespace swf::avm1
