// Buttons under the host's pointer: hit areas, the phase machine and the looks it shows.
#include <runtime/display/button_display.h>
#include <runtime/display/hit_test.h>
#include <runtime/display/rectangle_shape.h>
#include <runtime/player.h>
#include <runtime/stage_view.h>

#include "fixtures.h"
#include "test_movie.h"

namespace {

using swf::ButtonTransition;
using testing_support::describe;
using testing_support::play;
using Transitions = std::vector<ButtonTransition>;

TEST(HitTest, FillsStrokesAndHoles) {
    swf::FillStyle fill;
    swf::Shape square = swf::rectangleShape(swf::Rect{0, 400, 0, 400}, fill);
    EXPECT_TRUE(swf::shapeContains(square, {200, 200}));
    EXPECT_FALSE(swf::shapeContains(square, {500, 200}));
    EXPECT_FALSE(swf::shapeContains(square, {200, -10}));
    // A hole: an inner square whose edges have the fill on the other side.
    swf::Shape ring = square;
    const swf::Point inner[4] = {{100, 100}, {100, 300}, {300, 300}, {300, 100}};
    for (int i = 0; i < 4; ++i) {
        swf::Edge e;
        e.from = inner[i];
        e.to = inner[(i + 1) % 4];
        e.fill0 = 1;
        ring.layers[0].edges.push_back(e);
    }
    EXPECT_FALSE(swf::shapeContains(ring, {200, 200})) << "inside the hole";
    EXPECT_TRUE(swf::shapeContains(ring, {50, 200}));
    // A stroke 40 twips wide hits within 20 twips of its line, fill or not.
    swf::Shape line;
    line.layers.emplace_back();
    line.layers[0].lines.push_back(swf::LineStyle{});
    line.layers[0].lines[0].width = 40;
    swf::Edge e;
    e.from = {0, 0};
    e.to = {1000, 0};
    e.line = 1;
    line.layers[0].edges.push_back(e);
    EXPECT_TRUE(swf::shapeContains(line, {500, 15}));
    EXPECT_FALSE(swf::shapeContains(line, {500, 30}));
    EXPECT_FALSE(swf::shapeContains(line, {1030, 0}));
}

TEST(HitTest, CanvasPixelsMapBackToTheStage) {
    const swf::Rect stage{0, 120 * 20, 0, 60 * 20};
    // ShowAll on a taller canvas: scaled by 2 and letterboxed vertically.
    const swf::Matrix toCanvas = swf::stageToCanvas(stage, 240, 200, swf::ScaleMode::ShowAll);
    const swf::Point canvas = toCanvas.apply({30 * 20, 45 * 20});
    const swf::Point back = swf::canvasToStage(stage, 240, 200, swf::ScaleMode::ShowAll, canvas);
    EXPECT_NEAR(back.x, 30, 1e-3);
    EXPECT_NEAR(back.y, 45, 1e-3);
    ASSERT_TRUE(swf::inverted(toCanvas));
    EXPECT_FALSE(swf::inverted(swf::Matrix::scale(0, 1)));
}

// buttonMovie(): button 4 at (10, 15) shows red up, green over and down, and is hit on its
// 30 px square; button 5 at (70, 15) is hit on its own 30 px square.
TEST(Buttons, PointerMovesThePhaseAndTheLook) {
    auto player = play(fixtures::buttonMovie());
    ASSERT_TRUE(player);
    swf::Clip* content = player->root().displayList().at(1)->clip();
    ASSERT_TRUE(content);
    auto* button = dynamic_cast<swf::ButtonDisplay*>(player->root().objectAt(1));
    ASSERT_TRUE(button);
    std::vector<std::pair<const swf::ButtonDisplay*, ButtonTransition>> heard;
    content->host().onButtonTransition = [&](swf::ButtonDisplay& b, ButtonTransition t) { heard.emplace_back(&b, t); };
    auto heardOnly = [&](const Transitions& expected) {
        Transitions got;
        for (auto& [b, t] : heard) {
            EXPECT_EQ(b, button);
            got.push_back(t);
        }
        heard.clear();
        return got == expected;
    };

    player->pointerAt(5, 5, false);
    EXPECT_TRUE(heardOnly({})) << "outside every hit area";
    player->pointerAt(20, 25, false);
    EXPECT_TRUE(heardOnly({ButtonTransition::IdleToOverUp}));
    EXPECT_EQ(button->look(), swf::ButtonLook::Over);
    EXPECT_EQ(describe(*content), "1:2");
    const swf::DisplayObject* green = content->objectAt(1);
    player->pointerAt(21, 25, true);
    EXPECT_TRUE(heardOnly({ButtonTransition::OverUpToOverDown}));
    EXPECT_EQ(button->look(), swf::ButtonLook::Down);
    EXPECT_EQ(content->objectAt(1), green) << "in both looks: kept";
    player->pointerAt(5, 5, true);
    EXPECT_TRUE(heardOnly({ButtonTransition::OverDownToOutDown}));
    EXPECT_EQ(button->look(), swf::ButtonLook::Over);
    player->pointerAt(5, 5, false);
    EXPECT_TRUE(heardOnly({ButtonTransition::OutDownToIdle}));
    EXPECT_EQ(describe(*content), "1:1");
    // Pressed and released over it in one step: press, then release.
    player->pointerAt(20, 25, false);
    player->pointerAt(20, 25, true);
    heard.clear();
    player->pointerAt(20, 25, false);
    EXPECT_TRUE(heardOnly({ButtonTransition::OverDownToOverUp}));
    // A press that began elsewhere does not arm it.
    player->pointerAt(5, 5, false);
    player->pointerAt(5, 5, true);
    heard.clear();
    player->pointerAt(20, 25, true);
    EXPECT_TRUE(heardOnly({}));
    EXPECT_EQ(button->phase(), swf::ButtonPhase::Idle);
}

TEST(Buttons, TheOverLookIsDrawn) {
    auto player = play(fixtures::buttonMovie());
    ASSERT_TRUE(player);
    swf::Canvas up(120, 60), over(120, 60);
    player->render(up, swf::ScaleMode::ExactFit, swf::Quality::High);
    player->pointerAt(20, 25, false);
    player->render(over, swf::ScaleMode::ExactFit, swf::Quality::High);
    const uint32_t red = swf::premultiply(fixtures::rgb(200, 0, 0)), green = swf::premultiply(fixtures::rgb(0, 200, 0));
    EXPECT_EQ(up.row(25)[20], red);
    EXPECT_EQ(over.row(25)[20], green);
    EXPECT_EQ(over.row(25)[85], up.row(25)[85]) << "the other button is not over";
}

TEST(Buttons, OnlyTheTopmostButtonUnderThePointerIsOver) {
    swfw::MovieWriter m(8, 80, 60, 12);
    m.add(fixtures::squareShape(1, 30, fixtures::rgb(200, 0, 0)));
    m.add(fixtures::squareShape(2, 60, fixtures::rgb(0, 0, 200)));
    m.add(swfw::defineButton2(3, {{1 | 8, 1, 1, swf::Matrix{}}}));
    m.add(swfw::placeObject2({1, 3, false, fixtures::at(0, 0)}));
    m.add(swfw::placeObject2({2, 3, false, fixtures::at(10, 10)}));
    m.add(swfw::placeObject2({3, 2, false, fixtures::at(0, 0)}));  // a shape above both
    m.showFrame();
    auto player = play(m.build());
    ASSERT_TRUE(player);
    auto* lower = dynamic_cast<swf::ButtonDisplay*>(player->root().objectAt(1));
    auto* upper = dynamic_cast<swf::ButtonDisplay*>(player->root().objectAt(2));
    ASSERT_TRUE(lower && upper);
    player->pointerAt(20, 20, false);
    EXPECT_EQ(upper->phase(), swf::ButtonPhase::OverUp) << "shapes above do not block buttons";
    EXPECT_EQ(lower->phase(), swf::ButtonPhase::Idle);
    player->pointerAt(5, 5, false);
    EXPECT_EQ(upper->phase(), swf::ButtonPhase::Idle);
    EXPECT_EQ(lower->phase(), swf::ButtonPhase::OverUp);
}

}  // namespace
