#include "clip_object.h"

#include <cmath>

#include "avm1/vm.h"
#include "clip_properties.h"
#include "script_runtime.h"

namespace swf {

using avm1::Value;

ClipObject::ClipObject(avm1::Object* proto, const std::shared_ptr<Clip>& clip, ScriptRuntime& runtime)
    : ScriptClip(proto), clip_(clip), runtime_(runtime) {}

ClipObject::~ClipObject() {
    if (auto c = clip_.lock())
        if (c->scriptObject == this) c->scriptObject = nullptr;
}

DisplayObject* ClipObject::entry() {
    Clip* c = clip();
    return c ? c->displayObject() : nullptr;
}

std::string ClipObject::instanceName() {
    DisplayObject* e = entry();
    return e ? e->state().name : std::string();
}

avm1::ScriptClip* ClipObject::parentClip() {
    Clip* c = clip();
    return c && c->parent() ? runtime_.objectFor(*c->parent()) : nullptr;
}

avm1::ScriptClip* ClipObject::rootClip() { return runtime_.objectFor(runtime_.root()); }

avm1::ScriptClip* ClipObject::childClip(const std::string& name, avm1::NameRule rule) {
    Clip* c = clip();
    if (name.empty()) return nullptr;  // unnamed children are not reachable by name
    Clip* child = c ? c->childByName(name, rule) : nullptr;
    return child ? runtime_.objectFor(*child) : nullptr;
}

std::string ClipObject::targetPath() {
    Clip* c = clip();
    if (!c) return std::string();
    if (!c->parent()) return "_level0";
    auto* parent = static_cast<ClipObject*>(parentClip());
    return parent->targetPath() + "." + instanceName();
}

std::string ClipObject::slashPath() {
    Clip* c = clip();
    if (!c || !c->parent()) return "/";
    auto* parent = static_cast<ClipObject*>(parentClip());
    std::string base = parent->slashPath();
    return (base == "/" ? base : base + "/") + instanceName();
}

int ClipObject::currentFrame() {
    Clip* c = clip();
    return c ? c->currentFrame() : 0;
}

int ClipObject::totalFrames() {
    Clip* c = clip();
    return c ? c->frameCount() : 0;
}

void ClipObject::gotoFrame(int frame, bool andPlay) {
    if (Clip* c = clip()) c->gotoFrame(frame, andPlay, false);
}

bool ClipObject::gotoLabel(const std::string& label, bool andPlay) {
    Clip* c = clip();
    if (!c || !c->timeline()) return false;
    int frame = c->timeline()->findLabel(label);
    if (frame < 0) return false;
    c->gotoFrame(frame, andPlay, false);
    return true;
}

void ClipObject::play() {
    if (Clip* c = clip()) c->play();
}

void ClipObject::stop() {
    if (Clip* c = clip()) c->stop();
}

Value ClipObject::propertyByIndex(avm1::Vm& vm, int index) {
    Clip* c = clip();
    if (!c || index < 0 || index >= int(ClipProperty::Count)) return Value();
    auto p = ClipProperty(index);
    switch (p) {
        case ClipProperty::CurrentFrame: return Value::number(c->currentFrame() + 1);
        case ClipProperty::TotalFrames:
        case ClipProperty::FramesLoaded: return Value::number(c->frameCount());
        case ClipProperty::Name: return vm.newString(instanceName());
        case ClipProperty::Target: return vm.newString(slashPath());
        case ClipProperty::Visible: return Value::boolean(true);
        case ClipProperty::Width:
        case ClipProperty::Height:
        case ClipProperty::XMouse:
        case ClipProperty::YMouse: return Value::number(0);
        case ClipProperty::DropTarget:
        case ClipProperty::Url: return Value::string(std::string());
        case ClipProperty::HighQuality: return Value::number(1);
        case ClipProperty::FocusRect: return Value::boolean(true);
        case ClipProperty::SoundBufTime: return Value::number(5);
        case ClipProperty::Quality: return Value::string(std::string("HIGH"));
        default: break;
    }
    DisplayObject* e = entry();
    if (!e) {
        bool scale = p == ClipProperty::XScale || p == ClipProperty::YScale || p == ClipProperty::Alpha;
        return Value::number(scale ? 100 : 0);
    }
    double v = readTransformProperty(e->state(), p);
    return Value::number(v);
}

void ClipObject::setPropertyByIndex(avm1::Vm& vm, int index, const Value& value) {
    if (index < 0 || index >= int(ClipProperty::Count)) return;
    auto p = ClipProperty(index);
    if (p == ClipProperty::Name) {
        if (DisplayObject* e = entry()) e->state().name = vm.toString(value);
        return;
    }
    DisplayObject* e = entry();
    if (!e) return;
    writeTransformProperty(e->state(), p, vm.toNumber(value));
    if (Clip* c = clip())
        if (c->parent()) c->parent()->markChanged();
}

bool ClipObject::getSpecial(avm1::Vm& vm, const std::string& name, Value& out) {
    if (name.empty() || name[0] != '_') {
        // Child clips by instance name come after the clip's own variables.
        if (hasOwn(name, vm.names())) return false;
        if (avm1::ScriptClip* child = childClip(name, vm.names())) {
            out = Value::object(child);
            return true;
        }
        return false;
    }
    ClipProperty p = clipPropertyByName(name, vm.names().caseSensitive);
    if (p != ClipProperty::Count) {
        out = propertyByIndex(vm, int(p));
        if (p == ClipProperty::Target) out = vm.newString(slashPath());
        return true;
    }
    if (avm1::sameName(name, "_parent", vm.names())) {
        out = Value::object(parentClip());
        return true;
    }
    if (avm1::sameName(name, "_root", vm.names())) {
        out = Value::object(rootClip());
        return true;
    }
    if (avm1::sameName(name, "_global", vm.names())) {
        out = Value::object(vm.global());
        return true;
    }
    if (hasOwn(name, vm.names())) return false;
    if (avm1::ScriptClip* child = childClip(name, vm.names())) {
        out = Value::object(child);
        return true;
    }
    return false;
}

bool ClipObject::setSpecial(avm1::Vm& vm, const std::string& name, const Value& value) {
    if (name.empty() || name[0] != '_') return false;
    ClipProperty p = clipPropertyByName(name, vm.names().caseSensitive);
    if (p == ClipProperty::Count) return false;
    switch (p) {
        case ClipProperty::X:
        case ClipProperty::Y:
        case ClipProperty::XScale:
        case ClipProperty::YScale:
        case ClipProperty::Rotation:
        case ClipProperty::Alpha:
        case ClipProperty::Name: setPropertyByIndex(vm, int(p), value); return true;
        case ClipProperty::CurrentFrame:
        case ClipProperty::TotalFrames:
        case ClipProperty::FramesLoaded:
        case ClipProperty::Target:
        case ClipProperty::Url:
        case ClipProperty::DropTarget:
        case ClipProperty::XMouse:
        case ClipProperty::YMouse: return true;  // read-only
        default: return false;  // kept as plain properties until the display side has them
    }
}

void ClipObject::duplicate(avm1::Vm& vm, const std::string& name, int depth) {
    (void)name;
    (void)depth;
    vm.warn("duplicateMovieClip is not supported yet");
}

void ClipObject::removeClip(avm1::Vm& vm) { vm.warn("removeMovieClip is not supported yet"); }

}  // namespace swf
