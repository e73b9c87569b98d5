// What a fill or stroke paints, reduced to device space: a solid colour, a gradient with its
// device-to-gradient-square transform and ramp, or a bitmap with its device-to-texel transform.
// The colour transform is already applied (to the colour, to the stops, or per texel).
#pragma once

#include <cstdint>
#include <memory>

#include "bitmap.h"
#include "gradient_ramp.h"
#include "shape.h"

namespace swf::render {

class Paint {
public:
    enum class Kind : uint8_t { None, Solid, Linear, Radial, Focal, Bitmap };

    // `smoothingAllowed` is false at Quality::Low, where bitmaps are never smoothed.
    static Paint make(const FillStyle& fill, const Matrix& toDevice, const ColorTransform& cx,
                      bool smoothingAllowed);
    static Paint solid(uint32_t premultipliedColor);

    Kind kind() const { return kind_; }
    bool drawsNothing() const { return kind_ == Kind::None; }
    // Every pixel shade() produces has alpha 255.
    bool opaque() const { return opaque_; }
    uint32_t solidColor() const { return color_; }

    // Colours of the pixels (x .. x + count - 1, y), sampled at pixel centres.
    void shade(int x, int y, int count, uint32_t* out) const;

    // Disables the specialised loops (e.g. padded linear gradients); every pixel goes through
    // the general code. For the tests that check the specialised paths against the plain one.
    void setReferenceMode(bool on) { reference_ = on; }

private:
    void shadeGradient(int x, int y, int count, uint32_t* out) const;
    template <SpreadMode spread>
    void shadeRound(int x, float rowX, float rowY, int count, uint32_t* out) const;
    void shadeBitmap(int x, int y, int count, uint32_t* out) const;

    Kind kind_ = Kind::None;
    bool opaque_ = false;
    bool reference_ = false;
    uint32_t color_ = 0;
    Matrix inverse_;  // device pixels -> gradient square or bitmap texels
    // Gradients
    std::shared_ptr<const GradientRamp> ramp_;
    SpreadMode spread_ = SpreadMode::Pad;
    float focal_ = 0;
    // Bitmaps
    std::shared_ptr<const Bitmap> bitmap_;
    bool smooth_ = false;
    bool repeat_ = false;
    bool transformTexels_ = false;
    ColorTransform cx_;
};

// Inverse of an affine matrix; false when it is singular or not finite.
bool invertMatrix(const Matrix& m, Matrix& inverse);

}  // namespace swf::render
