// Object: the constructor, Object.prototype's methods and Object.registerClass.
#include "globals.h"
#include "native_class.h"

namespace swf::avm1 {
namespace {

// Object(v) called as a function boxes v; with nothing to box it makes a bare object with no
// prototype at all (it prints "[type Object]"), unlike `new Object()`.
Value callObject(Vm& vm, const Value&, const Arguments& args) {
    if (!args.empty() && !args[0].isNullish()) return Value::object(vm.toObject(args[0]));
    return Value::object(vm.newObject(nullptr));
}

Value constructObject(Vm& vm, const Value& self, const Arguments& args) {
    if (!args.empty() && !args[0].isNullish()) return Value::object(vm.toObject(args[0]));
    return self;
}

std::string nameArg(Vm& vm, const Arguments& args) { return vm.toString(args[0]); }

Value addProperty(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = self.asObject();
    std::string name = nameArg(vm, args);
    Object* getter = args[1].asObject();
    Object* setter = args[2].asObject();
    // The setter must be a function or null (a read-only property); anything else refuses.
    if (!o || name.empty() || !getter || !getter->asFunction()) return Value::boolean(false);
    if (setter ? !setter->asFunction() : !args[2].isNull()) return Value::boolean(false);
    Property* existing = o->findOwn(name, vm.names());
    uint16_t flags = existing ? existing->flags : 0;
    o->defineAccessor(name, getter, setter, setter ? flags : uint8_t(flags | kReadOnly));
    return Value::boolean(true);
}

Value watch(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = self.asObject();
    Object* callback = args[1].asObject();
    if (!o || args.size() < 2 || !callback || !callback->asFunction()) return Value::boolean(false);
    std::string name = nameArg(vm, args);
    for (auto& w : o->watches())
        if (sameName(w.name, name, vm.names())) {
            w.callback = callback;
            w.userData = args[2];
            return Value::boolean(true);
        }
    o->watches().push_back(Object::Watch{name, callback, args[2]});
    return Value::boolean(true);
}

Value unwatch(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = self.asObject();
    if (!o) return Value::boolean(false);
    std::string name = nameArg(vm, args);
    auto& list = o->watches();
    for (auto it = list.begin(); it != list.end(); ++it)
        if (sameName(it->name, name, vm.names())) {
            list.erase(it);
            return Value::boolean(true);
        }
    return Value::boolean(false);
}

Value hasOwnProperty(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = self.asObject();
    if (!o || args.empty()) return Value::boolean(false);
    std::string name = nameArg(vm, args);
    Value special;
    // Every object made with a prototype holds __proto__ as its own (hidden) property.
    if (sameName(name, "__proto__", vm.names())) return Value::boolean(o->hasProtoSlot());
    // A property ASSetPropFlags hides from this version still counts as the object's own.
    NameRule any = vm.names();
    any.version = 0;
    return Value::boolean(o->hasOwn(name, any) || o->getSpecial(vm, name, special));
}

Value isPropertyEnumerable(Vm& vm, const Value& self, const Arguments& args) {
    Object* o = self.asObject();
    const Property* p = o ? o->findOwn(nameArg(vm, args), vm.names()) : nullptr;
    return Value::boolean(p && !(p->flags & kDontEnum));
}

Value isPrototypeOf(Vm&, const Value& self, const Arguments& args) {
    Object* proto = self.asObject();
    Object* o = args[0].asObject();
    int guard = 0;
    for (Object* p = o ? o->proto() : nullptr; p && guard < 256; p = p->proto(), ++guard)
        if (p == proto) return Value::boolean(true);
    return Value::boolean(false);
}

Value objectToString(Vm&, const Value& self, const Arguments&) {
    Object* o = self.asObject();
    return Value::string(std::string(o && o->asFunction() ? "[type Function]" : "[object Object]"));
}

Value valueOf(Vm&, const Value& self, const Arguments&) { return self; }

Value registerClass(Vm& vm, const Value&, const Arguments& args) {
    if (args.size() < 2) return Value::boolean(false);
    Object* registry = vm.builtins().registeredClasses;
    std::string name = vm.toString(args[0]);
    if (args[1].asObject() && args[1].asObject()->asFunction()) registry->define(name, args[1]);
    else if (args[1].isNullish()) registry->remove(name, vm.names());
    else return Value::boolean(false);  // neither a constructor nor null: nothing changes
    return Value::boolean(true);
}

}  // namespace

void registerObjectClass(Vm& vm) {
    Object* proto = vm.builtins().objectProto;
    auto* ctor = vm.heap().make<NativeFunction>(vm.builtins().functionProto, callObject, constructObject);
    ctor->define("prototype", Value::object(proto), kDontEnum | kDontDelete);
    proto->define("constructor", Value::object(ctor), kDontEnum);
    vm.global()->define("Object", Value::object(ctor), kDontEnum);
    // The original's _global carries a variable `o` holding null (left over from its own
    // set-up script): a movie reading an undeclared `o` sees null, not undefined.
    vm.global()->define("o", Value::null(), kDontEnum);
    // The reflection methods came with version 6: a version 5 movie reads them as undefined
    // (`MovieClip.prototype.hasOwnProperty("_x")` traces as an empty string there).
    constexpr uint16_t kFromSix = kDontEnum | kDontDelete | kFromVersion6;
    defineMethod(vm, proto, "addProperty", addProperty, kFromSix);
    defineMethod(vm, proto, "watch", watch, kFromSix);
    defineMethod(vm, proto, "unwatch", unwatch, kFromSix);
    defineMethod(vm, proto, "hasOwnProperty", hasOwnProperty, kFromSix);
    defineMethod(vm, proto, "isPropertyEnumerable", isPropertyEnumerable, kFromSix);
    defineMethod(vm, proto, "isPrototypeOf", isPrototypeOf, kFromSix);
    defineMethod(vm, proto, "toString", objectToString);
    defineMethod(vm, proto, "toLocaleString", objectToString);
    defineMethod(vm, proto, "valueOf", valueOf);
    vm.builtins().registeredClasses = vm.newObject(nullptr);
    vm.addRoot(vm.builtins().registeredClasses);
    defineMethod(vm, ctor, "registerClass", registerClass);
}

}  // namespace swf::avm1
