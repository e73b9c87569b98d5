#include "video_object.h"

#include <algorithm>
#include <cmath>

#include "avm1/native_class.h"
#include "clip_object.h"
#include "clip_properties.h"
#include "script_runtime.h"

namespace swf {

using avm1::Value;

VideoObject::VideoObject(avm1::Object* proto, Clip& parent, VideoDisplay& video, ScriptRuntime& runtime)
    : Object(proto), parent_(parent.shared_from_this()), video_(&video), runtime_(runtime) {}

VideoObject::~VideoObject() {
    if (VideoDisplay* v = video(); v && v->scriptObject == this) v->scriptObject = nullptr;
}

VideoDisplay* VideoObject::video() {
    std::shared_ptr<Clip> parent = parent_.lock();
    if (!parent || parent->removed) return nullptr;
    for (const auto& [depth, obj] : parent->displayList())
        if (obj.get() == video_) return video_;
    return nullptr;
}

std::string VideoObject::targetPath() {
    VideoDisplay* v = video();
    std::shared_ptr<Clip> parent = parent_.lock();
    if (!v || !parent) return std::string();
    return runtime_.objectFor(*parent)->targetPath() + "." + v->state().name.str();
}

bool VideoObject::getSpecial(avm1::Vm& vm, const std::string& name, Value& out) {
    if (name.empty() || name[0] != '_') return false;
    std::shared_ptr<Clip> parent = parent_.lock();
    if (avm1::sameName(name, "_parent", vm.names())) {
        out = parent ? Value::object(runtime_.objectFor(*parent)) : Value();
        return true;
    }
    const ClipProperty p = clipPropertyByName(name, false);
    VideoDisplay* v = video();
    if (p == ClipProperty::Count || !v) return false;
    switch (p) {
        case ClipProperty::Name: out = vm.newString(v->state().name.str()); return true;
        case ClipProperty::Visible: out = Value::boolean(v->state().visible); return true;
        case ClipProperty::Width:
        case ClipProperty::Height: {
            const auto& c = static_cast<const VideoCharacter&>(*v->character());
            out = Value::number(turnedBoxSide(v->state().matrix, c.width * 20.0, c.height * 20.0, p == ClipProperty::Width));
            return true;
        }
        case ClipProperty::X:
        case ClipProperty::Y:
        case ClipProperty::XScale:
        case ClipProperty::YScale:
        case ClipProperty::Rotation:
        case ClipProperty::Alpha: out = Value::number(readTransformProperty(v->state(), p)); return true;
        default: return false;  // the clip-only properties: undefined
    }
}

bool VideoObject::setSpecial(avm1::Vm& vm, const std::string& name, const Value& value) {
    if (name.empty() || name[0] != '_') return false;
    const ClipProperty p = clipPropertyByName(name, false);
    VideoDisplay* v = video();
    if (p == ClipProperty::Count || !v) return false;
    switch (p) {
        case ClipProperty::Name: v->state().name = vm.toString(value); break;
        case ClipProperty::Visible: v->state().visible = vm.toBoolean(value); break;
        case ClipProperty::X:
        case ClipProperty::Y:
        case ClipProperty::XScale:
        case ClipProperty::YScale:
        case ClipProperty::Rotation:
        case ClipProperty::Alpha:
            writeTransformProperty(v->state(), p, vm.toNumber(value));
            v->state().transformedByScript = true;
            break;
        default: return false;
    }
    if (std::shared_ptr<Clip> parent = parent_.lock()) parent->markChanged();
    return true;
}

avm1::Object* childVideo(ScriptRuntime& runtime, Clip& parent, const std::string& name) {
    if (name.empty()) return nullptr;
    avm1::Vm& vm = runtime.vm();
    DisplayObject* found =
        parent.findChild(name, vm.names(), [](DisplayObject& obj) { return dynamic_cast<VideoDisplay*>(&obj) != nullptr; });
    auto* video = static_cast<VideoDisplay*>(found);
    if (!video) return nullptr;
    if (!video->scriptObject) {
        avm1::Object* ctor = vm.getMember(vm.global(), "Video").asObject();
        avm1::Object* proto = ctor ? vm.getMember(ctor, "prototype").asObject() : nullptr;
        video->scriptObject = vm.heap().make<VideoObject>(proto ? proto : vm.builtins().objectProto, parent, *video, runtime);
    }
    return video->scriptObject;
}

namespace {

Value videoToString(avm1::Vm& vm, const Value& self, const avm1::Arguments&) {
    auto* video = dynamic_cast<VideoObject*>(self.asObject());
    const std::string path = video ? video->targetPath() : std::string();
    return vm.newString(path.empty() ? "[object Object]" : path);
}

}  // namespace

void registerVideoMethods(avm1::Vm& vm) {
    avm1::Object* ctor = vm.getMember(vm.global(), "Video").asObject();
    avm1::Object* proto = ctor ? vm.getMember(ctor, "prototype").asObject() : nullptr;
    if (proto) avm1::defineMethod(vm, proto, "toString", videoToString);
}

}  // namespace swf
