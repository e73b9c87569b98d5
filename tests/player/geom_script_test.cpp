// flash.geom for scripts: Point, Rectangle, Matrix and ColorTransform arithmetic as the
// original's script classes compute it, and Transform moving and tinting a clip.
#include <action_assembler.h>
#include <gtest/gtest.h>
#include <runtime/player.h>
#include <tags.h>

#include "fixtures.h"
#include "script_builder.h"
#include "test_movie.h"

namespace {

using namespace script;

std::string geom(const std::string& cls, const std::vector<std::string>& args) { return construct("flash.geom." + cls, args); }

// A white 20-pixel square in sprite "kid" at (10, 10), itself inside sprite "outer" at (0, 0)
// scaled by `outerScale`, on a black 80 x 80 stage; the script runs in frame 1.
std::unique_ptr<swf::Player> playGeom(const std::string& source, float outerScale = 1) {
    swfw::MovieWriter m(8, 80, 80, 12);
    m.add(swfw::setBackgroundColor(fixtures::rgb(0, 0, 0)));
    m.add(fixtures::squareShape(1, 20, fixtures::rgb(255, 255, 255)));
    m.add(swfw::defineSprite(2, 1, {swfw::placeObject2({1, 1, false, swf::Matrix{}}), swfw::Tag{1, {}}}));
    swfw::Place kid{1, 2, false, fixtures::at(10, 10)};
    kid.name = "kid";
    m.add(swfw::defineSprite(3, 1, {swfw::placeObject2(kid), swfw::Tag{1, {}}}));
    swfw::Place outer{1, 3, false, swf::Matrix::scale(outerScale, outerScale)};
    outer.name = "outer";
    m.add(swfw::placeObject2(outer));
    m.add(swfw::doAction(swfw::assemble(source)));
    m.showFrame();
    return testing_support::play(m.build());
}

std::vector<std::string> traces(const std::string& source) { return playGeom(source)->traces(); }

uint32_t pixelAt(const swf::Player& player, int x, int y) {
    swf::Canvas canvas(80, 80);
    player.render(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
    return canvas.row(y)[x] & 0xffffff;
}

TEST(GeomPoint, ArithmeticKeepsWhatScriptsStored) {
    const std::string p = geom("Point", {num(3), num(4)});
    EXPECT_EQ(traces(trace(call(p, "add", {object({{"x", num(1)}, {"y", num(2)}})})) +
                     trace(call(p, "subtract", {geom("Point", {num(1), num(1)})})) + trace(member(p, "length")) +
                     trace(geom("Point", {num(1)})) + trace(geom("Point", {})) +
                     trace(call(p, "add", {object({{"x", str("a")}, {"y", num(1)}})}))),
              (std::vector<std::string>{"(x=4, y=6)", "(x=2, y=3)", "5", "(x=1, y=undefined)", "(x=0, y=0)", "(x=3a, y=5)"}));
}

TEST(GeomPoint, StaticHelpersAndNormalize) {
    const std::string a = geom("Point", {num(-100), num(-200)}), b = geom("Point", {num(100), num(200)});
    EXPECT_EQ(traces(trace(call(var("flash.geom.Point"), "interpolate", {a, b, num(0.25)})) +
                     trace(call(var("flash.geom.Point"), "distance", {a, b})) +
                     // a look-alike has no subtract: undefined, as in the original
                     trace(call(var("flash.geom.Point"), "distance", {object({{"x", num(1)}}), b})) +
                     trace(call(var("flash.geom.Point"), "polar", {num(5), math("atan", num(0.75))})) +
                     set("q", geom("Point", {num(30), num(40)})) + run(call(var("q"), "normalize", {num(-10)})) + trace(var("q")) +
                     set("n", geom("Point", {num(100), "push null\n"})) + run(call(var("n"), "normalize", {num(1)})) + trace(var("n")) +
                     trace(call(var("q"), "equals", {object({{"x", num(-6)}, {"y", num(-8)}})})) +
                     trace(call(var("q"), "equals", {call(var("q"), "clone", {})}))),
              (std::vector<std::string>{"(x=50, y=100)", "447.213595499958", "undefined", "(x=4, y=3)", "(x=-6, y=-8)",
                                        "(x=100, y=null)", "false", "true"}));
}

TEST(GeomRectangle, DerivedPropertiesMoveTheEdges) {
    const std::string setup = set("r", geom("Rectangle", {num(10), num(20), num(30), num(40)}));
    EXPECT_EQ(traces(setup + trace(member(var("r"), "right")) + trace(member(var("r"), "bottomRight")) +
                     setMember(var("r"), "left", num(0)) + trace(var("r")) + setMember(var("r"), "bottom", num(100)) +
                     trace(var("r")) + setMember(var("r"), "topLeft", geom("Point", {num(5), num(5)})) + trace(var("r")) +
                     trace(member(var("r"), "size")) + run(call(var("r"), "inflate", {num(5), num(1)})) + trace(var("r"))),
              (std::vector<std::string>{"40", "(x=40, y=60)", "(x=0, y=20, w=40, h=40)", "(x=0, y=20, w=40, h=80)",
                                        "(x=5, y=5, w=35, h=95)", "(x=35, y=95)", "(x=0, y=4, w=45, h=97)"}));
}

TEST(GeomRectangle, ContainsIntersectsAndUnites) {
    const std::string setup = set("r", geom("Rectangle", {num(0), num(0), num(10), num(10)}));
    const std::string other = geom("Rectangle", {num(5), num(5), num(10), num(10)});
    const std::string apart = geom("Rectangle", {num(20), num(0), num(5), num(5)});
    EXPECT_EQ(traces(setup + trace(call(var("r"), "contains", {num(0), num(9.5)})) +
                     trace(call(var("r"), "contains", {num(10), num(5)})) +  // the far edge is outside
                     trace(call(var("r"), "intersection", {other})) + trace(call(var("r"), "intersection", {apart})) +
                     trace(call(var("r"), "intersects", {apart})) + trace(call(var("r"), "union", {other})) +
                     trace(call(var("r"), "containsRectangle", {geom("Rectangle", {num(1), num(1), num(9), num(9)})})) +
                     trace(call(geom("Rectangle", {num(0), num(0), num(-1), num(5)}), "isEmpty", {})) +
                     trace(call(var("r"), "equals", {object({{"x", num(0)}, {"y", num(0)}, {"width", num(10)}, {"height", num(10)}})}))),
              (std::vector<std::string>{"true", "false", "(x=5, y=5, w=5, h=5)", "(x=0, y=0, w=0, h=0)", "false",
                                        "(x=0, y=0, w=15, h=15)", "true", "true", "false"}));
}

TEST(GeomRectangle, NaNComparisonsAnswerUndefinedAndCountAsEmpty) {
    const std::string r = geom("Rectangle", {num(1), num(3), num(5), num(7)});
    EXPECT_EQ(traces(trace(call(r, "contains", {num(4), math("sqrt", num(-1))})) + trace(call(r, "contains", {})) +
                     trace(call(r, "contains", {num(1), num(2)})) +
                     trace(call(geom("Rectangle", {num(1), num(2), math("sqrt", num(-1)), num(4)}), "isEmpty", {})) +
                     trace(call(r, "containsPoint", {geom("Point", {num(5.9), num(9.9)})}))),
              (std::vector<std::string>{"undefined", "undefined", "false", "true", "true"}));
}

TEST(GeomTransform, ConcatenatedColourTransformWrapsLikeTheOriginal) {
    const std::string kid = member(var("outer"), "kid");
    // -523 under a blue multiplier of 127.5 is -66682.5: wrapped to 16 bits, -1147.
    auto player = playGeom(setMember(member(var("outer"), "transform"), "colorTransform",
                                     geom("ColorTransform", {num(1), num(1), num(127.5), num(1), num(0), num(0), num(0), num(0)})) +
                           setMember(member(kid, "transform"), "colorTransform",
                                     geom("ColorTransform", {num(1), num(1), num(1), num(1), num(0), num(0), num(-523), num(0)})) +
                           trace(member(member(member(kid, "transform"), "concatenatedColorTransform"), "blueOffset")) +
                           trace(member(member(member(kid, "transform"), "concatenatedColorTransform"), "blueMultiplier")));
    EXPECT_EQ(player->traces(), (std::vector<std::string>{"-1147", "127.5"}));
}

TEST(GeomMatrix, ComposesInvertsAndTransformsPoints) {
    const std::string m = set("m", geom("Matrix", {num(2), num(3), num(5), num(7), num(9), num(11)}));
    EXPECT_EQ(traces(m + run(call(var("m"), "invert", {})) + trace(var("m")) +
                     set("s", geom("Matrix", {num(2), num(0), num(0), num(2), num(100), num(100)})) +
                     run(call(var("s"), "scale", {num(7), num(11)})) + trace(var("s")) +
                     run(call(var("s"), "translate", {num(1), num(-1)})) + trace(var("s")) +
                     set("z", geom("Matrix", {num(1), num(2), num(2), num(4), num(0), num(0)})) +
                     run(call(var("z"), "invert", {})) + trace(var("z")) +  // singular: the identity
                     set("c", geom("Matrix", {num(11), num(13), num(17), num(19), num(23), num(29)})) +
                     run(call(var("c"), "concat", {geom("Matrix", {num(1), num(2), num(3), num(4), num(5), num(6)})})) +
                     trace(var("c")) +
                     trace(call(geom("Matrix", {num(2), num(3), num(5), num(7), num(11), num(13)}), "transformPoint",
                                {geom("Point", {num(1), num(1)})})) +
                     trace(call(geom("Matrix", {num(2), num(3), num(5), num(7), num(11), num(13)}), "deltaTransformPoint",
                                {geom("Point", {num(1), num(1)})}))),
              (std::vector<std::string>{"(a=-7, b=3, c=5, d=-2, tx=8, ty=-5)", "(a=14, b=0, c=0, d=22, tx=700, ty=1100)",
                                        "(a=14, b=0, c=0, d=22, tx=701, ty=1099)", "(a=1, b=0, c=0, d=1, tx=0, ty=0)",
                                        "(a=50, b=74, c=74, d=110, tx=115, ty=168)", "(x=18, y=23)", "(x=7, y=10)"}));
}

TEST(GeomMatrix, BoxesRotationAndClones) {
    EXPECT_EQ(traces(set("m", geom("Matrix", {})) + run(call(var("m"), "createGradientBox", {num(200), num(300)})) + trace(var("m")) +
                     run(call(var("m"), "createBox", {num(2), num(3)})) + trace(var("m")) +  // no rotation: NaN
                     run(call(var("m"), "createBox", {num(2), num(3), num(0), num(4), num(5)})) + trace(var("m")) +
                     set("r", geom("Matrix", {})) + run(call(var("r"), "rotate", {math("atan", num(1e300))})) +
                     trace(math("round", member(call(var("r"), "transformPoint", {geom("Point", {num(10), num(0)})}), "y"))) +
                     set("k", call(var("m"), "clone", {})) + setMember(var("k"), "a", num(9)) + trace(member(var("m"), "a"))),
              (std::vector<std::string>{"(a=0.1220703125, b=0, c=0, d=0.18310546875, tx=100, ty=150)",
                                        "(a=NaN, b=NaN, c=NaN, d=NaN, tx=0, ty=0)", "(a=2, b=0, c=0, d=3, tx=4, ty=5)", "10", "2"}));
}

TEST(GeomColorTransform, RgbConcatAndFields) {
    const std::string ct = set("ct", geom("ColorTransform", {num(0.5), num(0.5), num(0.5), num(0.5), num(0), num(255), num(0), num(50)}));
    EXPECT_EQ(traces(ct + run(call(var("ct"), "concat", {geom("ColorTransform", {num(0.5), num(0.5), num(0.5), num(0.5), num(70),
                                                                                  num(-410), num(130), num(60)})})) +
                     trace(var("ct")) + set("c", geom("ColorTransform", {})) + setMember(var("c"), "rgb", num(0xff1900)) +
                     trace(member(var("c"), "rgb")) + trace(var("c")) + setMember(var("c"), "redOffset", num(1000.5)) +
                     trace(member(var("c"), "redOffset"))),
              (std::vector<std::string>{
                  "(redMultiplier=0.25, greenMultiplier=0.25, blueMultiplier=0.25, alphaMultiplier=0.25, redOffset=35, "
                  "greenOffset=50, blueOffset=65, alphaOffset=80)",
                  "16718080",
                  "(redMultiplier=0, greenMultiplier=0, blueMultiplier=0, alphaMultiplier=1, redOffset=255, greenOffset=25, "
                  "blueOffset=0, alphaOffset=0)",
                  "1000.5"}));
}

TEST(GeomTransform, ReadsTheClipsStateAndWritesMoveAndTintIt) {
    const std::string kid = member(var("outer"), "kid");
    auto player = playGeom(set("t", member(kid, "transform")) + trace(member(var("t"), "matrix")) +
                               trace(member(var("t"), "concatenatedMatrix")) + trace(member(var("t"), "pixelBounds")) +
                               setMember(var("t"), "matrix", geom("Matrix", {num(1), num(0), num(0), num(1), num(30.55), num(5)})) +
                               trace(member(kid, "_x")) + setMember(var("t"), "matrix", object({})) + trace(member(kid, "_x")) +
                               setMember(var("t"), "colorTransform", geom("ColorTransform", {num(0), num(1), num(0), num(1), num(0),
                                                                                             num(0), num(128), num(0)})) +
                               setMember(var("t"), "colorTransform", object({{"redMultiplier", num(1)}})) +  // not a ColorTransform
                               trace(member(member(var("t"), "colorTransform"), "blueOffset")) +
                               trace(plus(member(kid, "transform"), str(""))) +
                               trace(op(member(kid, "transform"), member(kid, "transform"), "equals2")),
                           2);
    EXPECT_EQ(player->traces(), (std::vector<std::string>{"(a=1, b=0, c=0, d=1, tx=10, ty=10)", "(a=2, b=0, c=0, d=2, tx=20, ty=20)",
                                                          "(x=20, y=20, w=40, h=40)", "30.55", "30.55", "128",
                                                          "[object Object]", "false"}));
    // Moved to (30.55, 5) inside the doubled parent: the square covers 61..101 x 10..50, tinted green and blue.
    EXPECT_EQ(pixelAt(*player, 70, 30), 0x00ff80u);
    EXPECT_EQ(pixelAt(*player, 40, 30), 0u);
}

TEST(GeomTransform, AssigningATransformCopiesAnotherClips) {
    const std::string kid = member(var("outer"), "kid");
    auto player = playGeom(setMember(var("outer"), "_x", num(40)) + setMember(kid, "transform", member(var("outer"), "transform")) +
                           trace(member(kid, "_x")) + setMember(kid, "transform", object({})) + trace(member(kid, "_x")));
    EXPECT_EQ(player->traces(), (std::vector<std::string>{"40", "40"}));
    // Left where it was, the square would cover 60..100 x 20..60; doubled and moved it lies past the stage.
    EXPECT_EQ(pixelAt(*player, 70, 40), 0u);
}

}  // namespace
