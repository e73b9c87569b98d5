// Callable objects: native functions (a C++ function pointer) and script functions (a
// DefineFunction body with the scope it was defined in).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "../../model/actions.h"
#include "arguments.h"
#include "object.h"

namespace swf::avm1 {

class Scope;

// A constant pool in force: the ConstantPool action's own list, shared (never copied) by the
// activations and functions that use it.
using ConstantPoolPtr = std::shared_ptr<const std::vector<SharedText>>;

// A native method or function. `self` is `this` of the call (undefined for a plain call).
using NativeFn = Value (*)(Vm& vm, const Value& self, const Arguments& args);
// Allocates the instance `new` makes for a native class (an ArrayObject for Array), with the
// given prototype. Null factory: a plain Object.
using InstanceFactory = Object* (*)(Vm& vm, Object* proto);

class FunctionObject : public Object {
public:
    using Object::Object;
    const char* typeOf() const override { return "function"; }
    FunctionObject* asFunction() override { return this; }
    virtual bool isNative() const = 0;
};

class NativeFunction final : public FunctionObject {
public:
    NativeFunction(Object* proto, NativeFn call, NativeFn construct = nullptr, InstanceFactory factory = nullptr)
        : FunctionObject(proto), call(call), construct(construct), factory(factory) {}
    bool isNative() const override { return true; }

    NativeFn call;               // a call without `new`
    NativeFn construct;          // `new`: runs on the fresh instance; null: `call` does
    InstanceFactory factory;     // `new`: makes the instance; null: a plain Object
    // The original writes this class's constructor in script (FileReference): super() into it
    // answers what it returns, not the object it made an instance of.
    bool scriptConstructor = false;
};

class ScriptFunction final : public FunctionObject {
public:
    ScriptFunction(Object* proto, std::shared_ptr<const FunctionBody> body, Scope* scope, Object* targetClip)
        : FunctionObject(proto), body(std::move(body)), scope(scope), targetClip(targetClip) {}
    bool isNative() const override { return false; }
    void traceReferences(Marker& marker) override;

    std::shared_ptr<const FunctionBody> body;
    Scope* scope;        // the scope chain where the function was defined
    Object* targetClip;  // the clip whose timeline defined it (for frame actions and paths)
    ConstantPoolPtr constants;  // the constant pool in force where it was defined
    int version = 0;            // the SWF version of the code that defined it: its rules hold in every call
    // Whether the body (or a function inside it) names `arguments` / `super` anywhere: a call
    // makes those objects only then. Found on the first call.
    enum class Mention : uint8_t { Unknown, No, Yes };
    Mention namesArguments = Mention::Unknown;
    Mention namesSuper = Mention::Unknown;
};

}  // namespace swf::avm1
