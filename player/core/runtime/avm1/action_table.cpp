#include "action_handlers.h"

namespace swf::avm1 {
namespace {

void ignore(Interpreter&, Activation&, const Action&) {}

HandlerTable makeTable() {
    HandlerTable t;
    t.fill(ignore);
    addStackActions(t);
    addArithmeticActions(t);
    addComparisonActions(t);
    addStringActions(t);
    addControlActions(t);
    addClipActions(t);
    addVariableActions(t);
    addObjectActions(t);
    addFunctionActions(t);
    return t;
}

}  // namespace

const HandlerTable kHandlers = makeTable();

}  // namespace swf::avm1
