// ASnative(table, index): the original's numbered native functions, reached without their
// names. Only the tables movies are seen to use are filled: 100 (the global functions) and
// 200 (Math); the functions are the built-ins as installed, not what a script later assigns.
#include <cmath>
#include <string>

#include "globals.h"
#include "native_class.h"

namespace swf::avm1 {
namespace {

struct NativeSlot {
    int table;
    int index;
    const char* owner;  // a global object holding the function, or nullptr for _global itself
    const char* name;
};

constexpr NativeSlot kSlots[] = {
    {100, 0, nullptr, "escape"},  {100, 1, nullptr, "unescape"}, {100, 2, nullptr, "parseInt"},
    {100, 3, nullptr, "parseFloat"}, {100, 4, nullptr, "trace"},
    {200, 0, "Math", "abs"},   {200, 1, "Math", "min"},   {200, 2, "Math", "max"},    {200, 3, "Math", "sin"},
    {200, 4, "Math", "cos"},   {200, 5, "Math", "atan2"}, {200, 6, "Math", "tan"},    {200, 7, "Math", "exp"},
    {200, 8, "Math", "log"},   {200, 9, "Math", "sqrt"},  {200, 10, "Math", "round"}, {200, 11, "Math", "random"},
    {200, 12, "Math", "floor"}, {200, 13, "Math", "ceil"}, {200, 14, "Math", "atan"},  {200, 15, "Math", "asin"},
    {200, 16, "Math", "acos"}, {200, 17, "Math", "pow"},
};

// The Math table is one native that converts its first two arguments and then switches on
// the index: an index it does not know gives NaN.
Value unknownMathNative(Vm& vm, const Value&, const Arguments& args) {
    for (size_t i = 0; i < args.size() && i < 2; ++i) vm.toNumber(args[i]);
    return Value::number(NAN);
}

std::string slotKey(int table, int index) { return std::to_string(table) + "," + std::to_string(index); }

Value asNative(Vm& vm, const Value&, const Arguments& args) {
    if (args.size() != 2) return Value();
    double table = vm.toNumber(args[0]);
    if (std::isnan(table)) return Value();
    int32_t index = vm.toInt32(args[1]);  // 0x100000004 is 4; 0x10004 names nothing
    Object* holder = vm.nativeTable;
    if (!holder) return Value();
    Value fn = vm.getMember(holder, slotKey(int(table), index));
    if (fn.isObject()) return fn;
    if (int(table) == 200 && index >= 0) return vm.getMember(holder, "200,unknown");
    return Value();
}

}  // namespace

void registerNativeTable(Vm& vm) {
    Object* holder = vm.newObject();
    for (const NativeSlot& slot : kSlots) {
        Value owner = slot.owner ? vm.getMember(vm.global(), slot.owner) : Value::object(vm.global());
        Value fn = vm.getMember(owner, slot.name);
        if (fn.isObject()) holder->define(slotKey(slot.table, slot.index), fn);
    }
    defineMethod(vm, holder, "200,unknown", unknownMathNative);
    vm.nativeTable = holder;
    vm.addRoot(holder);
    defineMethod(vm, vm.global(), "ASnative", asNative);
}

}  // namespace swf::avm1
