#include "native_class.h"

namespace swf::avm1 {

NativeFunction* defineClass(Vm& vm, Object* where, const NativeClassSpec& spec) {
    Object* proto = vm.newObject(spec.baseProto ? spec.baseProto : vm.builtins().objectProto);
    NativeFn call = spec.call ? spec.call : spec.construct;
    auto* ctor = vm.heap().make<NativeFunction>(vm.builtins().functionProto, call, spec.construct, spec.factory);
    ctor->define("prototype", Value::object(proto), kDontEnum | kDontDelete);
    proto->define("constructor", Value::object(ctor), kDontEnum);
    if (where) where->define(spec.name, Value::object(ctor), kDontEnum);
    return ctor;
}

NativeFunction* defineMethod(Vm& vm, Object* target, const std::string& name, NativeFn fn, uint8_t flags) {
    NativeFunction* f = vm.newNative(fn);
    target->define(name, Value::object(f), flags);
    return f;
}

void defineNativeProperty(Vm& vm, Object* target, const std::string& name, NativeFn getter, NativeFn setter,
                          uint8_t flags) {
    NativeFunction* g = vm.newNative(getter);
    NativeFunction* s = setter ? vm.newNative(setter) : nullptr;
    target->defineAccessor(name, g, s, flags);
}

}  // namespace swf::avm1
