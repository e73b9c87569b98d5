// AVM1 bytecode decoded into plain records; executing them is the runtime's job.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace swf {

enum class ActionCode : uint8_t {
    End = 0x00,
    NextFrame = 0x04,
    PreviousFrame = 0x05,
    Play = 0x06,
    Stop = 0x07,
    Add = 0x0a,
    Subtract = 0x0b,
    Multiply = 0x0c,
    Divide = 0x0d,
    Equals = 0x0e,
    Less = 0x0f,
    And = 0x10,
    Or = 0x11,
    Not = 0x12,
    Pop = 0x17,
    GetVariable = 0x1c,
    SetVariable = 0x1d,
    SetTarget2 = 0x20,
    Trace = 0x26,
    CallFunction = 0x3d,
    Add2 = 0x47,
    Less2 = 0x48,
    Equals2 = 0x49,
    PushDuplicate = 0x4c,
    StackSwap = 0x4d,
    Increment = 0x50,
    GetMember = 0x4e,
    SetMember = 0x4f,
    Decrement = 0x51,
    CallMethod = 0x52,
    GotoFrame = 0x81,
    ConstantPool = 0x88,
    SetTarget = 0x8b,
    GotoLabel = 0x8c,
    DefineFunction2 = 0x8e,
    Push = 0x96,
    Jump = 0x99,
    DefineFunction = 0x9b,
    If = 0x9d,
    GotoFrame2 = 0x9f,
};

struct PushValue {
    enum class Type : uint8_t { String, Number, Null, Undefined, Register, Bool, Constant };
    Type type = Type::Undefined;
    std::string string;
    double number = 0;  // Number, Bool (0/1), Register and Constant (the index)
};

struct Action {
    uint8_t code = 0;
    uint32_t frame = 0;                // GotoFrame
    std::string text;                  // GotoLabel, SetTarget
    bool play = false;                 // GotoFrame2
    uint16_t sceneBias = 0;            // GotoFrame2
    std::vector<std::string> pool;     // ConstantPool
    std::vector<PushValue> values;     // Push
    size_t next = 0;                   // Jump, If: the branch target; DefineFunction: after the body
};

using ActionList = std::vector<Action>;
using ActionListPtr = std::shared_ptr<const ActionList>;

}  // namespace swf
