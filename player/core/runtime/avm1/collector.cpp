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
        for (const Builtins* b : {&builtins_, &otherGlobals_.builtins})
            for (Object* o : {b->objectProto, b->functionProto, b->arrayProto, b->stringProto, b->numberProto,
                              b->booleanProto, b->dateProto, b->movieClipProto, b->xmlNodeProto, b->xmlProto,
                              b->registeredClasses})
                m.mark(o);
        m.mark(global_);
        m.mark(otherGlobals_.global);
        m.mark(nativeTable);
        m.mark(otherGlobals_.nativeTable);
        for (Object* o : roots_) m.mark(o);
        for (const Value& v : interpreter_->stack()) m.mark(v);
        for (const Activation* act : interpreter_->activations()) markActivation(m, *act);
        timers_.mark(m);
        for (auto& marker : rootMarkers) marker(m);
    });
}

}  // namespace swf::avm1
