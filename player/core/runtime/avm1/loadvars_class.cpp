// LoadVars: variables as URL-encoded text. load() reads a file beside the movie; sendAndLoad()
// reads one into its target object the same way (what it would send matters to a server only);
// send() reports failure: nothing goes to the network. decode() and toString() convert.
#include "library_classes.h"
#include "loadvars_codec.h"
#include "loading_object.h"
#include "native_class.h"

namespace swf::avm1 {

namespace {

void decodeInto(Vm& vm, Object* target, const std::string& text) {
    for (const auto& [name, value] : decodeVariables(text)) vm.setMember(target, name, vm.newString(value));
}

Value loadVarsDecode(Vm& vm, const Value& self, const Arguments& args) {
    if (Object* target = self.asObject(); target && !args.empty()) decodeInto(vm, target, vm.toString(args[0]));
    return Value();
}

Value loadVarsToString(Vm& vm, const Value& self, const Arguments&) {
    Object* target = self.asObject();
    if (!target) return Value();
    NameValuePairs pairs;
    for (const std::string& name : vm.enumerate(target)) pairs.emplace_back(name, vm.toString(vm.getMember(target, name)));
    return vm.newString(encodeVariables(pairs));
}

// The default onData: decode what arrived (undefined: the load failed) and call onLoad.
Value loadVarsOnData(Vm& vm, const Value& self, const Arguments& args) {
    Object* target = self.asObject();
    if (!target) return Value();
    const bool arrived = !args[0].isUndefined();
    if (arrived) decodeInto(vm, target, vm.toString(args[0]));
    vm.setMember(target, "loaded", Value::boolean(arrived));
    Value loadArgs[] = {Value::boolean(arrived)};
    vm.callMethod(self, "onLoad", Arguments(loadArgs, 1));
    return Value();
}

Value loadVarsSendAndLoad(Vm& vm, const Value&, const Arguments& args) {
    if (args.size() < 2 || !args[1].asObject()) return Value::boolean(false);
    Value url[] = {args[0]};
    return loadBesideMovie(vm, args[1], Arguments(url, 1));
}

Value constructLoadVars(Vm&, const Value& self, const Arguments&) { return self; }

Object* makeLoadVarsInstance(Vm& vm, Object* proto) { return vm.heap().make<LoadingObject>(proto); }

}  // namespace

void registerLoadVarsClass(Vm& vm) {
    NativeFunction* ctor = defineClass(vm, vm.global(), {"LoadVars", nullptr, constructLoadVars, makeLoadVarsInstance, nullptr});
    Object* proto = prototypeOf(vm, ctor);
    defineMethod(vm, proto, "load", loadBesideMovie);
    defineMethod(vm, proto, "decode", loadVarsDecode);
    defineMethod(vm, proto, "toString", loadVarsToString);
    defineMethod(vm, proto, "onData", loadVarsOnData);
    defineMethod(vm, proto, "getBytesLoaded", bytesLoaded);
    defineMethod(vm, proto, "getBytesTotal", bytesTotal);
    defineMethod(vm, proto, "send", refuseNetwork);
    defineMethod(vm, proto, "sendAndLoad", loadVarsSendAndLoad);
    proto->define("contentType", vm.newString("application/x-www-form-urlencoded"), kDontEnum);
}

}  // namespace swf::avm1
