// One hit walk for scripts and the pointer (shapes, drawings, masks, hidden objects), setMask
// drawn and hit, hitArea, _droptarget, and the one input API reaching clips, listeners and
// buttons in the original's order.
#include <action_assembler.h>
#include <gtest/gtest.h>
#include <runtime/avm1/vm.h>
#include <runtime/clip_object.h>
#include <runtime/player.h>
#include <runtime/script_runtime.h>
#include <tags.h>

#include "fixtures.h"
#include "script_builder.h"
#include "test_movie.h"

namespace {

using namespace script;
using Lines = std::vector<std::string>;

// _root.createEmptyMovieClip(name, depth) filled with a size x size square at (x, y).
std::string drawnSquare(const std::string& name, int depth, int x, int y, int size, uint32_t color) {
    const std::string clip = var(name);
    return run(call(var("_root"), "createEmptyMovieClip", {str(name), num(depth)})) +
           run(call(clip, "beginFill", {num(color)})) + run(call(clip, "moveTo", {num(x), num(y)})) +
           run(call(clip, "lineTo", {num(x + size), num(y)})) + run(call(clip, "lineTo", {num(x + size), num(y + size)})) +
           run(call(clip, "lineTo", {num(x), num(y + size)})) + run(call(clip, "endFill", {}));
}

std::unique_ptr<swf::Player> playScript(const std::string& script, std::vector<swfw::Tag> before = {}) {
    swfw::MovieWriter m(8, 100, 100, 12);
    m.add(swfw::setBackgroundColor(fixtures::rgb(255, 255, 255)));
    for (const swfw::Tag& t : before) m.add(t);
    m.add(swfw::doAction(swfw::assemble(script)));
    m.showFrame();
    return testing_support::play(m.build());
}

swfw::Place place(uint16_t depth, uint16_t character, const swf::Matrix& m) {
    swfw::Place p;
    p.depth = depth;
    p.character = character;
    p.matrix = m;
    return p;
}

uint32_t pixelAt(const swf::Canvas& canvas, int x, int y) { return canvas.row(y)[x] & 0xffffff; }

swf::Canvas rendered(const swf::Player& player) {
    swf::Canvas canvas(100, 100);
    player.render(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
    return canvas;
}

std::string hit(const std::string& clip, int x, int y, bool shapes) {
    return trace(call(var(clip), "hitTest", {num(x), num(y), shapes ? "push true\n" : "push false\n"}));
}

TEST(ClipHitTest, DrawingsCountAndShapeFlagFollowsTheFills) {
    // A triangle (0,0) (40,0) (0,40): (30,30) is in its box but not in its fill.
    const std::string triangle = run(call(var("_root"), "createEmptyMovieClip", {str("t"), num(1)})) +
                                 run(call(var("t"), "beginFill", {num(0xff0000)})) +
                                 run(call(var("t"), "lineTo", {num(40), num(0)})) +
                                 run(call(var("t"), "lineTo", {num(0), num(40)})) + run(call(var("t"), "endFill", {}));
    auto player = playScript(triangle + hit("t", 30, 30, true) + hit("t", 30, 30, false) + hit("t", 5, 5, true) +
                             trace(member(call(var("t"), "getBounds", {var("_root")}), "xMax")) +
                             setMember(var("t"), "_visible", "push false\n") + hit("t", 5, 5, true) +
                             setMember(var("t"), "_x", num(50)) + hit("t", 5, 5, true) + hit("t", 55, 5, true));
    EXPECT_EQ(player->traces(), (Lines{"false", "true", "true", "40", "true", "false", "true"}));
}

TEST(ClipHitTest, ShapesInsideATimelineMaskCountOnlyWhereTheMaskIs) {
    // Sprite 3: a 40-px square masked by a 10-px one (clip depth 2).
    swfw::Place mask = place(1, 2, swf::Matrix{});
    mask.clipDepth = 2;
    std::vector<swfw::Tag> tags = {fixtures::squareShape(1, 40, fixtures::rgb(255, 0, 0)),
                                   fixtures::squareShape(2, 10, fixtures::rgb(0, 0, 0)),
                                   swfw::defineSprite(3, 1, {swfw::placeObject2(mask), swfw::placeObject2(place(2, 1, swf::Matrix{})),
                                                            swfw::Tag{1, {}}})};
    swfw::Place p = place(1, 3, swf::Matrix{});
    p.name = "s";
    tags.push_back(swfw::placeObject2(p));
    auto player = playScript(hit("s", 5, 5, true) + hit("s", 30, 30, true) + hit("s", 30, 30, false), tags);
    EXPECT_EQ(player->traces(), (Lines{"true", "false", "true"}));
}

TEST(ClipSetMask, ResultsFollowWhatTheArgumentNames) {
    auto player = playScript(drawnSquare("a", 1, 0, 0, 40, 0xff0000) + drawnSquare("m", 2, 0, 0, 20, 0x00ff00) +
                             trace(call(var("a"), "setMask", {var("m")})) + trace(call(var("a"), "setMask", {str("m")})) +
                             trace(call(var("a"), "setMask", {str("nothing")})) + trace(call(var("a"), "setMask", {})) +
                             trace(call(var("a"), "setMask", {object({})})) +
                             trace(call(var("a"), "setMask", {"push null\n"})));
    EXPECT_EQ(player->traces(), (Lines{"true", "true", "false", "undefined", "false", "true"}));
}

TEST(ClipSetMask, TheMaskCutsTheClipIsNotDrawnAndFollowsItsOwnMoves) {
    auto player = playScript(drawnSquare("a", 1, 0, 0, 40, 0xff0000) + drawnSquare("m", 2, 0, 0, 20, 0x00ff00) +
                             run(call(var("a"), "setMask", {var("m")})) + hit("a", 10, 10, true) + hit("a", 30, 30, true));
    EXPECT_EQ(player->traces(), (Lines{"true", "false"}));
    swf::Canvas canvas = rendered(*player);
    EXPECT_EQ(pixelAt(canvas, 10, 10), 0xff0000u);  // the mask's own green is not drawn
    EXPECT_EQ(pixelAt(canvas, 30, 30), 0xffffffu);

    // Moving the mask moves the window; the changed-area redraw sees it.
    swf::Canvas kept(100, 100);
    player->renderChanges(kept, swf::ScaleMode::ShowAll, swf::Quality::High);
    swf::avm1::Vm& vm = player->scripts().vm();
    swf::avm1::Value m = vm.getMember(player->scripts().objectFor(player->scripts().root()), "m");
    vm.setMember(m.asObject(), "_x", swf::avm1::Value::number(20));
    vm.setMember(m.asObject(), "_y", swf::avm1::Value::number(20));
    EXPECT_FALSE(player->renderChanges(kept, swf::ScaleMode::ShowAll, swf::Quality::High).empty());
    EXPECT_EQ(pixelAt(kept, 10, 10), 0xffffffu);
    EXPECT_EQ(pixelAt(kept, 30, 30), 0xff0000u);
    swf::Canvas whole = rendered(*player);
    EXPECT_EQ(std::vector<uint32_t>(kept.pixels.begin(), kept.pixels.end()),
              std::vector<uint32_t>(whole.pixels.begin(), whole.pixels.end()));

    // Removing the mask shows the whole clip again and draws the former mask.
    swf::avm1::Value none[] = {swf::avm1::Value::null()};
    vm.callMethod(vm.getMember(player->scripts().objectFor(player->scripts().root()), "a"), "setMask",
                  swf::avm1::Arguments(none, 1));
    canvas = rendered(*player);
    EXPECT_EQ(pixelAt(canvas, 10, 10), 0xff0000u);
    EXPECT_EQ(pixelAt(canvas, 30, 30), 0x00ff00u);
}

TEST(ClipPointer, AHitAreaClipTakesThePointerForItsOwner) {
    auto player = playScript(drawnSquare("a", 1, 0, 0, 20, 0xff0000) + drawnSquare("area", 2, 60, 60, 20, 0x0000ff) +
                             setMember(var("a"), "hitArea", var("area")) +
                             setMember(var("a"), "onPress", function(trace(str("a pressed")))));
    player->pointerMoved(10, 10);
    player->pointerDown();
    player->pointerUp();
    EXPECT_TRUE(player->traces().empty());
    player->pointerMoved(70, 70);
    player->pointerDown();
    EXPECT_EQ(player->traces(), Lines{"a pressed"});
}

TEST(ClipPointer, DropTargetIsTheClipUnderTheDraggedOne) {
    auto player = playScript(drawnSquare("target", 1, 50, 50, 40, 0x0000ff) + drawnSquare("d", 2, 0, 0, 10, 0xff0000) +
                             run(call(var("d"), "startDrag", {"push true\n"})) + trace(member(var("d"), "_droptarget")));
    player->pointerMoved(60, 60);
    swf::avm1::Vm& vm = player->scripts().vm();
    swf::avm1::Value d = vm.getMember(player->scripts().objectFor(player->scripts().root()), "d");
    EXPECT_EQ(vm.toString(vm.getMember(d, "_droptarget")), "/target");
    vm.callMethod(d, "stopDrag", swf::avm1::Arguments(nullptr, 0));
    player->pointerMoved(5, 5);
    EXPECT_EQ(vm.toString(vm.getMember(d, "_droptarget")), "/target");  // kept after the drag
    EXPECT_EQ(player->traces(), Lines{""});
}

// Clip events first, then the listeners, then the button under the pointer; a key reaches
// the Key listeners and the buttons' key conditions (left arrow is condition key 1).
TEST(PlayerInput, OneCallReachesClipsListenersAndButtonsInOrder) {
    constexpr uint32_t kMouseDown = 1u << 4, kKeyDown = 1u << 6;
    std::vector<swfw::Tag> tags = {fixtures::squareShape(1, 40, fixtures::rgb(255, 0, 0)),
                                   swfw::defineButton2(2, {{15, 1, 1, swf::Matrix{}}},
                                                       {{swf::kOverUpToOverDown, 0, swfw::assemble(trace(str("button press")))},
                                                        {0, 1, swfw::assemble(trace(str("button left key")))},
                                                        {0, 'x', swfw::assemble(trace(str("button x key")))}}),
                                   fixtures::squareShape(3, 5, fixtures::rgb(0, 0, 255)),
                                   swfw::defineSprite(4, 1, {swfw::placeObject2(place(1, 3, swf::Matrix{})), swfw::Tag{1, {}}}),
                                   swfw::placeObject2(place(1, 2, fixtures::at(10, 10))),
                                   swfw::placeObject2(place(2, 4, fixtures::at(80, 80)),
                                                      {{kMouseDown, swfw::assemble(trace(str("clip mouseDown")))},
                                                       {kKeyDown, swfw::assemble(trace(str("clip keyDown")))}},
                                                      8)};
    const std::string listener = run(call(var("Mouse"), "addListener", {object({{"onMouseDown", function(trace(str("listener mouseDown")))}})})) +
                                 run(call(var("Key"), "addListener", {object({{"onKeyDown", function(trace(str("listener keyDown")))}})}));
    auto player = playScript(listener, tags);
    player->pointerMoved(20, 20);
    player->pointerDown();
    EXPECT_EQ(player->traces(), (Lines{"clip mouseDown", "listener mouseDown", "button press"}));
    player->pointerUp();
    player->keyDown(37);
    player->keyUp(37);
    player->keyDown('X', 'x');
    player->keyDown('Y', 'y');
    EXPECT_EQ(Lines(player->traces().begin() + 3, player->traces().end()),
              (Lines{"clip keyDown", "listener keyDown", "button left key", "clip keyDown", "listener keyDown", "button x key",
                     "clip keyDown", "listener keyDown"}));
}

// Static text inside "mc": two bars "II", each 3.9 x 20 px, at x 20 and 40 px, y 20 to 40 px.
// `advanced`: the text has CSMTextSettings with advanced anti-aliasing.
std::vector<swfw::Tag> barText(bool advanced) {
    std::vector<swfw::FontGlyph> glyphs(1);
    glyphs[0].code = 'I';
    glyphs[0].advance = 1024;
    glyphs[0].shape.rect(0, -1024, 200, 0, 1);
    swfw::TextRecord r;
    r.font = 1;
    r.color = fixtures::rgb(0, 0, 0);
    r.x = 0;
    r.y = 400;
    r.height = 400;
    r.glyphs = {{0, 400}, {0, 400}};
    std::vector<swfw::Tag> tags{swfw::defineFont2(1, "Bars", glyphs, 1024, 0),
                                swfw::defineText(2, 1, swf::Rect{0, 800, 0, 400}, swf::Matrix{}, {r})};
    if (advanced) tags.push_back(swfw::Tag{74, {2, 0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0, 0}});
    tags.push_back(swfw::defineSprite(3, 1, {swfw::placeObject2(place(1, 2, swf::Matrix::translate(400, 400))), swfw::Tag{1, {}}}));
    swfw::Place mc = place(1, 3, swf::Matrix{});
    mc.name = "mc";
    tags.push_back(swfw::placeObject2(mc));
    return tags;
}

// With the shape flag static text is hit by its glyphs; text drawn with advanced
// anti-aliasing by its box on the stage, as without the flag.
TEST(HitTest, StaticTextIsHitByItsGlyphsUnlessAdvancedAntiAliased) {
    auto hit = [](double x, bool shapes) {
        return trace(call(var("mc"), "hitTest", {num(x), num(30), shapes ? "push true\n" : "push false\n"}));
    };
    const std::string script = hit(21, true) + hit(30, true) + hit(41, true) + hit(30, false) + hit(50, true) + hit(65, true);
    EXPECT_EQ(playScript(script, barText(false))->traces(), (Lines{"true", "false", "true", "true", "false", "false"}));
    EXPECT_EQ(playScript(script, barText(true))->traces(), (Lines{"true", "true", "true", "true", "true", "false"})) << "the box reaches 60 px";
}

// A hairline is one pixel wide on the stage however its clip is scaled: in a clip scaled 8
// times a point 3 pixels off the line misses it (half a pixel of the clip's own would reach 4).
TEST(HitTest, HairlinesReachHalfAStagePixelWhateverTheScale) {
    const std::string h = var("h");
    const std::string draw = run(call(var("_root"), "createEmptyMovieClip", {str("h"), num(1)})) +
                             run(call(h, "lineStyle", {num(0)})) + run(call(h, "moveTo", {num(0), num(2)})) +
                             run(call(h, "lineTo", {num(10), num(2)})) + setMember(h, "_xscale", num(800)) +
                             setMember(h, "_yscale", num(800));
    auto hit = [&](double y) { return trace(call(h, "hitTest", {num(40), num(y), "push true\n"})); };
    EXPECT_EQ(playScript(draw + hit(16.3) + hit(19) + hit(13) + hit(15.7))->traces(), (Lines{"true", "false", "false", "true"}));
}

}  // namespace
