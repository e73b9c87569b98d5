// The Vm's roots for the collector.
#include "interpreter.h"

namespace swf::avm1 {
namespace {

void markActivation(Marker& m, const Activation& act) {
    m.mark(act.scope);
    m.mark(act.targetScope);
    m.mark(act.thisValue);
    m.mark(act.target);
    m.mark(act.originalTarget);
    m.mark(act.callee);
    m.mark(act.arguments);
    m.mark(act.superObject);
    m.mark(act.result);
    for (const Value& v : act.registers) m.mark(v);
    for (const WithBlock& w : act.withs) m.mark(w.saved);
    for (const TryFrame& t : act.tries) m.mark(t.pending);
}

}  // namespace

size_t Vm::collectGarbage() {
    return heap_.collect([this](Marker& m) {
        m.mark(global_);
        for (Object* o : {builtins_.objectProto, builtins_.functionProto, builtins_.arrayProto, builtins_.stringProto,
                          builtins_.numberProto, builtins_.booleanProto, builtins_.dateProto, builtins_.movieClipProto,
                          builtins_.xmlNodeProto, builtins_.xmlProto})
            m.mark(o);
        for (Object* o : roots_) m.mark(o);
        for (const Value& v : interpreter_->stack()) m.mark(v);
        for (const Activation* act : interpreter_->activations()) markActivation(m, *act);
        timers_.mark(m);
        for (auto& marker : rootMarkers) marker(m);
    });
}

}  // namespace swf::avm1
