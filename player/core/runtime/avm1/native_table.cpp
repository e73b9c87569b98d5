// ASnative(table, index): the original's numbered native functions, reached without their
// names, and ASSetNative / ASSetNativeAccessor, which store them on an object by a list of
// names. Only the tables movies are seen to use are filled: 2 (ASnew), 100 (the global
// functions), 103 (Date.prototype), 200 (Math) and 1109 (ConvolutionFilter's properties);
// the functions are the built-ins as installed, not what a script later assigns.
#include <cmath>
#include <string>
#include <vector>

#include "globals.h"
#include "interpreter.h"
#include "native_class.h"

namespace swf::avm1 {
namespace {

struct NativeSlot {
    int table;
    int index;
    const char* owner;  // a global holding the function ("Date.prototype": a member of one), or nullptr for _global
    const char* name;
};

constexpr NativeSlot kSlots[] = {
    {1, 0, nullptr, "ASSetPropFlags"},
    {100, 0, nullptr, "escape"},  {100, 1, nullptr, "unescape"}, {100, 2, nullptr, "parseInt"},
    {100, 3, nullptr, "parseFloat"}, {100, 4, nullptr, "trace"},
    {200, 0, "Math", "abs"},   {200, 1, "Math", "min"},   {200, 2, "Math", "max"},    {200, 3, "Math", "sin"},
    {200, 4, "Math", "cos"},   {200, 5, "Math", "atan2"}, {200, 6, "Math", "tan"},    {200, 7, "Math", "exp"},
    {200, 8, "Math", "log"},   {200, 9, "Math", "sqrt"},  {200, 10, "Math", "round"}, {200, 11, "Math", "random"},
    {200, 12, "Math", "floor"}, {200, 13, "Math", "ceil"}, {200, 14, "Math", "atan"},  {200, 15, "Math", "asin"},
    {200, 16, "Math", "acos"}, {200, 17, "Math", "pow"},
    {103, 0, "Date.prototype", "getFullYear"}, {103, 1, "Date.prototype", "getYear"},
    {103, 2, "Date.prototype", "getMonth"}, {103, 3, "Date.prototype", "getDate"},
    {103, 4, "Date.prototype", "getDay"}, {103, 5, "Date.prototype", "getHours"},
    {103, 6, "Date.prototype", "getMinutes"}, {103, 7, "Date.prototype", "getSeconds"},
    {103, 8, "Date.prototype", "getMilliseconds"}, {103, 9, "Date.prototype", "setFullYear"},
    {103, 10, "Date.prototype", "setMonth"}, {103, 11, "Date.prototype", "setDate"},
    {103, 12, "Date.prototype", "setHours"}, {103, 13, "Date.prototype", "setMinutes"},
    {103, 14, "Date.prototype", "setSeconds"}, {103, 15, "Date.prototype", "setMilliseconds"},
    {103, 16, "Date.prototype", "getTime"}, {103, 17, "Date.prototype", "setTime"},
    {103, 18, "Date.prototype", "getTimezoneOffset"}, {103, 19, "Date.prototype", "toString"},
    {103, 20, "Date.prototype", "setYear"},
};

// Properties the original installs with ASSetNativeAccessor: each name takes two indices from
// `first`, its getter's and its setter's.
struct NativeAccessorSlots {
    int table;
    int first;
    const char* owner;
    const char* names;  // comma-separated
};

constexpr NativeAccessorSlots kAccessorSlots[] = {
    {1109, 1, "flash.filters.ConvolutionFilter.prototype",
     "matrixX,matrixY,matrix,divisor,bias,preserveAlpha,clamp,color,alpha"},
};

// ASnew(): whether the script function calling it runs as a constructor (`new F()`); natives
// between them (call, apply, a getter's dispatch) do not count.
Value asNew(Vm& vm, const Value&, const Arguments&) {
    Activation* act = vm.interpreter().activations().empty() ? nullptr : &vm.interpreter().current();
    return Value::boolean(act && act->isConstructor);
}

// The Math table is one native that converts its first two arguments and then switches on
// the index: an index it does not know gives NaN.
Value unknownMathNative(Vm& vm, const Value&, const Arguments& args) {
    for (size_t i = 0; i < args.size() && i < 2; ++i) vm.toNumber(args[i]);
    return Value::number(NAN);
}

std::string slotKey(int table, int index) { return std::to_string(table) + "," + std::to_string(index); }

// "a,,b" is "a", "", "b".
std::vector<std::string> splitNames(const std::string& list) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        names.push_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    return names;
}

// The object holding a slot's function: _global, a global ("Math") or a member of one, at
// any depth ("Date.prototype", "flash.filters.ConvolutionFilter.prototype").
Value slotOwner(Vm& vm, const char* owner) {
    Value v = Value::object(vm.global());
    if (!owner) return v;
    std::string path = owner;
    size_t start = 0;
    while (start <= path.size()) {
        size_t dot = path.find('.', start);
        if (dot == std::string::npos) dot = path.size();
        v = vm.getMember(v, path.substr(start, dot - start));
        start = dot + 1;
    }
    return v;
}

// An accessor of kAccessorSlots, read from its owner when first asked for (the classes that
// own them are installed after the table) and kept in the table from then on.
Value accessorAt(Vm& vm, Object* holder, int table, int32_t index) {
    for (const NativeAccessorSlots& slots : kAccessorSlots) {
        if (slots.table != table || index < slots.first) continue;
        const std::vector<std::string> names = splitNames(slots.names);
        const int64_t position = (int64_t(index) - slots.first) / 2;
        if (position >= int64_t(names.size())) continue;
        Object* owner = slotOwner(vm, slots.owner).asObject();
        NameRule any = vm.names();
        any.version = 0;
        Property* p = owner ? owner->findOwn(names[size_t(position)], any) : nullptr;
        Object* fn = !p ? nullptr : (index - slots.first) % 2 == 0 ? p->getter : p->setter;
        if (!fn) return Value();
        holder->define(slotKey(table, index), Value::object(fn));
        return Value::object(fn);
    }
    return Value();
}

Value nativeAt(Vm& vm, double table, int32_t index) {
    Object* holder = vm.nativeTable;
    if (!holder || std::isnan(table)) return Value();
    Value fn = vm.getMember(holder, slotKey(int(table), index));
    if (fn.isObject()) return fn;
    fn = accessorAt(vm, holder, int(table), index);
    if (fn.isObject()) return fn;
    if (int(table) == 200 && index >= 0) return vm.getMember(holder, "200,unknown");
    return Value();
}

Value asNative(Vm& vm, const Value&, const Arguments& args) {
    if (args.size() != 2) return Value();
    double table = vm.toNumber(args[0]);
    if (std::isnan(table)) return Value();
    int32_t index = vm.toInt32(args[1]);  // 0x100000004 is 4; 0x10004 names nothing
    return nativeAt(vm, table, index);
}

// A name in an ASSetNative list may begin with the first version that sees it: "6name" up to
// "9name" and "10name" hide the property from older movies; "1name" is seen by all.
uint16_t takeVersionPrefix(std::string& name) {
    if (name.size() > 2 && name[0] == '1' && name[1] == '0') {
        name.erase(0, 2);
        return kFromVersion10;
    }
    if (name.size() < 2) return 0;
    static const uint16_t kByDigit[10] = {0, 0, 0, 0, 0, 0, kFromVersion6, kFromVersion7, kFromVersion8, kFromVersion9};
    char c = name[0];
    if (c != '1' && (c < '6' || c > '9')) return 0;
    name.erase(0, 1);
    return kByDigit[c - '0'];
}

// Walks the comma-separated names of ASSetNative(object, table, names, first): each name,
// empty ones too, takes the next `step` indices from `first`.
template <typename Store>
void forEachNativeName(Vm& vm, const Arguments& args, int step, Store store) {
    Object* target = args[0].asObject();
    if (!target || args.size() < 3) return;
    double table = vm.toNumber(args[1]);
    std::string list = vm.toString(args[2]);
    int32_t index = args.size() > 3 ? vm.toInt32(args[3]) : 0;
    for (std::string& name : splitNames(list)) {
        uint16_t flags = takeVersionPrefix(name);
        if (!name.empty()) store(target, table, index, name, flags);
        index += step;
    }
}

// A property already on the object takes the function and keeps its own flags.
Value asSetNative(Vm& vm, const Value&, const Arguments& args) {
    forEachNativeName(vm, args, 1, [&](Object* target, double table, int32_t index, const std::string& name, uint16_t flags) {
        Value fn = nativeAt(vm, table, index);
        NameRule any = vm.names();
        any.version = 0;
        if (Property* existing = target->findOwn(name, any)) target->define(name, fn, existing->flags);
        else target->define(name, fn, flags);
    });
    return Value();
}

// Each name takes two indices: the getter's and the setter's after it.
Value asSetNativeAccessor(Vm& vm, const Value&, const Arguments& args) {
    forEachNativeName(vm, args, 2, [&](Object* target, double table, int32_t index, const std::string& name, uint16_t flags) {
        Object* getter = nativeAt(vm, table, index).asObject();
        Object* setter = nativeAt(vm, table, index + 1).asObject();
        if (getter) target->defineAccessor(name, getter, setter, flags);
    });
    return Value();
}

}  // namespace

void registerNativeTable(Vm& vm) {
    Object* holder = vm.newObject();
    for (const NativeSlot& slot : kSlots) {
        Value fn = vm.getMember(slotOwner(vm, slot.owner), slot.name);
        if (fn.isObject()) holder->define(slotKey(slot.table, slot.index), fn);
    }
    defineMethod(vm, holder, "200,unknown", unknownMathNative);
    defineMethod(vm, holder, slotKey(2, 0), asNew);
    vm.nativeTable = holder;
    vm.addRoot(holder);
    defineMethod(vm, vm.global(), "ASnative", asNative);
    Value setNative = Value::object(defineMethod(vm, vm.global(), "ASSetNative", asSetNative));
    Value setNativeAccessor = Value::object(defineMethod(vm, vm.global(), "ASSetNativeAccessor", asSetNativeAccessor));
    holder->define(slotKey(4, 0), setNative);
    holder->define(slotKey(4, 1), setNativeAccessor);
}

}  // namespace swf::avm1
