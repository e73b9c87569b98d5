// Variables: get, set, define local, delete.
#include "action_handlers.h"

namespace swf::avm1 {
namespace {

using C = ActionCode;

Object* localsOf(Activation& act) {
    for (Scope* s = act.scope; s; s = s->parent)
        if (s->kind == Scope::Kind::Local) return s->values;
    return nullptr;
}

void getVariable(Interpreter& in, Activation&, const Action&) {
    Value name = in.pop();
    in.push(in.getVariable(NameText(in.vm(), name).text));
}

void setVariable(Interpreter& in, Activation&, const Action&) {
    Value value = in.pop();
    Value name = in.pop();
    in.setVariable(NameText(in.vm(), name).text, value);
}

// `var x = v`: a local in a function, a timeline variable in a frame script.
void defineLocal(Interpreter& in, Activation& act, const Action&) {
    Value value = in.pop();
    std::string name = in.vm().toString(in.pop());
    if (act.isFunction) {
        if (Object* locals = localsOf(act)) {
            locals->define(name, value);
            return;
        }
    }
    // On a timeline: a `with` object's own property of that name takes the value; one it
    // only inherits does not (the timeline gets its own variable instead).
    for (Scope* s = act.scope; s; s = s->parent) {
        if (s->kind == Scope::Kind::With && s->values && s->values->hasOwn(name, in.vm().names())) {
            in.vm().setMember(s->values, name, value);
            return;
        }
        if (s->kind == Scope::Kind::Target && s->values && name.find_first_of("/:.") == std::string::npos) {
            in.vm().setMember(s->values, name, value);
            return;
        }
    }
    in.setVariable(name, value);
}

// `var x;`: declares without a value. On a timeline a name the clip already has, even through
// its prototypes (MovieClip.prototype.x), keeps its value.
void defineLocal2(Interpreter& in, Activation& act, const Action&) {
    std::string name = in.vm().toString(in.pop());
    Object* locals = act.isFunction ? localsOf(act) : (act.target ? act.target : act.originalTarget);
    if (!locals) return;
    // On a timeline, `var /:x;` declares x on the clip the path names.
    size_t split = name.find_last_of(":.");
    if (!act.isFunction && split != std::string::npos) {
        Value owner = split == 0 ? Value::object(locals) : in.resolvePathInScopes(name.substr(0, split));
        name = name.substr(split + 1);
        locals = owner.asObject();
        if (!locals || name.empty()) return;
    }
    bool declared = act.isFunction ? locals->hasOwn(name, in.vm().names()) : in.vm().hasProperty(locals, name);
    if (!declared) locals->define(name, Value());
}

void deleteMember(Interpreter& in, Activation&, const Action&) {
    Value name = in.pop();
    Value object = in.pop();
    Object* o = object.asObject();
    in.pushBool(o && in.vm().deleteMember(o, in.vm().toString(name)));
}

void deleteVariable(Interpreter& in, Activation& act, const Action&) {
    std::string name = in.vm().toString(in.pop());
    // "o.a" and "o:b" delete a member of what the path names.
    size_t split = name.find_last_of(":.");
    if (split != std::string::npos && split > 0) {
        Object* base = act.target ? act.target : act.originalTarget;
        std::string ownerPath = name.substr(0, split);
        Value owner = in.resolvePath(base, ownerPath);
        if (!owner.isObject()) {
            // A path through a string, number or boolean: the original's log says it no longer
            // makes objects of them.
            size_t last = ownerPath.find_last_of(":.");
            Value holder = last == std::string::npos ? Value::object(base) : in.resolvePath(base, ownerPath.substr(0, last));
            std::string lastName = last == std::string::npos ? ownerPath : ownerPath.substr(last + 1);
            Value v = holder.isObject() ? in.vm().getMember(holder, lastName) : Value();
            if (last == std::string::npos && v.isUndefined()) v = in.getVariable(lastName);
            if (v.isString() || v.isNumber() || v.isBoolean())
                in.vm().trace("Parameters of primitive types are no longer coerced into the required type - Object.");
        }
        in.pushBool(owner.isObject() && in.vm().deleteMember(owner.asObject(), name.substr(split + 1)));
        return;
    }
    for (Scope* s = act.scope; s; s = s->parent) {
        if (s->values && s->values->hasOwn(name, in.vm().names())) {
            in.pushBool(in.vm().deleteMember(s->values, name));
            return;
        }
    }
    in.pushBool(false);
}

}  // namespace

void addVariableActions(HandlerTable& t) {
    t[uint8_t(C::GetVariable)] = getVariable;
    t[uint8_t(C::SetVariable)] = setVariable;
    t[uint8_t(C::DefineLocal)] = defineLocal;
    t[uint8_t(C::DefineLocal2)] = defineLocal2;
    t[uint8_t(C::Delete)] = deleteMember;
    t[uint8_t(C::Delete2)] = deleteVariable;
}

}  // namespace swf::avm1
