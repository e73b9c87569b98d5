// TextField.prototype's methods and MovieClip.createTextField.
#include <algorithm>
#include <cmath>

#include "avm1/native_class.h"
#include "avm1/vm.h"
#include "clip_object.h"
#include "display/edit_text_display.h"
#include "focus.h"
#include "script_runtime.h"
#include "style_sheet.h"
#include "text_field.h"
#include "text_field_object.h"
#include "text_field_properties.h"
#include "text_field_scripts.h"
#include "text_format_object.h"

namespace swf {

void registerTextSnapshotClass(avm1::Vm& vm);  // text_snapshot_class.cpp

using avm1::Arguments;
using avm1::Value;
using avm1::Vm;

namespace {

// Scripts count depths from -16384 at the timeline's first.
constexpr double kDepthOffset = 16384;

struct Self {
    TextFieldObject* object = nullptr;
    std::shared_ptr<TextField> field;
};

Self self(const Value& v) {
    Self s;
    s.object = dynamic_cast<TextFieldObject*>(v.asObject());
    if (s.object) s.field = s.object->field();
    return s;
}

void touched(Self& s) {
    s.field->changed();
    if (auto parent = s.field->parent.lock()) parent->markChanged();
}

// The range [begin, end) a call names: (), (index) or (begin, end); clamped to the text.
bool rangeOf(Vm& vm, const Arguments& args, size_t count, size_t length, size_t& begin, size_t& end) {
    begin = 0;
    end = length;
    if (count >= 1) {
        double b = vm.toNumber(args[0]);
        if (!std::isfinite(b)) return false;
        begin = size_t(std::clamp(b, 0.0, double(length)));
        end = std::min(begin + 1, length);
    }
    if (count >= 2) {
        double e = vm.toNumber(args[1]);
        if (!std::isfinite(e)) return false;
        end = size_t(std::clamp(e, 0.0, double(length)));
    }
    return begin < end || count == 0;
}

// setTextFormat([begin[, end],] format)
Value setTextFormat(Vm& vm, const Value& s, const Arguments& args) {
    Self me = self(s);
    if (!me.field || args.empty()) return Value();
    auto* format = dynamic_cast<TextFormatObject*>(args[args.size() - 1].asObject());
    if (!format) return Value();
    size_t begin = 0, end = 0;
    if (!rangeOf(vm, args, args.size() - 1, me.field->length(), begin, end)) return Value();
    TextFormat f;
    uint32_t members = format->resolve(vm, f);
    me.field->applyFormat(begin, end, f, members);
    touched(me);
    return Value();
}

// getTextFormat([begin[, end]]): members that differ over the range are null.
Value getTextFormat(Vm& vm, const Value& s, const Arguments& args) {
    Self me = self(s);
    if (!me.field) return Value();
    size_t begin = 0, end = 0;
    size_t length = me.field->length();
    if (!rangeOf(vm, args, std::min<size_t>(args.size(), 2), length, begin, end) && length > 0)
        return Value::object(newTextFormatObject(vm, me.field->newTextFormat, kFormatAll));
    // An empty field has no character to read a format from: every member is null.
    TextField::FormatQuery q = length ? me.field->formatOf(begin, end) : TextField::FormatQuery{me.field->newTextFormat, kFormatAll};
    return Value::object(newTextFormatObject(vm, q.format, q.mixed));
}

Value setNewTextFormat(Vm& vm, const Value& s, const Arguments& args) {
    Self me = self(s);
    auto* format = args.empty() ? nullptr : dynamic_cast<TextFormatObject*>(args[0].asObject());
    if (me.field && format) format->resolve(vm, me.field->newTextFormat);
    return Value();
}

Value getNewTextFormat(Vm& vm, const Value& s, const Arguments&) {
    Self me = self(s);
    return me.field ? Value::object(newTextFormatObject(vm, me.field->newTextFormat, 0)) : Value();
}

// replaceText(begin, end, text)
Value replaceText(Vm& vm, const Value& s, const Arguments& args) {
    Self me = self(s);
    if (!me.field || args.size() < 3) return Value();
    double b = vm.toNumber(args[0]), e = vm.toNumber(args[1]);
    if (!std::isfinite(b) || !std::isfinite(e) || b < 0 || e < b) return Value();
    me.field->replaceText(size_t(std::min(b, 1e9)), size_t(std::min(e, 1e9)), vm.toString(args[2]));
    me.object->runtime().textFields().textChanged(*me.field);
    touched(me);
    return Value();
}

// replaceSel(text): the selection (an empty one at the caret) takes the text; the caret
// and an empty selection follow it.
Value replaceSel(Vm& vm, const Value& s, const Arguments& args) {
    Self me = self(s);
    if (!me.field || args.empty()) return Value();
    TextField& f = *me.field;
    size_t end = std::min(f.selectionEnd, f.length());
    size_t begin = std::min(f.selectionBegin, end);
    std::string text = vm.toString(args[0]);
    size_t before = f.length();
    f.replaceText(begin, end, text);
    f.caret = f.selectionBegin = f.selectionEnd = std::min(begin + (f.length() + (end - begin) - before), f.length());
    me.object->runtime().textFields().textChanged(f);
    touched(me);
    return Value();
}

Value removeTextField(Vm&, const Value& s, const Arguments&) {
    Self me = self(s);
    if (!me.field) return Value();
    auto parent = me.field->parent.lock();
    DisplayObject* e = me.object->entry();
    // Only fields scripts made (depth 0 and up, as scripts count) can be removed.
    if (parent && e && e->state().depth >= kDepthOffset) parent->removeAt(e->state().depth);
    return Value();
}

Value getDepth(Vm&, const Value& s, const Arguments&) {
    Self me = self(s);
    DisplayObject* e = me.field ? me.object->entry() : nullptr;
    return e ? Value::number(double(e->state().depth) - kDepthOffset) : Value();
}

Value fieldToString(Vm& vm, const Value& s, const Arguments&) {
    Self me = self(s);
    return me.field ? vm.newString(me.object->targetPath()) : vm.newString("[object Object]");
}

// createTextField(name, depth, x, y, width, height): an empty dynamic field in the default
// format (Times New Roman 12, black), left-aligned, neither wrapping nor multiline.
Value createTextField(Vm& vm, const Value& s, const Arguments& args) {
    auto* clipObject = dynamic_cast<ClipObject*>(s.asObject());
    Clip* clip = clipObject ? clipObject->clip() : nullptr;
    if (!clip || args.size() < 6) return Value();
    double numbers[5];
    for (int i = 0; i < 5; ++i) {
        numbers[i] = vm.toNumber(args[size_t(i) + 1]);
        if (!std::isfinite(numbers[i])) numbers[i] = 0;
    }
    double depth = std::trunc(numbers[0]) + kDepthOffset;
    if (depth < 0 || depth > 65535) return Value();
    auto character = std::make_shared<EditTextCharacter>();
    auto twips = [](double px) { return int32_t(std::clamp(std::trunc(px) * 20, -1e9, 1e9)); };
    character->bounds = Rect{0, twips(std::fabs(numbers[3])), 0, twips(std::fabs(numbers[4]))};
    auto* placed = dynamic_cast<EditTextDisplay*>(clip->placeByScript(uint16_t(depth), *character, vm.toString(args[0])));
    if (!placed) return Value();
    placed->text()->adopt(character);  // the field keeps the character its display object shows
    placed->state().matrix.tx = float(twips(numbers[1]));
    placed->state().matrix.ty = float(twips(numbers[2]));
    // SWF 8 and later return the new field.
    if (vm.swfVersion() >= 8) return Value::object(clipObject->runtime().textFields().objectFor(placed->text()));
    return Value();
}

avm1::Object* makeTextField(Vm& vm, avm1::Object* proto) { return vm.newObject(proto); }

}  // namespace

void registerTextFieldClasses(ScriptRuntime& runtime) {
    Vm& vm = runtime.vm();
    avm1::NativeFunction* ctor = avm1::defineClass(vm, vm.global(), {"TextField", nullptr, nullptr, makeTextField, nullptr});
    avm1::Object* proto = avm1::prototypeOf(vm, ctor);
    runtime.textFields().textFieldProto = proto;
    defineTextFieldProperties(vm, proto);
    avm1::defineMethod(vm, proto, "setTextFormat", setTextFormat);
    avm1::defineMethod(vm, proto, "getTextFormat", getTextFormat);
    avm1::defineMethod(vm, proto, "setNewTextFormat", setNewTextFormat);
    avm1::defineMethod(vm, proto, "getNewTextFormat", getNewTextFormat);
    avm1::defineMethod(vm, proto, "replaceText", replaceText, avm1::kDontEnum | avm1::kFromVersion7);
    avm1::defineMethod(vm, proto, "replaceSel", replaceSel);
    avm1::defineMethod(vm, proto, "removeTextField", removeTextField);
    avm1::defineMethod(vm, proto, "getDepth", getDepth);
    avm1::defineMethod(vm, proto, "toString", fieldToString);
    avm1::defineMethod(vm, vm.builtins().movieClipProto, "createTextField", createTextField);
    registerTextFormatClass(runtime);
    registerSelectionObject(runtime);
    registerTextSnapshotClass(vm);
    registerStyleSheetClass(vm, ctor);
}

}  // namespace swf
