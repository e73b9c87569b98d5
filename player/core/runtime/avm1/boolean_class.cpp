// Boolean: the wrapper object and its toString / valueOf.
#include "globals.h"
#include "native_class.h"

namespace swf::avm1 {
namespace {

class BooleanObject final : public Object {
public:
    using Object::Object;
    Value primitiveValue() const override { return Value::boolean(value); }
    bool value = false;
};

Object* makeBoolean(Vm& vm, Object* proto) { return vm.heap().make<BooleanObject>(proto); }

Value constructBoolean(Vm& vm, const Value& self, const Arguments& args) {
    if (auto* b = nativeAs<BooleanObject>(self)) b->value = !args.empty() && vm.toBoolean(args[0]);
    return self;
}

Value callBoolean(Vm& vm, const Value&, const Arguments& args) {
    if (args.empty()) return Value();
    return Value::boolean(vm.toBoolean(args[0]));
}

bool valueOfThis(const Value& self) {
    if (self.isBoolean()) return self.asBoolean();
    auto* b = nativeAs<BooleanObject>(self);
    return b && b->value;
}

Value booleanToString(Vm&, const Value& self, const Arguments&) {
    return Value::string(std::string(valueOfThis(self) ? "true" : "false"));
}

Value booleanValueOf(Vm&, const Value& self, const Arguments&) { return Value::boolean(valueOfThis(self)); }

}  // namespace

void registerBooleanClass(Vm& vm) {
    NativeFunction* ctor = defineClass(vm, vm.global(), {"Boolean", callBoolean, constructBoolean, makeBoolean, nullptr});
    Object* proto = prototypeOf(vm, ctor);
    vm.builtins().booleanProto = proto;
    defineMethod(vm, proto, "toString", booleanToString);
    defineMethod(vm, proto, "valueOf", booleanValueOf);
}

}  // namespace swf::avm1
