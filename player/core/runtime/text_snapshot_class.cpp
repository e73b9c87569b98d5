// TextSnapshot: the characters of the static texts a clip shows (MovieClip.getTextSnapshot),
// read back through the fonts' code tables, and a selection over them.
#include <algorithm>
#include <array>
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

// Where one char of a static text is and how it is drawn (getTextRunInfo, hitTestTextNearPos).
struct SnapshotChar {
    const FontCharacter* font = nullptr;
    Rgba color;
    float height = 0;     // twips
    Matrix matrix;        // the text's placement in the clip, then its own matrix
    float x = 0, y = 0;   // baseline origin, text space twips
    float advance = 0;    // twips
    size_t indexInRun = 0;
};

class TextSnapshotObject final : public avm1::Object {
public:
    using Object::Object;
    std::u32string text;
    std::vector<SnapshotChar> chars;
    std::vector<bool> lineStarts;  // the char begins another text or a record on another line
    std::vector<bool> selected;
    // Made for a clip: a snapshot of anything else (new TextSnapshot()) answers undefined.
    bool ofClip = false;
    Rgba selectColor{255, 255, 0, 255};
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
            const size_t runStart = out.chars.size();
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
            float x = run.x;
            for (const GlyphEntry& g : run.glyphs) {
                if (out.text.size() >= kMaxSnapshotChars) return;
                char32_t code = font && g.index < font->codes.size() ? font->codes[g.index] : U'?';
                out.text.push_back(code);
                out.chars.push_back({font, run.color, run.height, object->state().matrix * text.matrix, x, run.y,
                                     float(g.advance), out.chars.size() - runStart});
                x += float(g.advance);
                out.lineStarts.push_back(newLine && out.text.size() > 1);
                newLine = false;
            }
        }
    }
    out.selected.assign(out.text.size(), false);
    out.ofClip = true;
}

TextSnapshotObject* snapshotOf(const Value& self) {
    auto* s = dynamic_cast<TextSnapshotObject*>(self.asObject());
    return s && s->ofClip ? s : nullptr;
}

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

// The four corners of a char's box in the clip, pixels: advance wide, from the font's ascent
// above the baseline to its descent below (the whole height above it for a font without
// metrics), clockwise from the top left.
std::array<Point, 4> cornersOf(const SnapshotChar& c) {
    float ascent = c.height, descent = 0;
    if (c.font && c.font->ascent > 0 && c.font->emSize > 0) {
        ascent = c.font->ascent / c.font->emSize * c.height;
        descent = c.font->descent / c.font->emSize * c.height;
    }
    const Point box[4] = {{c.x, c.y - ascent}, {c.x + c.advance, c.y - ascent}, {c.x + c.advance, c.y + descent}, {c.x, c.y + descent}};
    std::array<Point, 4> out;
    for (int i = 0; i < 4; ++i) {
        Point p = c.matrix.apply(box[i]);
        out[size_t(i)] = {p.x / 20, p.y / 20};
    }
    return out;
}

// hitTestTextNearPos(x, y[, maxDistance]): the char whose box is nearest the point (clip
// pixels), when no farther than maxDistance (0: the point must be in it); otherwise -1.
Value hitTestTextNearPos(Vm& vm, const Value& self, const Arguments& args) {
    auto* s = snapshotOf(self);
    if (!s || args.size() < 2) return Value();
    double x = vm.toNumber(args[0]), y = vm.toNumber(args[1]);
    double limit = args.size() > 2 ? vm.toNumber(args[2]) : 0;
    if (std::isnan(x) || std::isnan(y) || !(limit >= 0)) return Value::number(-1);
    double best = limit;
    double found = -1;
    for (size_t i = 0; i < s->chars.size(); ++i) {
        std::array<Point, 4> box = cornersOf(s->chars[i]);
        double left = box[0].x, right = box[0].x, top = box[0].y, bottom = box[0].y;
        for (const Point& p : box) {
            left = std::min(left, double(p.x)), right = std::max(right, double(p.x));
            top = std::min(top, double(p.y)), bottom = std::max(bottom, double(p.y));
        }
        double dx = x < left ? left - x : x > right ? x - right : 0;
        double dy = y < top ? top - y : y > bottom ? y - bottom : 0;
        double distance = std::sqrt(dx * dx + dy * dy);
        if (distance <= best && (found < 0 || distance < best)) {
            best = distance;
            found = double(i);
        }
    }
    return Value::number(found);
}

// setSelectColor(rgb): the colour selected chars are drawn in.
Value setSelectColor(Vm& vm, const Value& self, const Arguments& args) {
    auto* s = snapshotOf(self);
    if (!s || args.empty()) return Value();
    uint32_t rgb = vm.toUint32(args[0]);
    s->selectColor = Rgba{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255};
    return Value();
}

// getTextRunInfo(first, last): one object per char from `first` to `last` (both included,
// clamped to the text): its place in its run, selection, font, colour, height, the matrix
// from its text to the clip and its box's corners (pixels).
Value getTextRunInfo(Vm& vm, const Value& self, const Arguments& args) {
    auto* s = snapshotOf(self);
    if (!s || args.size() < 2) return Value();
    std::vector<Value> out;
    double first = vm.toNumber(args[0]), last = vm.toNumber(args[1]);
    if (!s->chars.empty() && !std::isnan(first) && !std::isnan(last)) {
        const double end = double(s->chars.size() - 1);
        for (size_t i = size_t(std::clamp(std::trunc(first), 0.0, end)); i <= size_t(std::clamp(std::trunc(last), -1.0, end)) && i < s->chars.size(); ++i) {
            const SnapshotChar& c = s->chars[i];
            avm1::Object* info = vm.newObject();
            auto number = [&](const char* name, double v) { info->define(name, Value::number(v), 0); };
            number("indexInRun", double(c.indexInRun));
            info->define("selected", Value::boolean(s->selected[i]), 0);
            info->define("font", vm.newString(c.font ? c.font->name : std::string()), 0);
            number("color", double((uint32_t(c.color.r) << 16) | (uint32_t(c.color.g) << 8) | c.color.b));
            number("height", c.height / 20);
            number("matrix_a", c.matrix.a), number("matrix_b", c.matrix.b);
            number("matrix_c", c.matrix.c), number("matrix_d", c.matrix.d);
            Point origin = c.matrix.apply({c.x, c.y});
            number("matrix_tx", origin.x / 20), number("matrix_ty", origin.y / 20);
            std::array<Point, 4> box = cornersOf(c);
            const char* names[4][2] = {{"corner0x", "corner0y"}, {"corner1x", "corner1y"}, {"corner2x", "corner2y"}, {"corner3x", "corner3y"}};
            for (size_t k = 0; k < 4; ++k) number(names[k][0], box[k].x), number(names[k][1], box[k].y);
            out.push_back(Value::object(info));
        }
    }
    return Value::object(vm.newArray(out));
}

// MovieClip.getTextSnapshot(): `new TextSnapshot(this)` through whatever _global.TextSnapshot
// is now (a script may have replaced it).
Value getTextSnapshot(Vm& vm, const Value& self, const Arguments&) {
    auto* clipObject = dynamic_cast<ClipObject*>(self.asObject());
    if (!clipObject || !clipObject->clip()) return Value();
    return vm.construct(vm.getMember(vm.global(), "TextSnapshot"), Arguments(&self, 1));
}

avm1::Object* makeSnapshot(Vm& vm, avm1::Object* proto) { return vm.heap().make<TextSnapshotObject>(proto); }

// new TextSnapshot(clip): the same as clip.getTextSnapshot().
Value construct(Vm&, const Value& self, const Arguments& args) {
    auto* snapshot = dynamic_cast<TextSnapshotObject*>(self.asObject());
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
    // Before SWF 6 scripts see none of them, though for..in lists them.
    constexpr uint16_t kFlags = avm1::kFromVersion6;
    avm1::defineMethod(vm, proto, "getCount", getCount, kFlags);
    avm1::defineMethod(vm, proto, "setSelected", setSelected, kFlags);
    avm1::defineMethod(vm, proto, "getSelected", getSelected, kFlags);
    avm1::defineMethod(vm, proto, "getText", getText, kFlags);
    avm1::defineMethod(vm, proto, "getSelectedText", getSelectedText, kFlags);
    avm1::defineMethod(vm, proto, "hitTestTextNearPos", hitTestTextNearPos, kFlags);
    avm1::defineMethod(vm, proto, "findText", findText, kFlags);
    avm1::defineMethod(vm, proto, "setSelectColor", setSelectColor, kFlags);
    avm1::defineMethod(vm, proto, "getTextRunInfo", getTextRunInfo, kFlags);
    avm1::defineMethod(vm, vm.builtins().movieClipProto, "getTextSnapshot", getTextSnapshot);
}

}  // namespace swf
