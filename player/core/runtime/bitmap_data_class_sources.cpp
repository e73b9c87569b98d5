// BitmapData methods that read a rectangle of a source bitmap into this one, for scripts:
// copyChannel, merge, paletteMap, threshold and pixelDissolve. All refuse alike: -1 for too
// few arguments or this bitmap without pixels, -2 for a source that is no BitmapData, -3 for a
// disposed one, -4 for a rectangle that is none.
#include <algorithm>
#include <string>

#include "bitmap_data_class_parts.h"
#include "bitmap_data_object.h"

namespace swf {

using avm1::Arguments;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

// What the four leading arguments (source, rect, point) of these methods give.
struct SourceCall {
    BitmapData* target = nullptr;
    BitmapData* source = nullptr;
    IntRect rect;
    int x = 0, y = 0;
    Value refusal;  // a number when refused
};

SourceCall readSourceCall(Vm& vm, const Value& self, const Arguments& args, size_t needed) {
    SourceCall call;
    call.target = bitmap_args::self(self, args, needed);
    if (!call.target) {
        call.refusal = bitmap_args::code(bitmap_args::kRefused);
        return call;
    }
    const bitmap_args::SourceState state = bitmap_args::source(args[0], call.source);
    if (state != bitmap_args::SourceState::Valid) {
        call.refusal = bitmap_args::code(state == bitmap_args::SourceState::Disposed ? -3 : -2);
        return call;
    }
    const std::optional<IntRect> rect = bitmap_args::rectangle(vm, args[1]);
    if (!rect) {
        call.refusal = bitmap_args::code(-4);
        return call;
    }
    call.rect = *rect;
    bitmap_args::point(vm, args[2], call.x, call.y);
    return call;
}

// copyChannel(source, rect, point, sourceChannel, destChannel); answers -1 when done, as the
// original.
Value copyChannel(Vm& vm, const Value& self, const Arguments& args) {
    SourceCall c = readSourceCall(vm, self, args, 5);
    if (!c.refusal.isUndefined()) return c.refusal;
    c.target->copyChannel(*c.source, c.rect, c.x, c.y, vm.toInt32(args[3]), vm.toInt32(args[4]));
    return bitmap_args::code(-1);
}

// merge(source, rect, point, red, green, blue, alpha): alpha may be left out (255); answers
// -1 when done.
Value merge(Vm& vm, const Value& self, const Arguments& args) {
    SourceCall c = readSourceCall(vm, self, args, 6);
    if (!c.refusal.isUndefined()) return c.refusal;
    const std::array<int, 4> multipliers{vm.toInt32(args[3]), vm.toInt32(args[4]), vm.toInt32(args[5]),
                                         args.size() > 6 ? vm.toInt32(args[6]) : 255};
    c.target->merge(*c.source, c.rect, c.x, c.y, multipliers);
    return bitmap_args::code(-1);
}

// paletteMap(source, rect, point, redArray, greenArray, blueArray, alphaArray): a channel
// without an array keeps its value (its table is the identity at its place in 0xAARRGGBB).
// Answers -1 when done.
Value paletteMap(Vm& vm, const Value& self, const Arguments& args) {
    SourceCall c = readSourceCall(vm, self, args, 4);
    if (!c.refusal.isUndefined()) return c.refusal;
    static constexpr int kShifts[4] = {16, 8, 0, 24};
    BitmapData::PaletteTables tables;
    for (size_t channel = 0; channel < 4; ++channel) {
        Object* array = args[3 + channel].asObject();
        for (uint32_t i = 0; i < 256; ++i) {
            tables[channel][i] = array ? vm.toUint32(vm.getMember(array, std::to_string(i))) : i << kShifts[channel];
        }
    }
    c.target->paletteMap(*c.source, c.rect, c.x, c.y, tables);
    return bitmap_args::code(-1);
}

bool thresholdTest(const std::string& op, BitmapData::ThresholdTest& test) {
    using T = BitmapData::ThresholdTest;
    static const std::pair<const char*, T> kOps[] = {{"<", T::Less},     {"<=", T::LessOrEqual}, {">", T::Greater},
                                                     {">=", T::GreaterOrEqual}, {"==", T::Equal}, {"!=", T::NotEqual}};
    for (const auto& [name, value] : kOps) {
        if (op == name) {
            test = value;
            return true;
        }
    }
    return false;
}

// threshold(source, rect, point, operation, threshold, color, mask, copySource): how many
// pixels passed. An unknown operation tests "<", as the original.
Value threshold(Vm& vm, const Value& self, const Arguments& args) {
    SourceCall c = readSourceCall(vm, self, args, 5);
    if (!c.refusal.isUndefined()) return c.refusal;
    BitmapData::ThresholdTest test = BitmapData::ThresholdTest::Less;
    thresholdTest(vm.toString(args[3]), test);
    const uint32_t mask = args.size() > 6 ? vm.toUint32(args[6]) : 0xffffffffu;
    const int passed = c.target->threshold(*c.source, c.rect, c.x, c.y, test, vm.toUint32(args[4]),
                                           vm.toUint32(args[5]), mask, vm.toBoolean(args[7]));
    return Value::number(passed);
}

// pixelDissolve(source, rect, point, seed, numPixels, fillColor): the seed to pass next.
Value pixelDissolve(Vm& vm, const Value& self, const Arguments& args) {
    SourceCall c = readSourceCall(vm, self, args, 5);
    if (!c.refusal.isUndefined()) return c.refusal;
    return Value::number(c.target->pixelDissolve(*c.source, c.rect, c.x, c.y, vm.toInt32(args[3]), vm.toInt32(args[4]),
                                                 vm.toUint32(args[5])));
}

}  // namespace

void defineBitmapDataSourceMethods(Vm& vm, Object* proto) {
    avm1::defineMethod(vm, proto, "copyChannel", copyChannel);
    avm1::defineMethod(vm, proto, "merge", merge);
    avm1::defineMethod(vm, proto, "paletteMap", paletteMap);
    avm1::defineMethod(vm, proto, "threshold", threshold);
    avm1::defineMethod(vm, proto, "pixelDissolve", pixelDissolve);
}

}  // namespace swf
