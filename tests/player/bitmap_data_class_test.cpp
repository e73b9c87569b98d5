// BitmapData as scripts see it: what `new` gives for refused sizes per version, the numbers
// methods answer for what they refuse, loadBitmap from the library, and a drawing filled
// with a BitmapData that follows the bitmap's changes.
#include <gtest/gtest.h>

#include <runtime/player.h>

#include "avm1_script_test.h"
#include "fixtures/script_builder.h"

#include <string>
#include <vector>

namespace {

using script_test::Lines;

// Assembly of `name = new flash.display.BitmapData(args...)`, the arguments as the assembler
// pushes them.
std::string newBitmap(const std::string& name, const std::vector<std::string>& args) {
    std::string pushed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) pushed += "push " + *it + "\n";
    return script::set(name, pushed + "push " + std::to_string(args.size()) + "\n" +
                                 script::member(script::var("flash"), "display") + script::str("BitmapData") + "newMethod\n");
}

TEST(BitmapDataClass, NewGivesUndefinedForSizesTheVersionRefuses) {
    const std::string src = newBitmap("a", {"2880", "1"}) + newBitmap("b", {"2881", "1"}) + newBitmap("c", {"5"}) +
                            newBitmap("d", {"8191", "1"}) + newBitmap("e", {"4096", "4096"}) + script::trace(script::var("a")) +
                            script::trace(script::var("b")) + script::trace(script::var("c")) +
                            script::trace(script::var("d")) + script::trace(script::var("e"));
    EXPECT_EQ(script_test::traces(9, src), (Lines{"[object Object]", "undefined", "undefined", "undefined", "undefined"}));
    EXPECT_EQ(script_test::traces(10, src),
              (Lines{"[object Object]", "[object Object]", "undefined", "[object Object]", "undefined"}));
}

TEST(BitmapDataClass, HitTestAnswersFalseTrueOrTheCodeOfTheBadArgument) {
    using namespace script;
    // b: 5 x 5 clear with an opaque (2, 2); o: 2 x 2 opaque.
    const std::string b = var("b"), p0 = var("p0"), p2 = var("p2"), noY = var("noY");
    const std::string src = newBitmap("b", {"5", "5", "true", "0"}) + newBitmap("o", {"2", "2", "false", "0"}) +
                            run(call(b, "setPixel32", {num(2), num(2), num(4294967295.0)})) +
                            set("p0", object({{"x", num(0)}, {"y", num(0)}})) +
                            set("p2", object({{"x", num(2)}, {"y", num(2)}})) + set("noY", object({{"x", num(0)}})) +
                            set("r", object({{"x", num(0)}, {"y", num(0)}, {"width", num(1)}, {"height", num(1)}})) +
                            trace(call(b, "hitTest", {p0, num(0), p2})) + trace(call(b, "hitTest", {p0, num(0), p0})) +
                            trace(call(b, "hitTest", {p0, num(0), var("r")})) +
                            trace(call(b, "hitTest", {p0, num(255), var("o"), p2, num(255)})) +
                            trace(call(b, "hitTest", {noY, num(0), var("o")})) + trace(call(b, "hitTest", {p0, num(0), noY})) +
                            trace(call(b, "hitTest", {p0, num(0), var("o"), noY})) + trace(call(b, "hitTest", {}));
    // A clear pixel misses a point but counts for a rectangle at threshold 0; the bitmaps
    // meet at (2, 2); then -2 (first point without y), -3 (second object neither point,
    // rectangle nor bitmap), -4 (second point given without y), -1 (no arguments).
    EXPECT_EQ(script_test::traces(8, src), (Lines{"true", "false", "true", "true", "-2", "-3", "-4", "-1"}));
}

TEST(BitmapDataClass, CompareAndSourceMethodsAnswerTheirCodes) {
    using namespace script;
    const std::string a = var("a"), b = var("b"), r = var("r"), gone = var("gone");
    const std::string src =
        newBitmap("a", {"3", "3"}) + newBitmap("b", {"3", "3"}) + newBitmap("w", {"4", "3"}) + newBitmap("h", {"3", "4"}) +
        newBitmap("gone", {"3", "3"}) + run(call(gone, "dispose", {})) +
        set("r", object({{"x", num(0)}, {"y", num(0)}, {"width", num(2)}, {"height", num(2)}})) +
        set("noWidth", object({{"x", num(0)}, {"y", num(0)}, {"height", num(2)}})) + trace(call(a, "compare", {b})) +
        trace(call(a, "compare", {gone})) + trace(call(a, "compare", {var("w")})) + trace(call(a, "compare", {var("h")})) +
        trace(call(gone, "compare", {a})) + trace(call(a, "copyChannel", {gone, r, num(2), num(1), num(0)})) +
        trace(call(a, "copyChannel", {r, r, num(2), num(1), num(0)})) +
        trace(call(a, "copyChannel", {b, var("noWidth"), num(2), num(1), num(0)})) +
        trace(call(a, "copyChannel", {b, r, num(2), num(1), num(0)}));
    // compare: 0 (same), -2 (disposed other), -3 (widths), -4 (heights), -1 (this disposed);
    // copyChannel: -3 (disposed source), -2 (a rectangle is no bitmap), -4 (no width), and
    // -1 when done, as the original.
    EXPECT_EQ(script_test::traces(8, src), (Lines{"0", "-2", "-3", "-4", "-1", "-3", "-2", "-4", "-1"}));
}

TEST(BitmapDataClass, SourceMethodsAnswerCountsSeedsOrMinusOne) {
    using namespace script;
    // a: 2 x 2 opaque black; b: 2 x 2 opaque white.
    const std::string a = var("a"), b = var("b"), r = var("r"), p = var("p");
    const std::string src =
        newBitmap("a", {"2", "2", "false", "4278190080.0"}) + newBitmap("b", {"2", "2", "false", "4294967295.0"}) +
        set("r", object({{"x", num(0)}, {"y", num(0)}, {"width", num(2)}, {"height", num(2)}})) +
        set("p", object({{"x", num(0)}, {"y", num(0)}})) +
        // An unknown operation tests "<": under mask 0xff every black pixel (blue 0) is below 128.
        trace(call(a, "threshold", {a, r, p, str("about"), num(128), num(4294901760.0), num(255)})) +
        trace(call(a, "getPixel", {num(1), num(1)})) +
        trace(call(a, "threshold", {a, r, p, str("==")})) +                   // too few: -1
        trace(call(b, "pixelDissolve", {a, r, p, num(77), num(0)})) +         // nothing asked: the seed
        trace(call(b, "pixelDissolve", {a, r, p, num(77)})) +                 // no count: -1
        trace(call(b, "merge", {a, r, p, num(256), num(256), num(256)})) +    // done: -1
        trace(call(b, "getPixel", {num(0), num(1)})) +
        trace(call(b, "merge", {a, r, p, num(0), num(0)})) +                  // too few: -1
        trace(call(b, "paletteMap", {a, r, p})) +                             // too few: -1
        trace(call(b, "paletteMap", {a, r, p, "push null\n"}));               // done: -1
    // threshold: 4 pixels pass and become red (0xff0000); merge at 256 takes the source.
    EXPECT_EQ(script_test::traces(8, src), (Lines{"4", "16711680", "-1", "77", "-1", "-1", "16711680", "-1", "-1", "-1"}));
}

// `new flash.<package>.<cls>(args...)`.
std::string newOf(const std::string& package, const std::string& cls, const std::vector<std::string>& args) {
    std::string pushed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) pushed += *it;
    return pushed + "push " + std::to_string(args.size()) + "\n" + script::member(script::var("flash"), package) +
           script::str(cls) + "newMethod\n";
}

TEST(BitmapDataClass, GenerateFilterRectWidensByTheFiltersReach) {
    using namespace script;
    const std::string b = var("b"), r = var("r");
    const std::string src =
        newBitmap("b", {"4", "4"}) + newBitmap("gone", {"4", "4"}) + run(call(var("gone"), "dispose", {})) +
        set("r", newOf("geom", "Rectangle", {num(10), num(20), num(30), num(40)})) +
        // Blur 8 x 4 in 2 passes: 4 x 2 pixels a pass on each side.
        trace(call(b, "generateFilterRect", {r, newOf("filters", "BlurFilter", {num(8), num(4), num(2)})})) +
        // A shadow 4 pixels to the right, blurred 1 pixel a side.
        trace(call(b, "generateFilterRect",
                   {r, newOf("filters", "DropShadowFilter", {num(4), num(0), num(0), num(1), num(2), num(2), num(1), num(1)})})) +
        // The same inside the object: nothing outside changes.
        trace(call(b, "generateFilterRect",
                   {r, newOf("filters", "DropShadowFilter",
                             {num(4), num(0), num(0), num(1), num(2), num(2), num(1), num(1), "push true\n"})})) +
        trace(call(b, "generateFilterRect", {r, object({{"blurX", num(8)}})})) +  // no filter
        trace(call(b, "generateFilterRect", {num(3), newOf("filters", "BlurFilter", {})})) +  // no rectangle
        trace(call(var("gone"), "generateFilterRect", {r, newOf("filters", "BlurFilter", {})}));
    EXPECT_EQ(script_test::traces(8, src), (Lines{"(x=2, y=16, w=46, h=48)", "(x=9, y=19, w=36, h=42)",
                                                 "(x=10, y=20, w=30, h=40)", "undefined", "undefined", "-1"}));
}

TEST(BitmapDataClass, DrawKeepsToItsClipRectangleWhateverTheMatrix) {
    using namespace script;
    // dest blue, src red; src drawn moved by (5, 5) but clipped to (10, 10, 20, 20) of dest.
    const std::string dest = var("dest");
    const std::string src =
        newBitmap("dest", {"50", "50", "false", "4278190335.0"}) + newBitmap("src", {"50", "50", "false", "4294901760.0"}) +
        run(call(dest, "draw",
                 {var("src"),
                  object({{"a", num(1)}, {"b", num(0)}, {"c", num(0)}, {"d", num(1)}, {"tx", num(5)}, {"ty", num(5)}}),
                  "push null\n", "push null\n",
                  object({{"x", num(10)}, {"y", num(10)}, {"width", num(20)}, {"height", num(20)}})})) +
        trace(call(dest, "getPixel", {num(10), num(10)})) + trace(call(dest, "getPixel", {num(29), num(29)})) +
        trace(call(dest, "getPixel", {num(9), num(9)})) + trace(call(dest, "getPixel", {num(30), num(30)})) +
        trace(call(dest, "draw", {var("nothing")}));
    // Red inside, blue outside (the matrix alone would have reached (5, 5) to the far
    // corner); a source that is neither bitmap nor clip answers -2.
    EXPECT_EQ(script_test::traces(8, src), (Lines{"16711680", "16711680", "255", "255", "-2"}));
}

// A movie exporting a 2 x 1 lossless bitmap (opaque red, then half-transparent green) as
// "tile", whose one frame runs `script`.
std::unique_ptr<script_test::ScriptRun> runWithTile(const std::string& script) {
    swfw::MovieWriter m(8, 100, 100, 12);
    // Format 5: ARGB words, premultiplied as the format stores them.
    const std::vector<uint8_t> raw{0xff, 0xff, 0x00, 0x00, 0x80, 0x00, 0x80, 0x00};
    m.add(swfw::defineBitsLossless(1, 2, 5, 2, 1, 0, raw));
    m.add(swfw::exportAssets({{1, "tile"}}));
    m.add(swfw::doAction(swfw::assemble(script)));
    m.showFrame();
    const std::vector<uint8_t> bytes = m.build();
    auto run = std::make_unique<script_test::ScriptRun>();
    std::string error;
    run->player = swf::Player::load(bytes.data(), bytes.size(), error, &run->host);
    if (!run->player) throw std::runtime_error(error);
    return run;
}

TEST(BitmapDataClass, LoadBitmapCopiesAnExportedLibraryBitmap) {
    using namespace script;
    const std::string bitmapClass = member(member(var("flash"), "display"), "BitmapData"), t = var("t");
    const std::string loaded = set("t", call(bitmapClass, "loadBitmap", {str("TILE")})) +
                               set("missing", call(bitmapClass, "loadBitmap", {str("nothing")})) +
                               trace(member(t, "width")) + trace(member(t, "transparent")) +
                               trace(call(t, "getPixel32", {num(0), num(0)})) + trace(call(t, "getPixel32", {num(1), num(0)})) +
                               trace(var("missing")) + trace(t + bitmapClass + "instanceOf\n");
    // By its name regardless of case; opaque red reads 0xffff0000 (-65536), the green at
    // alpha 0x80 stored as 0x80 reads 0x8000ff00 (-2147418368).
    EXPECT_EQ(runWithTile(loaded)->traces(), (Lines{"2", "true", "-65536", "-2147418368", "undefined", "true"}));
}

uint32_t pixelAt(const swf::Canvas& c, int x, int y) { return c.pixels[size_t(y) * size_t(c.width) + size_t(x)]; }

TEST(BitmapDataClass, ABitmapFillFollowsTheBitmapsChanges) {
    // b = new BitmapData(2, 2, false, 0xff0000ff); _root.beginBitmapFill(b);
    // a 20 x 20 pixel square; next frame: b.fillRect(b.rectangle, 0xff00ff00).
    using namespace script;
    const std::string root = var("_root"), b = var("b");
    auto movie = script_test::runFrames(
        8,
        {newBitmap("b", {"2", "2", "false", "4278190335.0"}) + run(call(root, "beginBitmapFill", {b})) +
             run(call(root, "moveTo", {num(0), num(0)})) + run(call(root, "lineTo", {num(20), num(0)})) +
             run(call(root, "lineTo", {num(20), num(20)})) + run(call(root, "lineTo", {num(0), num(20)})) +
             run(call(root, "endFill", {})),
         run(call(b, "fillRect", {member(b, "rectangle"), num(4278255360.0)}))},
        1);
    swf::Canvas kept(100, 100);
    movie->player->renderChanges(kept, swf::ScaleMode::ShowAll, swf::Quality::High);
    EXPECT_EQ(pixelAt(kept, 10, 10), 0xff0000ffu);
    EXPECT_EQ(pixelAt(kept, 30, 30), 0xffffffffu);  // outside the square: the white stage
    movie->player->stepFrame();
    const auto areas = movie->player->renderChanges(kept, swf::ScaleMode::ShowAll, swf::Quality::High);
    EXPECT_FALSE(areas.empty());
    EXPECT_EQ(pixelAt(kept, 10, 10), 0xff00ff00u);
}

}  // namespace
