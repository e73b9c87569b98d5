// The 256-entry colour table of a gradient: entry i is the colour at ratio i (t = i / 255).
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "shape.h"

namespace swf::render {

struct GradientRamp {
    std::array<uint32_t, 256> colors{};  // premultiplied
    bool opaque = true;                  // every entry has alpha 255
    bool empty = true;                   // no records: nothing to draw
};

// Builds the ramp from the records as stored, in file order (out-of-order ratios are walked as
// the original walks them, see the .cpp; equal ratios make a hard step), any number of them;
// the colour transform is applied to every stop, the ends are padded with the first and last
// colours, and interpolation happens on straight colour, in sRGB or in linear RGB.
GradientRamp buildGradientRamp(const Gradient& gradient, const ColorTransform& cx);

// The same ramp, kept from an earlier call with the same stops after the colour transform and
// the same interpolation: a movie draws the same gradients every frame (1,000 clips of one
// gradient disc built 1,000 ramps per frame, a tenth of the drawing time). Safe to call from
// several threads.
std::shared_ptr<const GradientRamp> cachedGradientRamp(const Gradient& gradient, const ColorTransform& cx);

}  // namespace swf::render
