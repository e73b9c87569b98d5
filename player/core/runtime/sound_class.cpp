// Sound.prototype: the natives of the Sound class (state in SoundObject, the movie's side in
// SoundScript).
#include <climits>
#include <cmath>
#include <optional>

#include "avm1/native_class.h"
#include "sound_class.h"
#include "sound_object.h"
#include "sound_script.h"

namespace swf {
namespace {

using avm1::Arguments;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

// The Sound `self` is, when its target names a clip now (or it has none): every method of
// a Sound whose clip cannot be found does nothing and reads undefined.
SoundObject* soundOf(const Value& self) {
    auto* s = avm1::nativeAs<SoundObject>(self);
    if (!s || !s->script) return nullptr;
    return s->global || s->script->resolveClip(s->targetPath) ? s : nullptr;
}

// The original converts volumes and pans as the processor truncates a double to a 32-bit
// integer: NaN and anything out of range become INT_MIN.
int32_t truncateToInt32(double v) {
    if (!(v >= -2147483648.0 && v < 2147483648.0)) return INT32_MIN;
    return int32_t(v);
}

Value roundedMs(double ms) { return Value::number(std::round(ms)); }

// The transform the Sound controls: its clip's, or the global one. False when its target
// names no clip now.
bool readScope(SoundObject& s, ScriptSoundTransform& out, Clip*& clip) {
    clip = nullptr;
    if (s.global) {
        out = s.script->scopes().global();
        return true;
    }
    clip = s.script->resolveClip(s.targetPath);
    if (!clip) return false;
    out = s.script->scopes().transformOf(*clip);
    return true;
}

void writeScope(SoundObject& s, Clip* clip, const ScriptSoundTransform& t) {
    if (clip) s.script->scopes().setTransform(*clip, t);
    else s.script->scopes().global() = t;
}

// Reads the transform, lets `change` edit it, stores it back.
template <typename Change>
void editScope(const Value& self, Change change) {
    SoundObject* s = soundOf(self);
    ScriptSoundTransform t;
    Clip* clip = nullptr;
    if (!s || !readScope(*s, t, clip)) return;
    change(t);
    writeScope(*s, clip, t);
}

template <typename Read>
Value readFromScope(const Value& self, Read read) {
    SoundObject* s = soundOf(self);
    ScriptSoundTransform t;
    Clip* clip = nullptr;
    if (!s || !readScope(*s, t, clip)) return Value();
    return read(t);
}

Value getVolume(Vm&, const Value& self, const Arguments&) {
    return readFromScope(self, [](const ScriptSoundTransform& t) { return Value::number(t.volume); });
}

Value setVolume(Vm& vm, const Value& self, const Arguments& args) {
    const int32_t volume = args.empty() ? 0 : truncateToInt32(vm.toNumber(args[0]));
    editScope(self, [&](ScriptSoundTransform& t) { t.volume = volume; });
    return Value();
}

Value getPan(Vm&, const Value& self, const Arguments&) {
    return readFromScope(self, [](const ScriptSoundTransform& t) { return Value::number(t.pan()); });
}

Value setPan(Vm& vm, const Value& self, const Arguments& args) {
    const int32_t pan = args.empty() ? 0 : truncateToInt32(vm.toNumber(args[0]));
    editScope(self, [&](ScriptSoundTransform& t) { t.setPan(pan); });
    return Value();
}

Value getTransform(Vm& vm, const Value& self, const Arguments&) {
    return readFromScope(self, [&](const ScriptSoundTransform& t) {
        Object* o = vm.newObject();
        vm.setMember(o, "ll", Value::number(t.ll));
        vm.setMember(o, "lr", Value::number(t.lr));
        vm.setMember(o, "rr", Value::number(t.rr));
        vm.setMember(o, "rl", Value::number(t.rl));
        return Value::object(o);
    });
}

// Only the gains the object has as its own properties change; the others keep their values.
// They are read before the clip is looked up: a getter may remove that clip.
Value setTransform(Vm& vm, const Value& self, const Arguments& args) {
    Object* from = args.empty() ? nullptr : vm.toObject(args[0]);
    std::optional<int32_t> ll, rl, lr, rr;
    auto take = [&](const char* name, std::optional<int32_t>& into) {
        if (from && from->hasOwn(name, vm.names())) into = vm.toInt32(vm.getMember(from, name));
    };
    take("ll", ll);
    take("rl", rl);
    take("lr", lr);
    take("rr", rr);
    editScope(self, [&](ScriptSoundTransform& t) {
        t.ll = ll.value_or(t.ll);
        t.rl = rl.value_or(t.rl);
        t.lr = lr.value_or(t.lr);
        t.rr = rr.value_or(t.rr);
    });
    return Value();
}

Value attachSound(Vm& vm, const Value& self, const Arguments& args) {
    SoundObject* s = soundOf(self);
    if (!s || args.empty()) return Value();
    const std::string name = vm.toString(args[0]);
    if (!attachExported(vm, *s, name)) vm.warn("Sound.attachSound: no sound exported as '" + name + "'");
    return Value();
}

Value start(Vm& vm, const Value& self, const Arguments& args) {
    SoundObject* s = soundOf(self);
    if (!s) return Value();
    const double offset = args.empty() ? 0 : vm.toNumber(args[0]);
    const double loops = args.size() < 2 ? 1 : vm.toNumber(args[1]);
    // The loop count is a 16-bit field in the original: clamped, and at least one play.
    const uint16_t plays = uint16_t(std::max(1.0, std::min(65535.0, std::isnan(loops) ? 0.0 : std::trunc(loops))));
    startSound(*s, offset, plays);
    return Value();
}

Value stop(Vm& vm, const Value& self, const Arguments& args) {
    SoundObject* s = soundOf(self);
    if (!s) return Value();
    if (!args.empty()) {
        const std::string name = vm.toString(args[0]);
        if (!stopExported(*s, name)) vm.warn("Sound.stop: no sound exported as '" + name + "'");
    } else {
        stopOwnSounds(*s);
    }
    return Value();
}

Value loadSound(Vm& vm, const Value& self, const Arguments& args) {
    SoundObject* s = soundOf(self);
    if (!s || args.empty()) return Value();
    const std::string url = vm.toString(args[0]);
    beginLoad(*s, url, args.size() > 1 && vm.toBoolean(args[1]));
    return Value();
}

Value duration(Vm&, const Value& self, const Arguments&) {
    SoundObject* s = soundOf(self);
    return s && s->durationMs ? roundedMs(*s->durationMs) : Value();
}

Value position(Vm&, const Value& self, const Arguments&) {
    SoundObject* s = soundOf(self);
    if (!s || s->state != SoundObject::State::Loaded) return Value();
    return roundedMs(positionMs(*s));
}

Value ignore(Vm&, const Value&, const Arguments&) { return Value(); }

Value bytesLoaded(Vm&, const Value& self, const Arguments&) {
    SoundObject* s = soundOf(self);
    return s ? Value::number(s->bytesLoaded) : Value();
}

Value bytesTotal(Vm&, const Value& self, const Arguments&) {
    SoundObject* s = soundOf(self);
    return s && s->bytesTotal ? Value::number(*s->bytesTotal) : Value();
}

Object* makeSound(Vm& vm, Object* proto) {
    SoundScript* script = nullptr;
    for (Object* p = proto; p && !script; p = p->proto())
        if (auto* sp = dynamic_cast<SoundPrototype*>(p)) script = sp->script;
    return vm.heap().make<SoundObject>(proto, script);
}

// new Sound(), new Sound(clip), new Sound("path"): an object that is not a clip is a path by
// its string value, kept as written (a relative one is read from wherever the Sound is used).
Value construct(Vm& vm, const Value& self, const Arguments& args) {
    auto* s = avm1::nativeAs<SoundObject>(self);
    if (!s || !s->script || args.empty() || args[0].isUndefined() || args[0].isNull()) return self;
    s->global = false;
    s->targetPath = s->script->absolutePath(args[0].asObject());
    if (s->targetPath.empty()) s->targetPath = vm.toString(args[0]);
    return self;
}

}  // namespace

void defineTimingProperties(Vm& vm, SoundObject& s) {
    if (vm.hasProperty(&s, "position") && vm.hasProperty(&s, "duration")) return;
    s.defineAccessor("position", vm.newNative(position), nullptr, avm1::kDontEnum | avm1::kDontDelete);
    s.defineAccessor("duration", vm.newNative(duration), nullptr, avm1::kDontEnum | avm1::kDontDelete);
}

void registerSoundClass(Vm& vm, SoundScript& script) {
    // Built by hand rather than with defineClass: the prototype carries the movie's sound.
    auto* proto = vm.heap().make<SoundPrototype>(vm.builtins().objectProto, &script);
    auto* ctor = vm.heap().make<avm1::NativeFunction>(vm.builtins().functionProto, construct, construct, makeSound);
    ctor->define("prototype", Value::object(proto), avm1::kDontEnum | avm1::kDontDelete);
    proto->define("constructor", Value::object(ctor), avm1::kDontEnum);
    vm.global()->define("Sound", Value::object(ctor), avm1::kDontEnum);

    struct Method {
        const char* name;
        avm1::NativeFn fn;
        bool sinceVersion6;  // what Flash Player 6 added is not there for older movies
    };
    static const Method kMethods[] = {
        {"getPan", getPan, false}, {"getTransform", getTransform, false}, {"getVolume", getVolume, false},
        {"setPan", setPan, false}, {"setTransform", setTransform, false}, {"setVolume", setVolume, false},
        {"stop", stop, false}, {"attachSound", attachSound, false}, {"start", start, false},
        {"getDuration", duration, true}, {"setDuration", ignore, true}, {"getPosition", position, true},
        {"setPosition", ignore, true}, {"loadSound", loadSound, true}, {"getBytesLoaded", bytesLoaded, true},
        {"getBytesTotal", bytesTotal, true},
    };
    for (const Method& m : kMethods)
        if (!m.sinceVersion6 || vm.swfVersion() >= 6)
            avm1::defineMethod(vm, proto, m.name, m.fn, avm1::kDontEnum | avm1::kDontDelete | avm1::kReadOnly);
}

}  // namespace swf
