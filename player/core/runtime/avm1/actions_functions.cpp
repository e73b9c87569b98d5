// DefineFunction and DefineFunction2: a function object closing over the current scope.
#include "action_handlers.h"

namespace swf::avm1 {
namespace {

using C = ActionCode;

void defineFunction(Interpreter& in, Activation& act, const Action& a) {
    if (!a.function) return;
    Vm& vm = in.vm();
    auto* fn = vm.heap().make<ScriptFunction>(vm.builtins().functionProto, a.function, act.scope,
                                              act.target ? act.target : act.originalTarget);
    fn->constants = act.pool;
    fn->version = vm.swfVersion();
    Object* proto = vm.newObject();
    proto->define("constructor", Value::object(fn), kDontEnum);
    fn->define("prototype", Value::object(proto), kDontEnum | kDontDelete);
    Value v = Value::object(fn);
    if (a.function->name.empty()) {
        in.push(v);
        return;
    }
    if (act.isFunction) {
        for (Scope* s = act.scope; s; s = s->parent)
            if (s->kind == Scope::Kind::Local) {
                s->values->define(a.function->name, v);
                return;
            }
    }
    in.setVariable(a.function->name, v);
}

}  // namespace

void addFunctionActions(HandlerTable& t) {
    t[uint8_t(C::DefineFunction)] = defineFunction;
    t[uint8_t(C::DefineFunction2)] = defineFunction;
}

}  // namespace swf::avm1
