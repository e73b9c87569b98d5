// Blend modes and offscreen layers: formulas checked on pixels whose result follows by hand from
// the definitions, the row loops against the per-pixel reference on random pixels, and layers
// composited through the renderer (clip, nesting, the pool).
#include <gtest/gtest.h>

#include <random>

#include "blend_modes.h"
#include "pixel_math.h"
#include "geometry.h"
#include "test_canvas.h"
#include "test_shapes.h"

namespace swf::test {
namespace {

using render::blendPixel;
using render::blendRow;

constexpr BlendMode kAllModes[] = {BlendMode::Normal,   BlendMode::Layer,    BlendMode::Multiply,   BlendMode::Screen,
                                   BlendMode::Lighten,  BlendMode::Darken,   BlendMode::Difference, BlendMode::Add,
                                   BlendMode::Subtract, BlendMode::Invert,   BlendMode::Alpha,      BlendMode::Erase,
                                   BlendMode::Overlay,  BlendMode::HardLight};

uint32_t opaque(uint8_t r, uint8_t g, uint8_t b) { return premultiply({r, g, b, 255}); }

TEST(BlendModes, OpaquePixelsFollowTheDefinitions) {
    const uint32_t src = opaque(200, 100, 0), dst = opaque(100, 200, 255);
    EXPECT_EQ(blendPixel(BlendMode::Normal, src, dst), src);
    EXPECT_EQ(blendPixel(BlendMode::Multiply, src, dst), opaque(78, 78, 0));   // 200*100/255, 100*200/255
    EXPECT_EQ(blendPixel(BlendMode::Screen, src, dst), opaque(222, 222, 255)); // 300 - 78
    EXPECT_EQ(blendPixel(BlendMode::Lighten, src, dst), opaque(200, 200, 255));
    EXPECT_EQ(blendPixel(BlendMode::Darken, src, dst), opaque(100, 100, 0));
    EXPECT_EQ(blendPixel(BlendMode::Difference, src, dst), opaque(100, 100, 255));
    EXPECT_EQ(blendPixel(BlendMode::Add, src, dst), opaque(255, 255, 255));
    EXPECT_EQ(blendPixel(BlendMode::Subtract, src, dst), opaque(0, 100, 255));
    EXPECT_EQ(blendPixel(BlendMode::Invert, src, dst), opaque(155, 55, 0));
    // Overlay picks by the background: 100 is dark (2 s d), 200 and 255 light (screen-like).
    // 2 x 200 x 100 / 255; 255 - 2 x 55 x 155 / 255; 255.
    EXPECT_EQ(blendPixel(BlendMode::Overlay, src, dst), opaque(157, 188, 255));
    EXPECT_EQ(blendPixel(BlendMode::Overlay, opaque(128, 128, 128), opaque(0, 255, 64)), opaque(0, 255, 64));
    EXPECT_EQ(blendPixel(BlendMode::HardLight, opaque(0, 255, 64), opaque(128, 128, 128)), opaque(0, 255, 64));
    // The background keeps what the layer leaves uncovered, and loses what it covers.
    EXPECT_EQ(blendPixel(BlendMode::Alpha, premultiply({0, 0, 0, 51}), dst), premultiply({100, 200, 255, 51}));
    EXPECT_EQ(blendPixel(BlendMode::Erase, src, dst), 0u);
    EXPECT_EQ(blendPixel(BlendMode::Erase, 0, dst), dst);
}

TEST(BlendModes, PixelsTheLayerDidNotDrawLeaveTheBackground) {
    // Alpha and erase included: they act under the object's shape only.
    const uint32_t dst = premultiply({10, 120, 230, 200});
    for (BlendMode mode : kAllModes) EXPECT_EQ(blendPixel(mode, 0, dst), dst) << int(mode);
    // Drawn, however faintly: alpha mode keeps that little of the background.
    EXPECT_LE(blendPixel(BlendMode::Alpha, render::packPixel(1, 0, 0, 0), dst) >> 24, 1u);
}

TEST(BlendModes, OverTransparentBackgroundTheLayerShowsAsItIs) {
    // Every mode that paints reduces to the source where nothing lies beneath.
    const uint32_t src = premultiply({90, 180, 30, 160});
    for (BlendMode mode : {BlendMode::Normal, BlendMode::Multiply, BlendMode::Screen, BlendMode::Lighten,
                           BlendMode::Darken, BlendMode::Difference, BlendMode::Add, BlendMode::Overlay,
                           BlendMode::HardLight}) {
        EXPECT_EQ(blendPixel(mode, src, 0), src) << int(mode);
    }
}

TEST(BlendModes, ResultsStayPremultipliedAndRowsMatchTheReference) {
    std::mt19937 rng(7);
    auto randomPixel = [&] {
        uint32_t a = rng() % 4 == 0 ? 255 : rng() % 256;
        if (rng() % 8 == 0) return 0u;
        auto c = [&] { return a ? uint32_t(rng() % (a + 1)) : 0u; };
        return render::packPixel(a, c(), c(), c());
    };
    std::vector<uint32_t> src(4096), dst(4096);
    for (BlendMode mode : kAllModes) {
        for (size_t i = 0; i < src.size(); ++i) {
            src[i] = randomPixel();
            dst[i] = randomPixel();
        }
        std::vector<uint32_t> row = dst;
        blendRow(mode, src.data(), row.data(), int(row.size()));
        for (size_t i = 0; i < src.size(); ++i) {
            const uint32_t expected = blendPixel(mode, src[i], dst[i]);
            ASSERT_EQ(row[i], expected) << "mode " << int(mode) << " pixel " << i;
            const uint32_t a = expected >> 24;
            ASSERT_LE((expected >> 16) & 255, a);
            ASSERT_LE((expected >> 8) & 255, a);
            ASSERT_LE(expected & 255, a);
        }
    }
}

TEST(Layers, NormalLayerDrawsLikeDrawingDirectly) {
    const Shape a = rectShape(2, 2, 30, 20, solidFill({200, 40, 40, 160}));
    Canvas direct = whiteCanvas(48, 36), layered = whiteCanvas(48, 36);
    {
        Renderer r(direct, Quality::High);
        r.drawShape(a, pixelsToDevice(), {});
    }
    Renderer r(layered, Quality::High);
    r.beginLayer({0, 0, 48, 36});
    r.drawShape(a, pixelsToDevice(), {});
    r.endLayer(BlendMode::Normal);
    EXPECT_EQ(direct.pixels, layered.pixels);
}

TEST(Layers, MultiplyAppliesToTheGroupAndOnlyInsideTheClip) {
    Canvas canvas = whiteCanvas(40, 20);
    Renderer r(canvas, Quality::High);
    r.drawShape(rectShape(0, 0, 20, 20, solidFill({0, 0, 255, 255})), pixelsToDevice(), {});
    r.setClipRect({0, 0, 30, 20});
    r.beginLayer(r.clipRect());
    r.drawShape(rectShape(0, 0, 40, 20, solidFill({255, 255, 0, 255})), pixelsToDevice(), {});
    r.endLayer(BlendMode::Multiply);
    EXPECT_EQ(pixel(canvas, 5, 5), (Rgba{0, 0, 0, 255}));       // yellow x blue
    EXPECT_EQ(pixel(canvas, 25, 5), (Rgba{255, 255, 0, 255}));   // yellow x white
    EXPECT_EQ(pixel(canvas, 35, 5), kWhite);                     // outside the clip: untouched
    EXPECT_EQ(r.clipRect().x1, 30);                              // the clip is restored
}

TEST(Layers, EraseInsideANestedLayerCutsTheGroupNotTheStage) {
    Canvas canvas = whiteCanvas(30, 10);
    Renderer r(canvas, Quality::High);
    r.beginLayer({0, 0, 30, 10});
    r.drawShape(rectShape(0, 0, 20, 10, solidFill({255, 0, 0, 255})), pixelsToDevice(), {});
    r.beginLayer({0, 0, 30, 10});
    r.drawShape(rectShape(10, 0, 30, 10, solidFill({0, 0, 0, 255})), pixelsToDevice(), {});
    r.endLayer(BlendMode::Erase);
    r.endLayer(BlendMode::Layer);
    EXPECT_EQ(pixel(canvas, 5, 5), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(pixel(canvas, 15, 5), kWhite);  // the red was erased from the group, the stage stays
    EXPECT_EQ(pixel(canvas, 25, 5), kWhite);
}

TEST(Layers, TooDeepNestingDrawsStraightThrough) {
    Canvas canvas = whiteCanvas(8, 8);
    Renderer r(canvas, Quality::High);
    for (int i = 0; i < Renderer::kMaxLayers + 3; ++i) r.beginLayer({0, 0, 8, 8});
    r.drawShape(rectShape(0, 0, 8, 8, solidFill({0, 255, 0, 255})), pixelsToDevice(), {});
    for (int i = 0; i < Renderer::kMaxLayers + 3; ++i) r.endLayer(BlendMode::Normal);
    r.endLayer(BlendMode::Normal);  // one too many: ignored
    EXPECT_EQ(pixel(canvas, 4, 4), (Rgba{0, 255, 0, 255}));
}

// A masked, blurred group of two layers over a red square: layer canvases, mask planes and
// filter planes all in use, their stale contents visible if a renderer read them.
void drawMaskedBlurredGroup(Renderer& r, int w, int h) {
    r.drawShape(rectShape(4, 4, 24, 24, solidFill({255, 0, 0, 255})), pixelsToDevice(), {});
    r.beginMask();
    r.drawShape(ShapeBuilder().fill(solidFill({})).use(0, 1).circle(float(w) / 2, float(h) / 2, float(h) / 3).build(),
                pixelsToDevice(), {});
    r.endMask();
    Filter blur;
    blur.blurX = blur.blurY = 5;
    r.beginLayer({0, 0, w, h});
    r.drawShape(rectShape(10, 6, float(w) - 8, float(h) - 6, solidFill({0, 90, 255, 200})), pixelsToDevice(), {});
    r.beginLayer({0, 0, w, h});
    r.drawShape(rectShape(0, 0, float(w) / 2, float(h), solidFill({0, 0, 0, 255})), pixelsToDevice(), {});
    r.endLayer(BlendMode::Erase);
    r.endLayer(BlendMode::Layer, {blur});
    r.popMask();
}

TEST(Layers, ScratchKeptBetweenRenderersDrawsAsFreshScratch) {
    RendererScratchPool pool;
    const std::pair<int, int> sizes[] = {{60, 40}, {60, 40}, {90, 30}, {60, 40}};
    for (const auto& [w, h] : sizes) {
        Canvas fresh = whiteCanvas(w, h), kept = whiteCanvas(w, h);
        {
            Renderer r(fresh, Quality::High);
            drawMaskedBlurredGroup(r, w, h);
        }
        {
            Renderer r(kept, Quality::High, &pool);
            drawMaskedBlurredGroup(r, w, h);
        }
        ASSERT_EQ(fresh.pixels, kept.pixels) << w << " x " << h;
        // One that ends with a mask in force and a layer open gives its scratch back as well.
        Renderer r(kept, Quality::High, &pool);
        r.beginMask();
        r.drawShape(rectShape(0, 0, 5, 5, solidFill({})), pixelsToDevice(), {});
        r.endMask();
        r.beginLayer({0, 0, w, h});
    }
    EXPECT_EQ(pool.setsKept(), 1u);
    Canvas canvas = whiteCanvas(8, 8);
    {
        Renderer a(canvas, Quality::High, &pool), b(canvas, Quality::High, &pool);
        EXPECT_EQ(pool.setsKept(), 0u) << "renderers alive at once take a set each";
    }
    EXPECT_EQ(pool.setsKept(), 2u);
}

}  // namespace
}  // namespace swf::test
