// Button: the script object of a placed button. Its display properties (_x, _alpha, ...) are
// the clip object's; the prototype adds what buttons answer to: `enabled` (a disabled button
// is not hit by the pointer), `useHandCursor`, getDepth. Event methods (onPress, onRelease,
// onRollOver, onRollOut, onReleaseOutside, onDragOver, onDragOut) are set on instances.
#include "avm1/native_class.h"
#include "clip_object.h"
#include "script_runtime.h"

namespace swf {
namespace {

using avm1::Arguments;
using avm1::Value;
using avm1::Vm;

// Depths as scripts count them: timeline depth 1 is -16383.
Value getDepth(Vm&, const Value& self, const Arguments&) {
    auto* object = dynamic_cast<ClipObject*>(self.asObject());
    Clip* clip = object ? object->clip() : nullptr;
    DisplayObject* shown = clip ? clip->displayObject() : nullptr;
    return shown ? Value::number(double(shown->state().depth) - 16384) : Value();
}

}  // namespace

avm1::Object* registerButtonClass(Vm& vm) {
    avm1::NativeFunction* ctor = avm1::defineClass(vm, vm.global(), {"Button", nullptr, nullptr, nullptr, nullptr});
    avm1::Object* proto = avm1::prototypeOf(vm, ctor);
    avm1::defineMethod(vm, proto, "getDepth", getDepth);
    proto->define("enabled", Value::boolean(true), avm1::kDontEnum);
    proto->define("useHandCursor", Value::boolean(true), avm1::kDontEnum);
    return proto;
}

}  // namespace swf
