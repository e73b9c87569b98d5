// TextFormat: new TextFormat(font, size, color, bold, italic, underline, url, target, align,
// leftMargin, rightMargin, indent, leading) and getTextExtent.
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
enum class Kind { Text, Number, Twips, Points, Color, Boolean, Align, TabStops };
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
    {"bullet", kFormatBullet, Kind::Boolean},   {"tabStops", 0, Kind::TabStops},
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

// Whole numbers, halves to even (-2.5 is -2, -3.5 is -4), as the original rounds them.
double whole(Vm& vm, const Value& v) {
    double n = vm.toNumber(v);
    if (!std::isfinite(n)) return n != n ? -2147483648.0 : (n > 0 ? 2147483647.0 : -2147483648.0);
    return std::nearbyint(n);
}

void readMember(Vm& vm, TextFormatObject& o, const Member& m, Value& out) {
    const TextFormat& f = o.format;
    if (m.kind == Kind::TabStops) {
        out = o.tabStops.isObject() ? o.tabStops : Value::null();
        return;
    }
    if (!(o.members & m.bit)) {
        out = Value::null();
        return;
    }
    switch (m.bit) {
        case kFormatFont: out = vm.newString(f.face); return;
        case kFormatSize: out = Value::number(f.size / 20); return;
        case kFormatColor: out = Value::number(double((uint32_t(f.color.r) << 16) | (uint32_t(f.color.g) << 8) | f.color.b)); return;
        case kFormatBold: out = Value::boolean(f.bold); return;
        case kFormatItalic: out = Value::boolean(f.italic); return;
        case kFormatUnderline: out = Value::boolean(f.underline); return;
        case kFormatUrl: out = vm.newString(f.url); return;
        case kFormatTarget: out = vm.newString(f.target); return;
        case kFormatAlign: out = vm.newString(alignName(f.align)); return;
        case kFormatLeftMargin: out = Value::number(f.leftMargin / 20); return;
        case kFormatRightMargin: out = Value::number(f.rightMargin / 20); return;
        case kFormatIndent: out = Value::number(f.indent / 20); return;
        case kFormatLeading: out = Value::number(f.leading / 20); return;
        case kFormatBlockIndent: out = Value::number(f.blockIndent / 20); return;
        case kFormatLetterSpacing: out = Value::number(f.letterSpacing / 20); return;
        case kFormatKerning: out = Value::boolean(f.kerning); return;
        case kFormatBullet: out = Value::boolean(f.bullet); return;
        default: out = Value::null(); return;
    }
}

void writeMember(Vm& vm, TextFormatObject& o, const Member& m, const Value& v) {
    TextFormat& f = o.format;
    if (m.kind == Kind::TabStops) {
        o.tabStops = v.isObject() ? v : Value::null();
        return;
    }
    if (v.isNullish()) {
        o.members &= ~m.bit;
        return;
    }
    switch (m.kind) {
        case Kind::Text: (m.bit == kFormatFont ? f.face : m.bit == kFormatUrl ? f.url : f.target) = vm.toString(v); break;
        case Kind::Points: f.size = float(whole(vm, v) * 20); break;
        case Kind::Twips: {
            double n = whole(vm, v);
            // Margins and indents are never negative in the original (leading and indent may be).
            if ((m.bit == kFormatLeftMargin || m.bit == kFormatRightMargin || m.bit == kFormatBlockIndent) && n < 0) n = 0;
            float t = float(n * 20);
            if (m.bit == kFormatLeftMargin) f.leftMargin = t;
            else if (m.bit == kFormatRightMargin) f.rightMargin = t;
            else if (m.bit == kFormatIndent) f.indent = t;
            else if (m.bit == kFormatLeading) f.leading = t;
            else f.blockIndent = t;
            break;
        }
        case Kind::Number: f.letterSpacing = float(vm.toNumber(v) * 20); break;
        case Kind::Color: {
            uint32_t n = vm.toUint32(v);
            f.color = Rgba{uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n), 255};
            break;
        }
        case Kind::Boolean: {
            bool b = vm.toBoolean(v);
            if (m.bit == kFormatBold) f.bold = b;
            else if (m.bit == kFormatItalic) f.italic = b;
            else if (m.bit == kFormatUnderline) f.underline = b;
            else if (m.bit == kFormatKerning) f.kerning = b;
            else f.bullet = b;
            break;
        }
        case Kind::Align: {
            std::string a = vm.toString(v);
            avm1::NameRule any{false};
            if (avm1::sameName(a, "left", any)) f.align = TextAlign::Left;
            else if (avm1::sameName(a, "center", any)) f.align = TextAlign::Center;
            else if (avm1::sameName(a, "right", any)) f.align = TextAlign::Right;
            else if (avm1::sameName(a, "justify", any)) f.align = TextAlign::Justify;
            else return;  // unknown names leave it as it was
            break;
        }
        case Kind::TabStops: break;
    }
    o.members |= m.bit;
}

avm1::Object* makeTextFormat(Vm& vm, avm1::Object* proto) { return vm.heap().make<TextFormatObject>(proto); }

Value constructTextFormat(Vm& vm, const Value& self, const Arguments& args) {
    auto* o = dynamic_cast<TextFormatObject*>(self.asObject());
    if (!o) return self;
    for (size_t i = 0; i < args.size() && i < 13; ++i) writeMember(vm, *o, kMembers[i], args[i]);
    return self;
}

ScriptRuntime* runtimeOf(Vm& vm) {
    auto* root = dynamic_cast<ClipObject*>(vm.interpreter().levelRoot ? vm.interpreter().levelRoot(0) : nullptr);
    return root ? &root->runtime() : nullptr;
}

// getTextExtent(text[, width]): the text's size in this format, laid out alone (wrapped at
// `width` when given), and the size of a field that would just hold it.
Value getTextExtent(Vm& vm, const Value& self, const Arguments& args) {
    auto* o = dynamic_cast<TextFormatObject*>(self.asObject());
    ScriptRuntime* runtime = runtimeOf(vm);
    if (!o || !runtime || args.empty()) return Value();
    TextFieldInput in;
    TextFormat f;
    mergeFormat(f, o->format, o->members);
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
    TextLayout layout = services ? layoutText(in, services->fonts.lookupFor(nullptr)) : TextLayout{};
    float ascent = layout.lines.empty() ? 0 : layout.lines[0].ascent, descent = layout.lines.empty() ? 0 : layout.lines[0].descent;
    avm1::Object* out = vm.newObject();
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
    readMember(vm, *this, *m, out);
    return true;
}

bool TextFormatObject::setSpecial(Vm& vm, const std::string& name, const Value& value) {
    const Member* m = memberNamed(vm, name);
    if (!m) return false;
    writeMember(vm, *this, *m, value);
    return true;
}

void TextFormatObject::traceReferences(avm1::Marker& marker) {
    Object::traceReferences(marker);
    marker.mark(tabStops);
}

TextFormatObject* newTextFormatObject(Vm& vm, const TextFormat& format, uint32_t mixed) {
    avm1::Object* ctor = vm.getMember(vm.global(), "TextFormat").asObject();
    avm1::Object* proto = ctor ? vm.getMember(ctor, "prototype").asObject() : nullptr;
    auto* o = vm.heap().make<TextFormatObject>(proto ? proto : vm.builtins().objectProto);
    o->format = format;
    o->members = kFormatAll & ~mixed;
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
