// MovieClip.setMask: a clip cut by another clip's shapes wherever that clip stands.
#include "avm1/interpreter.h"
#include "avm1/native_class.h"
#include "clip_object.h"
#include "movie_clip_methods.h"

namespace swf {
namespace {

using avm1::Arguments;
using avm1::Value;
using avm1::Vm;

void clearMask(Clip& clip) {
    if (auto old = clip.mask.lock(); old && old->masking.lock().get() == &clip) old->masking.reset();
    clip.mask.reset();
}

// setMask(clip), setMask("path"): true when the mask was found (a path is looked up from the
// timeline running the script); setMask(null) or setMask(undefined) removes the mask (true);
// setMask() changes nothing and gives undefined.
Value setMask(Vm& vm, const Value& s, const Arguments& args) {
    ClipObject* self = clipObjectOf(s);
    Clip* clip = self ? self->clip() : nullptr;
    if (!clip || args.empty()) return Value();
    if (args[0].isNullish()) {
        clearMask(*clip);
        clip->markChanged();
        return Value::boolean(true);
    }
    ClipObject* maskObject = clipObjectOf(args[0]);
    if (!maskObject && !args[0].isObject()) maskObject = clipObjectOf(Value::object(vm.interpreter().resolveTarget(vm.toString(args[0]))));
    Clip* mask = maskObject ? maskObject->clip() : nullptr;
    if (!mask) return Value::boolean(false);
    clearMask(*clip);
    // A clip masks one clip at a time: the one it masked before shows whole again.
    if (auto before = mask->masking.lock()) before->mask.reset();
    clip->mask = mask->weak_from_this();
    mask->masking = clip->weak_from_this();
    clip->markChanged();
    return Value::boolean(true);
}

}  // namespace

void registerMaskMethods(Vm& vm, avm1::Object* proto) { avm1::defineMethod(vm, proto, "setMask", setMask); }

}  // namespace swf
