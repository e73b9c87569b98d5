// The drawing API on clips: script calls reach the clip's drawing, which renders under the
// children, follows the clip's matrix, and counts in the changed areas of renderChanges().
#include <action_assembler.h>
#include <gtest/gtest.h>
#include <runtime/player.h>
#include <tags.h>

#include "fixtures.h"
#include "script_builder.h"
#include "test_movie.h"

namespace {

using namespace script;

constexpr uint32_t kWhite = 0xffffff, kRed = 0xff0000, kBlue = 0x0000ff, kGreen = 0x00c800;

// A 100 x 100 white stage: a green 20-pixel square at (40, 40) on depth 2, an empty sprite
// "kid" at (50, 50) on depth 1, and one frame per script.
std::vector<uint8_t> stageWith(const std::vector<std::string>& frames) {
    swfw::MovieWriter m(8, 100, 100, 12);
    m.add(swfw::setBackgroundColor(fixtures::rgb(255, 255, 255)));
    m.add(fixtures::squareShape(1, 20, fixtures::rgb(0, 200, 0)));
    m.add(swfw::defineSprite(2, 1, {swfw::Tag{1, {}}}));
    swfw::Place kid{1, 2, false, fixtures::at(50, 50)};
    kid.name = "kid";
    m.add(swfw::placeObject2(kid));
    m.add(swfw::placeObject2({2, 1, false, fixtures::at(40, 40)}));
    for (const std::string& source : frames) {
        m.add(swfw::doAction(swfw::assemble(source)));
        m.showFrame();
    }
    return m.build();
}

std::string square(const std::string& clip, double x0, double y0, double x1, double y1) {
    return run(call(var(clip), "moveTo", {num(x0), num(y0)})) + run(call(var(clip), "lineTo", {num(x1), num(y0)})) +
           run(call(var(clip), "lineTo", {num(x1), num(y1)})) + run(call(var(clip), "lineTo", {num(x0), num(y1)})) +
           run(call(var(clip), "endFill", {}));
}

swf::Canvas render(const swf::Player& player) {
    swf::Canvas canvas(player.stageWidth(), player.stageHeight());
    player.render(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
    return canvas;
}

uint32_t rgb(const swf::Canvas& c, int x, int y) { return c.row(y)[x] & 0xffffff; }

TEST(MovieClipDrawing, RootDrawingLiesUnderTheChildren) {
    auto player = testing_support::play(stageWith({run(call(var("_root"), "beginFill", {num(0xff0000)})) + square("_root", 10, 10, 90, 90)}));
    swf::Canvas c = render(*player);
    EXPECT_EQ(rgb(c, 20, 20), kRed);
    EXPECT_EQ(rgb(c, 50, 45), kGreen);  // the square on depth 2 covers the drawing
    EXPECT_EQ(rgb(c, 95, 95), kWhite);
}

TEST(MovieClipDrawing, SpriteDrawingFollowsTheSpriteAndDrawsUnderOnlyItsOwnChildren) {
    auto player = testing_support::play(stageWith({run(call(var("kid"), "beginFill", {num(0x0000ff)})) + square("kid", 0, 0, 30, 30)}));
    swf::Canvas c = render(*player);
    EXPECT_EQ(rgb(c, 75, 75), kBlue);   // local (25, 25) of the sprite at (50, 50)
    EXPECT_EQ(rgb(c, 45, 45), kGreen);  // the sprite is on depth 1, below the green square
    EXPECT_EQ(rgb(c, 55, 55), kGreen);
    EXPECT_EQ(rgb(c, 30, 30), kWhite);
}

TEST(MovieClipDrawing, LineStyleAndGradientFillReachThePixels) {
    const std::string box = object({{"matrixType", str("box")}, {"x", num(0)}, {"y", num(0)}, {"w", num(100)}, {"h", num(100)}, {"r", num(0)}});
    auto player = testing_support::play(stageWith(
        {run(call(var("_root"), "beginGradientFill", {str("linear"), array({num(0xff0000), num(0x0000ff)}), array({num(100), num(100)}),
                                                      array({num(0), num(255)}), box})) +
         square("_root", 0, 0, 100, 30) + run(call(var("_root"), "lineStyle", {num(4), num(0x000000)})) +
         run(call(var("_root"), "moveTo", {num(0), num(80)})) + run(call(var("_root"), "lineTo", {num(100), num(80)}))}));
    swf::Canvas c = render(*player);
    const uint32_t left = rgb(c, 3, 10), right = rgb(c, 96, 10);
    EXPECT_GT(left >> 16 & 0xff, 230u);
    EXPECT_LT(left & 0xff, 25u);
    EXPECT_GT(right & 0xff, 230u);
    EXPECT_LT(right >> 16 & 0xff, 25u);
    EXPECT_EQ(rgb(c, 20, 80), 0x000000u);
    EXPECT_EQ(rgb(c, 20, 84), kWhite);
}

// The old 3 x 3 form {a, b, d, e, g, h} maps a unit square: a 100-pixel box centred at (50, 50)
// is {a: 100, e: 100, g: 50, h: 50}, and must draw what the box form draws.
TEST(MovieClipDrawing, OldGradientMatrixDrawsLikeTheBoxForm) {
    auto fill = [](const std::string& matrix) {
        return run(call(var("_root"), "beginGradientFill", {str("radial"), array({num(0xffff00), num(0x0000ff)}),
                                                           array({num(100), num(100)}), array({num(0), num(255)}), matrix})) +
               square("_root", 0, 0, 100, 100);
    };
    const std::string box = object({{"matrixType", str("box")}, {"x", num(0)}, {"y", num(0)}, {"w", num(100)}, {"h", num(100)}, {"r", num(0)}});
    const std::string old = object({{"a", num(100)}, {"b", num(0)}, {"d", num(0)}, {"e", num(100)}, {"g", num(50)}, {"h", num(50)}});
    swf::Canvas viaBox = render(*testing_support::play(stageWith({fill(box)})));
    swf::Canvas viaOld = render(*testing_support::play(stageWith({fill(old)})));
    EXPECT_NE(rgb(viaBox, 50, 20), rgb(viaBox, 2, 2));  // a gradient, not one colour
    for (int y = 0; y < 100; y += 7)
        for (int x = 0; x < 40; x += 7) EXPECT_EQ(rgb(viaBox, x, y), rgb(viaOld, x, y)) << x << "," << y;
}

TEST(MovieClipDrawing, ClearAndRedrawElsewhereIsAChangedArea) {
    auto player = testing_support::play(stageWith(
        {run(call(var("_root"), "beginFill", {num(0xff0000)})) + square("_root", 5, 5, 25, 25),
         run(call(var("_root"), "clear", {})) + run(call(var("_root"), "beginFill", {num(0x0000ff)})) + square("_root", 70, 5, 95, 25)}));
    swf::Canvas kept(100, 100);
    player->renderChanges(kept, swf::ScaleMode::ShowAll, swf::Quality::High);
    EXPECT_EQ(rgb(kept, 15, 15), kRed);
    ASSERT_TRUE(player->stepFrame());
    std::vector<swf::IntRect> areas = player->renderChanges(kept, swf::ScaleMode::ShowAll, swf::Quality::High);
    ASSERT_FALSE(areas.empty());
    EXPECT_EQ(rgb(kept, 15, 15), kWhite);
    EXPECT_EQ(rgb(kept, 80, 15), kBlue);
    EXPECT_EQ(kept.pixels, render(*player).pixels);
    // Nothing changes on the next frame (the movie stops on its last): no area.
    player->stop();
    player->stepFrame();
    EXPECT_TRUE(player->renderChanges(kept, swf::ScaleMode::ShowAll, swf::Quality::High).empty());
}

// A script reading bounds right after drawing sees the new lines; renders see them once the
// frame's scripts are done.
TEST(MovieClipDrawing, ScriptsSeeTheDrawingAtOnceRendersAfterTheFrame) {
    swf::ClipHost host;
    auto clip = std::make_shared<swf::Clip>(host, nullptr, nullptr, 0);
    swf::DrawingLineStyle line;
    line.thickness = 2;
    clip->editDrawing().lineStyle(line);
    clip->editDrawing().lineTo(50, 0);
    EXPECT_TRUE(clip->drawing()->builtShape().layers.empty());
    ASSERT_TRUE(clip->drawingForScripts());
    EXPECT_GT(clip->drawingForScripts()->bounds.xMax, 50 * 20);
    const uint64_t before = clip->drawingSerial();
    swf::settleDrawings(host);
    EXPECT_NE(clip->drawingSerial(), before);  // the changed-area cache sees a new drawing
    EXPECT_GT(clip->drawing()->builtShape().bounds.xMax, 50 * 20);
}

// What duplicateMovieClip needs: the copy draws what the original drew, and draws on alone.
TEST(MovieClipDrawing, ACopiedDrawingIsTheSourcesAndThenItsOwn) {
    auto player = testing_support::play(stageWith({run(call(var("_root"), "beginFill", {num(0xff0000)})) + square("_root", 10, 10, 30, 30)}));
    swf::ClipHost host;
    auto copy = std::make_shared<swf::Clip>(host, nullptr, nullptr, 0);
    copy->copyDrawingFrom(player->root());
    swf::DrawingLineStyle line;
    line.thickness = 2;
    copy->editDrawing().lineStyle(line);
    copy->editDrawing().lineTo(90, 90);
    swf::settleDrawings(host);
    ASSERT_TRUE(copy->drawing());
    const swf::Shape& copied = copy->drawing()->builtShape();
    ASSERT_FALSE(copied.layers.empty());
    ASSERT_EQ(copied.layers[0].fills.size(), 1u);  // the red square came along
    EXPECT_EQ(copied.layers[0].fills[0].color.r, 255);
    EXPECT_LE(copied.bounds.yMin, 10 * 20);
    EXPECT_GT(copy->drawing()->builtShape().bounds.xMax, 90 * 20);  // the line's half width past its end
    EXPECT_EQ(player->root().drawing()->builtShape().bounds.xMax, 30 * 20);  // the source keeps its own
}

TEST(MovieClipDrawing, DrawingCallsWithoutArgumentsOrOnRemovedClipsAreHarmless) {
    auto player = testing_support::play(stageWith({run(call(var("_root"), "lineTo", {})) + run(call(var("_root"), "beginFill", {})) +
                                                   run(call(var("_root"), "curveTo", {num(1)})) +
                                                   run(call(var("_root"), "beginGradientFill", {str("conic")})) +
                                                   run(call(var("_root"), "lineStyle", {})) + square("_root", 10, 10, 20, 20)}));
    swf::Canvas c = render(*player);
    EXPECT_EQ(rgb(c, 15, 15), kWhite);  // no fill was begun: the square is an unstroked outline
    EXPECT_TRUE(player->scriptWarnings().empty());
}

// A filled square stroked all round, drawn back to its corner: every side has its stroke,
// the top one (the first drawn) included.
TEST(MovieClipDrawing, AStrokedSquareHasAllFourSides) {
    const std::string draw = run(call(var("_root"), "beginFill", {num(0xff0000)})) +
                             run(call(var("_root"), "lineStyle", {num(4), num(0x0000ff)})) +
                             run(call(var("_root"), "moveTo", {num(10), num(10)})) + run(call(var("_root"), "lineTo", {num(90), num(10)})) +
                             run(call(var("_root"), "lineTo", {num(90), num(90)})) + run(call(var("_root"), "lineTo", {num(10), num(90)})) +
                             run(call(var("_root"), "lineTo", {num(10), num(10)})) + run(call(var("_root"), "endFill", {}));
    swf::Canvas c = render(*testing_support::play(stageWith({draw})));
    EXPECT_EQ(rgb(c, 70, 10), kBlue);  // top
    EXPECT_EQ(rgb(c, 90, 70), kBlue);  // right
    EXPECT_EQ(rgb(c, 70, 90), kBlue);  // bottom
    EXPECT_EQ(rgb(c, 10, 70), kBlue);  // left
    EXPECT_EQ(rgb(c, 70, 20), kRed);
}

}  // namespace
