// Helpers to build native classes and register them: a constructor with its prototype,
// methods and getter/setter properties, all DontEnum like the original's built-ins.
#pragma once

#include <initializer_list>
#include <string>

#include "function.h"
#include "vm.h"

namespace swf::avm1 {

struct NativeClassInfo {
    std::string name;                    // the name on _global ("Array")
    NativeFn call = nullptr;             // `Array(1, 2)` without new; null: construct's result
    NativeFn construct = nullptr;        // `new Array(1, 2)`, run with `self` the new instance;
                                         // answering null makes `new` give undefined (a
                                         // BitmapData of a refused size)
    InstanceFactory factory = nullptr;   // the instance's kind; null: a plain Object
    Object* baseProto = nullptr;         // the prototype's __proto__; null: Object.prototype
};

// Creates the constructor and its `prototype` (with `constructor` pointing back), stores the
// constructor on `where` (usually vm.global()) as DontEnum, and returns it.
NativeFunction* defineClass(Vm& vm, Object* where, const NativeClassInfo& info);
inline Object* prototypeOf(Vm& vm, Object* constructor) {
    return vm.getMember(constructor, "prototype").asObject();
}

// A package object such as _global.flash.external, made (DontEnum) where missing: several
// registrars share _global.flash.
Object* packageObject(Vm& vm, std::initializer_list<const char*> path);

// A method (DontEnum by default).
NativeFunction* defineMethod(Vm& vm, Object* target, const std::string& name, NativeFn fn,
                             uint16_t flags = kDontEnum);
// A property read and written through natives (addProperty style); setter may be null.
void defineNativeProperty(Vm& vm, Object* target, const std::string& name, NativeFn getter,
                          NativeFn setter, uint16_t flags = kDontEnum);
// A plain value (constants such as Math.PI: DontEnum | DontDelete | ReadOnly).
inline void defineValue(Object* target, const std::string& name, const Value& value,
                        uint16_t flags = kDontEnum | kDontDelete | kReadOnly) {
    target->define(name, value, flags);
}

// Native classes register themselves through one function each, called once per Vm:
//   void registerArrayClass(Vm& vm);
// installGlobals() (globals.h) calls every registrar the player links.

}  // namespace swf::avm1
