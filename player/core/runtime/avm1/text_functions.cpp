// The global escape, unescape, parseInt and parseFloat: a call without arguments answers
// undefined in the original, not NaN or "".
#include <optional>

#include "library_classes.h"
#include "native_class.h"
#include "string_to_number.h"
#include "url_escape.h"

namespace swf::avm1 {

namespace {

Value escapeFunction(Vm& vm, const Value&, const Arguments& args) {
    if (args.empty()) return Value();
    return vm.newString(urlEscape(vm.toString(args[0])));
}

Value unescapeFunction(Vm& vm, const Value&, const Arguments& args) {
    if (args.empty()) return Value();
    return vm.newString(urlUnescape(vm.toString(args[0])));
}

Value parseIntFunction(Vm& vm, const Value&, const Arguments& args) {
    if (args.empty()) return Value();
    std::optional<double> radix;
    if (args.size() > 1) radix = vm.toNumber(args[1]);
    return Value::number(parseIntPrefix(vm.toString(args[0]), radix));
}

Value parseFloatFunction(Vm& vm, const Value&, const Arguments& args) {
    if (args.empty()) return Value();
    return Value::number(parseFloatPrefix(vm.toString(args[0])));
}

}  // namespace

void registerTextFunctions(Vm& vm) {
    Object* g = vm.global();
    defineMethod(vm, g, "escape", escapeFunction);
    defineMethod(vm, g, "unescape", unescapeFunction);
    defineMethod(vm, g, "parseInt", parseIntFunction);
    defineMethod(vm, g, "parseFloat", parseFloatFunction);
}

}  // namespace swf::avm1
