// SharedObject.getLocal: a `data` object kept per movie and name by the host (on Windows in
// the user's application-data folder), restored on getLocal and written by flush(). The
// stored text is capped like the original's default local storage.
#include <set>

#include "library_classes.h"
#include "native_class.h"
#include "stored_value_codec.h"

namespace swf::avm1 {

namespace {

constexpr size_t kMaxStoredBytes = 100 * 1024;
constexpr size_t kMaxStoredDepth = 64;
const char* const kInstances = "__sharedObjects";

StoredValue toStored(Vm& vm, const Value& v, std::set<Object*>& open, size_t depth) {
    StoredValue out;
    using K = StoredValue::Kind;
    switch (v.type()) {
        case Value::Type::Undefined: out.kind = K::kUndefined; break;
        case Value::Type::Null: out.kind = K::kNull; break;
        case Value::Type::Boolean: out.kind = K::kBoolean; out.boolean = v.asBoolean(); break;
        case Value::Type::Number: out.kind = K::kNumber; out.number = v.asNumber(); break;
        case Value::Type::String: out.kind = K::kString; out.text = v.asString(); break;
        case Value::Type::Object: {
            Object* o = v.asObject();
            // Functions and clips are not data; a cycle or deep nesting is cut as null.
            if (std::string(o->typeOf()) != "object" || depth >= kMaxStoredDepth || open.count(o)) {
                out.kind = K::kNull;
                break;
            }
            open.insert(o);
            out.kind = o->proto() == vm.builtins().arrayProto ? K::kArray : K::kObject;
            std::vector<std::string> names;
            o->ownNames(names);
            for (auto it = names.rbegin(); it != names.rend(); ++it) {
                out.members.emplace_back(*it, toStored(vm, vm.getMember(o, *it), open, depth + 1));
            }
            open.erase(o);
            break;
        }
    }
    return out;
}

Value fromStored(Vm& vm, const StoredValue& s) {
    using K = StoredValue::Kind;
    switch (s.kind) {
        case K::kUndefined: return Value();
        case K::kNull: return Value::null();
        case K::kBoolean: return Value::boolean(s.boolean);
        case K::kNumber: return Value::number(s.number);
        case K::kString: return vm.newString(s.text);
        case K::kObject:
        case K::kArray: {
            Object* o = s.kind == K::kArray ? makeArrayObject(vm, {}) : vm.newObject();
            for (const auto& [name, member] : s.members) vm.setMember(o, name, fromStored(vm, member));
            return Value::object(o);
        }
    }
    return Value();
}

std::string storageKey(Vm& vm, const Value& self) { return vm.toString(vm.getMember(self, "_name")); }

std::string encodedData(Vm& vm, const Value& self) {
    std::set<Object*> open;
    return encodeStoredValue(toStored(vm, vm.getMember(self, "data"), open, 0));
}

Value sharedFlush(Vm& vm, const Value& self, const Arguments&) {
    if (!self.isObject()) return Value();
    const std::string text = encodedData(vm, self);
    if (text.size() > kMaxStoredBytes) {
        vm.warn("SharedObject.flush: " + std::to_string(text.size()) + " bytes exceed the local storage limit");
        return Value::boolean(false);
    }
    return Value::boolean(vm.host().saveSharedData(storageKey(vm, self), text));
}

Value sharedClear(Vm& vm, const Value& self, const Arguments&) {
    if (!self.isObject()) return Value();
    vm.setMember(self, "data", Value::object(vm.newObject()));
    vm.host().saveSharedData(storageKey(vm, self), encodedData(vm, self));
    return Value();
}

Value sharedGetSize(Vm& vm, const Value& self, const Arguments&) {
    if (!self.isObject()) return Value();
    return Value::number(static_cast<double>(encodedData(vm, self).size()));
}

// Names the original refuses: empty, or with spaces or any of ~ % & \ ; : " ' , < > ? #.
bool validName(const std::string& name) {
    if (name.empty()) return false;
    for (char c : name) {
        if (std::string(" ~%&\\;:\"',<>?#").find(c) != std::string::npos) return false;
    }
    return true;
}

Value sharedGetLocal(Vm& vm, const Value& self, const Arguments& args) {
    const std::string name = vm.toString(args[0]);
    if (args.empty() || !validName(name)) return Value::null();
    Object* ctor = self.asObject();
    if (!ctor) return Value::null();
    Object* instances = vm.getMember(ctor, kInstances).asObject();
    if (!instances) {
        instances = vm.newObject();
        ctor->define(kInstances, Value::object(instances), kDontEnum);
    }
    if (Object* existing = vm.getMember(instances, name).asObject()) return Value::object(existing);

    Object* so = vm.newObject(vm.getMember(ctor, "prototype").asObject());
    so->define("_name", vm.newString(name), kDontEnum);
    Value data;
    std::string stored;
    if (vm.host().loadSharedData(name, stored)) {
        if (auto decoded = decodeStoredValue(stored, kMaxStoredDepth); decoded && decoded->kind == StoredValue::Kind::kObject) {
            data = fromStored(vm, *decoded);
        } else {
            vm.warn("SharedObject.getLocal: stored data of \"" + name + "\" is unreadable; starting empty");
        }
    }
    so->define("data", data.isObject() ? data : Value::object(vm.newObject()), kDontDelete);
    instances->define(name, Value::object(so), kDontEnum);
    return Value::object(so);
}

// The original's constructor is a script function: super() into it answers undefined.
Value constructShared(Vm&, const Value&, const Arguments&) { return Value(); }

}  // namespace

void flushSharedObjects(Vm& vm) {
    Object* ctor = vm.getMember(vm.global(), "SharedObject").asObject();
    Object* instances = ctor ? vm.getMember(ctor, kInstances).asObject() : nullptr;
    if (!instances) return;
    std::vector<std::string> names;
    instances->ownNames(names, true);
    for (const std::string& name : names) sharedFlush(vm, vm.getMember(instances, name), Arguments());
}

void registerSharedObjectClass(Vm& vm) {
    NativeFunction* ctor = defineClass(vm, vm.global(), {"SharedObject", nullptr, constructShared, nullptr, nullptr});
    Object* proto = prototypeOf(vm, ctor);
    defineMethod(vm, ctor, "getLocal", sharedGetLocal);
    defineMethod(vm, proto, "flush", sharedFlush);
    defineMethod(vm, proto, "clear", sharedClear);
    defineMethod(vm, proto, "getSize", sharedGetSize);
}

}  // namespace swf::avm1
