// AsBroadcaster: listener lists with addListener / removeListener / broadcastMessage.
#include <cmath>

#include "globals.h"
#include "native_class.h"

namespace swf::avm1 {
namespace {

std::vector<Value> listenersOf(Vm& vm, Object* o, Object** list) {
    *list = vm.getMember(o, "_listeners").asObject();
    std::vector<Value> out;
    if (!*list) return out;
    double n = vm.toNumber(vm.getMember(*list, "length"));
    for (size_t i = 0; n > 0 && i < size_t(std::min(n, 1e5)); ++i) out.push_back(vm.getMember(*list, std::to_string(i)));
    return out;
}

void storeListeners(Vm& vm, Object* list, const std::vector<Value>& values) {
    double old = vm.toNumber(vm.getMember(list, "length"));
    for (size_t i = 0; i < values.size(); ++i) vm.setMember(list, std::to_string(i), values[i]);
    for (size_t i = values.size(); old > 0 && i < size_t(std::min(old, 1e5)); ++i) list->remove(std::to_string(i), vm.names());
    vm.setMember(list, "length", Value::number(double(values.size())));
}

Value addListener(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = self.asObject();
    Object* list = nullptr;
    if (!o) return Value::boolean(false);
    std::vector<Value> values = listenersOf(vm, o, &list);
    if (!list) return Value::boolean(false);
    for (const Value& v : values)
        if (v.strictEquals(args[0])) return Value::boolean(true);
    values.push_back(args[0]);
    storeListeners(vm, list, values);
    return Value::boolean(true);
}

Value removeListener(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = self.asObject();
    Object* list = nullptr;
    if (!o) return Value::boolean(false);
    std::vector<Value> values = listenersOf(vm, o, &list);
    for (size_t i = 0; i < values.size(); ++i)
        if (values[i].strictEquals(args[0])) {
            values.erase(values.begin() + long(i));
            storeListeners(vm, list, values);
            return Value::boolean(true);
        }
    return Value::boolean(false);
}

Value broadcastMessage(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = self.asObject();
    if (!o || args.empty()) return Value();
    Arguments rest(args.begin() + 1, args.size() - 1);
    broadcast(vm, o, vm.toString(args[0]), rest);
    return Value();
}

Value initialize(Vm& vm, const Value&, const Arguments& args) {
    if (Object* o = args[0].asObject()) makeBroadcaster(vm, o);
    return Value();
}

// AsBroadcaster is a function (typeof gives "function"; new AsBroadcaster() a plain object)
// whose properties are the methods.
Value constructNothing(Vm&, const Value&, const Arguments&) { return Value(); }

}  // namespace

void broadcast(Vm& vm, Object* broadcaster, const std::string& method, const Arguments& args) {
    Object* list = nullptr;
    for (const Value& listener : listenersOf(vm, broadcaster, &list)) vm.callMethod(listener, method, args);
}

void makeBroadcaster(Vm& vm, Object* o) {
    Object* broadcasterObject = vm.getMember(vm.global(), "AsBroadcaster").asObject();
    for (const char* name : {"addListener", "removeListener", "broadcastMessage"})
        o->define(name, broadcasterObject ? vm.getMember(broadcasterObject, name) : Value(), kDontEnum);
    o->define("_listeners", Value::object(vm.newArray({})), kDontEnum);
}

void registerAsBroadcaster(Vm& vm) {
    Object* b = defineClass(vm, vm.global(), {"AsBroadcaster", constructNothing, nullptr, nullptr, nullptr});
    defineMethod(vm, b, "initialize", initialize);
    defineMethod(vm, b, "addListener", addListener);
    defineMethod(vm, b, "removeListener", removeListener);
    defineMethod(vm, b, "broadcastMessage", broadcastMessage);
}

}  // namespace swf::avm1
