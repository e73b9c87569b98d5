// TextFormat: new TextFormat(font, size, color, bold, italic, underline, url, target, align,
// leftMargin, rightMargin, indent, leading) and getTextExtent.
#include <algorithm>
#include <cmath>

#include "../text/text_layout.h"
#include "../text/utf8.h"
#include "avm1/heap.h"
#include "avm1/interpreter.h"
#include "avm1/native_class.h"
#include "avm1/vm.h"
#include "clip_object.h"
#include "script_runtime.h"
#include "text_field.h"
#include "text_format_object.h"

namespace swf {

using avm1::Arguments;
using avm1::Value;
using avm1::Vm;

namespace {

// The members in constructor order, with their coercion.
enum class Kind { Text, Number, Twips, Points, Color, Boolean, Align, TabStops, Display };
struct Member {
    const char* name;
    uint32_t bit;
    Kind kind;
};
const Member kMembers[] = {
    {"font", kFormatFont, Kind::Text},          {"size", kFormatSize, Kind::Points},
    {"color", kFormatColor, Kind::Color},       {"bold", kFormatBold, Kind::Boolean},
    {"italic", kFormatItalic, Kind::Boolean},   {"underline", kFormatUnderline, Kind::Boolean},
    {"url", kFormatUrl, Kind::Text},            {"target", kFormatTarget, Kind::Text},
    {"align", kFormatAlign, Kind::Align},       {"leftMargin", kFormatLeftMargin, Kind::Twips},
    {"rightMargin", kFormatRightMargin, Kind::Twips}, {"indent", kFormatIndent, Kind::Twips},
    {"leading", kFormatLeading, Kind::Twips},   {"blockIndent", kFormatBlockIndent, Kind::Twips},
    {"letterSpacing", kFormatLetterSpacing, Kind::Number}, {"kerning", kFormatKerning, Kind::Boolean},
    {"bullet", kFormatBullet, Kind::Boolean},   {"tabStops", kFormatTabStops, Kind::TabStops},
    {"display", 0, Kind::Display},
};

const Member* memberNamed(Vm& vm, const std::string& name) {
    for (const Member& m : kMembers)
        if (avm1::sameName(name, m.name, vm.names())) return &m;
    return nullptr;
}

const char* alignName(TextAlign a) {
    switch (a) {
        case TextAlign::Right: return "right";
        case TextAlign::Center: return "center";
        case TextAlign::Justify: return "justify";
        case TextAlign::Left: break;
    }
    return "left";
}

// A 32-bit integer as the original converts: halves to even; NaN, infinities and values
// past the range give -2^31.
double int32Of(Vm& vm, const Value& v) {
    double n = std::nearbyint(vm.toNumber(v));
    if (!(n >= -2147483648.0 && n <= 2147483647.0)) return -2147483648.0;
    return n;
}

constexpr size_t kMaxFontName = 64;
constexpr size_t kMaxTabStops = 256;

size_t slotOf(const Member& m) {
    if (m.kind == Kind::TabStops) return TextFormatObject::kSlots - 2;
    if (m.kind == Kind::Display) return TextFormatObject::kSlots - 1;
    size_t i = 0;
    while ((1u << i) != m.bit) ++i;
    return i;
}

// The constructor truncates numbers; the setters round them (and keep margins at 0 or more).
Value coerce(Vm& vm, const Member& m, const Value& v, const Value& old, bool constructing = false) {
    // display takes "inline" or "none"; anything else, null and undefined too, is "block".
    if (m.kind == Kind::Display) {
        std::string d = v.isNullish() ? std::string() : vm.toString(v);
        return vm.newString(d == "inline" || d == "none" ? d : "block");
    }
    if (v.isNullish()) return m.kind == Kind::Align ? old : Value::null();
    switch (m.kind) {
        case Kind::Text: {
            std::string s = vm.toString(v);
            if (m.bit == kFormatFont) {
                std::u32string wide = decodeUtf8(s);
                if (wide.size() > kMaxFontName) s = encodeUtf8(wide.substr(0, kMaxFontName));
            }
            return vm.newString(s);
        }
        case Kind::Number: return Value::number(vm.toNumber(v));  // letterSpacing keeps fractions
        case Kind::Display: break;  // above
        case Kind::Points:
        case Kind::Twips: {
            // Margins (and before SWF 8 indent, leading and block indent too) are never
            // negative; NaN counts as 0 there.
            bool noNegative = m.bit == kFormatLeftMargin || m.bit == kFormatRightMargin ||
                              (vm.swfVersion() < 8 && (m.bit == kFormatIndent || m.bit == kFormatLeading ||
                                                       m.bit == kFormatBlockIndent));
            if (constructing) return Value::number(vm.toInt32(v));
            double n = vm.toNumber(v);
            if (noNegative) n = n != n || n < 0 ? 0 : n;
            if (vm.swfVersion() < 8) return Value::number(vm.toInt32(Value::number(n)));
            return Value::number(int32Of(vm, Value::number(n)));
        }
        case Kind::Color: return Value::number(double(vm.toUint32(v)));
        case Kind::Boolean: return Value::boolean(vm.toBoolean(v));
        case Kind::Align: {
            std::string a = vm.toString(v);
            avm1::NameRule any{false};
            for (const char* name : {"left", "center", "right", "justify"})
                if (avm1::sameName(a, name, any)) return vm.newString(name);
            return old;  // unknown names leave it as it was
        }
        case Kind::TabStops: {
            // A copy of the array's elements as whole numbers (their valueOf runs now).
            avm1::Object* list = v.asObject();
            if (!list || !vm.builtins().makeArray) return Value::null();
            double length = vm.toNumber(vm.getMember(list, "length"));
            size_t count = length > 0 && std::isfinite(length) ? size_t(std::min(length, 1e9)) : 0;
            vm.checkArrayLength(count);
            std::vector<Value> stops;
            for (size_t i = 0; i < count; ++i) stops.push_back(Value::number(int32Of(vm, vm.getMember(list, std::to_string(i)))));
            return Value::object(vm.builtins().makeArray(vm, stops));
        }
    }
    return Value::null();
}

}  // namespace

TextFormatObject::TextFormatObject(avm1::Object* proto) : Object(proto) {
    for (Value& v : slots) v = Value::null();
    slots[kSlots - 1] = Value::string(std::string("block"));
}

uint32_t TextFormatObject::resolve(Vm& vm, TextFormat& f) const {
    uint32_t set = 0;
    for (const Member& m : kMembers) {
        const Value& v = slots[slotOf(m)];
        if (m.bit == 0 || v.isNull()) continue;
        set |= m.bit;
        auto twips = [&] { return float(std::max(-1e7, std::min(1e7, vm.toNumber(v))) * 20); };
        switch (m.bit) {
            case kFormatFont: f.face = vm.toString(v); break;
            case kFormatSize: f.size = std::max(0.0f, twips()); break;
            case kFormatColor: {
                uint32_t n = vm.toUint32(v);
                f.color = Rgba{uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n), 255};
                break;
            }
            case kFormatBold: f.bold = vm.toBoolean(v); break;
            case kFormatItalic: f.italic = vm.toBoolean(v); break;
            case kFormatUnderline: f.underline = vm.toBoolean(v); break;
            case kFormatUrl: f.url = vm.toString(v); break;
            case kFormatTarget: f.target = vm.toString(v); break;
            case kFormatAlign: {
                std::string a = vm.toString(v);
                f.align = a == "right" ? TextAlign::Right : a == "center" ? TextAlign::Center : a == "justify" ? TextAlign::Justify : TextAlign::Left;
                break;
            }
            case kFormatLeftMargin: f.leftMargin = std::max(0.0f, twips()); break;
            case kFormatRightMargin: f.rightMargin = std::max(0.0f, twips()); break;
            case kFormatIndent: f.indent = twips(); break;
            case kFormatLeading: f.leading = twips(); break;
            case kFormatBlockIndent: f.blockIndent = std::max(0.0f, twips()); break;
            case kFormatLetterSpacing: f.letterSpacing = twips(); break;
            case kFormatKerning: f.kerning = vm.toBoolean(v); break;
            case kFormatBullet: f.bullet = vm.toBoolean(v); break;
            case kFormatTabStops: {
                f.tabStops.clear();
                avm1::Object* list = v.asObject();
                if (!list) break;
                double length = vm.toNumber(vm.getMember(list, "length"));
                size_t count = length > 0 && std::isfinite(length) ? size_t(std::min(length, 1e9)) : 0;
                vm.checkArrayLength(count);
                // Each tab looks through the stops: a few hundred are more than any layout uses.
                for (size_t i = 0; i < count && i < kMaxTabStops; ++i)
                    f.tabStops.push_back(float(std::clamp(vm.toNumber(vm.getMember(list, std::to_string(i))), -1e7, 1e7) * 20));
                break;
            }
            default: break;
        }
    }
    return set;
}

namespace {

avm1::Object* makeTextFormat(Vm& vm, avm1::Object* proto) { return vm.heap().make<TextFormatObject>(proto); }

Value constructTextFormat(Vm& vm, const Value& self, const Arguments& args) {
    auto* o = avm1::nativeAs<TextFormatObject>(self);
    if (!o) return self;
    for (size_t i = 0; i < args.size() && i < 13; ++i) {
        Value& slot = o->slots[slotOf(kMembers[i])];
        slot = coerce(vm, kMembers[i], args[i], slot, true);
    }
    return self;
}

ScriptRuntime* runtimeOf(Vm& vm) {
    auto* root = dynamic_cast<ClipObject*>(vm.interpreter().levelRoot ? vm.interpreter().levelRoot(0) : nullptr);
    return root ? &root->runtime() : nullptr;
}

// getTextExtent(text[, width]): the text's size in this format, laid out alone (wrapped at
// `width` when given), and the size of a field that would just hold it.
Value getTextExtent(Vm& vm, const Value& self, const Arguments& args) {
    auto* o = avm1::nativeAs<TextFormatObject>(self);
    ScriptRuntime* runtime = runtimeOf(vm);
    if (!o || !runtime || args.empty()) return Value();
    TextFieldInput in;
    TextFormat f;
    o->resolve(vm, f);
    std::string text = vm.toString(args[0]);
    vm.checkStringSize(text.size());
    in.runs.push_back({decodeUtf8(text), f});
    for (char32_t& c : in.runs[0].text)
        if (c == '\r') c = '\n';
    double width = args.size() > 1 ? vm.toNumber(args[1]) : NAN;
    in.wordWrap = std::isfinite(width) && width > 0;
    in.multiline = true;
    in.autoSize = AutoSize::Left;
    in.bounds = Rect{0, in.wordWrap ? int32_t(std::min(width, 1e6) * 20) : 0, 0, 0};
    TextFieldServices* services = runtime->root().host().textServices;
    TextLayout layout = services ? layoutText(in, services->fonts.lookupFor(in)) : TextLayout{};
    float ascent = layout.lines.empty() ? 0 : layout.lines[0].ascent, descent = layout.lines.empty() ? 0 : layout.lines[0].descent;
    avm1::Object* out = vm.newObject(nullptr);  // the original's result has no prototype: "[type Object]"
    auto px = [](float twips) { return Value::number(std::round(twips) / 20); };
    out->define("ascent", px(ascent));
    out->define("descent", px(descent));
    out->define("width", px(layout.textWidth));
    out->define("height", px(layout.textHeight));
    out->define("textFieldHeight", px(layout.textHeight + 2 * kTextGutter));
    out->define("textFieldWidth", px(layout.textWidth + 2 * kTextGutter));
    return Value::object(out);
}

}  // namespace

bool TextFormatObject::getSpecial(Vm& vm, const std::string& name, Value& out) {
    const Member* m = memberNamed(vm, name);
    if (!m) return false;
    out = slots[slotOf(*m)];
    return true;
}

bool TextFormatObject::setSpecial(Vm& vm, const std::string& name, const Value& value) {
    const Member* m = memberNamed(vm, name);
    if (!m) return false;
    Value& slot = slots[slotOf(*m)];
    slot = coerce(vm, *m, value, slot);
    return true;
}

void TextFormatObject::traceReferences(avm1::Marker& marker) {
    Object::traceReferences(marker);
    for (const Value& v : slots) marker.mark(v);
}

TextFormatObject* newTextFormatObject(Vm& vm, const TextFormat& f, uint32_t mixed) {
    avm1::Object* ctor = vm.getMember(vm.global(), "TextFormat").asObject();
    avm1::Object* proto = ctor ? vm.getMember(ctor, "prototype").asObject() : nullptr;
    auto* o = vm.heap().make<TextFormatObject>(proto ? proto : vm.builtins().objectProto);
    auto px = [](float twips) { return Value::number(std::round(twips / 20)); };
    for (const Member& m : kMembers) {
        if (m.bit == 0 || (mixed & m.bit)) continue;
        Value& slot = o->slots[slotOf(m)];
        switch (m.bit) {
            case kFormatFont: slot = vm.newString(f.face); break;
            case kFormatSize: slot = px(f.size); break;
            case kFormatColor: slot = Value::number(double((uint32_t(f.color.r) << 16) | (uint32_t(f.color.g) << 8) | f.color.b)); break;
            case kFormatBold: slot = Value::boolean(f.bold); break;
            case kFormatItalic: slot = Value::boolean(f.italic); break;
            case kFormatUnderline: slot = Value::boolean(f.underline); break;
            case kFormatUrl: slot = vm.newString(f.url); break;
            case kFormatTarget: slot = vm.newString(f.target); break;
            case kFormatAlign: slot = vm.newString(alignName(f.align)); break;
            case kFormatLeftMargin: slot = px(f.leftMargin); break;
            case kFormatRightMargin: slot = px(f.rightMargin); break;
            case kFormatIndent: slot = px(f.indent); break;
            case kFormatLeading: slot = px(f.leading); break;
            case kFormatBlockIndent: slot = px(f.blockIndent); break;
            case kFormatLetterSpacing: slot = Value::number(f.letterSpacing / 20); break;
            case kFormatKerning: slot = Value::boolean(f.kerning); break;
            case kFormatBullet: slot = Value::boolean(f.bullet); break;
            case kFormatTabStops: {
                if (!vm.builtins().makeArray) break;
                std::vector<Value> stops;
                for (float stop : f.tabStops) stops.push_back(px(stop));
                slot = Value::object(vm.builtins().makeArray(vm, stops));
                break;
            }
            default: break;
        }
    }
    return o;
}

void registerTextFormatClass(ScriptRuntime& runtime) {
    Vm& vm = runtime.vm();
    avm1::NativeFunction* ctor =
        avm1::defineClass(vm, vm.global(), {"TextFormat", constructTextFormat, constructTextFormat, makeTextFormat, nullptr});
    avm1::Object* proto = avm1::prototypeOf(vm, ctor);
    avm1::defineMethod(vm, proto, "getTextExtent", getTextExtent);
}

}  // namespace swf
