// Buttons driven by the pointer: the state machine's transitions, the states shown, hit
// testing by the hit shape, condition actions, script events, key presses and sounds.
#include <action_assembler.h>
#include <gtest/gtest.h>
#include <runtime/button_tracker.h>
#include <runtime/player.h>
#include <runtime/shape_hit_test.h>
#include <runtime/stage_view.h>
#include <sound_tags.h>
#include <tags.h>

#include "fixtures.h"
#include "script_builder.h"
#include "test_movie.h"

namespace {

using namespace script;
using Lines = std::vector<std::string>;

std::string events(const std::vector<swf::ButtonTransition>& transitions) {
    std::string out;
    for (const auto& t : transitions) out += std::string(out.empty() ? "" : " ") + t.event;
    return out;
}

TEST(ButtonTracker, PointerSequencesMakeTheOriginalsTransitions) {
    swf::ClipHost host;
    auto a = std::make_shared<swf::Clip>(host, nullptr, nullptr, 0);
    auto b = std::make_shared<swf::Clip>(host, nullptr, nullptr, 0);
    swf::ButtonTracker t;
    EXPECT_EQ(events(t.moved(nullptr)), "");
    EXPECT_EQ(events(t.moved(a)), "onRollOver");
    EXPECT_EQ(events(t.moved(a)), "");
    EXPECT_EQ(events(t.moved(b)), "onRollOut onRollOver");
    EXPECT_EQ(events(t.pressed(b)), "onPress");
    EXPECT_EQ(events(t.moved(a)), "onDragOut");  // while pressed, other buttons do not answer
    EXPECT_EQ(events(t.moved(nullptr)), "");
    EXPECT_EQ(events(t.moved(b)), "onDragOver");
    EXPECT_EQ(events(t.released(b)), "onRelease");
    EXPECT_EQ(events(t.pressed(b)), "onPress");
    auto releasedOverA = t.released(a);
    EXPECT_EQ(events(releasedOverA), "onDragOut onReleaseOutside onRollOver");
    EXPECT_EQ(releasedOverA.back().button, a);
    EXPECT_EQ(events(t.pressed(nullptr)), "onRollOut");  // pressed beside every button
    EXPECT_EQ(events(t.moved(a)), "");
    EXPECT_EQ(events(t.released(a)), "onRollOver");
}

TEST(ButtonTracker, MenuButtonsArePressedByADragOntoThem) {
    swf::ClipHost host;
    swf::ButtonCharacter menu;
    menu.trackAsMenu = true;
    auto plain = std::make_shared<swf::Clip>(host, nullptr, nullptr, 0);
    auto item1 = std::make_shared<swf::Clip>(host, nullptr, nullptr, 0);
    auto item2 = std::make_shared<swf::Clip>(host, nullptr, nullptr, 0);
    item1->startButton(menu);
    item2->startButton(menu);
    swf::ButtonTracker t;
    t.moved(plain);
    EXPECT_EQ(events(t.pressed(plain)), "onPress");
    EXPECT_EQ(events(t.moved(item1)), "onDragOut");  // the plain button stays pressed outside
    t.released(nullptr);
    EXPECT_EQ(events(t.pressed(nullptr)), "");
    auto onto = t.moved(item1);
    EXPECT_EQ(events(onto), "onDragOver");
    EXPECT_EQ(onto[0].condition, swf::kIdleToOverDown);
    auto across = t.moved(item2);
    EXPECT_EQ(events(across), "onDragOut onDragOver");
    EXPECT_EQ(across[0].condition, swf::kOverDownToIdle);
    EXPECT_EQ(across[1].button, item2);
    EXPECT_EQ(events(t.released(item2)), "onRelease");
}

TEST(ButtonTracker, PhasesShowTheRecordsStates) {
    EXPECT_EQ(swf::shownState(swf::ButtonPhase::Idle), 1);
    EXPECT_EQ(swf::shownState(swf::ButtonPhase::OverUp), 2);
    EXPECT_EQ(swf::shownState(swf::ButtonPhase::OverDown), 4);
    EXPECT_EQ(swf::shownState(swf::ButtonPhase::OutDown), 2);  // dragged out: "over", as the original
}

TEST(ShapeHitTest, FillsByTheirRuleStrokesByTheirWidth) {
    swf::Shape ring;
    swf::ShapeLayer layer;
    layer.fills.push_back(swf::FillStyle{});
    layer.lines.push_back(swf::LineStyle{});
    layer.lines[0].width = 200;
    auto edge = [&](swf::Point a, swf::Point b, uint16_t line) {
        swf::Edge e;
        e.from = a;
        e.to = b;
        e.fill1 = 1;
        e.line = line;
        layer.edges.push_back(e);
    };
    // Outer square 0..1000 and inner 300..700, both clockwise: even-odd leaves a hole.
    edge({0, 0}, {1000, 0}, 0), edge({1000, 0}, {1000, 1000}, 0), edge({1000, 1000}, {0, 1000}, 0), edge({0, 1000}, {0, 0}, 0);
    edge({300, 300}, {700, 300}, 0), edge({700, 300}, {700, 700}, 0), edge({700, 700}, {300, 700}, 0), edge({300, 700}, {300, 300}, 0);
    edge({2000, 0}, {3000, 0}, 1);  // a stroke 10 pixels wide
    ring.layers.push_back(layer);
    EXPECT_TRUE(swf::shapeContains(ring, {100, 500}));
    EXPECT_FALSE(swf::shapeContains(ring, {500, 500}));
    EXPECT_FALSE(swf::shapeContains(ring, {1100, 500}));
    EXPECT_TRUE(swf::shapeContains(ring, {2500, 90}));
    EXPECT_FALSE(swf::shapeContains(ring, {2500, 110}));
    ring.nonZeroWinding = true;
    EXPECT_TRUE(swf::shapeContains(ring, {500, 500}));
}

// Shapes: 1 red, 2 green, 3 blue (40 px), 4 a 20-px hit square. Button 5 (DefineButton2) at
// (30, 30) named "btn": up red, over green, down blue, hit only its top-left 20 pixels.
swfw::MovieWriter buttonStage() {
    swfw::MovieWriter m(8, 100, 100, 12);
    m.add(swfw::setBackgroundColor(fixtures::rgb(255, 255, 255)));
    m.add(fixtures::squareShape(1, 40, fixtures::rgb(255, 0, 0)));
    m.add(fixtures::squareShape(2, 40, fixtures::rgb(0, 255, 0)));
    m.add(fixtures::squareShape(3, 40, fixtures::rgb(0, 0, 255)));
    m.add(fixtures::squareShape(4, 20, fixtures::rgb(0, 0, 0)));
    return m;
}

swfw::ActionWriter traceLine(const std::string& s) { return swfw::assemble(trace(str(s))); }

std::unique_ptr<swf::Player> playButton(const std::string& frameScript, const swfw::Tag& buttonTag = swfw::Tag{}) {
    swfw::MovieWriter m = buttonStage();
    if (buttonTag.code) {
        m.add(buttonTag);
    } else {
        m.add(swfw::defineButton2(5, {{1, 1, 1, swf::Matrix{}}, {2, 2, 1, swf::Matrix{}}, {4, 3, 1, swf::Matrix{}}, {8, 4, 1, swf::Matrix{}}},
                                  {{swf::kIdleToOverUp, 0, traceLine("action rollOver")},
                                   {swf::kOverUpToOverDown | swf::kOutDownToOverDown, 0, traceLine("action press")},
                                   {swf::kOverDownToOverUp, 0, traceLine("action release")},
                                   {0, 'a', traceLine("action key a")}}));
    }
    swfw::Place p{1, 5, false, fixtures::at(30, 30)};
    p.name = "btn";
    m.add(swfw::placeObject2(p));
    m.add(swfw::doAction(swfw::assemble(frameScript)));
    m.showFrame();
    return testing_support::play(m.build());
}

uint32_t pixel(const swf::Player& player, int x, int y) {
    swf::Canvas canvas(100, 100);
    player.render(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
    return canvas.row(y)[x] & 0xffffff;
}

Lines takeTraces(const swf::Player& player, size_t& seen) {
    Lines out(player.traces().begin() + long(seen), player.traces().end());
    seen = player.traces().size();
    return out;
}

TEST(Buttons, PointerShowsStatesRunsActionsAndEvents) {
    const std::string handlers =
        setMember(var("btn"), "onRelease", function(trace(plus(str("onRelease "), var("this") + "typeOf\n")))) +
        setMember(var("btn"), "onRollOut", function(trace(str("onRollOut"))));
    auto player = playButton(handlers);
    size_t seen = 0;
    EXPECT_EQ(pixel(*player, 50, 50), 0xff0000u);
    player->pointerMoved(65, 65);  // over the button's pixels but outside its hit square
    EXPECT_EQ(pixel(*player, 50, 50), 0xff0000u);
    player->pointerMoved(35, 35);
    EXPECT_EQ(takeTraces(*player, seen), Lines{"action rollOver"});
    EXPECT_EQ(pixel(*player, 50, 50), 0x00ff00u);
    player->pointerDown();
    EXPECT_EQ(pixel(*player, 50, 50), 0x0000ffu);
    player->pointerUp();
    EXPECT_EQ(takeTraces(*player, seen), (Lines{"action press", "action release", "onRelease object"}));
    EXPECT_EQ(pixel(*player, 50, 50), 0x00ff00u);
    player->pointerMoved(90, 90);
    EXPECT_EQ(takeTraces(*player, seen), Lines{"onRollOut"});
    EXPECT_EQ(pixel(*player, 50, 50), 0xff0000u);
    player->keyDown('A', 'a');
    player->keyDown('B', 'b');
    EXPECT_EQ(takeTraces(*player, seen), Lines{"action key a"});
}

TEST(Buttons, DraggedOutAndReleasedOutside) {
    auto player = playButton(setMember(var("btn"), "onDragOut", function(trace(str("onDragOut")))) +
                             setMember(var("btn"), "onDragOver", function(trace(str("onDragOver")))) +
                             setMember(var("btn"), "onReleaseOutside", function(trace(str("onReleaseOutside")))));
    size_t seen = 0;
    player->pointerMoved(35, 35);
    player->pointerDown();
    player->pointerMoved(5, 5);
    EXPECT_EQ(pixel(*player, 50, 50), 0x00ff00u);  // dragged out shows "over"
    player->pointerMoved(36, 36);
    player->pointerMoved(5, 5);
    player->pointerUp();
    EXPECT_EQ(takeTraces(*player, seen),
              (Lines{"action rollOver", "action press", "onDragOut", "action press", "onDragOver", "onDragOut", "onReleaseOutside"}));
    EXPECT_EQ(pixel(*player, 50, 50), 0xff0000u);
}

TEST(Buttons, ADisabledButtonIsNotHit) {
    auto player = playButton(setMember(var("btn"), "enabled", "push false\n") + trace(member(var("btn"), "useHandCursor")) +
                             trace(call(var("btn"), "getDepth", {})));
    size_t seen = 0;
    EXPECT_EQ(takeTraces(*player, seen), (Lines{"true", "-16383"}));
    player->pointerMoved(35, 35);
    player->pointerDown();
    player->pointerUp();
    EXPECT_TRUE(takeTraces(*player, seen).empty());
    EXPECT_EQ(pixel(*player, 50, 50), 0xff0000u);
}

TEST(Buttons, AHiddenButtonIsNotHit) {
    auto player = playButton("");
    swf::Clip* button = player->root().childByName("btn");
    ASSERT_TRUE(button && button->displayObject());
    button->displayObject()->state().visible = false;
    player->pointerMoved(35, 35);
    EXPECT_TRUE(player->traces().empty());
    button->displayObject()->state().visible = true;
    player->pointerMoved(36, 36);
    EXPECT_EQ(player->traces(), Lines{"action rollOver"});
}

TEST(Buttons, DefineButtonRunsItsActionsOnRelease) {
    auto player = playButton("", swfw::defineButton(5, {{1, 1, 1, swf::Matrix{}}, {8, 4, 1, swf::Matrix{}}}, traceLine("released")));
    size_t seen = 0;
    player->pointerMoved(35, 35);
    player->pointerDown();
    EXPECT_TRUE(takeTraces(*player, seen).empty());
    player->pointerUp();
    EXPECT_EQ(takeTraces(*player, seen), Lines{"released"});
}

TEST(Buttons, StateChangesPlayTheButtonSounds) {
    swf::SoundFormat format;
    format.rateHz = 44100;
    std::vector<uint8_t> pcm(44100 * 2, 0x10);  // one second of 16-bit mono
    swf::ButtonSounds sounds;
    sounds.transitions[1].soundId = 6;  // idle to over-up
    sounds.transitions[2].soundId = 7;  // over-up to over-down
    swfw::MovieWriter m = buttonStage();
    m.add(swfw::defineSound(6, format, 44100, pcm));
    m.add(swfw::defineSound(7, format, 44100, pcm));
    m.add(swfw::defineButton2(5, {{1, 1, 1, swf::Matrix{}}, {8, 4, 1, swf::Matrix{}}}));
    m.add(swfw::defineButtonSound(5, sounds));
    m.add(swfw::placeObject2({1, 5, false, fixtures::at(30, 30)}));
    m.showFrame();
    auto player = testing_support::play(m.build());
    swf::Mixer& mixer = player->soundEngine().mixer();
    EXPECT_FALSE(mixer.isPlaying(6));
    player->pointerMoved(35, 35);
    EXPECT_TRUE(mixer.isPlaying(6));
    EXPECT_FALSE(mixer.isPlaying(7));
    player->pointerDown();
    EXPECT_TRUE(mixer.isPlaying(7));
}

// A clip with a pointer handler is a button: hit by what it draws, showing its _over and
// _down frames; a button inside it gets nothing while the clip takes the pointer.
TEST(Buttons, AClipWithPointerHandlersActsAsAButton) {
    swfw::MovieWriter m = buttonStage();
    m.add(swfw::defineButton2(5, {{1, 1, 1, swf::Matrix{}}, {8, 4, 1, swf::Matrix{}}}, {{swf::kIdleToOverUp, 0, traceLine("inner button")}}));
    swfw::Place replaceWith{1, 2, true, swf::Matrix{}};
    swfw::Place downState = replaceWith;
    downState.character = 3;
    m.add(swfw::defineSprite(6, 3,
                             {swfw::frameLabel("_up"), swfw::placeObject2({1, 1, false, swf::Matrix{}}),
                              swfw::placeObject2({2, 5, false, fixtures::at(40, 0)}), swfw::Tag{1, {}}, swfw::frameLabel("_over"),
                              swfw::placeObject2(replaceWith), swfw::Tag{1, {}}, swfw::frameLabel("_down"),
                              swfw::placeObject2(downState), swfw::Tag{1, {}}}));
    swfw::Place p{1, 6, false, fixtures::at(10, 10)};
    p.name = "clip";
    m.add(swfw::placeObject2(p));
    m.add(swfw::doAction(swfw::assemble(run(call(var("clip"), "stop", {})) +
                                        setMember(var("clip"), "onPress", function(trace(str("clip onPress")))))));
    m.showFrame();
    auto player = testing_support::play(m.build());
    size_t seen = 0;
    player->pointerMoved(55, 15);  // over the inner button, inside the clip
    EXPECT_EQ(pixel(*player, 20, 20), 0x00ff00u);
    player->pointerDown();
    EXPECT_EQ(pixel(*player, 20, 20), 0x0000ffu);
    EXPECT_EQ(takeTraces(*player, seen), Lines{"clip onPress"});
    player->pointerUp();
    player->pointerMoved(95, 95);
    EXPECT_EQ(pixel(*player, 20, 20), 0xff0000u);
    EXPECT_TRUE(takeTraces(*player, seen).empty());
}

TEST(Buttons, DamagedConditionActionsKeepWhatCameBefore) {
    swfw::Tag button = swfw::defineButton2(5, {{1, 1, 1, swf::Matrix{}}, {8, 4, 1, swf::Matrix{}}},
                                           {{swf::kIdleToOverUp, 0, traceLine("first")}, {swf::kOverUpToIdle, 0, traceLine("second")}});
    // The first record claims more bytes than the tag holds; then a tag cut inside a record.
    swfw::Tag overlong = button, cut = button;
    const size_t firstRecord = overlong.body.size() - (4 + traceLine("first").build().size()) - (4 + traceLine("second").build().size());
    overlong.body[firstRecord] = 0xff;
    overlong.body[firstRecord + 1] = 0x7f;
    cut.body.resize(cut.body.size() - 3);
    for (const swfw::Tag* tag : {&overlong, &cut}) {
        swfw::MovieWriter movie = buttonStage();
        movie.add(*tag);
        movie.add(swfw::placeObject2({1, 5, false, fixtures::at(30, 30)}));
        movie.showFrame();
        auto player = testing_support::play(movie.build());
        ASSERT_TRUE(player);
        SCOPED_TRACE(tag == &cut ? "cut" : "overlong");
        player->pointerMoved(35, 35);
        player->pointerMoved(0, 0);
        EXPECT_EQ(player->traces(), Lines{"first"});
    }
}

// A hit state that holds the button itself, or a sprite placing itself: the hit test stops
// at its nesting cap instead of recursing for ever.
TEST(Buttons, SelfNestingHitStatesAreBounded) {
    swfw::MovieWriter m = buttonStage();
    m.add(swfw::defineSprite(6, 1, {swfw::placeObject2({1, 6, false, swf::Matrix{}}), swfw::Tag{1, {}}}));
    // Sixty hit records of the button itself: 60^8 paths without a budget on the walk.
    std::vector<swfw::ButtonPart> parts = {{1, 1, 1, swf::Matrix{}}, {8, 6, 2, swf::Matrix{}}};
    for (uint16_t depth = 3; depth < 63; ++depth) parts.push_back({8, 5, depth, swf::Matrix{}});
    m.add(swfw::defineButton2(5, parts, {{swf::kIdleToOverUp, 0, traceLine("over")}}));
    m.add(swfw::placeObject2({1, 5, false, fixtures::at(30, 30)}));
    m.showFrame();
    auto player = testing_support::play(m.build());
    player->pointerMoved(35, 35);
    player->pointerDown();
    player->pointerUp();
    EXPECT_TRUE(player->traces().empty());  // nothing it can be hit by
}

TEST(Buttons, CanvasPositionsMapBackToTheStage) {
    const swf::Rect stage{0, 100 * 20, 0, 50 * 20};
    for (swf::ScaleMode mode : {swf::ScaleMode::ShowAll, swf::ScaleMode::ExactFit, swf::ScaleMode::NoBorder, swf::ScaleMode::NoScale}) {
        const swf::Matrix m = swf::stageToCanvas(stage, 300, 200, mode);
        const swf::Point canvas = m.apply({40 * 20, 10 * 20});
        const swf::Point back = swf::canvasToStage(stage, 300, 200, mode, canvas.x, canvas.y);
        EXPECT_NEAR(back.x, 40, 1e-3);
        EXPECT_NEAR(back.y, 10, 1e-3);
    }
}

TEST(Buttons, ParsedConditionActionsKeepTheirConditionsAndKeys) {
    swfw::MovieWriter m = buttonStage();
    m.add(swfw::defineButton2(5, {{1, 1, 1, swf::Matrix{}}},
                              {{swf::kOverDownToIdle | swf::kIdleToOverUp, 0, traceLine("x")}, {0, 19, traceLine("escape")}}, true));
    m.showFrame();
    auto movie = testing_support::load(m.build());
    const auto& button = testing_support::character<swf::ButtonCharacter>(*movie, 5, swf::CharacterKind::Button);
    EXPECT_TRUE(button.trackAsMenu);
    ASSERT_EQ(button.actions.size(), 2u);
    EXPECT_EQ(button.actions[0].conditions, swf::kOverDownToIdle | swf::kIdleToOverUp);
    EXPECT_EQ(button.actions[0].keyCode, 0);
    EXPECT_EQ(button.actions[1].keyCode, 19);
    EXPECT_FALSE(button.actions[1].actions->actions.empty());
}

}  // namespace
