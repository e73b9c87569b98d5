// Button: the script object of a placed button. Its display properties (_x, _alpha, ...) are
// the clip object's; the prototype adds what buttons answer to: `enabled` (a disabled button
// is not hit by the pointer), `useHandCursor`, getDepth. Event methods (onPress, onRelease,
// onRollOver, onRollOut, onReleaseOutside, onDragOver, onDragOut) are set on instances.
#include "avm1/native_class.h"
#include "script_runtime.h"

namespace swf {

avm1::Object* registerButtonClass(avm1::Vm& vm) {
    avm1::NativeFunction* ctor = avm1::defineClass(vm, vm.global(), {"Button", nullptr, nullptr, nullptr, nullptr});
    avm1::Object* proto = avm1::prototypeOf(vm, ctor);
    // The same native as MovieClip's (registered before): depths count alike for both.
    // Read as natives see it: a SWF 5 movie's globals are made too (getDepth is hidden there).
    const avm1::Property* getDepth = vm.builtins().movieClipProto->findOwn("getDepth", avm1::NameRule{});
    proto->define("getDepth", getDepth ? getDepth->value : avm1::Value(), avm1::kDontEnum | avm1::kFromVersion6);
    proto->define("enabled", avm1::Value::boolean(true), avm1::kDontEnum);
    proto->define("useHandCursor", avm1::Value::boolean(true), avm1::kDontEnum);
    return proto;
}

}  // namespace swf
