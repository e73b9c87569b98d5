#include "text_field_object.h"

#include <algorithm>
#include <cmath>

#include "avm1/globals.h"
#include "avm1/vm.h"
#include "clip_object.h"
#include "clip_properties.h"
#include "display/edit_text_display.h"
#include "script_runtime.h"
#include "text_field.h"
#include "text_field_scripts.h"

namespace swf {

using avm1::Value;

namespace {

double colorNumber(Rgba c) { return double((uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b); }

Rgba colorFrom(avm1::Vm& vm, const Value& v) {
    uint32_t n = vm.toUint32(v);
    return Rgba{uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n), 255};
}

const char* autoSizeName(AutoSize a) {
    switch (a) {
        case AutoSize::Left: return "left";
        case AutoSize::Center: return "center";
        case AutoSize::Right: return "right";
        case AutoSize::None: break;
    }
    return "none";
}

const char* gridFitName(GridFit g) {
    switch (g) {
        case GridFit::None: return "none";
        case GridFit::Subpixel: return "subpixel";
        case GridFit::Pixel: break;
    }
    return "pixel";
}

// autoSize takes "left", "center", "right", true (left) or anything else (none).
AutoSize autoSizeFrom(avm1::Vm& vm, const Value& v) {
    if (v.isBoolean()) return vm.toBoolean(v) ? AutoSize::Left : AutoSize::None;
    std::string s = vm.toString(v);
    avm1::NameRule any{false};
    if (avm1::sameName(s, "left", any)) return AutoSize::Left;
    if (avm1::sameName(s, "center", any)) return AutoSize::Center;
    if (avm1::sameName(s, "right", any)) return AutoSize::Right;
    return AutoSize::None;
}

// The flags scripts read and write as booleans.
struct FlagMember {
    const char* name;
    bool TextField::*member;
};
const FlagMember kFlags[] = {
    {"html", &TextField::html},           {"wordWrap", &TextField::wordWrap},
    {"multiline", &TextField::multiline}, {"password", &TextField::password},
    {"border", &TextField::border},       {"background", &TextField::background},
    {"embedFonts", &TextField::embedFonts}, {"selectable", &TextField::selectable},
    {"condenseWhite", &TextField::condenseWhite},
};

const FlagMember* flagNamed(avm1::Vm& vm, const std::string& name) {
    for (const FlagMember& f : kFlags)
        if (avm1::sameName(name, f.name, vm.names())) return &f;
    return nullptr;
}

}  // namespace

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
    ClipProperty p = clipPropertyByName(name, rule.caseSensitive);
    if (p == ClipProperty::Count) return false;
    DisplayObject* e = entry();
    switch (p) {
        case ClipProperty::Name: out = vm.newString(e ? e->state().name : std::string()); return true;
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
            double scale = readTransformProperty(e->state(), p == ClipProperty::Width ? ClipProperty::XScale : ClipProperty::YScale) / 100;
            double twips = p == ClipProperty::Width ? f->bounds.width() : f->bounds.height();
            out = Value::number(std::round(twips * scale) / 20);
            return true;
        }
        case ClipProperty::X:
        case ClipProperty::Y:
        case ClipProperty::XScale:
        case ClipProperty::YScale:
        case ClipProperty::Rotation:
        case ClipProperty::Alpha:
            out = Value::number(e ? readTransformProperty(e->state(), p) : 0);
            return true;
        case ClipProperty::HighQuality: out = Value::number(1); return true;
        case ClipProperty::Quality: out = vm.newString("HIGH"); return true;
        case ClipProperty::FocusRect: out = Value::boolean(true); return true;
        case ClipProperty::SoundBufTime: out = Value::number(5); return true;
        case ClipProperty::Url: out = vm.newString(std::string()); return true;
        default: out = Value::number(0); return true;
    }
}

bool TextFieldObject::setDisplayProperty(avm1::Vm& vm, const std::string& name, const Value& value) {
    ClipProperty p = clipPropertyByName(name, vm.names().caseSensitive);
    if (p == ClipProperty::Count) return false;
    auto f = field_.lock();
    DisplayObject* e = entry();
    if (!f || !e) return true;
    auto parent = f->parent.lock();
    switch (p) {
        case ClipProperty::Name: e->state().name = vm.toString(value); break;
        case ClipProperty::Visible: e->state().visible = vm.toBoolean(value); break;
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
        case ClipProperty::Y:
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
    if (!name.empty() && name[0] == '_') return getDisplayProperty(vm, name, out);
    auto f = field_.lock();
    if (!f) return false;
    auto is = [&](const char* n) { return avm1::sameName(name, n, vm.names()); };
    if (const FlagMember* flag = flagNamed(vm, name)) out = Value::boolean((*f).*(flag->member));
    else if (is("text")) out = vm.newString(f->textUtf8());
    else if (is("htmlText")) out = vm.newString(f->htmlText());
    else if (is("variable")) out = f->variable.empty() ? Value::null() : vm.newString(f->variable);
    else if (is("autoSize")) out = vm.newString(autoSizeName(f->autoSize));
    else if (is("borderColor")) out = Value::number(colorNumber(f->borderColor));
    else if (is("backgroundColor")) out = Value::number(colorNumber(f->backgroundColor));
    else if (is("textColor")) out = Value::number(colorNumber(f->newTextFormat.color));
    else if (is("type")) out = vm.newString(f->input_ ? "input" : "dynamic");
    else if (is("maxChars")) out = f->maxChars > 0 ? Value::number(f->maxChars) : Value::null();
    else if (is("length")) out = Value::number(double(f->length()));
    else if (is("scroll")) out = Value::number(f->scroll);
    else if (is("maxscroll")) out = Value::number(f->maxScroll());
    else if (is("bottomScroll")) out = Value::number(f->bottomScroll());
    else if (is("hscroll")) out = Value::number(f->hscroll);
    else if (is("maxhscroll")) out = Value::number(0);
    else if (is("textWidth")) out = Value::number(std::round(f->layout().textWidth) / 20);
    else if (is("textHeight")) out = Value::number(std::round(f->layout().textHeight) / 20);
    else if (is("restrict")) out = Value::null();
    else if (is("antiAliasType")) out = vm.newString(f->rendering.advanced ? "advanced" : "normal");
    else if (is("gridFitType")) out = vm.newString(gridFitName(f->rendering.gridFit));
    else if (is("thickness")) out = Value::number(f->rendering.thickness);
    else if (is("sharpness")) out = Value::number(f->rendering.sharpness);
    else return false;
    return true;
}

bool TextFieldObject::setSpecial(avm1::Vm& vm, const std::string& name, const Value& value) {
    if (!name.empty() && name[0] == '_') return setDisplayProperty(vm, name, value);
    auto f = field_.lock();
    if (!f) return false;
    auto is = [&](const char* n) { return avm1::sameName(name, n, vm.names()); };
    TextFieldScripts& scripts = runtime_.textFields();
    if (is("text")) {
        f->setText(vm.toString(value));
        scripts.textChanged(*f);
    } else if (is("htmlText")) {
        f->setHtmlText(vm.toString(value));
        scripts.textChanged(*f);
    } else if (const FlagMember* flag = flagNamed(vm, name)) {
        (*f).*(flag->member) = vm.toBoolean(value);
    } else if (is("variable")) {
        // A new binding starts from the tag's text: the variable takes it unless it exists.
        f->variable = value.isNullish() ? std::string() : vm.toString(value);
        f->bound = false;
        f->resetText();
        if (!f->variable.empty()) {
            scripts.noteVariable(*f);
            scripts.follow(*f);
        }
    } else if (is("autoSize")) {
        f->autoSize = autoSizeFrom(vm, value);
    } else if (is("borderColor")) {
        f->borderColor = colorFrom(vm, value);
    } else if (is("backgroundColor")) {
        f->backgroundColor = colorFrom(vm, value);
    } else if (is("textColor")) {
        // The whole text and the new-text format take the colour.
        TextFormat c;
        c.color = colorFrom(vm, value);
        f->newTextFormat.color = c.color;
        f->applyFormat(0, f->length(), c, kFormatColor);
    } else if (is("type")) {
        std::string t = vm.toString(value);
        avm1::NameRule any{false};
        if (avm1::sameName(t, "input", any)) f->input_ = true;
        else if (avm1::sameName(t, "dynamic", any)) f->input_ = false;
    } else if (is("maxChars")) {
        double n = vm.toNumber(value);
        f->maxChars = std::isfinite(n) && n > 0 ? int(std::min(n, 1e9)) : 0;
    } else if (is("scroll")) {
        // Kept as a 32-bit line index from 0: -2^31 wraps round to the largest.
        int32_t line = int32_t(uint32_t(vm.toInt32(value)) - 1u);
        int before = f->scroll;
        f->scroll = std::clamp(line, 0, f->maxScroll() - 1) + 1;
        if (f->scroll != before) {
            f->changed();
            Value self = Value::object(this);
            avm1::broadcast(vm, this, "onScroller", avm1::Arguments(&self, 1));
        }
    } else if (is("antiAliasType")) {
        std::string t = vm.toString(value);
        avm1::NameRule any{false};
        if (avm1::sameName(t, "advanced", any)) f->rendering.advanced = true;
        else if (avm1::sameName(t, "normal", any)) f->rendering.advanced = false;
    } else if (is("gridFitType")) {
        std::string t = vm.toString(value);
        avm1::NameRule any{false};
        if (avm1::sameName(t, "none", any)) f->rendering.gridFit = GridFit::None;
        else if (avm1::sameName(t, "pixel", any)) f->rendering.gridFit = GridFit::Pixel;
        else if (avm1::sameName(t, "subpixel", any)) f->rendering.gridFit = GridFit::Subpixel;
    } else if (is("thickness")) {
        f->rendering.thickness = float(vm.toNumber(value));  // kept as given; drawing clamps it
    } else if (is("sharpness")) {
        f->rendering.sharpness = float(vm.toNumber(value));
    } else if (is("hscroll")) {
        f->hscroll = 0;  // lines never run past the field sideways here
    } else if (is("length") || is("maxscroll") || is("bottomScroll") || is("textWidth") || is("textHeight") ||
               is("maxhscroll")) {
        // read-only
    } else {
        return false;
    }
    f->changed();
    if (auto parent = f->parent.lock()) parent->markChanged();
    return true;
}

}  // namespace swf
