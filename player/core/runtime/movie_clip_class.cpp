// MovieClip.prototype: frame control (play, stop, the gotos, next and previous frame) here,
// the other families in movie_clip_methods_*.cpp.
#include "avm1/native_class.h"
#include "avm1/script_clip.h"
#include "clip_object.h"
#include "movie_clip_methods.h"
#include "script_runtime.h"

namespace swf {
namespace {

using avm1::Arguments;
using avm1::ScriptClip;
using avm1::Value;
using avm1::Vm;

ScriptClip* self(const Value& v) {
    auto* c = dynamic_cast<ScriptClip*>(v.asObject());
    return c ? c->resolved() : nullptr;
}

Value play(Vm&, const Value& s, const Arguments&) {
    if (ScriptClip* c = self(s)) c->play();
    return Value();
}

Value stop(Vm&, const Value& s, const Arguments&) {
    if (ScriptClip* c = self(s)) c->stop();
    return Value();
}

Value nextFrame(Vm&, const Value& s, const Arguments&) {
    if (ScriptClip* c = self(s)) {
        c->gotoFrame(c->currentFrame() + 1, false);
        c->stop();
    }
    return Value();
}

Value prevFrame(Vm&, const Value& s, const Arguments&) {
    if (ScriptClip* c = self(s)) {
        if (c->currentFrame() > 0) c->gotoFrame(c->currentFrame() - 1, false);
        c->stop();
    }
    return Value();
}

Value gotoAndPlay(Vm& vm, const Value& s, const Arguments& args) {
    if (ScriptClip* c = self(s); c && !args.empty()) avm1::gotoFrameValue(vm.interpreter(), c, args[0], true, 0);
    return Value();
}

Value gotoAndStop(Vm& vm, const Value& s, const Arguments& args) {
    if (ScriptClip* c = self(s); c && !args.empty()) avm1::gotoFrameValue(vm.interpreter(), c, args[0], false, 0);
    return Value();
}

Value clipToString(Vm& vm, const Value& s, const Arguments&) {
    ScriptClip* c = self(s);
    // On anything but a clip (MovieClip.prototype itself) it answers as Object's does.
    return c ? vm.newString(c->targetPath()) : Value::string(std::string("[object Object]"));
}

}  // namespace

void registerMovieClipClass(Vm& vm) {
    avm1::NativeFunction* ctor = avm1::defineClass(vm, vm.global(), {"MovieClip", nullptr, nullptr, nullptr, nullptr});
    avm1::Object* proto = avm1::prototypeOf(vm, ctor);
    vm.builtins().movieClipProto = proto;
    avm1::defineMethod(vm, proto, "play", play);
    avm1::defineMethod(vm, proto, "stop", stop);
    avm1::defineMethod(vm, proto, "nextFrame", nextFrame);
    avm1::defineMethod(vm, proto, "prevFrame", prevFrame);
    avm1::defineMethod(vm, proto, "gotoAndPlay", gotoAndPlay);
    avm1::defineMethod(vm, proto, "gotoAndStop", gotoAndStop);
    avm1::defineMethod(vm, proto, "toString", clipToString);
    registerDepthMethods(vm, proto);
    registerGeometryMethods(vm, proto);
    registerLoadingMethods(vm, proto);
    registerMaskMethods(vm, proto);
    avm1::defineValue(proto, "enabled", Value::boolean(true));
    avm1::defineValue(proto, "useHandCursor", Value::boolean(true));
    registerMovieClipDrawing(vm, proto);
}

}  // namespace swf
