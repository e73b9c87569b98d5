// The table of action handlers: one small function per action code, grouped by family in
// actions_*.cpp. Codes without a handler do nothing (unknown actions are skipped).
#pragma once

#include <array>

#include "interpreter.h"

namespace swf::avm1 {

using ActionHandler = void (*)(Interpreter& in, Activation& act, const Action& a);
using HandlerTable = std::array<ActionHandler, 256>;

void addStackActions(HandlerTable& t);
void addArithmeticActions(HandlerTable& t);
void addComparisonActions(HandlerTable& t);
void addStringActions(HandlerTable& t);
void addControlActions(HandlerTable& t);
void addClipActions(HandlerTable& t);
void addVariableActions(HandlerTable& t);
void addObjectActions(HandlerTable& t);
void addFunctionActions(HandlerTable& t);

extern const HandlerTable kHandlers;

// A name popped from the stack as text: a string is used where it lies, without a copy; other
// values are converted (1 is "1").
struct NameText {
    std::string converted;
    const std::string& text;
    NameText(Vm& vm, const Value& v)
        : converted(v.isString() ? std::string() : vm.toString(v)), text(v.isString() ? v.asString() : converted) {}
};

// Try blocks: moves between try, catch and finally when the program counter reaches a
// block's end. True when it changed something.
bool tryBoundary(Interpreter& in, Activation& act);

}  // namespace swf::avm1
