#include "text_field_object.h"

#include <algorithm>
#include <cmath>

#include "avm1/globals.h"
#include "avm1/vm.h"
#include "clip_object.h"
#include "clip_properties.h"
#include "display/edit_text_display.h"
#include "focus_rect.h"
#include "script_runtime.h"
#include "text_field.h"
#include "text_field_scripts.h"

namespace swf {

using avm1::Value;

TextFieldObject::TextFieldObject(avm1::Object* proto, const std::shared_ptr<TextField>& field, ScriptRuntime& runtime)
    : Object(proto), field_(field), runtime_(runtime) {}

TextFieldObject::~TextFieldObject() {
    if (auto f = field_.lock())
        if (f->scriptObject == this) f->scriptObject = nullptr;
}

DisplayObject* TextFieldObject::entry() {
    auto f = field_.lock();
    auto parent = f ? f->parent.lock() : nullptr;
    return parent ? displayOf(*parent, *f) : nullptr;
}

std::string TextFieldObject::targetPath() {
    auto f = field_.lock();
    auto parent = f ? f->parent.lock() : nullptr;
    DisplayObject* e = entry();
    if (!parent || !e) return std::string();
    return runtime_.objectFor(*parent)->targetPath() + "." + e->state().name;
}

namespace {

// A field's _x and _y are where its rectangle's top-left corner lies in the parent, not its
// origin: a tag's rectangle from (6, 7) placed without a matrix reads 6, 7, and a field that
// autoSize grew leftwards reads the new left edge. In pixels, added to the translation as they
// are (the field's scale does not apply), so whole twips stay exact decimals.
struct Offset {
    double x, y;
};
Offset cornerOffset(const DisplayState&, const Rect& bounds) {
    return {double(bounds.xMin) / kTwipsPerPixel, double(bounds.yMin) / kTwipsPerPixel};
}

}  // namespace

bool TextFieldObject::getDisplayProperty(avm1::Vm& vm, const std::string& name, Value& out) {
    auto rule = vm.names();
    auto f = field_.lock();
    auto parent = f ? f->parent.lock() : nullptr;
    if (avm1::sameName(name, "_parent", rule)) {
        out = parent ? Value::object(runtime_.objectFor(*parent)) : Value();
        return true;
    }
    if (avm1::sameName(name, "_root", rule)) {
        out = Value::object(runtime_.objectFor(runtime_.root()));
        return true;
    }
    if (avm1::sameName(name, "_global", rule)) {
        out = Value::object(vm.global());
        return true;
    }
    // The built-in properties ignore case in every version, as a clip's do.
    ClipProperty p = clipPropertyByName(name, false);
    if (p == ClipProperty::Count) return false;
    DisplayObject* e = entry();
    switch (p) {
        case ClipProperty::Name: out = vm.newString(e ? e->state().name.str() : std::string()); return true;
        case ClipProperty::Target: {
            std::string path = targetPath();
            // "_level0.a.b" as "/a/b".
            std::string slash = "/";
            size_t dot = path.find('.');
            if (dot != std::string::npos) {
                slash += path.substr(dot + 1);
                std::replace(slash.begin(), slash.end(), '.', '/');
            }
            out = vm.newString(slash);
            return true;
        }
        case ClipProperty::Visible: out = Value::boolean(!e || e->state().visible); return true;
        case ClipProperty::Width:
        case ClipProperty::Height: {
            if (!f || !e) {
                out = Value::number(0);
                return true;
            }
            f->layout();  // autoSize may have moved the rectangle
            out = Value::number(turnedBoxSide(e->state().matrix, f->bounds.width(), f->bounds.height(),
                                              p == ClipProperty::Width));
            return true;
        }
        case ClipProperty::X:
        case ClipProperty::Y: {
            if (!f || !e) {
                out = Value::number(0);
                return true;
            }
            f->layout();  // autoSize may have moved the rectangle
            // In twips first: 1000 twips and a corner at -999 read 0.05.
            const Matrix& m = e->state().matrix;
            double twips = p == ClipProperty::X ? double(m.tx) + f->bounds.xMin : double(m.ty) + f->bounds.yMin;
            out = Value::number(twips / kTwipsPerPixel);
            return true;
        }
        case ClipProperty::XScale:
        case ClipProperty::YScale:
        case ClipProperty::Rotation:
        case ClipProperty::Alpha:
            out = Value::number(e ? readTransformProperty(e->state(), p) : 0);
            return true;
        case ClipProperty::HighQuality: out = Value::number(1); return true;
        case ClipProperty::Quality: out = vm.newString("HIGH"); return true;
        case ClipProperty::FocusRect: {
            bool stageDefault = true;
            bool& stage = parent ? parent->host().focusRect : stageDefault;
            out = readFocusRect(vm, {stage, focusRect, false});
            return true;
        }
        case ClipProperty::SoundBufTime: out = Value::number(5); return true;
        case ClipProperty::Url: out = vm.newString(std::string()); return true;
        default: out = Value::number(0); return true;
    }
}

bool TextFieldObject::setDisplayProperty(avm1::Vm& vm, const std::string& name, const Value& value) {
    ClipProperty p = clipPropertyByName(name, false);
    if (p == ClipProperty::Count) return false;
    auto f = field_.lock();
    DisplayObject* e = entry();
    if (!f || !e) return true;
    auto parent = f->parent.lock();
    switch (p) {
        case ClipProperty::Name: e->state().name = vm.toString(value); break;
        case ClipProperty::FocusRect:
            if (parent) writeFocusRect(vm, {parent->host().focusRect, focusRect, false}, value);
            return true;
        case ClipProperty::Visible:
            e->state().visible = vm.toBoolean(value);
            runtime_.textFields().focus().check();  // a hidden field loses focus at once
            break;
        case ClipProperty::Width:
        case ClipProperty::Height: {
            // A field's size is its rectangle: the text keeps its size.
            double v = vm.toNumber(value);
            if (!std::isfinite(v) || v < 0) return true;
            auto twips = int32_t(std::min(v * 20, 1e9));
            if (p == ClipProperty::Width) f->bounds.xMax = f->bounds.xMin + twips;
            else f->bounds.yMax = f->bounds.yMin + twips;
            f->changed();
            break;
        }
        case ClipProperty::X:
        case ClipProperty::Y: {
            f->layout();
            Offset corner = cornerOffset(e->state(), f->bounds);
            writeTransformProperty(e->state(), p, vm.toNumber(value) - (p == ClipProperty::X ? corner.x : corner.y));
            e->state().transformedByScript = true;
            break;
        }
        case ClipProperty::XScale:
        case ClipProperty::YScale:
        case ClipProperty::Rotation:
        case ClipProperty::Alpha:
            writeTransformProperty(e->state(), p, vm.toNumber(value));
            e->state().transformedByScript = true;
            break;
        default: return true;  // read-only or not kept for fields
    }
    if (parent) parent->markChanged();
    return true;
}

bool TextFieldObject::getSpecial(avm1::Vm& vm, const std::string& name, Value& out) {
    // The named properties (text, scroll, ...) are TextField.prototype's accessors.
    return !name.empty() && name[0] == '_' && getDisplayProperty(vm, name, out);
}

bool TextFieldObject::setSpecial(avm1::Vm& vm, const std::string& name, const Value& value) {
    return !name.empty() && name[0] == '_' && setDisplayProperty(vm, name, value);
}

void TextFieldObject::traceReferences(avm1::Marker& marker) {
    Object::traceReferences(marker);
    marker.mark(styleSheet);
    marker.mark(tabIndex);
}

}  // namespace swf
