// AVM1 bytecode decoded into plain records; executing them is the runtime's job.
// Branch targets are action indices; function bodies are lists of their own.
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
    ToggleQuality = 0x08,
    StopSounds = 0x09,
    Add = 0x0a,
    Subtract = 0x0b,
    Multiply = 0x0c,
    Divide = 0x0d,
    Equals = 0x0e,
    Less = 0x0f,
    And = 0x10,
    Or = 0x11,
    Not = 0x12,
    StringEquals = 0x13,
    StringLength = 0x14,
    StringExtract = 0x15,
    Pop = 0x17,
    ToInteger = 0x18,
    GetVariable = 0x1c,
    SetVariable = 0x1d,
    SetTarget2 = 0x20,
    StringAdd = 0x21,
    GetProperty = 0x22,
    SetProperty = 0x23,
    CloneSprite = 0x24,
    RemoveSprite = 0x25,
    Trace = 0x26,
    StartDrag = 0x27,
    EndDrag = 0x28,
    StringLess = 0x29,
    Throw = 0x2a,
    CastOp = 0x2b,
    ImplementsOp = 0x2c,
    RandomNumber = 0x30,
    MBStringLength = 0x31,
    CharToAscii = 0x32,
    AsciiToChar = 0x33,
    GetTime = 0x34,
    MBStringExtract = 0x35,
    MBCharToAscii = 0x36,
    MBAsciiToChar = 0x37,
    Delete = 0x3a,
    Delete2 = 0x3b,
    DefineLocal = 0x3c,
    CallFunction = 0x3d,
    Return = 0x3e,
    Modulo = 0x3f,
    NewObject = 0x40,
    DefineLocal2 = 0x41,
    InitArray = 0x42,
    InitObject = 0x43,
    TypeOf = 0x44,
    TargetPath = 0x45,
    Enumerate = 0x46,
    Add2 = 0x47,
    Less2 = 0x48,
    Equals2 = 0x49,
    ToNumber = 0x4a,
    ToString = 0x4b,
    PushDuplicate = 0x4c,
    StackSwap = 0x4d,
    GetMember = 0x4e,
    SetMember = 0x4f,
    Increment = 0x50,
    Decrement = 0x51,
    CallMethod = 0x52,
    NewMethod = 0x53,
    InstanceOf = 0x54,
    Enumerate2 = 0x55,
    BitAnd = 0x60,
    BitOr = 0x61,
    BitXor = 0x62,
    BitLShift = 0x63,
    BitRShift = 0x64,
    BitURShift = 0x65,
    StrictEquals = 0x66,
    Greater = 0x67,
    StringGreater = 0x68,
    Extends = 0x69,
    GotoFrame = 0x81,
    GetURL = 0x83,
    StoreRegister = 0x87,
    ConstantPool = 0x88,
    WaitForFrame = 0x8a,
    SetTarget = 0x8b,
    GotoLabel = 0x8c,
    WaitForFrame2 = 0x8d,
    DefineFunction2 = 0x8e,
    Try = 0x8f,
    With = 0x94,
    Push = 0x96,
    Jump = 0x99,
    GetURL2 = 0x9a,
    DefineFunction = 0x9b,
    If = 0x9d,
    Call = 0x9e,
    GotoFrame2 = 0x9f,
};

using SharedText = std::shared_ptr<const std::string>;

struct PushValue {
    enum class Type : uint8_t { String, Number, Null, Undefined, Register, Bool, Constant };
    Type type = Type::Undefined;
    SharedText string;  // String: shared so a push copies a pointer
    double number = 0;  // Number, Bool (0/1), Register and Constant (the index)
};

struct ActionList;

// DefineFunction / DefineFunction2.
struct FunctionBody {
    // DefineFunction2 flags: which of this/arguments/super are preloaded into registers
    // (from register 1 on, in this order: this, arguments, super, _root, _parent, _global)
    // or suppressed.
    enum Flag : uint16_t {
        PreloadThis = 0x0001,
        SuppressThis = 0x0002,
        PreloadArguments = 0x0004,
        SuppressArguments = 0x0008,
        PreloadSuper = 0x0010,
        SuppressSuper = 0x0020,
        PreloadRoot = 0x0040,
        PreloadParent = 0x0080,
        PreloadGlobal = 0x0100,
    };
    std::string name;                     // empty: an anonymous function (a value on the stack)
    std::vector<std::string> params;
    std::vector<uint8_t> paramRegisters;  // DefineFunction2: the register of each parameter, 0 = none
    uint8_t registerCount = 4;            // DefineFunction: the frame's four registers
    uint16_t flags = 0;
    bool isFunction2 = false;
    std::shared_ptr<const ActionList> body;
};

struct Action {
    uint8_t code = 0;
    uint32_t frame = 0;                // GotoFrame; WaitForFrame(2): the frame
    std::string text;                  // GotoLabel, SetTarget; GetURL: the URL; Try: catch variable
    std::string text2;                 // GetURL: the target window
    bool play = false;                 // GotoFrame2
    uint16_t sceneBias = 0;            // GotoFrame2
    uint8_t flags = 0;                 // GetURL2: method/target/variables; Try: its flags; StoreRegister: the register
    std::vector<SharedText> pool;      // ConstantPool
    std::vector<PushValue> values;     // Push
    size_t next = 0;                   // Jump, If: target; With: end of block; WaitForFrame: after skipped
    size_t catchStart = 0, finallyStart = 0, end = 0;  // Try: block bounds as indices
    std::shared_ptr<const FunctionBody> function;  // DefineFunction, DefineFunction2
};

struct ActionList {
    std::vector<Action> actions;
    size_t size() const { return actions.size(); }
    const Action& operator[](size_t i) const { return actions[i]; }
};

using ActionListPtr = std::shared_ptr<const ActionList>;

}  // namespace swf
