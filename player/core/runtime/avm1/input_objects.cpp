// Key and Mouse: listener lists and the key codes. A screen saver ends on input, so no key
// is ever down and the mouse never moves while the movie runs.
#include "globals.h"
#include "native_class.h"

namespace swf::avm1 {
namespace {

Value returnFalse(Vm&, const Value&, const Arguments&) { return Value::boolean(false); }
Value returnZero(Vm&, const Value&, const Arguments&) { return Value::number(0); }
// Mouse.hide() and show() return the previous visibility as 1 / 0... the original gives the
// state before the call; the pointer starts visible.
Value hideMouse(Vm&, const Value&, const Arguments&) { return Value::number(1); }
Value showMouse(Vm&, const Value&, const Arguments&) { return Value::number(0); }

struct KeyCode {
    const char* name;
    int code;
};

constexpr KeyCode kKeyCodes[] = {
    {"ALT", 18},     {"BACKSPACE", 8}, {"CAPSLOCK", 20}, {"CONTROL", 17}, {"DELETEKEY", 46}, {"DOWN", 40},
    {"END", 35},     {"ENTER", 13},    {"ESCAPE", 27},   {"HOME", 36},    {"INSERT", 45},    {"LEFT", 37},
    {"PGDN", 34},    {"PGUP", 33},     {"RIGHT", 39},    {"SHIFT", 16},   {"SPACE", 32},     {"TAB", 9},
    {"UP", 38},
};

}  // namespace

void registerInputObjects(Vm& vm) {
    Object* key = vm.newObject();
    vm.global()->define("Key", Value::object(key), kDontEnum);
    makeBroadcaster(vm, key);
    defineMethod(vm, key, "isDown", returnFalse);
    defineMethod(vm, key, "isToggled", returnFalse);
    defineMethod(vm, key, "getCode", returnZero);
    defineMethod(vm, key, "getAscii", returnZero);
    for (const KeyCode& k : kKeyCodes) defineValue(key, k.name, Value::number(k.code));

    Object* mouse = vm.newObject();
    vm.global()->define("Mouse", Value::object(mouse), kDontEnum);
    makeBroadcaster(vm, mouse);
    defineMethod(vm, mouse, "hide", hideMouse);
    defineMethod(vm, mouse, "show", showMouse);
}

}  // namespace swf::avm1
