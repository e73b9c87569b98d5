#include "vm.h"

#include <algorithm>

#include "globals.h"
#include "interpreter.h"
#include "scope.h"

namespace swf::avm1 {

Vm::Vm(int swfVersion, HostServices& host, VmLimits limits)
    : version_(swfVersion), names_(NameRule::forVersion(swfVersion)), host_(host), limits_(limits),
      heap_(limits.maxObjects), random_(host.randomSeed()) {
    builtins_.objectProto = heap_.make<Object>(nullptr);
    builtins_.functionProto = heap_.make<Object>(builtins_.objectProto);
    // _global inherits nothing: `_global == undefined` is true in the original (no valueOf).
    global_ = heap_.make<Object>(nullptr);
    interpreter_ = std::make_unique<Interpreter>(*this);
    installGlobals(*this);
}

Vm::~Vm() = default;

Object* Vm::newObject() { return heap_.make<Object>(builtins_.objectProto); }
Object* Vm::newObject(Object* proto) { return heap_.make<Object>(proto); }

Object* Vm::newArray(const std::vector<Value>& values) {
    checkArrayLength(double(values.size()));
    if (builtins_.makeArray) return builtins_.makeArray(*this, values);
    Object* o = heap_.make<Object>(builtins_.arrayProto ? builtins_.arrayProto : builtins_.objectProto);
    for (size_t i = 0; i < values.size(); ++i) o->define(std::to_string(i), values[i]);
    o->define("length", Value::number(double(values.size())), kDontEnum);
    return o;
}

NativeFunction* Vm::newNative(NativeFn fn) { return heap_.make<NativeFunction>(builtins_.functionProto, fn); }

Value Vm::newString(std::string s) {
    checkStringSize(s.size());
    return Value::string(std::move(s));
}

void Vm::checkStringSize(size_t bytes) {
    if (bytes > limits_.maxStringBytes) throw ScriptAbort{"string longer than " + std::to_string(limits_.maxStringBytes) + " bytes"};
}

void Vm::checkArrayLength(double length) {
    if (length > double(limits_.maxArrayLength))
        throw ScriptAbort{"array longer than " + std::to_string(limits_.maxArrayLength) + " elements"};
}

// ---- members

Property* Vm::findProperty(Object* object, const std::string& name, Object** owner) {
    int guard = 0;
    for (Object* o = object; o && guard < 256; o = o->proto(), ++guard) {
        if (Property* p = o->findOwn(name, names_)) {
            if (owner) *owner = o;
            return p;
        }
    }
    return nullptr;
}

Value Vm::getMember(Object* object, const std::string& name) {
    if (!object) return Value();
    Value special;
    if (object->getSpecial(*this, name, special)) return special;
    if (sameName(name, "__proto__", names_)) return object->proto() ? Value::object(object->proto()) : Value();
    Object* owner = nullptr;
    Property* p = findProperty(object, name, &owner);
    if (!p) {
        // A clip's prototype chain ends in MovieClip.prototype; special names of clips reached
        // through a prototype (o.__proto__ = mc) are read from that clip.
        return Value();
    }
    if (p->isAccessor()) return callAccessor(p->getter, object, Arguments());
    return p->value;
}

Value Vm::callAccessor(Object* accessor, Object* self, const Arguments& args) {
    if (accessorDepth_ >= kAccessorDepthLimit) return Value();
    struct Nesting {
        int& depth;
        explicit Nesting(int& d) : depth(d) { ++depth; }
        ~Nesting() { --depth; }
    } nesting(accessorDepth_);
    return call(Value::object(accessor), Value::object(self), args);
}

Value Vm::getMember(const Value& object, const std::string& name) {
    if (object.isObject()) return getMember(object.asObject(), name);
    if (object.isNullish()) return Value();
    // Primitives read through their wrapper prototypes ("abc".length, (5).toString).
    Object* boxed = toObject(object);
    return boxed ? getMember(boxed, name) : Value();
}

namespace {

Object::Watch* findWatch(Object* o, const std::string& name, NameRule rule) {
    for (auto& w : o->watches())
        if (sameName(w.name, name, rule)) return &w;
    return nullptr;
}

}  // namespace

void Vm::setMember(Object* object, const std::string& name, const Value& value) {
    if (!object || name.empty()) return;  // o[""] = v stores nothing
    if (sameName(name, "__proto__", names_)) {
        object->setProto(value.asObject());
        return;
    }
    Value stored = value;
    if (!object->watches().empty()) {
        if (Object::Watch* w = findWatch(object, name, names_)) {
            Object* callback = w->callback;
            Value userData = w->userData;
            Value old = getMember(object, name);
            Value args[] = {newString(name), old, value, userData};
            stored = call(Value::object(callback), Value::object(object), Arguments(args, 4));
        }
    }
    if (object->setSpecial(*this, name, stored)) return;
    Object* owner = nullptr;
    Property* p = findProperty(object, name, &owner);
    if (p && p->isAccessor()) {
        if (p->setter) {
            Value args[] = {stored};
            callAccessor(p->setter, object, Arguments(args, 1));
        }
        return;
    }
    if (p && owner == object) {
        if (!(p->flags & kReadOnly)) p->value = stored;
        return;
    }
    object->put(name, stored, names_);
}

void Vm::setMember(const Value& object, const std::string& name, const Value& value) {
    if (object.isObject()) setMember(object.asObject(), name, value);
    // Stores on primitives are lost with the temporary wrapper.
}

bool Vm::deleteMember(Object* object, const std::string& name) {
    return object && object->remove(name, names_);
}

std::vector<std::string> Vm::enumerate(Object* object) {
    std::vector<std::string> out;
    std::vector<std::string> level;
    int guard = 0;
    for (Object* o = object; o && guard < 256; o = o->proto(), ++guard) {
        level.clear();
        o->ownNames(level, false, version_);
        for (auto& n : level) {
            bool seen = false;
            for (auto& s : out)
                if (sameName(s, n, names_)) { seen = true; break; }
            // A name hidden by a DontEnum own property further down the chain stays hidden.
            if (!seen && o != object) {
                Object* owner = nullptr;
                Property* p = findProperty(object, n, &owner);
                if (p && owner != o) seen = true;
            }
            if (!seen) out.push_back(n);
        }
    }
    return out;
}

// ---- calls

Value Vm::call(const Value& function, const Value& self, const Arguments& args) {
    Object* o = function.asObject();
    FunctionObject* fn = o ? o->asFunction() : nullptr;
    if (!fn) return Value();
    if (fn->isNative()) {
        auto* native = static_cast<NativeFunction*>(fn);
        return native->call ? native->call(*this, self, args) : Value();
    }
    return interpreter_->callScript(static_cast<ScriptFunction&>(*fn), self, args, nullptr);
}

Value Vm::callMethod(const Value& object, const std::string& name, const Arguments& args) {
    Value fn = getMember(object, name);
    Value self = object.isObject() ? object : Value::object(toObject(object));
    return call(fn, self, args);
}

void Vm::initInstance(Object* instance, Object* constructor) {
    instance->define("__constructor__", Value::object(constructor), kDontEnum);
    if (version_ > 5) instance->define("constructor", Value::object(constructor), kDontEnum);
}

Value Vm::construct(const Value& constructor, const Arguments& args) {
    Object* ctor = constructor.asObject();
    FunctionObject* fn = ctor ? ctor->asFunction() : nullptr;
    if (!fn) return Value();
    Object* proto = getMember(ctor, "prototype").asObject();
    Object* instance = nullptr;
    if (fn->isNative()) {
        auto* native = static_cast<NativeFunction*>(fn);
        instance = native->factory ? native->factory(*this, proto) : newObject(proto);
        initInstance(instance, ctor);
        NativeFn run = native->construct ? native->construct : native->call;
        Value result = run ? run(*this, Value::object(instance), args) : Value();
        if (result.isObject()) return result;
        if (result.isNull()) return Value();  // the native refused its arguments (see NativeClassInfo)
        return Value::object(instance);
    }
    instance = newObject(proto);
    initInstance(instance, ctor);
    interpreter_->callScript(static_cast<ScriptFunction&>(*fn), Value::object(instance), args, nullptr);
    return Value::object(instance);
}

bool Vm::instanceOf(Object* object, Object* constructor) {
    if (!object || !constructor) return false;
    Object* proto = getMember(constructor, "prototype").asObject();
    if (!proto) return false;
    int guard = 0;
    for (Object* p = object->proto(); p && guard < 256; p = p->proto(), ++guard) {
        if (p == proto) return true;
        // Interfaces: a prototype's constructor lists what it implements.
        Value ctorValue = getMember(p, "__constructor__");
        if (Object* c = ctorValue.asObject()) {
            Property* impl = c->findOwn("__implements__", NameRule{true});
            if (impl && impl->value.isObject()) {
                Object* list = impl->value.asObject();
                int n = int(toNumber(getMember(list, "length")));
                for (int i = 0; i < n && i < 256; ++i)
                    if (getMember(list, std::to_string(i)).asObject() == constructor) return true;
            }
        }
    }
    return false;
}

// ---- output

void Vm::trace(const std::string& line) {
    if (onTrace) onTrace(line);
    if (traces_.size() < limits_.maxTraces) traces_.push_back(line);
}

void Vm::warn(const std::string& message) {
    if (onWarning) onWarning(message);
    if (warnings_.size() < limits_.maxWarnings) warnings_.push_back(message);
}

std::vector<std::string> Vm::takeTraces() { return std::exchange(traces_, {}); }
std::vector<std::string> Vm::takeWarnings() { return std::exchange(warnings_, {}); }

double Vm::random() { return double(random_() >> 5) / double(1u << 27); }
uint32_t Vm::randomBits() { return random_(); }

void Vm::addRoot(Object* o) { roots_.push_back(o); }
void Vm::removeRoot(Object* o) {
    auto it = std::find(roots_.begin(), roots_.end(), o);
    if (it != roots_.end()) roots_.erase(it);
}

}  // namespace swf::avm1
