// AsBroadcaster: listener lists with addListener / removeListener / broadcastMessage.
#include <cmath>

#include "equality.h"
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

// Removes the first listener equal (==) to `x`; false when none is.
bool removeEqual(Vm& vm, Object* list, std::vector<Value>& values, const Value& x) {
    for (size_t i = 0; i < values.size(); ++i)
        if (looselyEqual(vm, values[i], x)) {
            values.erase(values.begin() + long(i));
            storeListeners(vm, list, values);
            return true;
        }
    return false;
}

// A listener already listed (by ==, so null replaces undefined) moves to the end.
Value addListener(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = self.asObject();
    Object* list = nullptr;
    if (!o) return Value::boolean(false);
    std::vector<Value> values = listenersOf(vm, o, &list);
    if (!list) return Value::boolean(false);
    removeEqual(vm, list, values, args[0]);
    values.push_back(args[0]);
    storeListeners(vm, list, values);
    return Value::boolean(true);
}

Value removeListener(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = self.asObject();
    Object* list = nullptr;
    if (!o) return Value::boolean(false);
    std::vector<Value> values = listenersOf(vm, o, &list);
    return Value::boolean(list && removeEqual(vm, list, values, args[0]));
}

// broadcastMessage(name, ...): true once listeners were called; undefined without a name or
// without listeners.
Value broadcastMessage(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = self.asObject();
    if (!o || args.empty()) return Value();
    Arguments rest(args.begin() + 1, args.size() - 1);
    return broadcast(vm, o, vm.toString(args[0]), rest) ? Value::boolean(true) : Value();
}

Value initialize(Vm& vm, const Value&, const Arguments& args) {
    if (Object* o = args[0].asObject()) makeBroadcaster(vm, o);
    return Value();
}

// AsBroadcaster is a function (typeof gives "function"; new AsBroadcaster() a plain object)
// whose properties are the methods.
Value constructNothing(Vm&, const Value&, const Arguments&) { return Value(); }

}  // namespace

bool broadcast(Vm& vm, Object* broadcaster, const std::string& method, const Arguments& args) {
    Object* list = nullptr;
    std::vector<Value> listeners = listenersOf(vm, broadcaster, &list);
    for (const Value& listener : listeners) {
        // An empty name calls each listener itself, as CallMethod does.
        if (method.empty()) vm.call(listener, Value(), args);
        else vm.callMethod(listener, method, args);
    }
    return !listeners.empty();
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
    // System.IME broadcasts input-method events (none come in a screen saver), with the same
    // methods as every broadcaster.
    if (Object* system = vm.getMember(vm.global(), "System").asObject()) {
        Object* ime = vm.newObject();
        makeBroadcaster(vm, ime);
        system->define("IME", Value::object(ime), kDontEnum);
    }
}

}  // namespace swf::avm1
