// MovieClipLoader: loadClip, unloadClip and getProgress, with the load's events broadcast to
// its listeners (the loader itself is the first) through its own broadcastMessage.
#include <cmath>

#include "avm1/globals.h"
#include "avm1/interpreter.h"
#include "avm1/native_class.h"
#include "clip_object.h"
#include "runtime_limits.h"
#include "script_runtime.h"

namespace swf {
namespace {

using avm1::Arguments;
using avm1::Value;
using avm1::Vm;

// A target as loadClip takes it: a clip, a path to one, or a level number (2.9 is _level2).
// False for anything else, and for a path that names no clip.
bool targetOf(Vm& vm, const Value& v, ClipLoader::Target& out) {
    if (v.isNumber()) {
        const double n = std::trunc(v.asNumber());
        if (!(n >= 0 && n <= kMaxLevel)) return false;
        out.level = int(n);
        return true;
    }
    avm1::Object* o = v.asObject();
    if (v.isString()) o = vm.interpreter().resolveTarget(vm.toString(v));
    auto* clipObject = dynamic_cast<ClipObject*>(o);
    Clip* clip = clipObject ? clipObject->clip() : nullptr;
    if (!clip) return false;
    if (clip->level >= 0) out.level = clip->level;
    else out.clip = clip->shared_from_this();
    return true;
}

Clip* existingClip(const ClipLoader::Target& t, ClipHost& host) {
    if (t.level < 0) return t.clip.lock().get();
    auto it = host.levels.find(t.level);
    return it != host.levels.end() ? it->second.get() : nullptr;
}

Value construct(Vm& vm, const Value& self, const Arguments&) {
    if (avm1::Object* o = self.asObject()) {
        avm1::makeBroadcaster(vm, o);
        Value args[] = {self};
        vm.callMethod(self, "addListener", Arguments(args, 1));
    }
    return self;
}

Value loadClip(Vm& vm, const Value& self, const Arguments& args) {
    ScriptRuntime* runtime = ScriptRuntime::of(vm);
    if (args.size() < 2 || !runtime) return Value();
    ClipLoader::Target target;
    if (!args[0].isString() || !targetOf(vm, args[1], target)) return Value::boolean(false);
    runtime->loader().request(ClipLoader::Kind::Movie, target, vm.toString(args[0]), self.asObject());
    return Value::boolean(true);
}

Value unloadClip(Vm& vm, const Value&, const Arguments& args) {
    ScriptRuntime* runtime = ScriptRuntime::of(vm);
    ClipLoader::Target target;
    if (args.empty() || !runtime || !targetOf(vm, args[0], target)) return Value::boolean(false);
    runtime->loader().request(ClipLoader::Kind::Unload, target, std::string());
    return Value::boolean(true);
}

// {bytesLoaded, bytesTotal} of the target's file; both undefined when no such clip or level.
Value getProgress(Vm& vm, const Value&, const Arguments& args) {
    ScriptRuntime* runtime = ScriptRuntime::of(vm);
    if (args.empty() || !runtime) return Value();
    const Value& v = args[0];
    ClipLoader::Target target;
    const bool named = v.isString() || v.isNumber();
    if (!targetOf(vm, v, target) && !named) return Value();
    avm1::Object* progress = vm.newObject();
    Clip* clip = existingClip(target, runtime->root().host());
    Value bytes;
    if (clip) bytes = Value::number(contentBytes(*clip, true));
    vm.setMember(progress, "bytesLoaded", bytes);
    vm.setMember(progress, "bytesTotal", bytes);
    return Value::object(progress);
}

}  // namespace

void registerMovieClipLoaderClass(Vm& vm) {
    avm1::NativeFunction* ctor = avm1::defineClass(vm, vm.global(), {"MovieClipLoader", nullptr, construct, nullptr, nullptr});
    avm1::Object* proto = avm1::prototypeOf(vm, ctor);
    avm1::defineMethod(vm, proto, "loadClip", loadClip);
    avm1::defineMethod(vm, proto, "unloadClip", unloadClip);
    avm1::defineMethod(vm, proto, "getProgress", getProgress);
}

}  // namespace swf
