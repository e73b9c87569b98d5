// TextField.StyleSheet for scripts: setStyle, getStyle, getStyleNames, clear, transform,
// parseCSS (also named parse) and load.
#include <cctype>
#include <cmath>

#include "../text/css_reader.h"
#include "avm1/library_classes.h"
#include "avm1/native_class.h"
#include "avm1/string_to_number.h"
#include "avm1/vm.h"
#include "style_sheet.h"
#include "text_field.h"
#include "text_format_object.h"

namespace swf {

using avm1::Arguments;
using avm1::Value;
using avm1::Vm;

namespace {

std::string lowerCase(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A new plain object with the enumerable members of `v`; null for anything but an object.
Value shallowCopy(Vm& vm, const Value& v) {
    avm1::Object* from = v.asObject();
    if (!from) return Value::null();
    avm1::Object* copy = vm.newObject();
    for (const std::string& name : vm.enumerate(from)) vm.setMember(copy, name, vm.getMember(from, name));
    return Value::object(copy);
}

avm1::Object* memberObject(Vm& vm, avm1::Object* self, const char* name) {
    if (!vm.hasProperty(self, name)) vm.setMember(self, name, Value::object(vm.newArray({})));
    return vm.toObject(vm.getMember(self, name));
}

// What fields apply of a TextFormat transform gave.
TextStyle styleOf(Vm& vm, const TextFormatObject& format) {
    TextStyle style;
    style.members = format.resolve(vm, style.format);
    std::string display = vm.toString(format.slots[TextFormatObject::kSlots - 1]);
    style.display = display == "none" ? StyleDisplay::None : display == "inline" ? StyleDisplay::Inline : StyleDisplay::Block;
    return style;
}

// setStyle(name, style): _css keeps a copy of the style, _styles what transform makes of
// another copy.
Value setStyle(Vm& vm, const Value& self, const Arguments& args) {
    avm1::Object* sheet = self.asObject();
    if (!sheet) return Value();
    avm1::Object* styles = memberObject(vm, sheet, "_styles");
    avm1::Object* css = memberObject(vm, sheet, "_css");
    std::string name = vm.toString(args.empty() ? Value() : args[0]);
    Value style = args.size() > 1 ? args[1] : Value();
    if (css) vm.setMember(css, name, shallowCopy(vm, style));
    Value copy = shallowCopy(vm, style);
    Value format = vm.callMethod(self, "transform", Arguments(&copy, 1));
    if (styles) vm.setMember(styles, name, format);
    if (auto* native = dynamic_cast<StyleSheetObject*>(sheet)) {
        auto* f = dynamic_cast<TextFormatObject*>(format.asObject());
        if (f) native->styles[lowerCase(name)] = styleOf(vm, *f);
        else native->styles.erase(lowerCase(name));
    }
    return Value();
}

// getStyle(name): a copy of the style as set, or null.
Value getStyle(Vm& vm, const Value& self, const Arguments& args) {
    avm1::Object* sheet = self.asObject();
    avm1::Object* css = sheet ? vm.toObject(vm.getMember(sheet, "_css")) : nullptr;
    if (!css) return Value::null();
    return shallowCopy(vm, vm.getMember(css, vm.toString(args.empty() ? Value() : args[0])));
}

Value getStyleNames(Vm& vm, const Value& self, const Arguments&) {
    avm1::Object* sheet = self.asObject();
    avm1::Object* css = sheet ? vm.toObject(vm.getMember(sheet, "_css")) : nullptr;
    std::vector<Value> names;
    if (css)
        for (const std::string& name : vm.enumerate(css)) names.push_back(vm.newString(name));
    return Value::object(vm.newArray(names));
}

Value clear(Vm& vm, const Value& self, const Arguments&) {
    avm1::Object* sheet = self.asObject();
    if (!sheet) return Value();
    vm.setMember(sheet, "_styles", Value::object(vm.newArray({})));
    vm.setMember(sheet, "_css", Value::object(vm.newArray({})));
    if (auto* native = dynamic_cast<StyleSheetObject*>(sheet)) native->styles.clear();
    return Value();
}

// A CSS number as the original reads one: parseInt of its text ("42px" is 42, "1.9" is 1).
double cssInteger(Vm& vm, const Value& v) { return avm1::parseIntPrefix(vm.toString(v), std::nullopt); }

// "#rrggbb" exactly; anything else is no colour.
bool cssColor(const std::string& s, uint32_t& rgb) {
    if (s.size() != 7 || s[0] != '#') return false;
    rgb = 0;
    for (size_t i = 1; i < 7; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(s[i]))) return false;
        rgb = rgb * 16 + uint32_t(std::isdigit(static_cast<unsigned char>(s[i])) ? s[i] - '0' : std::tolower(s[i]) - 'a' + 10);
    }
    return true;
}

// transform(style): a TextFormat of the CSS properties the original knows (null for no
// style); kerning is false and display block unless the style says otherwise.
Value transform(Vm& vm, const Value&, const Arguments& args) {
    if (args.empty() || args[0].isNullish()) return Value::null();
    TextFormatObject* out = newTextFormatObject(vm, TextFormat{}, kFormatAll & ~kFormatKerning);
    out->slots[TextFormatObject::kSlots - 2] = Value::null();  // tabStops
    avm1::Object* style = args[0].asObject();
    if (!style) return Value::object(out);
    const Value result = Value::object(out);
    auto get = [&](const char* name) { return vm.getMember(style, name); };
    auto set = [&](const char* name, const Value& v) { vm.setMember(out, name, v); };
    auto given = [&](const char* name, Value& v) { return !(v = get(name)).isUndefined(); };
    auto int32 = [&](const Value& v) { return vm.toInt32(Value::number(cssInteger(vm, v))); };
    Value v;
    uint32_t rgb = 0;
    if ((v = get("color")).isString() && cssColor(v.asString(), rgb)) set("color", Value::number(rgb));
    if (given("display", v)) set("display", v);  // the member's own rule: inline, none, else block
    if (given("fontFamily", v) && vm.toBoolean(v)) set("font", vm.newString(fontListOf(vm.toString(v))));
    if (given("fontSize", v) && int32(v) > 0) set("size", Value::number(int32(v)));
    std::string text = vm.toString(get("fontStyle"));
    if (text == "normal" || text == "italic") set("italic", Value::boolean(text == "italic"));
    text = vm.toString(get("fontWeight"));
    if (text == "normal" || text == "bold") set("bold", Value::boolean(text == "bold"));
    if (given("kerning", v)) set("kerning", Value::boolean((v.isString() && v.asString() == "true") || int32(v) != 0));
    if (given("leading", v) && vm.toBoolean(v)) set("leading", Value::number(int32(v)));
    if (given("letterSpacing", v) && vm.toBoolean(v)) set("letterSpacing", Value::number(cssInteger(vm, v)));
    if (given("marginLeft", v) && vm.toBoolean(v)) set("leftMargin", Value::number(std::max(0, int32(v))));
    if (given("marginRight", v) && vm.toBoolean(v)) set("rightMargin", Value::number(std::max(0, int32(v))));
    if (given("textAlign", v)) {
        text = lowerCase(vm.toString(v));
        if (text == "left" || text == "center" || text == "right" || text == "justify") set("align", vm.newString(text));
    }
    if (given("textDecoration", v)) {
        text = vm.toString(v);
        if (text == "none" || text == "underline") set("underline", Value::boolean(text == "underline"));
    }
    if (given("textIndent", v) && vm.toBoolean(v)) set("indent", Value::number(int32(v)));
    return result;
}

// parseCSS(text): each rule becomes a style of string members named in camel case; false,
// and nothing changed, when the text is refused.
Value parseCss(Vm& vm, const Value& self, const Arguments& args) {
    std::optional<std::vector<CssRule>> rules = readCss(vm.toString(args.empty() ? Value() : args[0]));
    if (!rules) return Value::boolean(false);
    // A selector named twice keeps its last block.
    std::vector<const CssRule*> unique;
    for (const CssRule& rule : *rules) {
        if (rule.selector.empty()) continue;
        bool seen = false;
        for (const CssRule*& kept : unique)
            if (kept->selector == rule.selector) kept = &rule, seen = true;
        if (!seen) unique.push_back(&rule);
    }
    for (const CssRule* rule : unique) {
        avm1::Object* style = vm.newObject();
        for (const auto& [name, value] : rule->properties) vm.setMember(style, camelCaseName(name), vm.newString(value));
        Value setArgs[] = {vm.newString(rule->selector), Value::object(style)};
        setStyle(vm, self, Arguments(setArgs, 2));
    }
    return Value::boolean(true);
}

// The default onData of load(): the text read goes through parse; onLoad hears whether the
// sheet was taken (false too when no file came).
Value styleSheetOnData(Vm& vm, const Value& self, const Arguments& args) {
    Value ok = Value::boolean(false);
    if (!args.empty() && !args[0].isUndefined()) ok = Value::boolean(vm.toBoolean(vm.callMethod(self, "parse", Arguments(&args[0], 1))));
    vm.callMethod(self, "onLoad", Arguments(&ok, 1));
    return Value();
}

avm1::Object* makeStyleSheet(Vm& vm, avm1::Object* proto) { return vm.heap().make<StyleSheetObject>(proto); }

}  // namespace

const StyleSheetObject* styleSheetOf(const Value& v) { return dynamic_cast<const StyleSheetObject*>(v.asObject()); }

void registerStyleSheetClass(Vm& vm, avm1::Object* textFieldClass) {
    avm1::NativeFunction* ctor = avm1::defineClass(vm, textFieldClass, {"StyleSheet", nullptr, nullptr, makeStyleSheet, nullptr});
    avm1::Object* proto = avm1::prototypeOf(vm, ctor);
    constexpr uint16_t kFlags = avm1::kDontEnum | avm1::kDontDelete | avm1::kReadOnly | avm1::kFromVersion7;
    avm1::defineMethod(vm, proto, "setStyle", setStyle, kFlags);
    avm1::defineMethod(vm, proto, "clear", clear, kFlags);
    avm1::defineMethod(vm, proto, "getStyleNames", getStyleNames, kFlags);
    avm1::defineMethod(vm, proto, "load", avm1::loadBesideMovie, kFlags);
    avm1::defineMethod(vm, proto, "getStyle", getStyle, kFlags);
    avm1::defineMethod(vm, proto, "transform", transform, kFlags);
    avm1::defineMethod(vm, proto, "parseCSS", parseCss, kFlags);
    avm1::defineMethod(vm, proto, "parse", parseCss, kFlags);
    avm1::defineMethod(vm, proto, "onData", styleSheetOnData, avm1::kDontEnum | avm1::kFromVersion7);
}

}  // namespace swf
