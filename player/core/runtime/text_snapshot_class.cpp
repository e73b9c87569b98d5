// TextSnapshot: the characters of the static texts a clip shows (MovieClip.getTextSnapshot),
// read back through the fonts' code tables, and a selection over them.
#include <algorithm>
#include <cmath>

#include "avm1/native_class.h"
#include "avm1/vm.h"
#include "clip_object.h"
#include "script_runtime.h"
#include "text/utf8.h"

namespace swf {

using avm1::Arguments;
using avm1::Value;
using avm1::Vm;

namespace {

constexpr size_t kMaxSnapshotChars = 64 * 1024;

class TextSnapshotObject final : public avm1::Object {
public:
    using Object::Object;
    std::u32string text;
    std::vector<bool> lineStarts;  // the char begins another text or a record on another line
    std::vector<bool> selected;
};

// The static texts of `clip` in depth order; a record on a new baseline starts a line.
void collect(Clip& clip, TextSnapshotObject& out) {
    for (const auto& [depth, object] : clip.displayList()) {
        const Character* c = object->character();
        if (!c || c->kind != CharacterKind::Text) continue;
        const auto& text = static_cast<const TextCharacter&>(*c);
        float lastY = 0;
        bool first = true;
        for (const TextRun& run : text.runs) {
            // Another text, or a record on another baseline, starts a line.
            bool newLine = first || run.y != lastY;
            first = false;
            lastY = run.y;
            // A font defined after the text is found by its id now.
            const FontCharacter* font = run.font.get();
            if (!font && clip.host().movie) {
                const Character* c = clip.host().movie->character(run.fontId);
                font = c && c->kind == CharacterKind::Font ? static_cast<const FontCharacter*>(c) : nullptr;
            }
            for (const GlyphEntry& g : run.glyphs) {
                if (out.text.size() >= kMaxSnapshotChars) return;
                char32_t code = font && g.index < font->codes.size() ? font->codes[g.index] : U'?';
                out.text.push_back(code);
                out.lineStarts.push_back(newLine && out.text.size() > 1);
                newLine = false;
            }
        }
    }
    out.selected.assign(out.text.size(), false);
}

TextSnapshotObject* snapshotOf(const Value& self) { return dynamic_cast<TextSnapshotObject*>(self.asObject()); }

Value getCount(Vm&, const Value& self, const Arguments&) {
    auto* s = snapshotOf(self);
    return s ? Value::number(double(s->text.size())) : Value();
}

// [begin, end) from (start, end): the start kept within the text, the end past it.
bool rangeOf(Vm& vm, const TextSnapshotObject& s, const Value& a, const Value& b, size_t& begin, size_t& end) {
    if (s.text.empty()) return false;
    const double n = double(s.text.size());
    double from = vm.toNumber(a), to = vm.toNumber(b);
    from = std::isnan(from) ? 0 : std::clamp(std::trunc(from), 0.0, n - 1);
    to = std::isnan(to) ? from + 1 : std::clamp(std::trunc(to), from + 1, n);
    begin = size_t(from);
    end = size_t(to);
    return true;
}

// getText(start, end[, lineEndings]): "\n" before chars that begin another line when asked.
Value getText(Vm& vm, const Value& self, const Arguments& args) {
    auto* s = snapshotOf(self);
    size_t begin = 0, end = 0;
    if (!s || args.size() < 2 || args.size() > 3) return Value();
    if (!rangeOf(vm, *s, args[0], args[1], begin, end)) return vm.newString("");
    bool lineEndings = args.size() > 2 && vm.toBoolean(args[2]);
    std::u32string out;
    for (size_t i = begin; i < end; ++i) {
        if (lineEndings && i > begin && s->lineStarts[i]) out.push_back(U'\n');
        out.push_back(s->text[i]);
    }
    return vm.newString(encodeUtf8(out));
}

char32_t folded(char32_t c) { return c < 128 ? char32_t(std::tolower(int(c))) : c; }

// findText(start, text, caseSensitive): the index of the first match from `start`, or -1.
Value findText(Vm& vm, const Value& self, const Arguments& args) {
    auto* s = snapshotOf(self);
    if (!s || args.size() != 3) return Value();
    double from = vm.toNumber(args[0]);
    std::u32string needle = decodeUtf8(vm.toString(args[1]));
    bool exact = vm.toBoolean(args[2]);
    if (std::isnan(from) || from < 0 || needle.empty()) return Value::number(-1);
    for (size_t i = size_t(std::min(from, 1e9)); i + needle.size() <= s->text.size(); ++i) {
        size_t k = 0;
        while (k < needle.size() && (exact ? s->text[i + k] == needle[k] : folded(s->text[i + k]) == folded(needle[k]))) ++k;
        if (k == needle.size()) return Value::number(double(i));
    }
    return Value::number(-1);
}

// setSelected(start, end, select)
Value setSelected(Vm& vm, const Value& self, const Arguments& args) {
    auto* s = snapshotOf(self);
    size_t begin = 0, end = 0;
    if (!s || args.size() < 3 || !rangeOf(vm, *s, args[0], args[1], begin, end)) return Value();
    bool on = vm.toBoolean(args[2]);
    for (size_t i = begin; i < end; ++i) s->selected[i] = on;
    return Value();
}

// getSelected(start, end): whether any char of the range is selected.
Value getSelected(Vm& vm, const Value& self, const Arguments& args) {
    auto* s = snapshotOf(self);
    size_t begin = 0, end = 0;
    if (!s || args.size() < 2) return Value();
    if (!rangeOf(vm, *s, args[0], args[1], begin, end)) return Value::boolean(false);
    return Value::boolean(std::any_of(s->selected.begin() + long(begin), s->selected.begin() + long(end), [](bool b) { return b; }));
}

// getSelectedText([lineEndings]): the selected chars in order.
Value getSelectedText(Vm& vm, const Value& self, const Arguments& args) {
    auto* s = snapshotOf(self);
    if (!s) return Value();
    bool lineEndings = !args.empty() && vm.toBoolean(args[0]);
    std::u32string out;
    for (size_t i = 0; i < s->text.size(); ++i) {
        if (!s->selected[i]) continue;
        if (lineEndings && !out.empty() && s->lineStarts[i]) out.push_back(U'\n');
        out.push_back(s->text[i]);
    }
    return vm.newString(encodeUtf8(out));
}

// MovieClip.getTextSnapshot(): the clip's static text as it is now.
Value getTextSnapshot(Vm& vm, const Value& self, const Arguments&) {
    auto* clipObject = dynamic_cast<ClipObject*>(self.asObject());
    Clip* clip = clipObject ? clipObject->clip() : nullptr;
    if (!clip) return Value();
    Value ctor = vm.getMember(vm.global(), "TextSnapshot");
    avm1::Object* proto = ctor.asObject() ? vm.getMember(ctor.asObject(), "prototype").asObject() : nullptr;
    auto* snapshot = vm.heap().make<TextSnapshotObject>(proto ? proto : vm.builtins().objectProto);
    collect(*clip, *snapshot);
    return Value::object(snapshot);
}

avm1::Object* makeSnapshot(Vm& vm, avm1::Object* proto) { return vm.heap().make<TextSnapshotObject>(proto); }

// new TextSnapshot(clip): the same as clip.getTextSnapshot().
Value construct(Vm&, const Value& self, const Arguments& args) {
    auto* snapshot = snapshotOf(self);
    auto* clipObject = args.empty() ? nullptr : dynamic_cast<ClipObject*>(args[0].asObject());
    Clip* clip = clipObject ? clipObject->clip() : nullptr;
    if (snapshot && clip) collect(*clip, *snapshot);
    return Value();
}

}  // namespace

void registerTextSnapshotClass(Vm& vm) {
    avm1::NativeFunction* ctor = avm1::defineClass(vm, vm.global(), {"TextSnapshot", nullptr, construct, makeSnapshot, nullptr});
    avm1::Object* proto = avm1::prototypeOf(vm, ctor);
    // Enumerable, in the original's order of definition (for..in lists getTextRunInfo first).
    avm1::defineMethod(vm, proto, "getCount", getCount, 0);
    avm1::defineMethod(vm, proto, "setSelected", setSelected, 0);
    avm1::defineMethod(vm, proto, "getSelected", getSelected, 0);
    avm1::defineMethod(vm, proto, "getText", getText, 0);
    avm1::defineMethod(vm, proto, "getSelectedText", getSelectedText, 0);
    avm1::defineMethod(vm, proto, "findText", findText, 0);
    avm1::defineMethod(vm, vm.builtins().movieClipProto, "getTextSnapshot", getTextSnapshot);
}

}  // namespace swf
