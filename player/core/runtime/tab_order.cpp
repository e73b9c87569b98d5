// tabIndex of clips and buttons. A 32-bit integer: fractions are cut; NaN, infinities and
// numbers past the range read back as -2^31 ("x" and 2147483648 alike). Undefined until set,
// and again after undefined or null is set. MovieClip.prototype hides it from for..in,
// Button.prototype lists it, as the original defines them.
#include <cmath>

#include "avm1/native_class.h"
#include "avm1/vm.h"
#include "clip_object.h"
#include "tab_order.h"

namespace swf {

using avm1::Arguments;
using avm1::Value;
using avm1::Vm;

namespace {

Value getClipTabIndex(Vm&, const Value& self, const Arguments&) {
    auto* clip = dynamic_cast<ClipObject*>(self.asObject());
    return clip && clip->tabIndex ? Value::number(*clip->tabIndex) : Value();
}

Value setClipTabIndex(Vm& vm, const Value& self, const Arguments& args) {
    auto* clip = dynamic_cast<ClipObject*>(self.asObject());
    if (!clip) return Value();
    Value v = args.empty() ? Value() : args[0];
    clip->tabIndex = clipTabIndex(vm, v);
    return Value();
}

}  // namespace

std::optional<int32_t> clipTabIndex(Vm& vm, const Value& v) {
    if (v.isNullish()) return std::nullopt;
    double n = std::trunc(vm.toNumber(v));
    if (!(n >= -2147483648.0 && n <= 2147483647.0)) return INT32_MIN;
    return int32_t(n);
}

Value fieldTabIndex(Vm& vm, const Value& v) {
    // A text field keeps an unsigned number: -4 reads back as 4294967292, "x" as 0.
    return v.isNullish() ? Value() : Value::number(double(vm.toUint32(v)));
}

void defineTabIndexProperties(Vm& vm, avm1::Object* movieClipProto, avm1::Object* buttonProto) {
    avm1::defineNativeProperty(vm, movieClipProto, "tabIndex", getClipTabIndex, setClipTabIndex, avm1::kDontEnum);
    avm1::defineNativeProperty(vm, buttonProto, "tabIndex", getClipTabIndex, setClipTabIndex, 0);
}

}  // namespace swf
