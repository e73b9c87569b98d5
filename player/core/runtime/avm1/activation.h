// One running action list: a frame script or a function call. It owns its registers, its
// part of the operand stack, its scope chain (with `with` blocks), `this`, `arguments`,
// `super`, the constant pool and the target clip (SetTarget / tellTarget).
#pragma once

#include <cstddef>
#include <vector>

#include "../../model/actions.h"
#include "function.h"
#include "object.h"
#include "scope.h"
#include "value.h"

namespace swf::avm1 {

struct TryFrame {
    enum class State : uint8_t { InTry, InCatch, InFinally };
    const Action* action;
    State state = State::InTry;
    size_t withDepth = 0;
    size_t stackHeight = 0;
    bool rethrow = false;
    bool returning = false;  // a Return inside the block: it completes after `finally`
    Value pending;  // the exception to throw again, or the value to return, after `finally`
};

struct WithBlock {
    size_t end;
    Scope* saved;
};

struct Activation {
    ActionListPtr code;
    size_t pc = 0;
    size_t stackBase = 0;          // the operand stack below this belongs to the caller
    Scope* scope = nullptr;        // innermost link
    Scope* targetScope = nullptr;  // the Target link frame scripts rebuild on SetTarget
    Value thisValue;
    Object* target = nullptr;          // current target clip (SetTarget)
    bool targetMissing = false;        // the last SetTarget named no clip
    Object* originalTarget = nullptr;  // the clip whose script or function this is
    Object* callee = nullptr;
    Object* arguments = nullptr;
    Object* superObject = nullptr;
    std::vector<Value> registers;
    ConstantPoolPtr pool;  // shared with the action that set it and the functions defined here
    std::vector<WithBlock> withs;
    std::vector<TryFrame> tries;
    bool isFunction = false;
    bool isConstructor = false;  // a function run by `new` (ASnew tells)
    bool keepsStack = false;     // a frame script: what it leaves stays for the next one
    // False in a DefineFunction2 that preloads or suppresses `this`: the name is then looked
    // up as any other (the timeline's `this` from SWF 6, nothing in SWF 5).
    bool thisIsLocal = true;
    bool done = false;
    Value result;
    Activation* caller = nullptr;
};

}  // namespace swf::avm1
