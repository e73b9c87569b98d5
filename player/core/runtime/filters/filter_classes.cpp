#include "filter_classes.h"

#include <memory>
#include <utility>

#include "../avm1/heap.h"
#include "../avm1/native_class.h"
#include "../bitmap_data.h"
#include "../bitmap_data_object.h"
#include "../geom/script_values.h"
#include "../script_runtime.h"
#include "filter_properties.h"

namespace swf::filters {
namespace {

using avm1::Arguments;
using avm1::Object;
using avm1::Value;
using avm1::Vm;
using P = FilterProperty;

class FilterObject final : public Object {
public:
    using Object::Object;
    FilterValues values;
    void traceReferences(avm1::Marker& marker) override {
        Object::traceReferences(marker);
        marker.mark(values.mapBitmap);
    }
};

FilterObject* filterObject(const Value& v) { return avm1::nativeAs<FilterObject>(v); }

struct FilterClass {
    const char* name;
    FilterKind kind;
    std::vector<P> arguments;   // the constructor's, in order
    std::vector<P> properties;  // in the order for-in lists them, last first
};

const std::vector<FilterClass>& classes() {
    static const std::vector<FilterClass> table = {
        {"BevelFilter", FilterKind::Bevel,
         {P::Distance, P::Angle, P::HighlightColor, P::HighlightAlpha, P::ShadowColor, P::ShadowAlpha, P::BlurX, P::BlurY,
          P::Strength, P::Quality, P::Type, P::Knockout},
         {P::Distance, P::Angle, P::HighlightColor, P::HighlightAlpha, P::ShadowColor, P::ShadowAlpha, P::Quality,
          P::Strength, P::Knockout, P::BlurX, P::BlurY, P::Type}},
        {"BlurFilter", FilterKind::Blur, {P::BlurX, P::BlurY, P::Quality}, {P::BlurX, P::BlurY, P::Quality}},
        {"ColorMatrixFilter", FilterKind::ColorMatrix, {P::Matrix}, {P::Matrix}},
        {"ConvolutionFilter", FilterKind::Convolution,
         {P::MatrixX, P::MatrixY, P::Matrix, P::Divisor, P::Bias, P::PreserveAlpha, P::Clamp, P::Color, P::Alpha},
         {P::MatrixX, P::MatrixY, P::Matrix, P::Divisor, P::Bias, P::PreserveAlpha, P::Clamp, P::Color, P::Alpha}},
        {"DisplacementMapFilter", FilterKind::DisplacementMap,
         {P::MapBitmap, P::MapPoint, P::ComponentX, P::ComponentY, P::ScaleX, P::ScaleY, P::Mode, P::Color, P::Alpha},
         {P::MapBitmap, P::MapPoint, P::ComponentX, P::ComponentY, P::ScaleX, P::ScaleY, P::Mode, P::Color, P::Alpha}},
        {"DropShadowFilter", FilterKind::DropShadow,
         {P::Distance, P::Angle, P::Color, P::Alpha, P::BlurX, P::BlurY, P::Strength, P::Quality, P::Inner, P::Knockout,
          P::HideObject},
         {P::Distance, P::Angle, P::Color, P::Alpha, P::Quality, P::Inner, P::Knockout, P::BlurX, P::BlurY, P::Strength,
          P::HideObject}},
        {"GlowFilter", FilterKind::Glow,
         {P::Color, P::Alpha, P::BlurX, P::BlurY, P::Strength, P::Quality, P::Inner, P::Knockout},
         {P::Color, P::Alpha, P::Quality, P::Inner, P::Knockout, P::BlurX, P::BlurY, P::Strength}},
        {"GradientBevelFilter", FilterKind::GradientBevel,
         {P::Distance, P::Angle, P::Colors, P::Alphas, P::Ratios, P::BlurX, P::BlurY, P::Strength, P::Quality, P::Type,
          P::Knockout},
         {P::Distance, P::Angle, P::Colors, P::Alphas, P::Ratios, P::BlurX, P::BlurY, P::Quality, P::Strength, P::Knockout,
          P::Type}},
        {"GradientGlowFilter", FilterKind::GradientGlow,
         {P::Distance, P::Angle, P::Colors, P::Alphas, P::Ratios, P::BlurX, P::BlurY, P::Strength, P::Quality, P::Type,
          P::Knockout},
         {P::Distance, P::Angle, P::Colors, P::Alphas, P::Ratios, P::BlurX, P::BlurY, P::Quality, P::Strength, P::Knockout,
          P::Type}},
    };
    return table;
}

const FilterClass* classOf(FilterKind kind) {
    for (const FilterClass& c : classes())
        if (c.kind == kind) return &c;
    return nullptr;
}

Object* instanceFactory(Vm& vm, Object* proto) { return vm.heap().make<FilterObject>(proto); }

template <size_t C>
Value construct(Vm& vm, const Value& self, const Arguments& args) {
    FilterObject* o = filterObject(self);
    if (!o) return Value();
    const FilterClass& cls = classes()[C];
    o->values.filter = defaultFilter(cls.kind);
    for (size_t i = 0; i < cls.arguments.size() && i < args.size(); ++i) writeProperty(vm, o->values, cls.arguments[i], args[i]);
    return Value();
}

template <size_t I>
Value getProperty(Vm& vm, const Value& self, const Arguments&) {
    FilterObject* o = filterObject(self);
    return o ? readProperty(vm, o->values, P(I)) : Value();
}

template <size_t I>
Value setProperty(Vm& vm, const Value& self, const Arguments& args) {
    if (FilterObject* o = filterObject(self)) writeProperty(vm, o->values, P(I), args[0]);
    return Value();
}

template <size_t... I>
constexpr std::array<std::pair<avm1::NativeFn, avm1::NativeFn>, sizeof...(I)> accessors(std::index_sequence<I...>) {
    return {std::pair<avm1::NativeFn, avm1::NativeFn>{getProperty<I>, setProperty<I>}...};
}
constexpr auto kAccessors = accessors(std::make_index_sequence<size_t(P::Count)>{});

template <size_t... C>
constexpr std::array<avm1::NativeFn, sizeof...(C)> constructors(std::index_sequence<C...>) {
    return {construct<C>...};
}
constexpr size_t kClassCount = 9;
constexpr auto kConstructors = constructors(std::make_index_sequence<kClassCount>{});

// A new object of the filter's class (looked up now: a script may have replaced it).
Object* newFilterObject(Vm& vm, FilterKind kind) {
    const FilterClass* cls = classOf(kind);
    Object* ctor = cls ? vm.getMember(geom::flashPackage(vm, "filters"), cls->name).asObject() : nullptr;
    Object* proto = ctor ? vm.getMember(ctor, "prototype").asObject() : nullptr;
    auto* o = vm.heap().make<FilterObject>(proto ? proto : vm.builtins().objectProto);
    if (ctor) vm.initInstance(o, ctor);
    return o;
}

// A copy of the same class; for anything but a filter, undefined (BitmapFilter's own).
Value clone(Vm& vm, const Value& self, const Arguments&) {
    FilterObject* o = filterObject(self);
    if (!o) return Value();
    auto* copy = static_cast<FilterObject*>(newFilterObject(vm, o->values.filter.kind));
    copy->values = o->values;
    return Value::object(copy);
}

}  // namespace

std::optional<Filter> renderFilterOf(Vm&, const Value& v) {
    FilterObject* o = filterObject(v);
    if (!o) return std::nullopt;
    std::shared_ptr<const Bitmap> map;
    if (std::shared_ptr<BitmapData> pixels = bitmapDataOf(o->values.mapBitmap))
        if (pixels->valid()) map = std::make_shared<Bitmap>(static_cast<const BitmapData&>(*pixels).pixels());
    return toRenderFilter(o->values.filter, std::move(map));
}

Value makeFilterObject(Vm& vm, const Filter& f) {
    auto* o = static_cast<FilterObject*>(newFilterObject(vm, f.kind));
    o->values.filter = fromRenderFilter(f);
    // A displacement map draws with a snapshot of its bitmap, taken when the filters were set:
    // read back, the map is a BitmapData of those pixels, so that filters read, changed and set
    // again (filters.push(glow); clip.filters = filters) keep displacing.
    if (f.kind == FilterKind::DisplacementMap && f.map && f.map->width > 0 && f.map->height > 0) {
        Object* ctor = vm.getMember(geom::flashPackage(vm, "display"), "BitmapData").asObject();
        Object* proto = ctor ? vm.getMember(ctor, "prototype").asObject() : nullptr;
        if (proto) o->values.mapBitmap = newBitmapDataObject(vm, proto, std::make_shared<BitmapData>(*f.map));
    }
    return Value::object(o);
}

void registerFilterClasses(Vm& vm) {
    static_assert(kConstructors.size() == kClassCount);
    Object* package = geom::flashPackage(vm, "filters");
    auto* base = avm1::defineClass(vm, package, {"BitmapFilter", nullptr, nullptr, nullptr, nullptr});
    Object* baseProto = avm1::prototypeOf(vm, base);
    avm1::defineMethod(vm, baseProto, "clone", clone);
    for (size_t c = 0; c < classes().size() && c < kClassCount; ++c) {
        const FilterClass& cls = classes()[c];
        auto* ctor = avm1::defineClass(vm, package, {cls.name, nullptr, kConstructors[c], instanceFactory, baseProto});
        Object* proto = avm1::prototypeOf(vm, ctor);
        // Enumerable, as the original's: for-in lists them newest first.
        for (P p : cls.properties) {
            const auto& [getter, setter] = kAccessors[size_t(p)];
            avm1::defineNativeProperty(vm, proto, propertyName(p), getter, setter, 0);
        }
        avm1::defineMethod(vm, proto, "clone", clone, 0);
    }
}

}  // namespace swf::filters
