// Push, Pop, PushDuplicate, StackSwap, StoreRegister, ConstantPool.
#include "action_handlers.h"

namespace swf::avm1 {
namespace {

using C = ActionCode;

void push(Interpreter& in, Activation& act, const Action& a) {
    for (const PushValue& v : a.values) {
        switch (v.type) {
            case PushValue::Type::String: in.push(Value::string(v.string)); break;
            case PushValue::Type::Number: in.push(Value::number(v.number)); break;
            case PushValue::Type::Bool: in.push(Value::boolean(v.number != 0)); break;
            case PushValue::Type::Null: in.push(Value::null()); break;
            case PushValue::Type::Undefined: in.push(Value()); break;
            case PushValue::Type::Register: {
                Value* slot = in.registerSlot(act, size_t(v.number));
                in.push(slot ? *slot : Value());
                break;
            }
            case PushValue::Type::Constant: {
                size_t i = size_t(v.number);
                in.push(act.pool && i < act.pool->size() ? Value::string((*act.pool)[i]) : Value());
                break;
            }
        }
    }
}

void pop(Interpreter& in, Activation&, const Action&) { in.pop(); }

void duplicate(Interpreter& in, Activation&, const Action&) {
    Value v = in.peek();
    in.push(v);
}

void swap(Interpreter& in, Activation&, const Action&) {
    Value a = in.pop();
    Value b = in.pop();
    in.push(a);
    in.push(b);
}

void storeRegister(Interpreter& in, Activation& act, const Action& a) {
    if (Value* slot = in.registerSlot(act, a.flags)) *slot = in.peek();
}

// The pool stays the action's: the activation holds the action list alive through it.
void constantPool(Interpreter&, Activation& act, const Action& a) { act.pool = ConstantPoolPtr(act.code, &a.pool); }

}  // namespace

void addStackActions(HandlerTable& t) {
    t[uint8_t(C::Push)] = push;
    t[uint8_t(C::Pop)] = pop;
    t[uint8_t(C::PushDuplicate)] = duplicate;
    t[uint8_t(C::StackSwap)] = swap;
    t[uint8_t(C::StoreRegister)] = storeRegister;
    t[uint8_t(C::ConstantPool)] = constantPool;
}

}  // namespace swf::avm1
