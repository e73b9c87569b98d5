// Error: name and message on the prototype ("Error"), a message given to the constructor on
// the instance, toString giving the message.
#include "globals.h"
#include "native_class.h"

namespace swf::avm1 {
namespace {

Value constructError(Vm& vm, const Value& self, const Arguments& args) {
    if (Object* o = self.asObject(); o && !args.empty() && !args[0].isUndefined()) vm.setMember(o, "message", args[0]);
    return self;
}

Value callError(Vm& vm, const Value&, const Arguments& args) {
    Value ctor = vm.getMember(vm.global(), "Error");
    return vm.construct(ctor, args);
}

Value errorToString(Vm& vm, const Value& self, const Arguments&) { return vm.getMember(self, "message"); }

}  // namespace

void registerErrorClass(Vm& vm) {
    NativeFunction* ctor = defineClass(vm, vm.global(), {"Error", callError, constructError, nullptr, nullptr});
    Object* proto = prototypeOf(vm, ctor);
    proto->define("name", Value::string(std::string("Error")), kDontEnum);
    proto->define("message", Value::string(std::string("Error")), kDontEnum);
    defineMethod(vm, proto, "toString", errorToString);
}

}  // namespace swf::avm1
