// Objects: members, literals, enumeration, new, instanceof, inheritance, casts.
#include <algorithm>
#include <cmath>

#include "action_handlers.h"
#include "script_clip.h"
#include "super_object.h"

namespace swf::avm1 {
namespace {

using C = ActionCode;

// Counts read from the stack are clamped to what the stack holds.
size_t popCount(Interpreter& in) {
    double n = in.vm().toNumber(in.pop());
    if (std::isnan(n) || n < 0) return 0;
    return size_t(std::min(n, double(in.stackDepth())));
}

std::vector<Value> popArguments(Interpreter& in) {
    size_t n = popCount(in);
    std::vector<Value> args;
    args.reserve(n);
    for (size_t i = 0; i < n; ++i) args.push_back(in.pop());
    return args;
}

// Member names: numbers print as the original does ("1", not "1.0").
void getMember(Interpreter& in, Activation&, const Action&) {
    Value name = in.pop();
    Value object = in.pop();
    in.push(in.vm().getMember(object, NameText(in.vm(), name).text));
}

void setMember(Interpreter& in, Activation&, const Action&) {
    Value value = in.pop();
    Value name = in.pop();
    Value object = in.pop();
    in.vm().setMember(object, NameText(in.vm(), name).text, value);
}

bool isClip(Object* o) { return o && std::string(o->typeOf()) == "movieclip"; }

// super(...): the base's __constructor__, found on its chain without __resolve, run on the
// same `this` with `super` one level further up.
Value callSuperConstructor(Interpreter& in, SuperObject& super, const std::vector<Value>& args) {
    Vm& vm = in.vm();
    Object* base = super.currentBase();
    if (!base || isClip(base) || !vm.findProperty(base, "__constructor__")) return Value();
    Value ctor = vm.getMember(base, "__constructor__");
    FunctionObject* fn = ctor.asObject() ? ctor.asObject()->asFunction() : nullptr;
    if (fn && fn->isNative() && static_cast<NativeFunction*>(fn)->factory)
        return vm.constructInPlace(*static_cast<NativeFunction*>(fn), super.self, Arguments(args));
    return in.callWithSuper(ctor, Value::object(super.self), Arguments(args), base->proto());
}

void callFunction(Interpreter& in, Activation& act, const Action&) {
    std::string name = in.vm().toString(in.pop());
    std::vector<Value> args = popArguments(in);
    Value fn = in.getVariable(name);
    // `this` is the object the name was found on when that is a `with` object, a function's
    // locals or the end of a path ("_root.clip.gotoAndStop"); otherwise the clip running the
    // script.
    Object* owner = in.withObjectHolding(name);
    size_t split = name.find_last_of(":.");
    if (!owner && split != std::string::npos && split > 0) owner = in.resolvePathInScopes(name.substr(0, split)).asObject();
    Value self = Value::object(owner ? owner : act.target ? act.target : act.originalTarget);
    if (auto* super = dynamic_cast<SuperObject*>(fn.asObject())) {
        in.push(callSuperConstructor(in, *super, args));
        return;
    }
    // Calling a primitive boxes it first (through whatever _global.String is) and gives undefined.
    if (fn.isPrimitive() && !fn.isNullish()) in.vm().toObject(fn);
    in.push(in.vm().call(fn, self, Arguments(args)));
    in.endIfBaseClipRemoved(act);
}

// A call on a value that is no object (undefined.f()) calls nothing and goes on; any other,
// even of a missing function, ends a script whose clip is gone afterwards.
void callMethod(Interpreter& in, Activation& act, const Action&) {
    Value nameValue = in.pop();
    Value object = in.pop();
    std::vector<Value> args = popArguments(in);
    Vm& vm = in.vm();
    std::string name = nameValue.isUndefined() ? std::string() : vm.toString(nameValue);
    auto* super = dynamic_cast<SuperObject*>(object.asObject());
    if (name.empty()) {
        // The object itself is the function; on `super`, the base class constructor.
        if (super) {
            in.push(callSuperConstructor(in, *super, args));
        } else {
            if (object.isPrimitive() && !object.isNullish()) vm.toObject(object);  // as callFunction does
            in.push(vm.call(object, Value(), Arguments(args)));
        }
        in.endIfBaseClipRemoved(act);
        return;
    }
    // A clip as the base of `super` lends it nothing (neither methods nor a constructor).
    Object* superBase = super ? super->currentBase() : nullptr;
    Object* holder = super ? (!superBase || isClip(superBase) ? nullptr : superBase->proto()) : object.asObject();
    if (super && !holder) {
        in.push(Value());
        return;
    }
    Value self = super ? Value::object(super->self) : object;
    if (!holder) {
        holder = vm.toObject(object);
        self = Value::object(holder);
    }
    if (!holder) {
        in.push(Value());
        return;
    }
    Object* owner = nullptr;
    Value special;
    Value fn;
    if (!super && holder->getSpecial(vm, name, special)) {
        fn = special;
    } else {
        // A missing method goes to __resolve like any other read (its `this` is the object).
        Property* p = vm.findProperty(holder, name, &owner);
        fn = p || super ? vm.getMember(holder, name) : vm.getMember(self, name);
    }
    in.push(in.callWithSuper(fn, self, Arguments(args), owner));
    in.endIfBaseClipRemoved(act);
}

void newObject(Interpreter& in, Activation& act, const Action&) {
    std::string name = in.vm().toString(in.pop());
    std::vector<Value> args = popArguments(in);
    Value ctor = in.getVariable(name);
    if (ctor.isPrimitive() && !ctor.isNullish()) in.vm().toObject(ctor);  // as callFunction does
    in.push(in.vm().construct(ctor, Arguments(args)));
    in.endIfBaseClipRemoved(act);
}

void newMethod(Interpreter& in, Activation& act, const Action&) {
    Value name = in.pop();
    Value object = in.pop();
    std::vector<Value> args = popArguments(in);
    std::string n = name.isUndefined() ? std::string() : in.vm().toString(name);
    Value ctor = n.empty() ? object : in.vm().getMember(object, n);
    if (ctor.isPrimitive() && !ctor.isNullish()) in.vm().toObject(ctor);  // as callFunction does
    in.push(in.vm().construct(ctor, Arguments(args)));
    if (!object.isNullish()) in.endIfBaseClipRemoved(act);
}

// A count larger than what the stack holds makes no literal: undefined is pushed and the
// values stay where they are.
bool literalFits(Interpreter& in, double count, size_t perItem) {
    return !(count > double(in.stackDepth() / perItem));
}

void initArray(Interpreter& in, Activation&, const Action&) {
    double count = in.vm().toNumber(in.pop());
    if (!literalFits(in, count, 1)) {
        in.push(Value());
        return;
    }
    size_t n = count > 0 ? size_t(count) : 0;
    std::vector<Value> values;
    values.reserve(n);
    for (size_t i = 0; i < n; ++i) values.push_back(in.pop());
    in.push(Value::object(in.vm().newArray(values)));
}

void initObject(Interpreter& in, Activation&, const Action&) {
    double count = in.vm().toNumber(in.pop());
    if (!literalFits(in, count, 2)) {
        in.push(Value());
        return;
    }
    size_t n = count > 0 ? size_t(count) : 0;
    // Properties are made in the order popped (the last written first): for..in, which lists
    // the newest first, then gives them in source order.
    Object* o = in.vm().newObject();
    for (size_t i = 0; i < n; ++i) {
        Value value = in.pop();
        std::string name = in.vm().toString(in.pop());
        in.vm().setMember(o, name, value);
    }
    in.push(Value::object(o));
}

// for..in: an undefined marker, then the names; the loop pops names until it sees the
// marker (which the loop variable holds afterwards).
void pushNames(Interpreter& in, Object* o) {
    in.push(Value());
    if (!o) return;
    std::vector<std::string> names = in.vm().enumerate(o);
    for (auto it = names.rbegin(); it != names.rend(); ++it) in.push(Value::string(*it));
}

void enumerate(Interpreter& in, Activation&, const Action&) {
    std::string name = in.vm().toString(in.pop());
    pushNames(in, in.getVariable(name).asObject());
}

void enumerate2(Interpreter& in, Activation&, const Action&) {
    Value v = in.pop();
    pushNames(in, v.asObject());
}

bool isRemovedClip(Object* o) {
    auto* clip = dynamic_cast<ScriptClip*>(o);
    return clip && !clip->alive();
}

// `o instanceof C`: false for a primitive o. C is boxed if primitive; its own `prototype` is
// read as stored (no getter runs, none is inherited, version flags do not hide it); a
// primitive there is boxed and so matches nothing; a clip there matches nothing either.
// A removed clip is an instance of nothing and has no prototype to test against.
// A class's own `prototype` as stored: no getter runs, version flags do not hide it.
Value ownPrototype(Vm& vm, Object* klass) {
    NameRule any = vm.names();
    any.version = 0;
    const Property* p = klass->findOwn("prototype", any);
    return p ? p->value : Value();
}

bool isInstance(Vm& vm, const Value& object, const Value& klass) {
    Object* o = object.asObject();
    if (!o) return false;
    // A removed clip is no instance of anything, but the class is still converted (a
    // String subclass on _global sees "right" boxed) and so is its prototype.
    Object* c = vm.toObject(klass);
    if (!c || isRemovedClip(c)) return false;
    // A prototype that is no object is boxed and compared as that object (a boxing that
    // runs script may have made it an interface meanwhile).
    Value protoValue = ownPrototype(vm, c);
    Object* proto = protoValue.isObject() ? protoValue.asObject() : vm.toObject(protoValue);
    if (!proto || isClip(proto) || isRemovedClip(o)) return false;
    size_t depth = 0;
    for (Object* q = o->proto(); q; q = q->proto()) {
        if (++depth > 256) throw ScriptAbort{"prototype chain too deep"};
        if (q == proto) return true;
        if (!q->interfaces().empty() && vm.implementsInterface(q, proto, 0)) return true;
    }
    return false;
}

void instanceOf(Interpreter& in, Activation&, const Action&) {
    Value ctor = in.pop();
    Value object = in.pop();
    in.pushBool(isInstance(in.vm(), object, ctor));
}

// class Sub extends Base: Sub.prototype becomes a new object inheriting Base.prototype.
void extends(Interpreter& in, Activation&, const Action&) {
    Value base = in.pop();
    Value sub = in.pop();
    Object* subCtor = sub.asObject();
    Object* baseCtor = base.asObject();
    if (!subCtor || !baseCtor) return;
    Vm& vm = in.vm();
    Object* proto = vm.newObject(vm.getMember(baseCtor, "prototype").asObject());
    proto->define("__constructor__", base, kDontEnum);
    if (vm.swfVersion() > 5) proto->define("constructor", base, kDontEnum);
    vm.setMember(subCtor, "prototype", Value::object(proto));
}

// class C implements I, J: the list goes on C.prototype, replacing any earlier one.
void implementsOp(Interpreter& in, Activation&, const Action&) {
    Value ctor = in.pop();
    std::vector<Value> interfaces = popArguments(in);
    Object* proto = ctor.isObject() ? ownPrototype(in.vm(), ctor.asObject()).asObject() : nullptr;
    if (!proto || interfaces.empty() || proto->interfacesDeclared()) return;
    proto->declareInterfaces();
    for (const Value& v : interfaces)
        if (Object* i = v.asObject())
            if (Object* p = ownPrototype(in.vm(), i).asObject()) proto->interfaces().push_back(p);
}

// A primitive is boxed first and then fails the cast.
void castOp(Interpreter& in, Activation&, const Action&) {
    Value object = in.pop();
    Value ctor = in.pop();
    if (!object.isObject()) {
        in.vm().toObject(object);
        in.push(Value::null());
        return;
    }
    in.push(isInstance(in.vm(), object, ctor) ? object : Value::null());
}

}  // namespace

void addObjectActions(HandlerTable& t) {
    t[uint8_t(C::GetMember)] = getMember;
    t[uint8_t(C::SetMember)] = setMember;
    t[uint8_t(C::CallFunction)] = callFunction;
    t[uint8_t(C::CallMethod)] = callMethod;
    t[uint8_t(C::NewObject)] = newObject;
    t[uint8_t(C::NewMethod)] = newMethod;
    t[uint8_t(C::InitArray)] = initArray;
    t[uint8_t(C::InitObject)] = initObject;
    t[uint8_t(C::Enumerate)] = enumerate;
    t[uint8_t(C::Enumerate2)] = enumerate2;
    t[uint8_t(C::InstanceOf)] = instanceOf;
    t[uint8_t(C::Extends)] = extends;
    t[uint8_t(C::ImplementsOp)] = implementsOp;
    t[uint8_t(C::CastOp)] = castOp;
}

}  // namespace swf::avm1
