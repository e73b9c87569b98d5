#include "gradient_ramp.h"

#include <algorithm>
#include <cmath>
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

}  // namespace

GradientRamp buildGradientRamp(const Gradient& gradient, const ColorTransform& cx) {
    GradientRamp ramp;
    if (gradient.records.empty()) return ramp;
    ramp.empty = false;

    std::vector<GradientRecord> stops(gradient.records);
    std::stable_sort(stops.begin(), stops.end(),
                     [](const GradientRecord& a, const GradientRecord& b) { return a.ratio < b.ratio; });
    for (GradientRecord& stop : stops) stop.color = cx.apply(stop.color);

    const bool linearRgb = gradient.interpolation == InterpolationMode::LinearRgb;
    const auto& toLinear = linearTables().toLinear;
    size_t next = 0;  // first stop with ratio > i
    for (int i = 0; i < 256; ++i) {
        while (next < stops.size() && stops[next].ratio <= i) ++next;
        Rgba c;
        if (next == 0) {
            c = stops.front().color;
        } else if (next == stops.size()) {
            c = stops.back().color;
        } else {
            const GradientRecord& a = stops[next - 1];
            const GradientRecord& b = stops[next];
            float f = float(i - a.ratio) / float(b.ratio - a.ratio);
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

}  // namespace swf::render
