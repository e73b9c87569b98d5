// The fast paths (single-fill rows, blocked and row-constant gradients, branch-free blending) against the plain general paths, on
// random scenes with every kind of paint, several fills per layer, strokes and a mask.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "test_canvas.h"
#include "test_shapes.h"

namespace swf::test {
namespace {

class SceneMaker {
public:
    // `axisAligned`: half the gradients run exactly along x or y (a ratio constant along rows).
    explicit SceneMaker(uint32_t seed, bool axisAligned = false) : rng_(seed), axisAligned_(axisAligned) {}

    float uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng_); }
    int integer(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    // Half of them opaque: opaque paint has paths of its own (filled or shaded straight in).
    Rgba color() {
        return {uint8_t(integer(0, 255)), uint8_t(integer(0, 255)), uint8_t(integer(0, 255)),
                uint8_t(integer(0, 1) ? 255 : integer(0, 255))};
    }

    FillStyle fill() {
        FillStyle f;
        switch (integer(0, 4)) {
            case 0:
                return solidFill(color());
            case 1:
            case 2:
            case 3: {
                const FillType types[] = {FillType::LinearGradient, FillType::RadialGradient, FillType::FocalGradient};
                f.type = types[integer(0, 2)];
                float s = uniform(0.001f, 0.05f), angle = uniform(0, 6.28f);
                f.gradient.matrix = {s * std::cos(angle), s * std::sin(angle), -s * std::sin(angle), s * std::cos(angle),
                                     uniform(0, 1280), uniform(0, 1280)};
                if (axisAligned_ && integer(0, 1)) {
                    const bool vertical = integer(0, 1);
                    f.gradient.matrix = {vertical ? 0 : s, vertical ? s : 0, vertical ? -s : 0, vertical ? 0 : s,
                                         uniform(0, 1280), uniform(0, 1280)};
                }
                f.gradient.spread = SpreadMode(integer(0, 2));
                f.gradient.interpolation = InterpolationMode(integer(0, 1));
                f.gradient.focalPoint = uniform(-1, 1);
                for (int i = integer(1, 5); i > 0; --i) f.gradient.records.push_back({uint8_t(integer(0, 255)), color()});
                return f;
            }
            default: {
                auto b = std::make_shared<Bitmap>(integer(1, 9), integer(1, 9));
                for (uint32_t& p : b->pixels) p = premultiply(color());
                f.type = FillType(0x40 + integer(0, 3));
                f.bitmap = b;
                float s = uniform(5, 60), angle = uniform(0, 6.28f);
                f.bitmapMatrix = {s * std::cos(angle), s * std::sin(angle), -s * std::sin(angle), s * std::cos(angle),
                                  uniform(0, 1280), uniform(0, 1280)};
                return f;
            }
        }
    }

    Point point() { return {uniform(-4, 68), uniform(-4, 68)}; }

    // A layer of up to four fills and two line styles over random straight and curved edges.
    Shape shape() {
        ShapeBuilder b;
        const int fills = integer(1, 4), lines = integer(0, 2);
        for (int i = 0; i < fills; ++i) b.fill(fill());
        for (int i = 0; i < lines; ++i) {
            LineStyle l = solidLine(uniform(0, 6), color());
            l.join = JoinStyle(integer(0, 2));
            l.startCap = l.endCap = CapStyle(integer(0, 2));
            if (integer(0, 3) == 0) {
                l.hasFill = true;
                l.fill = fill();
            }
            b.line(l);
        }
        b.nonZero(integer(0, 1) == 1);
        for (int contour = integer(1, 4); contour > 0; --contour) {
            Point start = point();
            b.moveTo(start.x, start.y);
            for (int e = integer(2, 6); e > 0; --e) {
                b.use(uint16_t(integer(0, fills)), uint16_t(integer(0, fills)), uint16_t(integer(0, lines)));
                Point p = point();
                if (integer(0, 1)) {
                    Point c = point();
                    b.curveTo(c.x, c.y, p.x, p.y);
                } else {
                    b.lineTo(p.x, p.y);
                }
            }
            b.lineTo(start.x, start.y);
        }
        return b.build();
    }

private:
    std::mt19937 rng_;
    bool axisAligned_;
};

// `stretch` widens the scene (and the canvas) so that rows run longer than the paint's blocks.
Canvas render(uint32_t seed, Quality quality, bool reference, int stretch = 1, bool axisAligned = false) {
    SceneMaker maker(seed, axisAligned);
    Canvas canvas = whiteCanvas(64 * stretch, 64);
    Renderer renderer(canvas, quality);
    renderer.setReferencePaths(reference);
    const Matrix toDevice = Matrix::scale(float(stretch), 1) * pixelsToDevice();
    const bool masked = maker.integer(0, 2) == 0;
    if (masked) {
        renderer.beginMask();
        renderer.drawShape(maker.shape(), toDevice, ColorTransform());
        renderer.endMask();
    }
    for (int i = 0; i < 4; ++i) {
        ColorTransform cx;
        if (maker.integer(0, 1)) {
            cx.rMul = int16_t(maker.integer(0, 300));
            cx.aMul = int16_t(maker.integer(0, 256));
            cx.gAdd = int16_t(maker.integer(-100, 100));
        }
        renderer.drawShape(maker.shape(), toDevice, cx);
    }
    return canvas;
}

size_t differingPixels(const Canvas& a, const Canvas& b) {
    size_t differing = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) differing += a.pixels[i] != b.pixels[i];
    return differing;
}

TEST(ReferencePaths, FastPathsGiveTheSameBytes) {
    for (Quality quality : {Quality::High, Quality::Medium, Quality::Low}) {
        for (uint32_t seed = 1; seed <= 60; ++seed) {
            EXPECT_EQ(differingPixels(render(seed, quality, false), render(seed, quality, true)), 0u)
                << "seed " << seed << " quality " << int(quality);
        }
    }
}

TEST(ReferencePaths, LongRowsAndAxisAlignedGradientsGiveTheSameBytes) {
    // Rows of up to 256 pixels span several blocks of gradient indices; gradients along x or y
    // take the constant-row and block paths.
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        EXPECT_EQ(differingPixels(render(seed, Quality::High, false, 4, true), render(seed, Quality::High, true, 4, true)), 0u)
            << "seed " << seed;
    }
}

// A crowd of small translucent radial discs (rows of every short length, most of them one
// fill) at fractional places, turned and squashed, some half off the canvas, over wide thin
// slanted wedges whose row pieces span many columns: the rasterizer's carried edges and
// middle columns and the radial ratios computed four at a time.
Canvas renderCrowd(uint32_t seed, bool reference) {
    SceneMaker maker(seed);
    Canvas canvas = whiteCanvas(160, 90);
    Renderer renderer(canvas, Quality::High);
    renderer.setReferencePaths(reference);
    for (int i = 0; i < 3; ++i) {
        const float y = maker.uniform(-10, 90), rise = maker.uniform(-2, 2);
        FillStyle wedge = solidFill(maker.color());
        renderer.drawShape(ShapeBuilder().fill(wedge).use(0, 1).polygon({{-20, y}, {180, y + rise}, {180, y + rise + maker.uniform(1, 12)}}).build(),
                           pixelsToDevice(), ColorTransform());
    }
    for (int i = 0; i < 60; ++i) {
        FillStyle disc;
        disc.type = FillType::RadialGradient;
        const float r = maker.uniform(1, 14);
        disc.gradient.matrix = Matrix::scale(r * kTwipsPerPixel / 16384, r * kTwipsPerPixel / 16384);
        disc.gradient.records = {{0, maker.color()}, {255, maker.color()}};
        const Shape shape = ShapeBuilder().fill(disc).use(0, 1).circle(0, 0, r).build();
        const float angle = maker.uniform(0, 6.28f), squash = maker.uniform(0.4f, 2.5f);
        const Matrix place = Matrix{std::cos(angle) * squash, std::sin(angle) * squash, -std::sin(angle), std::cos(angle),
                                    maker.uniform(-10, 170) * kTwipsPerPixel, maker.uniform(-10, 100) * kTwipsPerPixel};
        renderer.drawShape(shape, pixelsToDevice() * place, ColorTransform());
    }
    return canvas;
}

TEST(ReferencePaths, CrowdsOfSmallDiscsGiveTheSameBytes) {
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        EXPECT_EQ(differingPixels(renderCrowd(seed, false), renderCrowd(seed, true)), 0u) << "seed " << seed;
    }
}

TEST(ReferencePaths, RandomScenesDrawSomething) {
    // Guards the comparison above against scenes that draw nothing at all.
    size_t changed = 0;
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        Canvas c = render(seed, Quality::High, false);
        for (uint32_t p : c.pixels) changed += p != 0xffffffffu;
    }
    EXPECT_GT(changed, 10u * 64 * 64 / 4);
}

}  // namespace
}  // namespace swf::test
