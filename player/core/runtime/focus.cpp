#include "focus.h"

#include <algorithm>
#include <cmath>

#include "avm1/globals.h"
#include "avm1/heap.h"
#include "avm1/native_class.h"
#include "avm1/vm.h"
#include "clip_object.h"
#include "display/edit_text_display.h"
#include "script_runtime.h"
#include "text_field.h"
#include "text_field_object.h"
#include "text_field_scripts.h"

namespace swf {

using avm1::Arguments;
using avm1::Value;
using avm1::Vm;

namespace {

constexpr size_t kMaxPendingRolls = 256;  // a script calling setFocus in a loop queues no more

// The Selection object: a broadcaster that keeps the focused object alive while it has focus.
class SelectionObject final : public avm1::Object {
public:
    SelectionObject(avm1::Object* proto, ScriptRuntime& runtime) : Object(proto), runtime(runtime) {}
    ScriptRuntime& runtime;
    avm1::Object* focused = nullptr;
    void traceReferences(avm1::Marker& marker) override {
        Object::traceReferences(marker);
        marker.mark(focused);
    }
};

// Whether the clip and every clip above it are shown and still on the stage.
bool shownClip(Clip* clip) {
    for (int guard = 0; clip && guard < 1024; clip = clip->parent(), ++guard) {
        if (clip->removed) return false;
        if (!clip->parent()) return true;  // a level
        DisplayObject* e = clip->displayObject();
        if (!e || !e->state().visible) return false;
    }
    return false;
}

bool shown(avm1::Object* object) {
    if (auto* clip = dynamic_cast<ClipObject*>(object)) return shownClip(clip->clip());
    if (auto* field = dynamic_cast<TextFieldObject*>(object)) {
        DisplayObject* e = field->entry();
        auto f = field->field();
        auto parent = f ? f->parent.lock() : nullptr;
        return e && e->state().visible && parent && shownClip(parent.get());
    }
    return false;
}

// The pointer events that make a clip act as a button.
constexpr const char* kButtonEvents[] = {"onPress", "onRelease", "onReleaseOutside", "onRollOver",
                                         "onRollOut", "onDragOver", "onDragOut"};

// A clip takes focus when its focusEnabled is true or it acts as a button (a handler for a
// pointer event); buttons and text fields always can.
bool acceptsFocus(Vm& vm, avm1::Object* object) {
    auto* clip = dynamic_cast<ClipObject*>(object);
    if (!clip) return focusable(object);
    if (clip->clip() && clip->clip()->button()) return true;
    if (vm.toBoolean(vm.getMember(object, "focusEnabled"))) return true;
    for (const char* event : kButtonEvents) {
        avm1::Object* handler = vm.getMember(object, event).asObject();
        if (handler && handler->asFunction()) return true;
    }
    return false;
}

Focus* focusOf(const Value& self) {
    auto* selection = dynamic_cast<SelectionObject*>(self.asObject());
    return selection ? &selection->runtime.textFields().focus() : nullptr;
}

Value pathOf(Vm& vm, avm1::Object* object) {
    if (auto* clip = dynamic_cast<ClipObject*>(object)) return vm.newString(clip->targetPath());
    if (auto* field = dynamic_cast<TextFieldObject*>(object)) return vm.newString(field->targetPath());
    return Value::null();
}

// The focused text field when it is one whose selection scripts may read.
std::shared_ptr<TextField> selectedField(const Value& self) {
    Focus* focus = focusOf(self);
    auto* object = focus ? dynamic_cast<TextFieldObject*>(focus->current()) : nullptr;
    auto field = object ? object->field() : nullptr;
    return field && field->selectable ? field : nullptr;
}

Value getFocus(Vm& vm, const Value& self, const Arguments&) {
    Focus* focus = focusOf(self);
    avm1::Object* current = focus ? focus->current() : nullptr;
    return current ? pathOf(vm, current) : Value::null();
}

// setFocus(object or path): null or undefined clears the focus; anything that is no clip,
// button or text field leaves it and gives false.
Value setFocus(Vm& vm, const Value& self, const Arguments& args) {
    Focus* focus = focusOf(self);
    if (!focus) return Value();
    Value target = args.empty() ? Value() : args[0];
    if (target.isNullish()) {
        avm1::Object* before = focus->current();
        focus->set(nullptr);
        focus->queueRolls(before, nullptr);
        return Value::boolean(true);
    }
    if (target.isString()) {
        // A dotted path from the root level ("_level0.form.name" or "form.name").
        auto* selection = static_cast<SelectionObject*>(self.asObject());
        avm1::Object* at = selection->runtime.objectFor(selection->runtime.root());
        std::string path = target.asString();
        size_t from = 0;
        if (path.rfind("_level0", 0) == 0) from = path.size() > 7 ? 8 : 7;
        while (at && from < path.size()) {
            size_t dot = path.find('.', from);
            std::string name = path.substr(from, dot == std::string::npos ? std::string::npos : dot - from);
            at = vm.getMember(at, name).asObject();
            from = dot == std::string::npos ? path.size() : dot + 1;
        }
        target = at ? Value::object(at) : Value();
    }
    avm1::Object* object = target.asObject();
    if (!acceptsFocus(vm, object) || !shown(object)) return Value::boolean(false);
    if (auto* field = dynamic_cast<TextFieldObject*>(object)) {
        // A field given focus (again) has its whole text selected; the indices read -1 until
        // a script sets a selection (the focus listeners, which run next, read -1 too).
        if (auto f = field->field()) {
            f->selectionBegin = 0;
            f->caret = f->selectionEnd = f->length();
            f->selectionReported = false;
        }
    }
    avm1::Object* before = focus->current();
    focus->set(object);
    focus->queueRolls(before, object);
    return Value::boolean(true);
}

Value getBeginIndex(Vm&, const Value& self, const Arguments&) {
    auto f = selectedField(self);
    return Value::number(f && f->selectionReported ? double(f->selectionBegin) : -1);
}

Value getEndIndex(Vm&, const Value& self, const Arguments&) {
    auto f = selectedField(self);
    return Value::number(f && f->selectionReported ? double(f->selectionEnd) : -1);
}

Value getCaretIndex(Vm&, const Value& self, const Arguments&) {
    auto f = selectedField(self);
    return Value::number(f && f->selectionReported ? double(f->caret) : -1);
}

// setSelection(begin[, end]): the caret goes to `end`; the range runs between the two, both
// clamped to the text. Without arguments nothing changes.
Value setSelection(Vm& vm, const Value& self, const Arguments& args) {
    auto f = selectedField(self);
    if (!f || args.empty()) return Value();
    const double length = double(f->length());
    auto index = [&](const Value& v) {
        double n = vm.toNumber(v);
        return std::isnan(n) ? length : std::clamp(std::trunc(n), 0.0, length);
    };
    double begin = index(args[0]);
    double end = args.size() > 1 ? index(args[1]) : length;
    f->selectionBegin = size_t(std::min(begin, end));
    f->selectionEnd = size_t(std::max(begin, end));
    f->caret = size_t(end);
    f->selectionReported = true;
    return Value();
}

}  // namespace

bool focusable(avm1::Object* object) {
    return dynamic_cast<ClipObject*>(object) || dynamic_cast<TextFieldObject*>(object);
}

bool Focus::usable(avm1::Object* object) { return object && shown(object); }

avm1::Object* Focus::current() {
    auto* selection = static_cast<SelectionObject*>(selectionObject);
    if (!selection || !selection->focused) return nullptr;
    if (!usable(selection->focused)) set(nullptr);
    return selection->focused;
}

void Focus::queueRoll(avm1::Object* object, const char* event) {
    auto* clipObject = dynamic_cast<ClipObject*>(object);
    Clip* clip = clipObject ? clipObject->clip() : nullptr;
    if (!clip) return;
    for (PendingRolls& p : rolls_) {
        if (p.clip.lock().get() != clip) continue;
        if (p.events.size() < kMaxPendingRolls) p.events.push_back(event);
        return;
    }
    if (rolls_.size() < kMaxPendingRolls) rolls_.push_back({clip->weak_from_this(), {event}});
}

void Focus::queueRolls(avm1::Object* before, avm1::Object* after) {
    if (before == after) queueRoll(after, "onRollOut");
    else queueRoll(before, "onRollOut");
    queueRoll(after, "onRollOver");
}

void Focus::deliverRolls() {
    std::vector<PendingRolls> due = std::move(rolls_);
    rolls_.clear();
    Vm& vm = runtime_.vm();
    for (const PendingRolls& p : due) {
        for (const char* event : p.events) {
            auto clip = p.clip.lock();
            if (!clip || clip->removed) break;
            avm1::Object* object = runtime_.objectFor(*clip);
            Value handler = vm.getMember(object, event);
            if (!handler.asObject() || !handler.asObject()->asFunction()) continue;
            try {
                vm.call(handler, Value::object(object), Arguments());
            } catch (const avm1::ScriptAbort& abort) {
                vm.warn(std::string("script aborted: ") + abort.reason);
            }
        }
    }
}

void Focus::leaving(DisplayObject& leaving) {
    auto* selection = static_cast<SelectionObject*>(selectionObject);
    if (!selection || !selection->focused) return;
    Clip* within = nullptr;
    if (auto* clip = dynamic_cast<ClipObject*>(selection->focused)) {
        within = clip->clip();
    } else if (auto* fieldObject = dynamic_cast<TextFieldObject*>(selection->focused)) {
        auto field = fieldObject->field();
        auto* shown = dynamic_cast<EditTextDisplay*>(&leaving);
        if (field && shown && shown->text() == field) return set(nullptr);
        within = field ? field->parent.lock().get() : nullptr;
    }
    Clip* gone = leaving.clip();
    for (int guard = 0; gone && within && guard < 1024; within = within->parent(), ++guard)
        if (within == gone) return set(nullptr);
}

void Focus::set(avm1::Object* object) {
    auto* selection = static_cast<SelectionObject*>(selectionObject);
    if (!selection || selection->focused == object) return;
    avm1::Object* old = selection->focused;
    selection->focused = object;
    Vm& vm = runtime_.vm();
    Value oldValue = old ? Value::object(old) : Value::null(), newValue = object ? Value::object(object) : Value::null();
    // The object losing focus hears onKillFocus(new), the one taking it onSetFocus(old), then
    // Selection's listeners onSetFocus(old, new).
    auto notify = [&](avm1::Object* target, const char* method, const Value& arg) {
        if (!target) return;
        Value handler = vm.getMember(target, method);
        if (handler.asObject() && handler.asObject()->asFunction()) vm.call(handler, Value::object(target), Arguments(&arg, 1));
    };
    notify(old, "onKillFocus", newValue);
    notify(object, "onSetFocus", oldValue);
    Value args[] = {oldValue, newValue};
    avm1::broadcast(vm, selection, "onSetFocus", Arguments(args, 2));
}

void registerSelectionObject(ScriptRuntime& runtime) {
    Vm& vm = runtime.vm();
    auto* selection = vm.heap().make<SelectionObject>(vm.builtins().objectProto, runtime);
    avm1::makeBroadcaster(vm, selection);
    avm1::defineMethod(vm, selection, "getFocus", getFocus);
    avm1::defineMethod(vm, selection, "setFocus", setFocus);
    avm1::defineMethod(vm, selection, "getBeginIndex", getBeginIndex);
    avm1::defineMethod(vm, selection, "getEndIndex", getEndIndex);
    avm1::defineMethod(vm, selection, "getCaretIndex", getCaretIndex);
    avm1::defineMethod(vm, selection, "setSelection", setSelection);
    vm.global()->define("Selection", Value::object(selection), avm1::kDontEnum);
    runtime.textFields().focus().selectionObject = selection;
    vm.addRoot(selection);
}

}  // namespace swf
