// Function: call and apply on Function.prototype.
#include <cmath>

#include "globals.h"
#include "native_class.h"

namespace swf::avm1 {
namespace {

// Function(x) gives its first argument back, whatever it is (Function("return 5") is the
// text); Function() a bare object with no prototype.
Value callFunctionCtor(Vm& vm, const Value&, const Arguments& args) {
    if (!args.empty()) return args[0];
    return Value::object(vm.newObject(nullptr));
}

// f.call(thisObject, a, b) and f.apply(thisObject, list): a primitive `this` is boxed; a
// missing, undefined or null one (or one that cannot be boxed) is _global inside.
Value thisForCall(Vm& vm, const Value& requested) {
    Object* boxed = vm.toObject(requested);
    return Value::object(boxed ? boxed : vm.global());
}

Value call(Vm& vm, const Value& self, const Arguments& args) {
    Value thisValue = thisForCall(vm, args[0]);
    Arguments rest = args.size() > 1 ? Arguments(args.begin() + 1, args.size() - 1) : Arguments();
    return vm.call(self, thisValue, rest);
}

Value apply(Vm& vm, const Value& self, const Arguments& args) {
    Value thisValue = thisForCall(vm, args[0]);
    std::vector<Value> list;
    if (Object* array = args[1].asObject()) {
        double n = vm.toNumber(vm.getMember(array, "length"));
        if (n > 0 && std::isfinite(n)) {
            vm.checkArrayLength(n);
            for (size_t i = 0; i < size_t(n); ++i) list.push_back(vm.getMember(array, std::to_string(i)));
        }
    }
    return vm.call(self, thisValue, Arguments(list));
}

// Inherited by an object that is no function (a script object whose __proto__ is
// Function.prototype), it answers as Object.prototype.toString would.
Value functionToString(Vm&, const Value& self, const Arguments&) {
    Object* o = self.asObject();
    return Value::string(std::string(o && !o->asFunction() ? "[object Object]" : "[type Function]"));
}

}  // namespace

void registerFunctionClass(Vm& vm) {
    Object* proto = vm.builtins().functionProto;
    auto* ctor = vm.heap().make<NativeFunction>(proto, callFunctionCtor);
    ctor->define("prototype", Value::object(proto), kDontEnum | kDontDelete);
    proto->define("constructor", Value::object(ctor), kDontEnum);
    vm.global()->define("Function", Value::object(ctor), kDontEnum);
    defineMethod(vm, proto, "call", call);
    defineMethod(vm, proto, "apply", apply);
    defineMethod(vm, proto, "toString", functionToString);
}

}  // namespace swf::avm1
