#include "native_class.h"

namespace swf::avm1 {

NativeFunction* defineClass(Vm& vm, Object* where, const NativeClassInfo& info) {
    Object* proto = vm.newObject(info.baseProto ? info.baseProto : vm.builtins().objectProto);
    NativeFn call = info.call ? info.call : info.construct;
    auto* ctor = vm.heap().make<NativeFunction>(vm.builtins().functionProto, call, info.construct, info.factory);
    ctor->define("prototype", Value::object(proto), kDontEnum | kDontDelete);
    proto->define("constructor", Value::object(ctor), kDontEnum);
    if (where) where->define(info.name, Value::object(ctor), kDontEnum);
    return ctor;
}

Object* packageObject(Vm& vm, std::initializer_list<const char*> path) {
    Object* package = vm.global();
    for (const char* name : path) {
        // Looked up as natives see names (every version), not as the running movie does.
        const Property* held = package->findOwn(name, NameRule{});
        Object* next = held ? held->value.asObject() : nullptr;
        if (!next) {
            next = vm.newObject();
            // The packages on _global (flash, flash.geom ...) came with SWF 8: older movies
            // read `flash` as undefined.
            package->define(name, Value::object(next), package == vm.global() ? kDontEnum | kFromVersion8 : kDontEnum);
        }
        package = next;
    }
    return package;
}

NativeFunction* defineMethod(Vm& vm, Object* target, const std::string& name, NativeFn fn, uint16_t flags) {
    NativeFunction* f = vm.newNative(fn);
    target->define(name, Value::object(f), flags);
    return f;
}

void defineNativeProperty(Vm& vm, Object* target, const std::string& name, NativeFn getter, NativeFn setter,
                          uint16_t flags) {
    NativeFunction* g = vm.newNative(getter);
    NativeFunction* s = setter ? vm.newNative(setter) : nullptr;
    target->defineAccessor(name, g, s, flags);
}

}  // namespace swf::avm1
