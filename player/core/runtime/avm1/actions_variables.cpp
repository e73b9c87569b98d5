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
    in.push(in.getVariable(in.vm().toString(name)));
}

void setVariable(Interpreter& in, Activation&, const Action&) {
    Value value = in.pop();
    Value name = in.pop();
    in.setVariable(in.vm().toString(name), value);
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

void defineLocal2(Interpreter& in, Activation& act, const Action&) {
    std::string name = in.vm().toString(in.pop());
    Object* locals = act.isFunction ? localsOf(act) : (act.target ? act.target : act.originalTarget);
    if (locals && !locals->hasOwn(name, in.vm().names())) locals->define(name, Value());
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
        Object* owner = in.resolvePath(base, name.substr(0, split)).asObject();
        in.pushBool(owner && in.vm().deleteMember(owner, name.substr(split + 1)));
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
