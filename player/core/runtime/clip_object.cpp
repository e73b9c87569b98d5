#include "clip_object.h"

#include <algorithm>
#include <iterator>
#include <cmath>
#include <cstdint>
#include <functional>

#include "avm1/interpreter.h"
#include "avm1/vm.h"
#include "clip_bounds.h"
#include "clip_loader.h"
#include "clip_effect_properties.h"
#include "clip_properties.h"
#include "focus_rect.h"
#include "movie_clip_methods.h"
#include "script_runtime.h"
#include "text_field_scripts.h"
#include "video_object.h"

namespace swf {

using avm1::Value;

ClipObject::ClipObject(avm1::Object* proto, const std::shared_ptr<Clip>& clip, ScriptRuntime& runtime)
    : ScriptClip(proto), clip_(clip), rawClip_(clip.get()), runtime_(runtime) {
    instanceName();
    rememberPath();
}

void ClipObject::rememberPath() {
    std::vector<std::string> names;
    Clip* c = clip();
    for (int guard = 0; c && guard < 256; c = c->parent(), ++guard) {
        if (!c->parent()) {
            pathLevel_ = std::max(c->level, 0);
            pathNames_.assign(names.rbegin(), names.rend());
            return;
        }
        DisplayObject* shown = c->displayObject();
        if (!shown || c->removed) return;  // not placed yet, or gone: nothing to remember
        names.push_back(shown->state().name);
    }
}

ClipObject* ClipObject::live() {
    if (alive()) {
        if (pathLevel_ < 0) rememberPath();  // made before it was placed
        return this;
    }
    return clipAtRememberedPath();
}

// Walks the display list by name from the level, as a path in a script would.
ClipObject* ClipObject::clipAtRememberedPath() {
    std::function<avm1::Object*(int)>& levelRoot = runtime_.vm().interpreter().levelRoot;
    if (pathLevel_ < 0 || !levelRoot) return nullptr;
    auto* at = dynamic_cast<ClipObject*>(levelRoot(pathLevel_));
    const avm1::NameRule rule = runtime_.vm().names();
    for (const std::string& name : pathNames_) {
        if (!at || !at->alive()) return nullptr;
        avm1::ScriptClip* child = at->childClip(name, rule);
        if (child == at) return nullptr;  // a named shape: no clip of that name
        at = static_cast<ClipObject*>(child);
    }
    return at && at != this && at->alive() ? at : nullptr;
}

bool ClipObject::alive() const {
    Clip* c = clip();
    return c && (!c->removed || runtime_.isUnloading(*c));
}

ClipObject::~ClipObject() {
    if (auto c = clip_.lock())
        if (c->scriptObject == this) c->scriptObject = nullptr;
}

DisplayState* ClipObject::entry() {
    Clip* c = clip();
    if (!c) return nullptr;
    if (!c->parent()) return &c->host().rootState;
    DisplayObject* shown = c->displayObject();
    return shown ? &shown->state() : nullptr;
}

std::string ClipObject::instanceName() {
    if (DisplayState* e = entry()) name_ = e->name;
    return name_;
}

avm1::ScriptClip* ClipObject::parentClip() {
    Clip* c = clip();
    return c && c->parent() ? runtime_.objectFor(*c->parent()) : nullptr;
}

// A clip with _lockroot set is _root for everything below it; otherwise the level it is on.
avm1::ScriptClip* ClipObject::rootClip() {
    Clip* c = clip();
    for (int guard = 0; c && c->parent() && guard < 64; c = c->parent(), ++guard)
        if (c->scriptObject && static_cast<ClipObject*>(c->scriptObject)->lockRoot_) return runtime_.objectFor(*c);
    if (c && !c->parent() && c->level > 0) return runtime_.objectFor(*c);
    return runtime_.objectFor(runtime_.root());
}

avm1::ScriptClip* ClipObject::childClip(const std::string& name, avm1::NameRule rule) {
    if (!alive()) {
        ClipObject* now = live();
        return now ? now->childClip(name, rule) : nullptr;
    }
    Clip* c = clip();
    if (name.empty()) return nullptr;  // unnamed children are not reachable by name
    if (!c) return nullptr;
    // A named shape, bitmap or static text is no object: its name gives the clip holding it
    // (_root.myShape.foo reads _root.foo). Text fields and videos are found by childField.
    const bool buttonsAreObjects = runtime_.vm().swfVersion() >= 6;
    DisplayObject* found = c->findChild(name, rule, [](DisplayObject& obj) {
        // Before SWF 6, buttons too; a sprite left without content (past the nesting limit)
        // names nothing, or a movie loading itself into such a child would reload forever.
        const CharacterKind kind = obj.character()->kind;
        return obj.clip() || (kind != CharacterKind::EditText && kind != CharacterKind::Sprite && kind != CharacterKind::Button &&
                              kind != CharacterKind::Video);
    });
    if (!found) return nullptr;
    Clip* child = found->clip();
    return child && (buttonsAreObjects || !child->button()) ? runtime_.objectFor(*child) : this;
}

void ClipObject::childNames(std::vector<std::string>& out) {
    if (!alive()) {
        if (ClipObject* now = live()) now->childNames(out);
        return;
    }
    Clip* c = clip();
    if (!c) return;
    const Clip::DisplayList& list = c->displayList();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (!it->second->state().name.empty()) out.push_back(it->second->state().name);
}

// A clip taken off the display list has no path any more (its loads are cancelled, and a
// reference kept in a variable shows as an empty string, or the path of the clip now there),
// except while its unload event runs.
std::string ClipObject::targetPath() {
    ClipObject* now = live();
    return now ? now->pathFromLevel() : std::string();
}

std::string ClipObject::pathFromLevel() {
    Clip* c = clip();
    if (!c) return std::string();
    if (!c->parent()) return "_level" + std::to_string(c->level > 0 ? c->level : 0);
    return runtime_.objectFor(*c->parent())->pathFromLevel() + "." + instanceName();
}

std::string ClipObject::slashPath() {
    Clip* c = clip();
    if (!c || !c->parent()) return c && c->level > 0 ? "_level" + std::to_string(c->level) : "/";
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

bool ClipObject::gotoLabel(const std::string& label, bool andPlay, int bias) {
    Clip* c = clip();
    if (!c || !c->timeline()) return false;
    int frame = c->timeline()->findLabel(label);
    if (frame >= 0) frame += bias;
    if (frame < 0) return false;
    c->gotoFrame(frame, andPlay, false);
    return true;
}

int ClipObject::findLabel(const std::string& label) {
    Clip* c = clip();
    return c && c->timeline() ? c->timeline()->findLabel(label) : -1;
}

int ClipObject::movieVersion() {
    Clip* c = clip();
    return c ? c->movie().version : 0;
}

std::vector<ActionListPtr> ClipObject::frameScripts(int frame) {
    std::vector<ActionListPtr> scripts;
    Clip* c = clip();
    if (!c || !c->timeline() || frame < 0 || size_t(frame) >= c->timeline()->frames.size()) return scripts;
    for (const FrameCommand& command : c->timeline()->frames[size_t(frame)].commands)
        if (command.kind == FrameCommand::Kind::Actions && command.actions) scripts.push_back(command.actions);
    return scripts;
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
    ClipHost& host = c->host();
    switch (p) {
        case ClipProperty::CurrentFrame:
            // A failed or undone load shows no frame, whatever the clip showed before.
            if (c->loadState == Clip::LoadState::Failed || c->loadState == Clip::LoadState::Unloaded) return Value::number(0);
            return Value::number(c->currentFrame() + 1);
        case ClipProperty::TotalFrames:
        case ClipProperty::FramesLoaded: {
            // A failed load reads -1 frames loaded of 0; an unloaded clip has none at all.
            if (c->loadState == Clip::LoadState::Unloaded) return Value::number(0);
            if (c->loadState == Clip::LoadState::Failed) return Value::number(p == ClipProperty::FramesLoaded ? -1 : 0);
            return Value::number(std::max(1, c->frameCount()));
        }
        case ClipProperty::Name: return vm.newString(instanceName());
        case ClipProperty::Target: return vm.newString(slashPath());
        case ClipProperty::Visible: {
            DisplayState* e = entry();
            return Value::boolean(!e || e->visible);
        }
        case ClipProperty::Width:
        case ClipProperty::Height: {
            DisplayState* e = entry();
            Bounds b = e ? clipBounds(*c, e->matrix) : Bounds{};
            if (b.empty) return Value::number(0);
            return Value::number((p == ClipProperty::Width ? b.xMax - b.xMin : b.yMax - b.yMin) / 20);
        }
        case ClipProperty::XMouse:
        case ClipProperty::YMouse: {
            Point local = globalToLocal(*c, host.mouse);
            return Value::number(std::round(p == ClipProperty::XMouse ? local.x : local.y) / 20);
        }
        case ClipProperty::DropTarget: {
            std::shared_ptr<Clip> target = host.drag.dropTarget.lock();
            if (!target) return Value::string(std::string());
            return vm.newString(runtime_.objectFor(*target)->slashPath());
        }
        case ClipProperty::Url: return vm.newString(clipUrl(*c, vm.host().movieUrl()));
        case ClipProperty::HighQuality: return Value::number(host.quality >= 3 ? 2 : host.quality >= 1 ? 1 : 0);
        case ClipProperty::Quality: return Value::string(std::string(qualityName(host.quality)));
        case ClipProperty::FocusRect: return readFocusRect(vm, {host.focusRect, focusRect_, !c->parent()});
        case ClipProperty::SoundBufTime: return Value::number(host.soundBufferSeconds);
        default: break;
    }
    DisplayState* e = entry();
    return e ? Value::number(readTransformProperty(*e, p)) : Value();
}

void ClipObject::setPropertyByIndex(avm1::Vm& vm, int index, const Value& value) {
    Clip* c = clip();
    if (!c || index < 0 || index >= int(ClipProperty::Count)) return;
    auto p = ClipProperty(index);
    ClipHost& host = c->host();
    DisplayState* e = entry();
    switch (p) {
        case ClipProperty::Name:
            if (e) e->name = vm.toString(value);
            return;
        case ClipProperty::Quality: {
            int q = qualityByName(vm.toString(value));
            if (q >= 0) host.quality = q;
            return;
        }
        case ClipProperty::FocusRect: writeFocusRect(vm, {host.focusRect, focusRect_, !c->parent()}, value); return;
        case ClipProperty::X: case ClipProperty::Y: case ClipProperty::XScale: case ClipProperty::YScale:
        case ClipProperty::Rotation: case ClipProperty::Alpha: case ClipProperty::Visible:
        case ClipProperty::Width: case ClipProperty::Height: case ClipProperty::HighQuality:
        case ClipProperty::SoundBufTime: break;
        default: return;  // read-only
    }
    std::optional<double> n = propertyNumber(vm, value);
    if (!n) return;
    switch (p) {
        case ClipProperty::HighQuality:
            host.quality = *n == 0 ? 0 : (*n >= 2 ? 3 : 2);
            return;
        case ClipProperty::SoundBufTime:
            host.soundBufferSeconds = std::isfinite(*n) && std::fabs(*n) < 2147483648.0 ? int(*n) : INT32_MIN;
            return;
        default: break;
    }
    if (!e) return;
    if (p == ClipProperty::Visible) {
        e->visible = *n != 0;
        runtime_.textFields().focus().check();  // a hidden clip loses focus at once
    } else if (p == ClipProperty::Width || p == ClipProperty::Height) {
        // Scales the clip so its box in the parent takes the size given (the rule of the
        // original for turned clips is in scalesForSize).
        const Bounds b = clipBounds(*c, Matrix{});
        const double w = b.empty ? 0 : (b.xMax - b.xMin) / 20, h = b.empty ? 0 : (b.yMax - b.yMin) / 20;
        const ClipScales scales = scalesForSize(p == ClipProperty::Width, *n, w, h, readTransformProperty(*e, ClipProperty::Rotation),
                                                readTransformProperty(*e, ClipProperty::XScale) / 100,
                                                readTransformProperty(*e, ClipProperty::YScale) / 100);
        writeTransformProperty(*e, ClipProperty::XScale, scales.x * 100);
        writeTransformProperty(*e, ClipProperty::YScale, scales.y * 100);
    } else {
        writeTransformProperty(*e, p, *n);
    }
    if (p != ClipProperty::Visible && p != ClipProperty::Alpha) e->transformedByScript = true;
    c->markChanged();
}

namespace {

// blendMode's names in the order of the file's numbers (1 is normal).
const char* const kBlendModeNames[] = {"normal", "layer", "multiply", "screen", "lighten", "darken", "difference",
                                       "add", "subtract", "invert", "alpha", "erase", "overlay", "hardlight"};

}  // namespace

// The Flash 8 display properties kept in the display state: blendMode and cacheAsBitmap here,
// the ones taking script objects in clip_effect_properties.
bool ClipObject::getEffectProperty(avm1::Vm& vm, const std::string& name, Value& out) {
    DisplayState* e = entry();
    if (avm1::sameName(name, "blendMode", vm.names())) {
        out = e ? Value::string(std::string(kBlendModeNames[size_t(e->blendMode)])) : Value();
        return true;
    }
    if (avm1::sameName(name, "cacheAsBitmap", vm.names())) {
        out = e ? Value::boolean(e->cacheAsBitmap) : Value();
        return true;
    }
    Clip* c = clip();
    return c && getClipEffectProperty(vm, *c, name, out);
}

// A blend mode by name (as written: "lAyEr" is no name), or by the file's number (the low
// byte: 259 is 3, multiply); null and undefined are normal; anything else changes nothing.
bool ClipObject::setEffectProperty(avm1::Vm& vm, const std::string& name, const Value& value) {
    DisplayState* e = entry();
    if (avm1::sameName(name, "blendMode", vm.names())) {
        if (!e) return true;
        if (value.isNullish()) {
            e->blendMode = BlendMode::Normal;
        } else if (value.isString()) {
            const std::string text = vm.toString(value);
            for (size_t i = 0; i < std::size(kBlendModeNames); ++i)
                if (text == kBlendModeNames[i]) e->blendMode = BlendMode(i);
        } else if (value.isNumber()) {
            int n = vm.toInt32(value) & 0xff;
            if (n >= 1 && n <= int(std::size(kBlendModeNames))) e->blendMode = BlendMode(n - 1);
        }
        if (Clip* c = clip()) c->markChanged();
        return true;
    }
    if (avm1::sameName(name, "cacheAsBitmap", vm.names())) {
        if (e) e->cacheAsBitmap = vm.toBoolean(value);
        if (Clip* c = clip()) c->markChanged();
        return true;
    }
    Clip* c = clip();
    return c && setClipEffectProperty(vm, *c, name, value);
}

bool ClipObject::getSpecial(avm1::Vm& vm, const std::string& name, Value& out) {
    if (!alive()) {
        if (ClipObject* now = live()) {  // a kept reference reads the clip now at its path
            out = vm.getMember(now, name);
            return true;
        }
    }
    if (getEffectProperty(vm, name, out)) return true;
    if (name.empty() || name[0] != '_') {
        // Child clips by instance name come after the clip's own variables.
        if (hasOwn(name, vm.names())) return false;
        if (avm1::ScriptClip* child = childClip(name, vm.names())) {
            out = Value::object(child);
            return true;
        }
        return childField(name, out);
    }
    // A child named "_x" comes before the property (_root["_x"] is that child); the built-in
    // properties ignore case in every version (_X is _x in a SWF 7 file too).
    ClipProperty p = clipPropertyByName(name, false);
    if (p != ClipProperty::Count) {
        avm1::ScriptClip* child = hasOwn(name, vm.names()) ? nullptr : childClip(name, vm.names());
        out = child ? Value::object(child) : propertyByIndex(vm, int(p));
        return true;
    }
    // A variable a script named _root, _parent or _global hides the clip's own.
    if (hasOwn(name, vm.names())) return false;
    if (avm1::sameName(name, "_parent", vm.names())) {
        // Before SWF 6 a button is no object: the parent of a clip inside one is the button's.
        Clip* c = clip();
        Clip* parent = c ? c->parent() : nullptr;
        if (parent && parent->button() && parent->parent() && vm.swfVersion() < 6) parent = parent->parent();
        out = parent ? Value::object(runtime_.objectFor(*parent)) : Value();
        return true;
    }
    if (avm1::sameName(name, "_root", vm.names())) {
        out = Value::object(rootClip());
        return true;
    }
    // The name came with SWF 6 (a SWF 5 function still finds _global, see getVariable).
    if (vm.swfVersion() >= 6 && avm1::sameName(name, "_global", vm.names())) {
        out = Value::object(vm.global());
        return true;
    }
    if (avm1::sameName(name, "_lockroot", vm.names())) {
        out = Value::boolean(lockRoot_);
        return true;
    }
    if (hasOwn(name, vm.names())) return false;
    // "_level0" is the level before a child of that name, and a level nothing was loaded into is
    // undefined before anything MovieClip.prototype holds.
    int32_t level = 0;
    if (avm1::parseLevelName(name, vm.names(), level)) {
        auto& levelRoot = vm.interpreter().levelRoot;
        avm1::Object* found = level >= 0 && levelRoot ? levelRoot(level) : nullptr;
        out = found ? Value::object(found) : Value();
        return true;
    }
    if (avm1::ScriptClip* child = childClip(name, vm.names())) {
        out = Value::object(child);
        return true;
    }
    return childField(name, out);
}

bool ClipObject::childField(const std::string& name, Value& out) {
    Clip* c = clip();
    avm1::Object* field = c ? runtime_.textFields().childField(*c, name) : nullptr;
    if (!field && c) field = childVideo(runtime_, *c, name);
    if (field) out = Value::object(field);
    return field != nullptr;
}

bool ClipObject::setSpecial(avm1::Vm& vm, const std::string& name, const Value& value) {
    if (!alive()) {
        if (ClipObject* now = live()) {
            vm.setMember(now, name, value);
            return true;
        }
    }
    if (setEffectProperty(vm, name, value)) return true;
    if (name.empty() || name[0] != '_') return runtime_.textFields().storeClipVariable(*this, name, value);
    if (avm1::sameName(name, "_lockroot", vm.names())) {
        lockRoot_ = vm.toBoolean(value);
        return true;
    }
    // The built-in properties ignore case in every version: _X is _x in a SWF 7 file too.
    ClipProperty p = clipPropertyByName(name, false);
    if (p == ClipProperty::Count) return false;
    setPropertyByIndex(vm, int(p), value);
    return true;
}

void ClipObject::duplicate(avm1::Vm& vm, const std::string& name, int depth) {
    duplicateClip(vm, *this, name, Value::number(depth), nullptr);
}

void ClipObject::removeClip(avm1::Vm& vm) { removeClipByScript(vm, *this); }

void ClipObject::startDrag(bool lockCenter, const double* bounds) {
    Clip* c = clip();
    DisplayState* e = entry();
    if (!c || !e || !c->parent()) return;
    ClipHost::Drag& drag = c->host().drag;
    drag.clip = c->shared_from_this();
    Point pointer = globalToLocal(*c->parent(), c->host().mouse);
    drag.offset = lockCenter ? Point{0, 0} : Point{e->matrix.tx - pointer.x, e->matrix.ty - pointer.y};
    drag.constrained = bounds != nullptr;
    if (bounds) {
        auto twips = [](double px) { return int32_t(pixelsToTwips(px)); };
        drag.bounds = Rect{twips(std::min(bounds[0], bounds[2])), twips(std::max(bounds[0], bounds[2])),
                           twips(std::min(bounds[1], bounds[3])), twips(std::max(bounds[1], bounds[3]))};
    }
    followDrag(c->host());
}

void ClipObject::stopDrag() {
    if (Clip* c = clip()) c->host().drag.clip.reset();
}

}  // namespace swf
