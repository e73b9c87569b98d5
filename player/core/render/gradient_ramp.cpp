#include "gradient_ramp.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

namespace swf::render {

namespace {

float srgbToLinear(float c) {
    return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
}

float linearToSrgb(float c) {
    return c <= 0.0031308f ? c * 12.92f : 1.055f * std::pow(c, 1 / 2.4f) - 0.055f;
}

struct LinearTables {
    std::array<float, 256> toLinear{};
    LinearTables() {
        for (int i = 0; i < 256; ++i) toLinear[size_t(i)] = srgbToLinear(float(i) / 255);
    }
};

const LinearTables& linearTables() {
    static const LinearTables tables;
    return tables;
}

uint8_t toByte(float v) { return uint8_t(std::clamp(v, 0.0f, 255.0f) + 0.5f); }

std::vector<GradientRecord> transformedStops(const Gradient& gradient, const ColorTransform& cx) {
    std::vector<GradientRecord> stops(gradient.records);
    for (GradientRecord& stop : stops) stop.color = cx.apply(stop.color);
    return stops;
}

GradientRamp rampFromStops(const std::vector<GradientRecord>& stops, InterpolationMode interpolation) {
    GradientRamp ramp;
    if (stops.empty()) return ramp;
    ramp.empty = false;

    // Records are used in file order, never sorted: the walk along the ramp stays on a record
    // until its ratio is reached and only then moves on to the next one in the file. A record
    // whose ratio lies behind the walk is passed at once (it only serves as the start of the
    // next blend); equal ratios make a hard step; a first record at 255 paints everything.
    // So red 0, green 128, blue 255, cyan 128 runs red-green-blue and never shows cyan, and
    // red 0, green 128, cyan 50, blue 255 blends cyan (from ratio 50) to blue after 128.
    const bool linearRgb = interpolation == InterpolationMode::LinearRgb;
    const auto& toLinear = linearTables().toLinear;
    size_t current = 0;  // the record the walk is heading for
    for (int i = 0; i < 256; ++i) {
        while (current < stops.size() && i > stops[current].ratio) ++current;
        Rgba c;
        if (current == 0) {
            c = stops.front().color;
        } else if (current == stops.size()) {
            c = stops.back().color;
        } else {
            const GradientRecord& a = stops[current - 1];
            const GradientRecord& b = stops[current];
            float f = b.ratio > a.ratio ? std::clamp(float(i - a.ratio) / float(b.ratio - a.ratio), 0.0f, 1.0f) : 1.0f;
            auto mix = [f](float x, float y) { return x + (y - x) * f; };
            if (linearRgb) {
                auto channel = [&](uint8_t x, uint8_t y) {
                    return toByte(255 * linearToSrgb(mix(toLinear[x], toLinear[y])));
                };
                c = {channel(a.color.r, b.color.r), channel(a.color.g, b.color.g),
                     channel(a.color.b, b.color.b), toByte(mix(a.color.a, b.color.a))};
            } else {
                c = {toByte(mix(a.color.r, b.color.r)), toByte(mix(a.color.g, b.color.g)),
                     toByte(mix(a.color.b, b.color.b)), toByte(mix(a.color.a, b.color.a))};
            }
        }
        ramp.colors[size_t(i)] = premultiply(c);
        if (c.a != 255) ramp.opaque = false;
    }
    return ramp;
}

// Ramps by their transformed stops: a small table indexed by a hash of the key, each slot
// holding the last ramp that hashed there.
class RampCache {
public:
    std::shared_ptr<const GradientRamp> find(const std::vector<GradientRecord>& stops, InterpolationMode interpolation) {
        // Longer lists than the format's 15 records come only from scripts; they are built each time.
        if (stops.size() > kMaxCachedStops) return std::make_shared<GradientRamp>(rampFromStops(stops, interpolation));
        Slot& slot = slots_[hashOf(stops, interpolation) % slots_.size()];
        std::lock_guard<std::mutex> lock(mutex_);
        if (!slot.ramp || slot.interpolation != interpolation || !sameStops(slot.stops, stops)) {
            slot.ramp = std::make_shared<GradientRamp>(rampFromStops(stops, interpolation));
            slot.stops = stops;
            slot.interpolation = interpolation;
        }
        return slot.ramp;
    }

private:
    static constexpr size_t kMaxCachedStops = 16;

    struct Slot {
        std::vector<GradientRecord> stops;
        InterpolationMode interpolation = InterpolationMode::Normal;
        std::shared_ptr<const GradientRamp> ramp;
    };

    static uint64_t hashOf(const std::vector<GradientRecord>& stops, InterpolationMode interpolation) {
        uint64_t h = 1469598103934665603ull ^ uint64_t(interpolation);
        for (const GradientRecord& s : stops) {
            const uint64_t v = uint64_t(s.ratio) << 32 | uint64_t(s.color.r) << 24 | uint64_t(s.color.g) << 16 |
                               uint64_t(s.color.b) << 8 | s.color.a;
            h = (h ^ v) * 1099511628211ull;
        }
        return h ^ (h >> 29);
    }

    static bool sameStops(const std::vector<GradientRecord>& a, const std::vector<GradientRecord>& b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i].ratio != b[i].ratio || !(a[i].color == b[i].color)) return false;
        return true;
    }

    std::mutex mutex_;
    std::array<Slot, 64> slots_;
};

}  // namespace

GradientRamp buildGradientRamp(const Gradient& gradient, const ColorTransform& cx) {
    return rampFromStops(transformedStops(gradient, cx), gradient.interpolation);
}

std::shared_ptr<const GradientRamp> cachedGradientRamp(const Gradient& gradient, const ColorTransform& cx) {
    static RampCache cache;
    return cache.find(transformedStops(gradient, cx), gradient.interpolation);
}

}  // namespace swf::render
