// MovieClip.prototype as far as frame control goes: play, stop, the gotos, next and previous
// frame. The display methods come with the clip display objects.
#include "avm1/native_class.h"
#include "avm1/script_clip.h"
#include "clip_object.h"
#include "script_runtime.h"

namespace swf {
namespace {

using avm1::Arguments;
using avm1::ScriptClip;
using avm1::Value;
using avm1::Vm;

ScriptClip* self(const Value& v) {
    auto* c = dynamic_cast<ScriptClip*>(v.asObject());
    return c && c->alive() ? c : nullptr;
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

// Depths as scripts count them: timeline depth 1 is -16383.
Value getDepth(Vm&, const Value& s, const Arguments&) {
    auto* c = dynamic_cast<ClipObject*>(s.asObject());
    Clip* clip = c ? c->clip() : nullptr;
    DisplayObject* shown = clip ? clip->displayObject() : nullptr;
    return shown ? Value::number(double(shown->state().depth) - 16384) : Value();
}

Value clipToString(Vm& vm, const Value& s, const Arguments&) {
    ScriptClip* c = self(s);
    return c ? vm.newString(c->targetPath()) : Value();
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
    avm1::defineMethod(vm, proto, "getDepth", getDepth);
    registerMovieClipDrawing(vm, proto);
}

}  // namespace swf
