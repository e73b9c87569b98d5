// MovieClip methods that add, remove and reorder clips: duplicateMovieClip, attachMovie,
// createEmptyMovieClip, removeMovieClip, swapDepths, getDepth, getNextHighestDepth,
// getInstanceAtDepth. Scripts count depths from -16384 (timeline depth 0).
#include <cmath>

#include "avm1/interpreter.h"
#include "avm1/native_class.h"
#include "display/edit_text_display.h"
#include "clip_events.h"
#include "clip_object.h"
#include "movie_clip_methods.h"
#include "script_runtime.h"
#include "text_field.h"
#include "text_field_object.h"
#include "text_field_scripts.h"

namespace swf {
namespace {

using avm1::Arguments;
using avm1::Value;
using avm1::Vm;

constexpr int kDepthOffset = 16384;
constexpr double kMaxListDepth = 2130706428;
// removeMovieClip leaves the topmost depths alone.
constexpr Depth kMaxRemovableDepth = 2130706416;

// createEmptyMovieClip's character: no frames at all (_currentframe 0, _totalframes 1).
const SpriteCharacter& emptySprite() {
    static const SpriteCharacter sprite;
    return sprite;
}

// A clip a script places: null when the list is full or the nesting or instance limits leave
// the object without content.
Clip* placeClip(Clip& parent, Depth depth, const Character& character, const std::string& name) {
    // attachMovie also places exported buttons (a Button object, never a registered class).
    if (character.kind != CharacterKind::Sprite && character.kind != CharacterKind::Button) return nullptr;
    DisplayObject* obj = parent.placeByScript(depth, character, name);
    return obj ? obj->clip() : nullptr;
}

// A script depth as a display-list depth: a 32-bit integer as scripts give it (4294967297 is
// 1), within the original's range of script depths, -16384 to 2130690044.
// `nanIsZero`: swapDepths takes NaN as depth 0 where the other methods refuse it.
bool listDepth(Vm& vm, const Value& v, Depth& out, bool nanIsZero = false) {
    double d = vm.toNumber(v);  // once: valueOf may have effects
    if (nanIsZero && std::isnan(d)) d = 0;
    if (!std::isfinite(d)) return false;
    double wrapped = std::fmod(std::trunc(d), 4294967296.0);
    if (wrapped < 0) wrapped += 4294967296.0;
    if (wrapped >= 2147483648.0) wrapped -= 4294967296.0;
    double listed = wrapped + kDepthOffset;
    if (listed < 0 || listed > kMaxListDepth) return false;
    out = Depth(listed);
    return true;
}

Value depthValue(Depth depth) { return Value::number(double(depth) - kDepthOffset); }

Value newClipValue(Vm& vm, Clip* made, const Value& init, ScriptRuntime& runtime) {
    if (!made) return Value();
    ClipObject* o = runtime.constructByScript(*made, init.asObject());
    return vm.swfVersion() >= 6 ? Value::object(o) : Value();
}

Value attachMovie(Vm& vm, const Value& s, const Arguments& args) {
    ClipObject* self = clipObjectOf(s);
    Clip* clip = self ? self->clip() : nullptr;
    Depth depth = 0;
    if (!clip || args.size() < 3 || !listDepth(vm, args[2], depth)) return Value();
    const std::string id = vm.toString(args[0]);
    const Movie& movie = clip->movie();
    const Character* character = nullptr;
    for (const auto& [name, characterId] : movie.exports)
        if (avm1::sameName(name, id, avm1::NameRule{false})) character = movie.character(characterId);
    if (!character) return Value();
    Clip* made = placeClip(*clip, depth, *character, vm.toString(args[1]));
    return newClipValue(vm, made, args[3], self->runtime());
}

Value createEmptyMovieClip(Vm& vm, const Value& s, const Arguments& args) {
    ClipObject* self = clipObjectOf(s);
    Clip* clip = self ? self->clip() : nullptr;
    Depth depth = 0;
    if (!clip || args.size() < 2 || !listDepth(vm, args[1], depth)) return Value();
    Clip* made = placeClip(*clip, depth, emptySprite(), vm.toString(args[0]));
    if (!made) return Value();
    return Value::object(self->runtime().constructByScript(*made, nullptr));
}

Value duplicateMovieClip(Vm& vm, const Value& s, const Arguments& args) {
    ClipObject* self = clipObjectOf(s);
    if (!self || args.size() < 2) return Value();
    ClipObject* copy = duplicateClip(vm, *self, vm.toString(args[0]), args[1], args[2].asObject());
    return copy && vm.swfVersion() >= 6 ? Value::object(copy) : Value();
}

Value removeMovieClip(Vm& vm, const Value& s, const Arguments&) {
    if (ClipObject* self = clipObjectOf(s)) removeClipByScript(vm, *self);
    else removeTextFieldByScript(s.asObject());
    return Value();
}

Value getDepth(Vm&, const Value& s, const Arguments&) {
    ClipObject* self = clipObjectOf(s);
    Clip* clip = self ? self->clip() : nullptr;
    if (clip && !clip->parent()) return Value::number(-kDepthOffset);
    DisplayObject* shown = clip ? clip->displayObject() : nullptr;
    return shown ? depthValue(shown->state().depth) : Value();
}

Value getNextHighestDepth(Vm&, const Value& s, const Arguments&) {
    ClipObject* self = clipObjectOf(s);
    Clip* clip = self ? self->clip() : nullptr;
    if (!clip) return Value();
    const auto& list = clip->displayList();
    int next = list.empty() ? 0 : std::max(0, int(list.rbegin()->first) - kDepthOffset + 1);
    return Value::number(next);
}

// An object that is no clip (a shape) answers with the clip that holds it.
Value getInstanceAtDepth(Vm& vm, const Value& s, const Arguments& args) {
    ClipObject* self = clipObjectOf(s);
    Clip* clip = self ? self->clip() : nullptr;
    Depth depth = 0;
    if (!clip || args.empty() || !listDepth(vm, args[0], depth)) return Value();
    DisplayObject* obj = clip->objectAt(depth);
    if (!obj) return Value();
    if (Clip* child = obj->clip()) return Value::object(self->runtime().objectFor(*child));
    if (auto* field = dynamic_cast<EditTextDisplay*>(obj)) return Value::object(self->runtime().textFields().objectFor(field->text()));
    return Value::object(self);
}

// swapDepths(depth) or swapDepths(sibling). The clip keeps its transform from then on, as one a
// script moved (swapped away and back, it ignores its depth's PlaceObject moves), but the
// timeline still removes whatever a swap put at its depths: a clip swapped onto depth 1 goes
// with the frame's RemoveObject of depth 1.
Value swapDepths(Vm& vm, const Value& s, const Arguments& args) {
    ClipObject* self = clipObjectOf(s);
    Clip* clip = self ? self->clip() : nullptr;
    Clip* parent = clip ? clip->parent() : nullptr;
    DisplayObject* shown = parent ? clip->displayObject() : nullptr;
    if (!shown || args.empty()) return Value();
    if (args[0].isUndefined()) return Value();
    Depth to = 0;
    ClipObject* other = clipObjectOf(args[0]);
    // A path names a clip from this one ("../clip1"); a string naming none is a number (NaN: 0).
    if (!other && args[0].isString())
        other = clipObjectOf(vm.interpreter().resolvePath(self, vm.toString(args[0]), false));
    auto* field = other ? nullptr : dynamic_cast<TextFieldObject*>(args[0].asObject());
    if (other) {
        Clip* otherClip = other->clip();
        DisplayObject* otherShown = otherClip && otherClip->parent() == parent ? otherClip->displayObject() : nullptr;
        if (!otherShown) return Value();
        to = otherShown->state().depth;
    } else if (field) {  // a text field beside the clip trades places as a clip would
        std::shared_ptr<TextField> f = field->field();
        DisplayObject* fieldShown = f && f->parent.lock().get() == parent ? field->entry() : nullptr;
        if (!fieldShown) return Value();
        to = fieldShown->state().depth;
    } else if (!listDepth(vm, args[0], to, true)) {
        return Value();
    }
    shown->state().transformedByScript = true;
    parent->swapDepths(shown->state().depth, to);
    return Value();
}

}  // namespace

ClipObject* clipObjectOf(const Value& v) {
    auto* c = dynamic_cast<ClipObject*>(v.asObject());
    return c ? c->live() : nullptr;
}

ClipObject* duplicateClip(Vm& vm, ClipObject& self, const std::string& name, const Value& depthArg,
                          avm1::Object* initObject) {
    Clip* clip = self.clip();
    Clip* parent = clip ? clip->parent() : nullptr;
    DisplayObject* shown = parent ? clip->displayObject() : nullptr;
    Depth depth = 0;
    if (!shown || !listDepth(vm, depthArg, depth)) return nullptr;
    const DisplayState original = shown->state();  // the copy below may replace this object
    const ClipEventHandlers handlers = clip->clipActions;
    const std::shared_ptr<Clip> source = clip->shared_from_this();  // the copy may replace it
    Clip* made = placeClip(*parent, depth, *shown->character(), name);
    if (!made) return nullptr;
    made->clipActions = handlers;
    made->copyDrawingFrom(*source);
    DisplayState& copy = made->displayObject()->state();
    copy.matrix = original.matrix;
    copy.colorTransform = original.colorTransform;
    copy.clipDepth = original.clipDepth;
    copy.filters = original.filters;
    copy.blendMode = original.blendMode;
    copy.visible = original.visible;
    copy.scripted = original.scripted;
    return self.runtime().constructByScript(*made, initObject);
}

// Clips at script depths 0 and up (made or moved there by scripts) can be removed, up to
// a little below the highest depth.
void removeClipByScript(Vm&, ClipObject& self) {
    Clip* clip = self.clip();
    Clip* parent = clip ? clip->parent() : nullptr;
    DisplayObject* shown = parent ? clip->displayObject() : nullptr;
    if (!shown || shown->state().depth < kDepthOffset || shown->state().depth >= kMaxRemovableDepth) return;
    // With an unload handler it stays reachable until the next frame, as the timeline's do:
    // mc.removeMovieClip(); trace(mc) still shows its path.
    ClipHost& host = clip->host();
    if (host.hasUnloadHandler && host.hasUnloadHandler(*clip)) parent->parkUntilUnload(shown->state().depth);
    else parent->removeAt(shown->state().depth);
}

// The same depths as for clips: those scripts count from 0, below the topmost ones.
void removeTextFieldByScript(avm1::Object* object) {
    auto* text = dynamic_cast<TextFieldObject*>(object);
    std::shared_ptr<TextField> field = text ? text->field() : nullptr;
    std::shared_ptr<Clip> parent = field ? field->parent.lock() : nullptr;
    DisplayObject* shown = parent ? text->entry() : nullptr;
    if (!shown || shown->state().depth < kDepthOffset || shown->state().depth >= kMaxRemovableDepth) return;
    parent->removeAt(shown->state().depth);
}

void duplicateTextFieldByScript(Vm& vm, avm1::Object* object, const std::string& name, int depth) {
    auto* text = dynamic_cast<TextFieldObject*>(object);
    std::shared_ptr<TextField> field = text ? text->field() : nullptr;
    std::shared_ptr<Clip> parent = field ? field->parent.lock() : nullptr;
    DisplayObject* shown = parent ? text->entry() : nullptr;
    Depth listed = 0;
    if (!shown || !listDepth(vm, Value::number(depth), listed)) return;
    const DisplayState original = shown->state();  // the copy may replace the original
    // A field createTextField made has no definition to start from: its copy is made as from
    // a tag with no flag set, with no rectangle (_width and _height read 0) and, as no
    // read-only flag is set, an input field.
    std::shared_ptr<EditTextCharacter> blank;
    if (field->madeByScript()) {
        blank = std::make_shared<EditTextCharacter>();
        blank->readOnly = false;
    }
    const EditTextCharacter& character = blank ? *blank : field->character();
    auto* made = dynamic_cast<EditTextDisplay*>(parent->placeByScript(listed, character, name));
    if (!made) return;
    if (blank) made->text()->adopt(blank);
    made->state().matrix = original.matrix;
    made->state().colorTransform = original.colorTransform;
}

void registerDepthMethods(Vm& vm, avm1::Object* proto) {
    avm1::defineMethod(vm, proto, "attachMovie", attachMovie);
    avm1::defineMethod(vm, proto, "createEmptyMovieClip", createEmptyMovieClip);
    avm1::defineMethod(vm, proto, "duplicateMovieClip", duplicateMovieClip);
    avm1::defineMethod(vm, proto, "removeMovieClip", removeMovieClip);
    // SWF 5 movies do not see getDepth (a function of a SWF 5 movie reads it as undefined).
    avm1::defineMethod(vm, proto, "getDepth", getDepth, avm1::kDontEnum | avm1::kFromVersion6);
    avm1::defineMethod(vm, proto, "getNextHighestDepth", getNextHighestDepth);
    avm1::defineMethod(vm, proto, "getInstanceAtDepth", getInstanceAtDepth);
    avm1::defineMethod(vm, proto, "swapDepths", swapDepths);
}

}  // namespace swf
