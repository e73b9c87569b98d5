#include "vm.h"

#include "script_clip.h"

#include <algorithm>
#include <typeinfo>

#include "../../text/utf8.h"
#include "globals.h"
#include "interpreter.h"
#include "scope.h"
#include "utf16_text.h"

namespace swf::avm1 {

Vm::Vm(int swfVersion, HostServices& host, VmLimits limits)
    : version_(swfVersion), movieVersion_(swfVersion), family_(globalsFamily(swfVersion)), names_(NameRule::forVersion(swfVersion)), host_(host), limits_(limits),
      heap_(limits.maxObjects), random_(host.randomSeed()) {
    interpreter_ = std::make_unique<Interpreter>(*this);
    makeGlobals();
}

void Vm::makeGlobals() {
    builtins_ = Builtins{};
    nativeTable = nullptr;
    builtins_.objectProto = heap_.make<Object>(nullptr);
    builtins_.functionProto = heap_.make<Object>(builtins_.objectProto);
    // _global inherits nothing: `_global == undefined` is true in the original (no valueOf).
    global_ = heap_.make<Object>(nullptr);
    installGlobals(*this);
}

void Vm::useGlobalsOf(int version) {
    GlobalSet inForce{global_, builtins_, nativeTable};
    family_ = globalsFamily(version);
    if (otherGlobals_.global) {
        global_ = otherGlobals_.global;
        builtins_ = otherGlobals_.builtins;
        nativeTable = otherGlobals_.nativeTable;
        otherGlobals_ = inForce;
        return;
    }
    otherGlobals_ = inForce;
    makeGlobals();
    if (installHostClasses) installHostClasses(*this);
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
    size_t depth = 0;
    for (Object* o = object; o; o = o->proto()) {
        // A chain this long is a cycle (o.__proto__ = o): the original abandons the script.
        if (++depth > kPrototypeDepthLimit) throw ScriptAbort{"prototype chain too deep"};
        if (Property* p = o->findOwn(name, names_)) {
            if (owner) *owner = o;
            return p;
        }
    }
    return nullptr;
}

Value Vm::getMember(Object* object, const std::string& name) { return readMember(object, name, true); }

Value Vm::getMemberWithoutResolve(Object* object, const std::string& name) { return readMember(object, name, false); }

Value Vm::readMember(Object* object, const std::string& name, bool useResolve) {
    if (!object) return Value();
    Value special;
    if (object->getSpecial(*this, name, special)) return special;
    if (sameName(name, "__proto__", names_)) return object->protoValue();
    Object* owner = nullptr;
    Property* p = findProperty(object, name, &owner);
    if (!p) return useResolve ? resolveMissing(object, name) : Value();
    // Past the nesting limit a getter is not run: the read gives the value the property held
    // before addProperty (or one stored while the limit was reached).
    if (p->isAccessor())
        return canNestOn(owner, name, p->serial) ? callNested(owner, name, p->serial, p->getter, object, Arguments()) : p->value;
    return p->value;
}

Value Vm::resolveMissing(Object* object, const std::string& name) {
    // __resolve(name) answers for missing properties. The nearest __resolve that is a function
    // is called on the object; a plain object there ends the search (undefined); numbers,
    // strings and clips there are passed over; one made by addProperty is not run.
    size_t depth = 0;
    for (Object* o = object; o; o = o->proto()) {
        if (++depth > kPrototypeDepthLimit) throw ScriptAbort{"prototype chain too deep"};
        Property* r = o->findOwn("__resolve", names_);
        if (!r) continue;
        if (r->isAccessor()) return Value();
        Object* handler = r->value.asObject();
        if (!handler || std::string(handler->typeOf()) == "movieclip") continue;
        if (!handler->asFunction()) return Value();
        Value args[] = {newString(name)};
        return call(r->value, Value::object(object), Arguments(args, 1));
    }
    return Value();
}

bool Vm::canNestOn(Object* owner, const std::string& name, uint32_t serial) const {
    int nesting = 0;
    for (const ActiveAccessor& a : activeAccessors_)
        if (a.owner == owner && a.serial == serial && sameName(a.name, name, names_)) ++nesting;
    return nesting < kAccessorDepthLimit;
}

Value Vm::callNested(Object* owner, const std::string& name, uint32_t serial, Object* fn, Object* self, const Arguments& args) {
    activeAccessors_.push_back(ActiveAccessor{owner, name, serial});
    struct Pop {
        std::vector<ActiveAccessor>& list;
        ~Pop() { list.pop_back(); }
    } pop{activeAccessors_};
    return call(Value::object(fn), Value::object(self), args);
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
    Value stored = value;
    // A watcher sees the stored value as the old one (an addProperty property's getter is not
    // run). Watchers and accessors of one property nest 65 deep together; past that a store
    // goes straight into the property.
    const Property* own = object->watches().empty() ? nullptr : object->findOwn(name, names_);
    uint32_t ownSerial = own ? own->serial : 0;
    if (!object->watches().empty() && canNestOn(object, name, ownSerial)) {
        if (Object::Watch* w = findWatch(object, name, names_)) {
            Object* callback = w->callback;
            Value userData = w->userData;
            Value old;
            if (!object->getSpecial(*this, name, old)) {
                if (sameName(name, "__proto__", names_)) old = object->protoValue();
                else if (Property* held = findProperty(object, name)) old = held->value;
            }
            Value args[] = {newString(name), old, value, userData};
            try {
                stored = callNested(object, name, ownSerial, callback, object, Arguments(args, 4));
            } catch (const ScriptThrow&) {
                // A watcher that throws leaves the property undefined.
                storeMember(object, name, Value());
                throw;
            }
        }
    }
    storeMember(object, name, stored);
}

void Vm::storeMember(Object* object, const std::string& name, const Value& stored) {
    if (sameName(name, "__proto__", names_)) {
        if (!object->hasProtoSlot() || !(object->protoFlags() & kReadOnly)) object->setProtoValue(stored);
        return;
    }
    if (object->setSpecial(*this, name, stored)) return;
    Object* owner = nullptr;
    Property* p = findProperty(object, name, &owner);
    if (p && p->isAccessor()) {
        // The property also keeps the value stored, after its setter ran (the outermost of
        // nested stores is the one left); a getter past the nesting limit reads it.
        uint32_t serial = p->serial;
        if (p->setter && canNestOn(owner, name, serial)) {
            Value args[] = {stored};
            callNested(owner, name, serial, p->setter, object, Arguments(args, 1));
            p = owner->findOwn(name, names_);
            if (!p || p->serial != serial) return;
        }
        p->value = stored;
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
    if (object && sameName(name, "__proto__", names_)) return object->removeProtoSlot();
    return object && object->remove(name, names_);
}

std::vector<std::string> Vm::enumerate(Object* object) {
    // The original walks the chain pushing each object's names oldest first, then reads them
    // back last pushed first: the farthest prototype's names come out first, newest first, and
    // the object's own names last. A name held by an object nearer the start (enumerable or
    // not, hidden from this version or not) shadows the prototypes' one.
    std::vector<Object*> chain;
    for (Object* o = object; o; o = o->proto()) {
        if (chain.size() >= kPrototypeDepthLimit) throw ScriptAbort{"prototype chain too deep"};
        if (std::find(chain.begin(), chain.end(), o) != chain.end()) break;
        chain.push_back(o);
    }
    NameRule any = names_;
    any.version = 0;
    std::vector<std::string> out;
    std::vector<std::string> level;
    for (size_t depth = chain.size(); depth-- > 0;) {
        level.clear();
        Object* o = chain[depth];
        o->ownNames(level, false, 0);
        if (o == object)
            if (auto* clip = dynamic_cast<ScriptClip*>(o); clip && clip->alive()) clip->childNames(level);
        for (auto& n : level) {
            bool shadowed = false;
            for (size_t nearer = 0; nearer < depth && !shadowed; ++nearer) shadowed = chain[nearer]->hasOwn(n, any);
            if (!shadowed) out.push_back(n);
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
        interpreter_->countNativeCall();
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
    // Only SWF 6 gives the instance its own `constructor`; later movies read the prototype's.
    if (version_ == 6) instance->define("constructor", Value::object(constructor), kDontEnum);
}

Value Vm::construct(const Value& constructor, const Arguments& args) {
    Object* ctor = constructor.asObject();
    FunctionObject* fn = ctor ? ctor->asFunction() : nullptr;
    if (!fn) return Value();
    Value protoValue = getMember(ctor, "prototype");
    Object* proto = protoValue.asObject();
    Object* instance = nullptr;
    if (fn->isNative()) {
        auto* native = static_cast<NativeFunction*>(fn);
        interpreter_->countNativeCall();
        instance = native->factory ? native->factory(*this, proto) : newObject(proto);
        initInstance(instance, ctor);
        NativeFn run = native->construct ? native->construct : native->call;
        Value result = run ? run(*this, Value::object(instance), args) : Value();
        if (result.isObject()) return result;
        if (result.isNull()) return Value();  // the native refused its arguments (see NativeClassInfo)
        return Value::object(instance);
    }
    instance = newObject(proto);
    // A prototype that is no object still becomes the instance's __proto__ value.
    if (!proto) instance->setProtoValue(protoValue);
    initInstance(instance, ctor);
    interpreter_->callScript(static_cast<ScriptFunction&>(*fn), Value::object(instance), args, nullptr, true);
    return Value::object(instance);
}

Value Vm::constructInPlace(NativeFunction& constructor, Object* self, const Arguments& args) {
    NativeFn run = constructor.construct ? constructor.construct : constructor.call;
    Value result;
    if (typeid(*self) == typeid(Object) && !self->nativePart()) {
        self->attachNativePart(constructor.factory(*this, self->proto()));
        if (run) result = run(*this, Value::object(self), args);
    } else {
        Object* scratch = constructor.factory(*this, self->proto());
        if (run) result = run(*this, Value::object(scratch), args);
        if (result.asObject() == scratch) result = Value::object(self);
    }
    if (result.isUndefined() && !constructor.scriptConstructor) return Value::object(self);
    return result.isNull() ? Value() : result;
}

bool Vm::implementsInterface(Object* proto, Object* interfaceProto, int depth) {
    if (depth > 32) return false;
    for (Object* i : proto->interfaces()) {
        if (i == interfaceProto) return true;
        // An interface extending another declares it on its own prototype; the prototype's own
        // __proto__ chain is no part of it.
        if (i != proto && !i->interfaces().empty() && implementsInterface(i, interfaceProto, depth + 1)) return true;
    }
    return false;
}

// ---- output

void Vm::trace(const std::string& text) {
    // Strings of SWF 5 and older movies hold one byte per character (a movie's "Å" is 0xC5);
    // the trace output is UTF-8 in every version.
    const std::string line = version_ < 6 ? encodeUtf8(decodeUtf8(text)) : wellFormedUtf8(text);
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

namespace swf::avm1 {

bool Vm::instanceOf(Object* object, Object* constructor) {
    if (!object || !constructor) return false;
    Object* proto = getMember(constructor, "prototype").asObject();
    if (!proto) return false;
    size_t depth = 0;
    for (Object* p = object->proto(); p && depth < kPrototypeDepthLimit; p = p->proto(), ++depth)
        if (p == proto) return true;
    return false;
}

}  // namespace swf::avm1
