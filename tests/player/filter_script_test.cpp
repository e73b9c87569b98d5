// flash.filters for scripts: the classes' conversions and clamps, clip.filters and the other
// Flash 8 clip properties drawn by the renderer, and BitmapData.applyFilter with every kind.
#include <action_assembler.h>
#include <gtest/gtest.h>
#include <runtime/player.h>
#include <tags.h>

#include "fixtures.h"
#include "script_builder.h"
#include "test_movie.h"

namespace {

using namespace script;

std::string filter(const std::string& cls, const std::vector<std::string>& args = {}) {
    return construct("flash.filters." + cls, args);
}
std::string fields(const std::string& object, const std::vector<std::string>& names) {
    std::string line = str("");
    for (const std::string& n : names) line = plus(plus(line, str(n + "=")), plus(member(object, n), str(" ")));
    return trace(line);
}

// A white 20-pixel square in sprite "kid" at (30, 30) on a black 80 x 80 stage.
std::unique_ptr<swf::Player> playFilters(const std::string& source) {
    swfw::MovieWriter m(8, 80, 80, 12);
    m.add(swfw::setBackgroundColor(fixtures::rgb(0, 0, 0)));
    m.add(fixtures::squareShape(1, 20, fixtures::rgb(255, 255, 255)));
    m.add(swfw::defineSprite(2, 1, {swfw::placeObject2({1, 1, false, swf::Matrix{}}), swfw::Tag{1, {}}}));
    swfw::Place kid{1, 2, false, fixtures::at(30, 30)};
    kid.name = "kid";
    m.add(swfw::placeObject2(kid));
    m.add(swfw::doAction(swfw::assemble(source)));
    m.showFrame();
    return testing_support::play(m.build());
}

std::vector<std::string> traces(const std::string& source) { return playFilters(source)->traces(); }

swf::Canvas frame(const swf::Player& player) {
    swf::Canvas canvas(80, 80);
    player.render(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
    return canvas;
}
uint32_t at(const swf::Canvas& c, int x, int y) { return c.row(y)[x] & 0xffffff; }

TEST(FilterClasses, SettersClampAndConvertAsTheOriginal) {
    const std::string f = set("f", filter("DropShadowFilter"));
    EXPECT_EQ(traces(f + fields(var("f"), {"distance", "angle", "color", "alpha", "blurX", "quality", "strength", "hideObject"}) +
                     setMember(var("f"), "blurX", num(256)) + setMember(var("f"), "blurY", num(-1)) +
                     setMember(var("f"), "quality", num(2.5)) + setMember(var("f"), "strength", num(300)) +
                     setMember(var("f"), "alpha", num(0.5)) + setMember(var("f"), "color", num(-0x12345678)) +
                     setMember(var("f"), "angle", num(-361)) + setMember(var("f"), "inner", "push null\n") +
                     fields(var("f"), {"blurX", "blurY", "quality", "strength", "alpha", "color", "angle", "inner"}) +
                     fields(filter("GlowFilter"), {"color", "blurX", "strength"}) +
                     fields(filter("BevelFilter", {num(1), num(2), num(3), num(0.25), num(5), num(6), num(7), num(8), num(9),
                                                   num(100), str("INNER"), num(1)}),
                            {"distance", "angle", "highlightColor", "highlightAlpha", "shadowColor", "shadowAlpha", "blurX",
                             "blurY", "strength", "quality", "type", "knockout"})),
              (std::vector<std::string>{
                  "distance=4 angle=44.9999999772279 color=0 alpha=1 blurX=4 quality=1 strength=1 hideObject=false ",
                  "blurX=255 blurY=0 quality=2 strength=255 alpha=0.498039215686275 color=13347208 angle=-1 inner=false ",
                  "color=16711680 blurX=6 strength=2 ",
                  "distance=1 angle=2 highlightColor=3 highlightAlpha=0.247058823529412 shadowColor=5 shadowAlpha=1 blurX=7 "
                  "blurY=8 strength=9 quality=15 type=full knockout=true "}));
}

// ConvolutionFilter's accessors are native table 1109 from index 1, a getter and a setter per
// property: matrixX's setter is 2, alpha (the ninth) reads through 17.
TEST(FilterClasses, ConvolutionAccessorsAreNativeTable1109) {
    auto native = [](int index) { return call(var("_global"), "ASnative", {num(1109), num(index)}); };
    EXPECT_EQ(traces(set("f", filter("ConvolutionFilter")) + setMember(var("f"), "alphaOf", native(17)) +
                     setMember(var("f"), "setMatrixX", native(2)) + setMember(var("f"), "alpha", num(0.8)) +
                     run(call(var("f"), "setMatrixX", {num(3)})) + trace(call(var("f"), "alphaOf", {})) +
                     trace(member(var("f"), "matrixX")) + trace(native(19))),
              (std::vector<std::string>{"0.8", "3", "undefined"}));
}

TEST(FilterClasses, GradientArraysFollowTheColours) {
    auto show = [](const std::string& f) {
        return trace(plus(plus(plus(member(f, "colors"), str("|")), plus(member(f, "alphas"), str("|"))), member(f, "ratios")));
    };
    EXPECT_EQ(traces(set("f", filter("GradientGlowFilter")) + setMember(var("f"), "alphas", array({num(1)})) + show(var("f")) +
                     setMember(var("f"), "colors", array({num(-0x12345678), num(10)})) + show(var("f")) +
                     setMember(var("f"), "ratios", array({num(500), num(50.5), num(100)})) + show(var("f")) +
                     setMember(var("f"), "alphas", array({num(0.5)})) + show(var("f")) +
                     setMember(var("f"), "ratios", array({num(7)})) + show(var("f")) +
                     // a string has a length: three stops again, the second with the values it had before
                     setMember(var("f"), "colors", str("ABC")) +
                     show(var("f"))),
              (std::vector<std::string>{"||", "13347208,10|0,0|0,0", "13347208,10|0,0|255,50",
                                        "13347208,10|0.501960784313725,1|255,50", "13347208|0.501960784313725|7",
                                        "0,0,0|0.501960784313725,1,0|7,50,0"}));
}

TEST(FilterClasses, MatricesAndKernels) {
    auto show = [](const std::string& f) {
        return trace(plus(plus(plus(member(f, "matrixX"), str("x")), plus(member(f, "matrixY"), str(":"))), member(f, "matrix")));
    };
    EXPECT_EQ(traces(set("c", filter("ColorMatrixFilter", {array({num(1), num(2)})})) + trace(member(var("c"), "matrix")) +
                     setMember(var("c"), "matrix", "push undefined\n") + trace(member(var("c"), "matrix")) +
                     set("k", filter("ConvolutionFilter")) + setMember(var("k"), "matrix", array({num(1), num(2), num(3)})) +
                     show(var("k")) + setMember(var("k"), "matrixX", num(2)) + setMember(var("k"), "matrixY", num(2.9)) +
                     show(var("k")) + setMember(var("k"), "matrix", str("AB")) + show(var("k")) +
                     setMember(var("k"), "matrixX", num(99)) + trace(member(var("k"), "matrixX"))),
              (std::vector<std::string>{"1,2,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN",
                                        "1,2,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN",
                                        "0x0:1,2,3", "2x2:1,2,3,0", "2x2:NaN,NaN,0,0", "15"}));
}

TEST(FilterClasses, CloneCopiesAndMapPointConvertsBeforeThrowing) {
    const std::string thrower = set("bad", object({})) + setMember(var("bad"), "valueOf", function(str("oops") + "throw\n"));
    EXPECT_EQ(traces(set("g", filter("BlurFilter", {num(3), num(5), num(2)})) + set("h", call(var("g"), "clone", {})) +
                     setMember(var("h"), "blurX", num(9)) + fields(var("g"), {"blurX", "blurY", "quality"}) +
                     trace(op(var("g"), var("h"), "equals2")) +
                     trace(call(construct("flash.filters.BitmapFilter", {}), "clone", {})) + thrower +
                     set("d", filter("DisplacementMapFilter")) + setMember(var("d"), "mapPoint", object({{"x", num(12.5)}, {"y", num(-4)}})) +
                     trace(member(var("d"), "mapPoint")) +
                     "try e\n" + setMember(var("d"), "mapPoint", object({{"x", var("bad")}, {"y", num(8)}})) +
                     "catch\n" + trace(plus(var("e"), member(var("d"), "mapPoint"))) + "end\n" +
                     setMember(var("d"), "mapPoint", object({{"x", num(1)}})) + trace(member(var("d"), "mapPoint")) +
                     setMember(var("d"), "mode", str("Color")) + trace(member(var("d"), "mode"))),
              (std::vector<std::string>{"blurX=3 blurY=5 quality=2 ", "false", "undefined", "(x=12, y=-4)",
                                        "oops(x=-2147483648, y=8)", "(x=0, y=0)", "wrap"}));
}

TEST(ClipFilters, SetFromScriptDrawnAndReadBackAsCopies) {
    auto plain = playFilters("");
    auto glowing = playFilters(setMember(var("kid"), "filters", array({num(3), filter("GlowFilter", {num(0x00ff00), num(1), num(8), num(8), num(2), num(2)})})) +
                               set("list", member(var("kid"), "filters")) + setMember(member(var("list"), "0"), "color", num(0xff)) +
                               trace(member(var("list"), "length")) +
                               trace(member(member(member(var("kid"), "filters"), "0"), "color")) +
                               trace(op(member(member(var("kid"), "filters"), "0"), member(member(var("kid"), "filters"), "0"), "equals2")) +
                               setMember(var("kid"), "filters", "push undefined\n") + trace(member(member(var("kid"), "filters"), "length")));
    // The number is left out; changing the copy changes nothing on the clip; undefined is no list.
    EXPECT_EQ(glowing->traces(), (std::vector<std::string>{"1", "65280", "false", "1"}));
    const swf::Canvas before = frame(*plain), after = frame(*glowing);
    EXPECT_EQ(at(before, 27, 40), 0u);
    // Green light left of the square, brighter nearer to it.
    EXPECT_GT(after.row(40)[27] >> 8 & 0xff, 20u);
    EXPECT_GT(after.row(40)[29] >> 8 & 0xff, after.row(40)[27] >> 8 & 0xff);
    EXPECT_EQ(after.row(40)[27] & 0xff00ff, 0u);
    EXPECT_EQ(at(after, 40, 40), 0xffffffu);                 // the square itself unchanged
    EXPECT_EQ(at(after, 5, 5), 0u);                          // beyond the glow's reach
}

TEST(ClipFilters, BlendModeOpaqueBackgroundAndScrollRect) {
    auto player = playFilters(setMember(var("kid"), "blendMode", num(10)) + trace(member(var("kid"), "blendMode")) +
                              setMember(var("kid"), "blendMode", str("difference")) + trace(member(var("kid"), "blendMode")) +
                              setMember(var("kid"), "opaqueBackground", num(0x123456)) +
                              trace(member(var("kid"), "opaqueBackground")) +
                              setMember(var("kid"), "scrollRect", construct("flash.geom.Rectangle", {num(5), num(0), num(10), num(30)})) +
                              trace(member(var("kid"), "scrollRect")) + setMember(var("kid"), "cacheAsBitmap", num(1)) +
                              trace(member(var("kid"), "cacheAsBitmap")));
    EXPECT_EQ(player->traces(), (std::vector<std::string>{"invert", "difference", "1193046", "(x=5, y=0, w=10, h=30)", "true"}));
    const swf::Canvas c = frame(*player);
    // The window shows the square's columns 5..15 at 30..40; white over black in difference is white.
    EXPECT_EQ(at(c, 35, 40), 0xffffffu);
    EXPECT_EQ(at(c, 45, 40), 0u);
    auto cleared = playFilters(setMember(var("kid"), "opaqueBackground", num(0x123456)) +
                               setMember(var("kid"), "opaqueBackground", "push null\n") +
                               setMember(var("kid"), "scrollRect", "push undefined\n") + trace(member(var("kid"), "opaqueBackground")) +
                               trace(member(var("kid"), "scrollRect")));
    EXPECT_EQ(cleared->traces(), (std::vector<std::string>{"undefined", "undefined"}));
    EXPECT_EQ(at(frame(*cleared), 45, 40), 0xffffffu);
}

TEST(ClipFilters, ScriptChangesReachTheChangedAreas) {
    auto player = playFilters(set("n", num(0)) +
                              setMember(var("kid"), "onEnterFrame",
                                        function(set("n", plus(var("n"), num(1))) +
                                                 "push \"n\"\ngetVariable\npush 2\nequals2\nnot\nif skip\n" +
                                                 setMember(var("kid"), "filters", array({filter("BlurFilter", {num(16), num(16)})})) +
                                                 "skip:\n")));
    swf::Canvas canvas(80, 80);
    player->renderChanges(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
    player->stepFrame();
    EXPECT_TRUE(player->renderChanges(canvas, swf::ScaleMode::ShowAll, swf::Quality::High).empty());
    player->stepFrame();
    const auto areas = player->renderChanges(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
    ASSERT_FALSE(areas.empty());
    swf::IntRect all = areas[0];
    for (const swf::IntRect& a : areas) all = {std::min(all.x0, a.x0), std::min(all.y0, a.y0), std::max(all.x1, a.x1), std::max(all.y1, a.y1)};
    // The blur spreads 8 pixels past the square (30..50): the area covers the spread.
    EXPECT_LE(all.x0, 23);
    EXPECT_GE(all.x1, 57);
    swf::Canvas whole(80, 80);
    player->render(whole, swf::ScaleMode::ShowAll, swf::Quality::High);
    EXPECT_EQ(canvas.pixels, whole.pixels);
}

// applyFilter with each filter object kind changes the bitmap as that filter would; a plain
// object with blur fields is still a blur. The source is a red 10-pixel square at (5, 5) on
// transparency; each line is the result at the square's centre, then at (3, 10), 2 pixels
// left of it, then at (0, 10).
TEST(BitmapDataApplyFilter, EveryKindOfFilterObject) {
    auto bitmap = [](const char* name, uint32_t fill) {
        return set(name, construct("flash.display.BitmapData", {num(20), num(20), "push true\n", num(fill)}));
    };
    const std::string setup = bitmap("src", 0) + bitmap("out", 0) + bitmap("map", 0xffff0000u) +
                              run(call(var("src"), "fillRect", {construct("flash.geom.Rectangle", {num(5), num(5), num(10), num(10)}), num(0xffff0000u)}));
    auto pixel = [](int x, int y) { return call(var("out"), "getPixel32", {num(x), num(y)}); };
    auto apply = [&](const std::string& f) {
        return run(call(var("out"), "applyFilter", {var("src"), member(var("src"), "rectangle"), construct("flash.geom.Point", {num(0), num(0)}), f})) +
               trace(plus(plus(plus(pixel(10, 10), str(" ")), plus(pixel(3, 10), str(" "))), pixel(0, 10)));
    };
    const std::string swap = array({num(0), num(0), num(1), num(0), num(0), num(0), num(1), num(0), num(0), num(0), num(1), num(0), num(0),
                                    num(0), num(0), num(0), num(0), num(0), num(1), num(0)});
    const auto lines = traces(
        setup + apply(filter("ColorMatrixFilter", {swap})) +
        apply(filter("GlowFilter", {num(0x0000ff), num(1), num(8), num(8), num(4), num(1)})) +
        apply(object({{"blurX", num(8)}, {"blurY", num(8)}})) +
        apply(filter("ConvolutionFilter", {num(1), num(1), array({num(0.5)}), num(1), num(0), "push true\n"})) +
        apply(filter("DropShadowFilter", {num(2), num(180), num(0x00ff00), num(1), num(0), num(0)})) +
        apply(filter("DisplacementMapFilter", {var("map"), construct("flash.geom.Point", {num(0), num(0)}), num(1), num(1), num(20),
                                               num(0), str("clamp")})) +
        apply(filter("GradientGlowFilter", {num(0), num(0), array({num(0xffffff), num(0x00ff00)}), array({num(0), num(1)}),
                                            array({num(0), num(255)}), num(8), num(8), num(2), num(1), str("outer")})) +
        apply(filter("BlurFilter", {num(0), num(0)})));
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "-16776961 0 0",          // red became blue; the clear outside stays clear
                         "-65536 -16776961 0",     // strong opaque blue glow where there was nothing, gone before (0, 10)
                         "-65536 1442775040 0",    // blurred: the edge spreads out
                         "-8388608 0 0",           // the kernel halves the colour
                         "-65536 -16711936 0",     // a hard green shadow 2 pixels to the left
                         "0 -65536 -65536",        // every pixel takes the one ~10 pixels right: the square moved left
                         "-65536 -1437204651 0",   // outer gradient glow: translucent green (0xaa55ff55) outside only
                         "-65536 0 0"}));          // a blur of 0 copies
}

TEST(FilterScript, ADisplacementMapReadBackKeepsItsSnapshot) {
    // kid displaced ~10 pixels by a red map; the map is then cleared: what is drawn keeps the
    // snapshot taken when the filters were set, reading the filters back gives a bitmap of it,
    // and setting them again keeps displacing as before.
    const std::string setup =
        set("map", construct("flash.display.BitmapData", {num(20), num(20), "push true\n", num(0xffff0000u)})) +
        setMember(var("kid"), "filters",
                  array({filter("DisplacementMapFilter", {var("map"), construct("flash.geom.Point", {num(0), num(0)}), num(1),
                                                          num(1), num(20), num(0), str("clamp")})})) +
        run(call(var("map"), "fillRect", {member(var("map"), "rectangle"), num(0x80808080u)}));
    const std::string readBack = member(member(member(var("kid"), "filters"), "0"), "mapBitmap");
    auto once = playFilters(setup + trace(call(readBack, "getPixel32", {num(3), num(3)})) +
                            trace(member(readBack, "width")));
    auto again = playFilters(setup + setMember(var("kid"), "filters", member(var("kid"), "filters")));
    auto plain = playFilters("");
    ASSERT_TRUE(once && again && plain);
    EXPECT_EQ(once->traces(), (std::vector<std::string>{"-65536", "20"}));
    swf::Canvas a(80, 80), b(80, 80), c(80, 80);
    once->render(a, swf::ScaleMode::ShowAll, swf::Quality::High);
    again->render(b, swf::ScaleMode::ShowAll, swf::Quality::High);
    plain->render(c, swf::ScaleMode::ShowAll, swf::Quality::High);
    EXPECT_NE(a.pixels, c.pixels) << "the map displaces";
    EXPECT_EQ(a.pixels, b.pixels) << "filters set again keep their map";
}

}  // namespace
