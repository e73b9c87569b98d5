// TextField.prototype's properties: getter/setter pairs that act on the TextField object they
// are read through and give undefined (and store nothing) on any other object, as the original
// defines them (`new TextField()` is a plain object that sees them all as undefined).
#include "text_field_properties.h"

#include <algorithm>
#include <cmath>

#include "avm1/globals.h"
#include "avm1/native_class.h"
#include "avm1/script_clip.h"
#include "avm1/vm.h"
#include "clip_effect_properties.h"
#include "script_runtime.h"
#include "style_sheet.h"
#include "tab_order.h"
#include "text_field.h"
#include "text_field_object.h"
#include "text_field_scripts.h"

namespace swf {

using avm1::Arguments;
using avm1::Value;
using avm1::Vm;

namespace {

double colorNumber(Rgba c) { return double((uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b); }

Rgba colorFrom(Vm& vm, const Value& v) {
    uint32_t n = vm.toUint32(v);
    return Rgba{uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n), 255};
}

bool anyCase(const std::string& s, const char* name) { return avm1::sameName(s, name, avm1::NameRule{false}); }

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
AutoSize autoSizeFrom(Vm& vm, const Value& v) {
    if (v.isBoolean()) return vm.toBoolean(v) ? AutoSize::Left : AutoSize::None;
    std::string s = vm.toString(v);
    if (anyCase(s, "left")) return AutoSize::Left;
    if (anyCase(s, "center")) return AutoSize::Center;
    if (anyCase(s, "right")) return AutoSize::Right;
    return AutoSize::None;
}

struct Target {
    TextFieldObject& object;
    TextField& field;
};
using Getter = Value (*)(Vm&, Target&);
using Setter = void (*)(Vm&, Target&, const Value&);

template <bool TextField::*Member>
Value getFlag(Vm&, Target& t) { return Value::boolean(t.field.*Member); }
template <bool TextField::*Member>
void setFlag(Vm& vm, Target& t, const Value& v) { t.field.*Member = vm.toBoolean(v); }

void textChanged(Target& t) { t.object.runtime().textFields().textChanged(t.field); }

// The field's style sheet's styles, for reading markup.
HtmlStyleLookup stylesOf(Target& t) {
    const StyleSheetObject* sheet = styleSheetOf(t.object.styleSheet);
    return [sheet](const std::string& selector, TextFormat& format) {
        if (!sheet) return false;
        auto found = sheet->styles.find(selector);
        if (found == sheet->styles.end()) return false;
        mergeFormat(format, found->second.format, found->second.members);
        return true;
    };
}

Value getText(Vm& vm, Target& t) { return vm.newString(t.field.textUtf8()); }
void setText(Vm& vm, Target& t, const Value& v) {
    // A styled field reads whatever it is given as markup.
    if (t.field.styled) t.field.setStyledText(vm.toString(v), stylesOf(t));
    else t.field.setText(vm.toString(v));
    textChanged(t);
}
Value getHtmlText(Vm& vm, Target& t) {
    // A field that is neither html nor styled gives its plain text.
    return vm.newString(t.field.html || t.field.styled ? t.field.htmlText() : t.field.textUtf8());
}
void setHtmlText(Vm& vm, Target& t, const Value& v) {
    if (t.field.styled) t.field.setStyledText(vm.toString(v), stylesOf(t));
    else if (t.field.html) t.field.setHtmlText(vm.toString(v));
    else t.field.setText(vm.toString(v));
    textChanged(t);
}
void setHtml(Vm& vm, Target& t, const Value& v) {
    // Switching html on or off keeps the runs; only how htmlText reads and writes changes,
    // and new text aligns left after a switch to plain text (before SWF 8, after any switch).
    bool html = vm.toBoolean(v);
    if (html != t.field.html && (!html || vm.swfVersion() < 8)) t.field.newTextFormat.align = TextAlign::Left;
    t.field.html = html;
}

Value getVariable(Vm& vm, Target& t) { return t.field.variable.empty() ? Value::null() : vm.newString(t.field.variable); }
void setVariable(Vm& vm, Target& t, const Value& v) {
    // A new binding starts from the tag's text: the variable takes it unless it exists.
    TextField& f = t.field;
    f.variable = v.isNullish() ? std::string() : vm.toString(v);
    f.bound = false;
    f.resetText();
    if (!f.variable.empty()) {
        TextFieldScripts& scripts = t.object.runtime().textFields();
        scripts.noteVariable(f);
        scripts.follow(f);
    }
}

Value getAutoSize(Vm& vm, Target& t) { return vm.newString(autoSizeName(t.field.autoSize)); }
void setAutoSize(Vm& vm, Target& t, const Value& v) { t.field.autoSize = autoSizeFrom(vm, v); }

Value getBorderColor(Vm&, Target& t) { return Value::number(colorNumber(t.field.borderColor)); }
void setBorderColor(Vm& vm, Target& t, const Value& v) { t.field.borderColor = colorFrom(vm, v); }
Value getBackgroundColor(Vm&, Target& t) { return Value::number(colorNumber(t.field.backgroundColor)); }
void setBackgroundColor(Vm& vm, Target& t, const Value& v) { t.field.backgroundColor = colorFrom(vm, v); }
Value getTextColor(Vm&, Target& t) { return Value::number(colorNumber(t.field.newTextFormat.color)); }
void setTextColor(Vm& vm, Target& t, const Value& v) {
    // The whole text and the new-text format take the colour.
    TextFormat c;
    c.color = colorFrom(vm, v);
    t.field.newTextFormat.color = c.color;
    t.field.applyFormat(0, t.field.length(), c, kFormatColor);
}

Value getType(Vm& vm, Target& t) { return vm.newString(t.field.input_ ? "input" : "dynamic"); }
void setType(Vm& vm, Target& t, const Value& v) {
    std::string s = vm.toString(v);
    if (anyCase(s, "input")) t.field.input_ = true;
    else if (anyCase(s, "dynamic")) t.field.input_ = false;
}

Value getMaxChars(Vm&, Target& t) { return t.field.maxChars > 0 ? Value::number(t.field.maxChars) : Value::null(); }
void setMaxChars(Vm& vm, Target& t, const Value& v) {
    double n = vm.toNumber(v);
    t.field.maxChars = std::isfinite(n) && n > 0 ? int(std::min(n, 1e9)) : 0;
}

Value getLength(Vm&, Target& t) { return Value::number(double(t.field.length())); }
Value getScroll(Vm&, Target& t) { return Value::number(t.field.scroll); }
void setScroll(Vm& vm, Target& t, const Value& v) {
    // Kept as a 32-bit line index from 0: -2^31 wraps round to the largest.
    int32_t line = int32_t(uint32_t(vm.toInt32(v)) - 1u);
    int before = t.field.scroll;
    t.field.scroll = std::clamp(line, 0, t.field.maxScroll() - 1) + 1;
    if (t.field.scroll != before) {
        t.field.changed();
        Value self = Value::object(&t.object);
        avm1::broadcast(vm, &t.object, "onScroller", Arguments(&self, 1));
    }
}
Value getMaxScroll(Vm&, Target& t) { return Value::number(t.field.maxScroll()); }
Value getBottomScroll(Vm&, Target& t) { return Value::number(t.field.bottomScroll()); }
Value getHscroll(Vm&, Target& t) { return Value::number(t.field.hscroll); }
void setHscroll(Vm& vm, Target& t, const Value& v) {
    // A 32-bit pixel count: 2^31 wraps round to a negative one, which means 0.
    t.field.hscroll = std::clamp(vm.toInt32(v), 0, t.field.maxHscroll());
}
Value getMaxHscroll(Vm&, Target& t) { return Value::number(t.field.maxHscroll()); }
// The text's measures are whole pixels, cut down: 13.45 pixels of "Qe" read 13.
Value wholePixels(float twips) { return Value::number(std::floor(std::round(twips) / kTwipsPerPixel)); }
Value getTextWidth(Vm&, Target& t) { return wholePixels(t.field.layout().textWidth); }
Value getTextHeight(Vm&, Target& t) { return wholePixels(t.field.layout().textHeight); }

Value getRestrict(Vm& vm, Target& t) { return t.field.hasRestrict ? vm.newString(t.field.restrict) : Value::null(); }
void setRestrict(Vm& vm, Target& t, const Value& v) {
    // null, undefined and "" lift the restriction.
    t.field.restrict = v.isNullish() ? std::string() : vm.toString(v);
    t.field.hasRestrict = !t.field.restrict.empty();
}

Value getTabIndex(Vm&, Target& t) { return t.object.tabIndex; }
void setTabIndex(Vm& vm, Target& t, const Value& v) { t.object.tabIndex = fieldTabIndex(vm, v); }

Value getStyleSheet(Vm&, Target& t) { return t.object.styleSheet; }
void setStyleSheet(Vm&, Target& t, const Value& v) {
    // Any object but a clip or a field is kept (a plain object too, which styles nothing).
    avm1::Object* o = v.asObject();
    bool kept = o && !dynamic_cast<avm1::ScriptClip*>(o) && !dynamic_cast<TextFieldObject*>(o);
    t.object.styleSheet = kept ? v : Value();
    t.field.styled = kept;
    if (!kept) t.field.styledSource.reset();
}

Value getFilters(Vm& vm, Target& t) {
    DisplayObject* shown = t.object.entry();
    return shown ? readFilters(vm, shown->state()) : Value::object(vm.newArray({}));
}
void setFilters(Vm& vm, Target& t, const Value& v) {
    DisplayObject* shown = t.object.entry();
    if (!shown) return;
    writeFilters(vm, shown->state(), v);
    if (auto parent = t.field.parent.lock()) parent->markChanged();
}

Value getAntiAlias(Vm& vm, Target& t) { return vm.newString(t.field.rendering.advanced ? "advanced" : "normal"); }
void setAntiAlias(Vm& vm, Target& t, const Value& v) {
    std::string s = vm.toString(v);
    if (anyCase(s, "advanced")) t.field.rendering.advanced = true;
    else if (anyCase(s, "normal")) t.field.rendering.advanced = false;
}
Value getGridFit(Vm& vm, Target& t) { return vm.newString(gridFitName(t.field.rendering.gridFit)); }
void setGridFit(Vm& vm, Target& t, const Value& v) {
    std::string s = vm.toString(v);
    if (anyCase(s, "none")) t.field.rendering.gridFit = GridFit::None;
    else if (anyCase(s, "pixel")) t.field.rendering.gridFit = GridFit::Pixel;
    else if (anyCase(s, "subpixel")) t.field.rendering.gridFit = GridFit::Subpixel;
}
// Kept as given; drawing clamps them.
Value getThickness(Vm&, Target& t) { return Value::number(t.field.rendering.thickness); }
void setThickness(Vm& vm, Target& t, const Value& v) { t.field.rendering.thickness = float(vm.toNumber(v)); }
Value getSharpness(Vm&, Target& t) { return Value::number(t.field.rendering.sharpness); }
void setSharpness(Vm& vm, Target& t, const Value& v) { t.field.rendering.sharpness = float(vm.toNumber(v)); }

struct PropertyInfo {
    const char* name;
    Getter get;
    Setter set;  // null: read-only
    uint16_t flags;
};

// In the original's order of definition: for..in lists them newest first (styleSheet first).
constexpr uint16_t kFlash8 = avm1::kFromVersion8;
const PropertyInfo kProperties[] = {
    {"gridFitType", getGridFit, setGridFit, kFlash8},
    {"antiAliasType", getAntiAlias, setAntiAlias, kFlash8},
    {"thickness", getThickness, setThickness, kFlash8},
    {"sharpness", getSharpness, setSharpness, kFlash8},
    {"filters", getFilters, setFilters, kFlash8},
    {"scroll", getScroll, setScroll, 0},
    {"maxscroll", getMaxScroll, nullptr, 0},
    {"borderColor", getBorderColor, setBorderColor, 0},
    {"backgroundColor", getBackgroundColor, setBackgroundColor, 0},
    {"textColor", getTextColor, setTextColor, 0},
    {"tabIndex", getTabIndex, setTabIndex, 0},
    {"autoSize", getAutoSize, setAutoSize, 0},
    {"text", getText, setText, 0},
    {"type", getType, setType, 0},
    {"htmlText", getHtmlText, setHtmlText, 0},
    {"variable", getVariable, setVariable, 0},
    {"hscroll", getHscroll, setHscroll, 0},
    {"maxhscroll", getMaxHscroll, nullptr, 0},
    {"maxChars", getMaxChars, setMaxChars, 0},
    {"embedFonts", getFlag<&TextField::embedFonts>, setFlag<&TextField::embedFonts>, 0},
    {"html", getFlag<&TextField::html>, setHtml, 0},
    {"border", getFlag<&TextField::border>, setFlag<&TextField::border>, 0},
    {"background", getFlag<&TextField::background>, setFlag<&TextField::background>, 0},
    {"wordWrap", getFlag<&TextField::wordWrap>, setFlag<&TextField::wordWrap>, 0},
    {"password", getFlag<&TextField::password>, setFlag<&TextField::password>, 0},
    {"multiline", getFlag<&TextField::multiline>, setFlag<&TextField::multiline>, 0},
    {"selectable", getFlag<&TextField::selectable>, setFlag<&TextField::selectable>, 0},
    {"length", getLength, nullptr, 0},
    {"bottomScroll", getBottomScroll, nullptr, 0},
    {"textWidth", getTextWidth, nullptr, 0},
    {"textHeight", getTextHeight, nullptr, 0},
    {"restrict", getRestrict, setRestrict, 0},
    {"condenseWhite", getFlag<&TextField::condenseWhite>, setFlag<&TextField::condenseWhite>, 0},
    {"mouseWheelEnabled", getFlag<&TextField::mouseWheelEnabled>, setFlag<&TextField::mouseWheelEnabled>, 0},
    {"styleSheet", getStyleSheet, setStyleSheet, 0},
};
constexpr size_t kPropertyCount = sizeof(kProperties) / sizeof(kProperties[0]);

bool targetOf(const Value& self, std::shared_ptr<TextField>& field, TextFieldObject*& object) {
    object = dynamic_cast<TextFieldObject*>(self.asObject());
    field = object ? object->field() : nullptr;
    return field != nullptr;
}

template <size_t I>
Value getProperty(Vm& vm, const Value& self, const Arguments&) {
    std::shared_ptr<TextField> field;
    TextFieldObject* object = nullptr;
    if (!targetOf(self, field, object)) return Value();
    Target t{*object, *field};
    return kProperties[I].get(vm, t);
}

template <size_t I>
Value setProperty(Vm& vm, const Value& self, const Arguments& args) {
    std::shared_ptr<TextField> field;
    TextFieldObject* object = nullptr;
    if (!targetOf(self, field, object) || !kProperties[I].set) return Value();
    Target t{*object, *field};
    kProperties[I].set(vm, t, args.empty() ? Value() : args[0]);
    field->changed();
    if (auto parent = field->parent.lock()) parent->markChanged();
    return Value();
}

template <size_t... I>
void defineAll(Vm& vm, avm1::Object* proto, std::index_sequence<I...>) {
    (avm1::defineNativeProperty(vm, proto, kProperties[I].name, getProperty<I>, setProperty<I>, kProperties[I].flags), ...);
}

}  // namespace

void defineTextFieldProperties(Vm& vm, avm1::Object* proto) {
    defineAll(vm, proto, std::make_index_sequence<kPropertyCount>());
}

}  // namespace swf
