// The bridge between a script's filter values and the renderer's Filter, filters placed by
// the timeline as scripts read them, and the bevel's colour order in files.
#include <action_assembler.h>
#include <gtest/gtest.h>
#include <parse/filters.h>
#include <parse/reader.h>
#include <runtime/filters/script_filter.h>
#include <runtime/player.h>
#include <tags.h>

#include <cmath>

#include "fixtures.h"
#include "script_builder.h"
#include "test_movie.h"

namespace {

using swf::FilterKind;
using swf::filters::EffectSide;
using swf::filters::ScriptFilter;

constexpr double kPi = 3.14159265358979323846;

TEST(ScriptFilterBridge, OnlyShadowsAndBevelsAreOffset) {
    ScriptFilter glow = swf::filters::defaultFilter(FilterKind::Glow);
    const swf::Filter g = swf::filters::toRenderFilter(glow);
    EXPECT_EQ(g.distance, 0);  // a glow keeps the default distance of 4 for scripts, but draws centred
    EXPECT_EQ(g.color.r, 255);
    EXPECT_EQ(g.blurX, 6);
    EXPECT_EQ(g.strength, 2);
    ScriptFilter shadow = swf::filters::defaultFilter(FilterKind::DropShadow);
    shadow.angle = 90;
    shadow.distance = 1e9;
    const swf::Filter s = swf::filters::toRenderFilter(shadow);
    EXPECT_NEAR(s.angle, kPi / 2, 1e-12);
    EXPECT_EQ(s.distance, swf::kMaxFilterDistance);  // capped before the renderer sees it
}

TEST(ScriptFilterBridge, SidesMapToTheRenderersFlagsAndBack) {
    for (EffectSide side : {EffectSide::Inner, EffectSide::Outer, EffectSide::Full}) {
        ScriptFilter bevel = swf::filters::defaultFilter(FilterKind::Bevel);
        bevel.side = side;
        const swf::Filter f = swf::filters::toRenderFilter(bevel);
        EXPECT_EQ(f.inner, side == EffectSide::Inner);
        EXPECT_EQ(f.onTop, side == EffectSide::Full);
        EXPECT_EQ(swf::filters::fromRenderFilter(f).side, side);
    }
}

TEST(ScriptFilterBridge, KernelsAndGradientsUseWhatIsInForce) {
    ScriptFilter conv = swf::filters::defaultFilter(FilterKind::Convolution);
    conv.matrixX = 2;
    conv.matrixY = 2;
    conv.kernel = {1, 2, 3};  // shorter than 2 x 2: the rest is 0
    conv.color = 0x102030;
    conv.alpha = 128;
    const swf::Filter k = swf::filters::toRenderFilter(conv);
    EXPECT_EQ(k.kernel, (std::vector<float>{1, 2, 3, 0}));
    EXPECT_EQ(k.defaultColor.g, 0x20);
    EXPECT_EQ(k.defaultColor.a, 128);
    ScriptFilter grad = swf::filters::defaultFilter(FilterKind::GradientGlow);
    grad.stops[0] = {0xff0000, 255, 0};
    grad.stops[1] = {0x00ff00, 10, 200};
    grad.stops[2] = {0x0000ff, 255, 255};  // kept, but not in use
    grad.stopCount = 2;
    const swf::Filter g = swf::filters::toRenderFilter(grad);
    ASSERT_EQ(g.gradient.size(), 2u);
    EXPECT_EQ(g.gradient[1].ratio, 200);
    EXPECT_EQ(g.gradient[1].color.a, 10);
    EXPECT_EQ(swf::filters::fromRenderFilter(g).stopCount, 2u);
}

TEST(ScriptFilterBridge, DisplacementChannelsAreBitmapDataChannelNumbers) {
    ScriptFilter d = swf::filters::defaultFilter(FilterKind::DisplacementMap);
    d.componentX = 4;  // blue
    d.componentY = 3;  // no channel
    d.scaleX = d.scaleY = 10;
    d.mode = swf::DisplacementMode::Color;
    const swf::Filter f = swf::filters::toRenderFilter(d);
    EXPECT_EQ(f.componentX, 2);
    EXPECT_EQ(f.scaleX, 10);
    EXPECT_EQ(f.scaleY, 0);  // displaces nothing along y
    EXPECT_EQ(f.mode, swf::DisplacementMode::Color);
    EXPECT_EQ(swf::filters::fromRenderFilter(f).componentX, 4);
}

TEST(ScriptFilterBridge, AnglesWrapKeepingTheirSign) {
    EXPECT_EQ(swf::filters::wrapAngle(366), 6);
    EXPECT_EQ(swf::filters::wrapAngle(-361), -1);
    EXPECT_EQ(swf::filters::wrapAngle(360), 0);
}

// A bevel record as files hold it: the highlight (green) before the shadow (blue).
TEST(BevelRecord, HighlightComesFirstInFiles) {
    const std::vector<uint8_t> bytes = {1,    3,    0, 255, 0, 255, 0, 0, 255, 255,  // one bevel: green, then blue
                                        0,    0,    4, 0,   0, 0,   4, 0,          // blur 4 x 4
                                        0,    0,    0, 0,   0, 0,   2, 0,          // angle 0, distance 2
                                        0,    1,    0xb1};                       // strength 1, inner, composite, on top, 1 pass
    swf::Reader r(bytes.data(), bytes.size());
    const std::vector<swf::Filter> list = swf::readFilterList(r);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].highlight.g, 255);
    EXPECT_EQ(list[0].color.b, 255);  // the shadow
    EXPECT_TRUE(list[0].onTop);
    // The writer puts them back in the same order.
    swfw::BitWriter w;
    swfw::writeFilterList(w, list);
    EXPECT_EQ(w.take(), bytes);
}

// Filters placed by the timeline read back with the file's precision: angles from 16.16
// radians, strengths in 1/256.
TEST(TimelineFilters, ReadByScriptsAsTheFileHoldsThem) {
    swfw::MovieWriter m(8, 40, 40, 12);
    m.add(fixtures::squareShape(1, 20, fixtures::rgb(255, 255, 255)));
    m.add(swfw::defineSprite(2, 1, {swfw::placeObject2({1, 1, false, swf::Matrix{}}), swfw::Tag{1, {}}}));
    swf::Filter shadow;
    shadow.kind = FilterKind::DropShadow;
    shadow.color = fixtures::rgb(0, 0, 255, 128);
    shadow.blurX = shadow.blurY = 10;
    shadow.angle = 0.872665f;  // stored as 57191 / 65536 radians: 50.0000446492415 degrees
    shadow.distance = 10;
    shadow.strength = 1.1f;
    shadow.passes = 2;
    shadow.inner = true;
    swfw::PlaceEffects effects;
    effects.filters = {shadow};
    swfw::Place kid{1, 2, false, fixtures::at(10, 10)};
    kid.name = "kid";
    m.add(swfw::placeObject3(kid, effects));
    using namespace script;
    const std::string f = member(member(var("kid"), "filters"), "0");
    std::string line = str("");
    for (const char* n : {"angle", "strength", "color", "alpha", "quality", "inner", "hideObject", "distance"})
        line = plus(plus(line, str(std::string(n) + "=")), plus(member(f, n), str(" ")));
    m.add(swfw::doAction(swfw::assemble(trace(line) + trace(op(member(var("kid"), "filters"), str(""), "add2")))));
    m.showFrame();
    auto player = testing_support::play(m.build());
    EXPECT_EQ(player->traces(),
              (std::vector<std::string>{"angle=50.0000446492415 strength=1.09765625 color=255 alpha=0.501960784313725 quality=2 "
                                        "inner=true hideObject=false distance=10 ",
                                        "[object Object]"}));
}

}  // namespace
