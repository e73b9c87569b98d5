#include "clip_effect_properties.h"

#include <cmath>

#include "avm1/library_classes.h"
#include "avm1/names.h"
#include "filters/filter_classes.h"
#include "geom/geom_classes.h"
#include "geom/transform_class.h"

namespace swf {
namespace {

using avm1::Value;
using avm1::Vm;

enum class EffectProperty { Filters, OpaqueBackground, ScrollRect, Transform, None };

// Every variable a script reads on a clip passes here: the length decides before any compare.
EffectProperty effectProperty(Vm& vm, const std::string& name) {
    const avm1::NameRule rule = vm.names();
    switch (name.size()) {
        case 7: return avm1::sameName(name, "filters", rule) ? EffectProperty::Filters : EffectProperty::None;
        case 9: return avm1::sameName(name, "transform", rule) ? EffectProperty::Transform : EffectProperty::None;
        case 10: return avm1::sameName(name, "scrollRect", rule) ? EffectProperty::ScrollRect : EffectProperty::None;
        case 16:
            return avm1::sameName(name, "opaqueBackground", rule) ? EffectProperty::OpaqueBackground : EffectProperty::None;
        default: return EffectProperty::None;
    }
}

// As many filters as a file's list can hold: each one costs a pass over the layer.
constexpr uint32_t kMaxScriptFilters = 255;

}  // namespace

Value readFilters(Vm& vm, const DisplayState& s) {
    std::vector<Value> items;
    for (const Filter& f : s.filters) items.push_back(filters::makeFilterObject(vm, f));
    return Value::object(vm.newArray(items));
}

// Elements that are not filter objects are left out; a value that is no object changes nothing.
void writeFilters(Vm& vm, DisplayState& s, const Value& value) {
    avm1::Object* list = value.asObject();
    if (!list) return;
    const uint32_t length = avm1::arrayLikeLength(vm, list);
    std::vector<Filter> out;
    for (uint32_t i = 0; i < length && out.size() < kMaxScriptFilters; ++i)
        if (std::optional<Filter> f = filters::renderFilterOf(vm, vm.getMember(list, std::to_string(i)))) out.push_back(std::move(*f));
    s.filters = std::move(out);
}

namespace {

double twips(Vm& vm, const Value& rect, const char* field) {
    const double v = vm.toNumber(vm.getMember(rect, field)) * 20;
    return std::isfinite(v) ? std::clamp(std::trunc(v), -1e9, 1e9) : 0;
}

// A rectangle with four finite numbers scrolls; anything else removes the scrolling.
void writeScrollRect(Vm& vm, DisplayState& s, const Value& value) {
    if (!value.asObject()) {
        s.scrollRect.reset();
        return;
    }
    const double x = twips(vm, value, "x"), y = twips(vm, value, "y");
    const double w = twips(vm, value, "width"), h = twips(vm, value, "height");
    s.scrollRect = Rect{int32_t(x), int32_t(x + w), int32_t(y), int32_t(y + h)};
}

}  // namespace

bool getClipEffectProperty(Vm& vm, Clip& clip, const std::string& name, Value& out) {
    const EffectProperty p = effectProperty(vm, name);
    if (p == EffectProperty::None) return false;
    DisplayState* s = geom::scriptState(clip);
    out = Value();
    if (!s) return true;
    switch (p) {
        case EffectProperty::Filters: out = readFilters(vm, *s); break;
        case EffectProperty::OpaqueBackground: {
            const std::optional<Rgba>& c = s->opaqueBackground;
            out = c ? Value::number(double(uint32_t(c->r) << 16 | uint32_t(c->g) << 8 | c->b)) : Value();
            break;
        }
        case EffectProperty::ScrollRect:
            if (const std::optional<Rect>& r = s->scrollRect)
                out = geom::makeRectangle(vm, r->xMin / 20.0, r->yMin / 20.0, r->width() / 20.0, r->height() / 20.0);
            break;
        case EffectProperty::Transform: out = geom::makeTransform(vm, clip); break;
        case EffectProperty::None: break;
    }
    return true;
}

bool setClipEffectProperty(Vm& vm, Clip& clip, const std::string& name, const Value& value) {
    const EffectProperty p = effectProperty(vm, name);
    if (p == EffectProperty::None) return false;
    DisplayState* s = geom::scriptState(clip);
    if (!s) return true;
    switch (p) {
        case EffectProperty::Filters: writeFilters(vm, *s, value); break;
        case EffectProperty::OpaqueBackground:
            if (value.isNullish()) {
                s->opaqueBackground.reset();
            } else {
                const uint32_t rgb = vm.toUint32(value);
                s->opaqueBackground = Rgba{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255};
            }
            break;
        case EffectProperty::ScrollRect: writeScrollRect(vm, *s, value); break;
        case EffectProperty::Transform: geom::assignTransform(vm, clip, value); break;
        case EffectProperty::None: break;
    }
    clip.markChanged();
    return true;
}

}  // namespace swf
