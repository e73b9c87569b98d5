// BitmapData as scripts see it: what `new` gives for refused sizes per version, the numbers
// methods answer for what they refuse, loadBitmap from the library, and a drawing filled
// with a BitmapData that follows the bitmap's changes.
#include <gtest/gtest.h>

#include <runtime/player.h>

#include "avm1_script_test.h"

#include <string>
#include <vector>

namespace {

using script_test::Lines;

// Assembly of `name = new flash.display.BitmapData(args...)`, the arguments as the assembler
// writes them.
std::string newBitmap(const std::string& name, const std::vector<std::string>& args) {
    std::string pushed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) pushed += ", " + *it;
    return "push \"" + name + "\"" + pushed + ", " + std::to_string(args.size()) + R"(, "flash"
        getVariable
        push "display"
        getMember
        push "BitmapData"
        newMethod
        setVariable
)";
}

// Assembly of `trace(object.method(args...))`.
std::string traceCall(const std::string& object, const std::string& method, const std::vector<std::string>& args) {
    std::string pushed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) pushed += *it + ", ";
    return "push " + pushed + std::to_string(args.size()) + ", \"" + object + R"("
        getVariable
        push ")" + method + R"("
        callMethod
        trace
)";
}

std::string traceVariable(const std::string& name) { return "push \"" + name + "\"\ngetVariable\ntrace\n"; }

// Assembly of `name = {x: x, y: y}` (and width, height when given).
std::string object(const std::string& name, const std::vector<std::pair<std::string, std::string>>& members) {
    std::string pushed;
    for (const auto& [key, value] : members) pushed += ", \"" + key + "\", " + value;
    return "push \"" + name + "\"" + pushed + ", " + std::to_string(members.size()) + "\ninitObject\nsetVariable\n";
}

TEST(BitmapDataClass, NewGivesUndefinedForSizesTheVersionRefuses) {
    const std::string src = newBitmap("a", {"2880", "1"}) + newBitmap("b", {"2881", "1"}) + newBitmap("c", {"5"}) +
                            newBitmap("d", {"8191", "1"}) + newBitmap("e", {"4096", "4096"}) + traceVariable("a") +
                            traceVariable("b") + traceVariable("c") + traceVariable("d") + traceVariable("e");
    EXPECT_EQ(script_test::traces(9, src), (Lines{"[object Object]", "undefined", "undefined", "undefined", "undefined"}));
    EXPECT_EQ(script_test::traces(10, src),
              (Lines{"[object Object]", "[object Object]", "undefined", "[object Object]", "undefined"}));
}

TEST(BitmapDataClass, HitTestAnswersFalseTrueOrTheCodeOfTheBadArgument) {
    // b: 5 x 5 clear with an opaque (2, 2); o: 2 x 2 opaque.
    const std::string calls = newBitmap("b", {"5", "5", "true", "0"}) + newBitmap("o", {"2", "2", "false", "0"}) + R"(
        push 4294967295.0, 2, 2, 3, "b"
        getVariable
        push "setPixel32"
        callMethod
        pop
)" + object("p0", {{"x", "0"}, {"y", "0"}}) +
                              object("p2", {{"x", "2"}, {"y", "2"}}) + object("noY", {{"x", "0"}}) +
                              object("r", {{"x", "0"}, {"y", "0"}, {"width", "1"}, {"height", "1"}}) + R"(
        push "p2"
        getVariable
        push 0, "p0"
        getVariable
        push 3, "b"
        getVariable
        push "hitTest"
        callMethod
        trace
        push "p0"
        getVariable
        push 0, "p0"
        getVariable
        push 3, "b"
        getVariable
        push "hitTest"
        callMethod
        trace
        push "r"
        getVariable
        push 0, "p0"
        getVariable
        push 3, "b"
        getVariable
        push "hitTest"
        callMethod
        trace
        push 255, "p2"
        getVariable
        push "o"
        getVariable
        push 255, "p0"
        getVariable
        push 5, "b"
        getVariable
        push "hitTest"
        callMethod
        trace
        push "o"
        getVariable
        push 0, "noY"
        getVariable
        push 3, "b"
        getVariable
        push "hitTest"
        callMethod
        trace
        push "noY"
        getVariable
        push 0, "p0"
        getVariable
        push 3, "b"
        getVariable
        push "hitTest"
        callMethod
        trace
        push "noY"
        getVariable
        push "o"
        getVariable
        push 0, "p0"
        getVariable
        push 4, "b"
        getVariable
        push "hitTest"
        callMethod
        trace
        push 0, "b"
        getVariable
        push "hitTest"
        callMethod
        trace
    )";
    // A clear pixel misses a point but counts for a rectangle at threshold 0; the bitmaps
    // meet at (2, 2); then -2 (first point without y), -3 (second object neither point,
    // rectangle nor bitmap), -4 (second point given without y), -1 (no arguments).
    EXPECT_EQ(script_test::traces(8, calls), (Lines{"true", "false", "true", "true", "-2", "-3", "-4", "-1"}));
}

TEST(BitmapDataClass, CompareAndSourceMethodsAnswerTheirCodes) {
    const std::string calls = newBitmap("a", {"3", "3"}) + newBitmap("b", {"3", "3"}) + newBitmap("w", {"4", "3"}) +
                              newBitmap("h", {"3", "4"}) + newBitmap("gone", {"3", "3"}) + R"(
        push 0, "gone"
        getVariable
        push "dispose"
        callMethod
        pop
)" + object("r", {{"x", "0"}, {"y", "0"}, {"width", "2"}, {"height", "2"}}) +
                              object("noWidth", {{"x", "0"}, {"y", "0"}, {"height", "2"}}) + R"(
        push "b"
        getVariable
        push 1, "a"
        getVariable
        push "compare"
        callMethod
        trace
        push "gone"
        getVariable
        push 1, "a"
        getVariable
        push "compare"
        callMethod
        trace
        push "w"
        getVariable
        push 1, "a"
        getVariable
        push "compare"
        callMethod
        trace
        push "h"
        getVariable
        push 1, "a"
        getVariable
        push "compare"
        callMethod
        trace
        push "a"
        getVariable
        push 1, "gone"
        getVariable
        push "compare"
        callMethod
        trace
        push 0, 1, 2, "r"
        getVariable
        push "gone"
        getVariable
        push 5, "a"
        getVariable
        push "copyChannel"
        callMethod
        trace
        push 0, 1, 2, "r"
        getVariable
        push "r"
        getVariable
        push 5, "a"
        getVariable
        push "copyChannel"
        callMethod
        trace
        push 0, 1, 2, "r"
        getVariable
        push "noWidth"
        getVariable
        push "b"
        getVariable
        push 5, "a"
        getVariable
        push "copyChannel"
        callMethod
        trace
        push 0, 1, 2, "r"
        getVariable
        push "r"
        getVariable
        push "b"
        getVariable
        push 5, "a"
        getVariable
        push "copyChannel"
        callMethod
        trace
    )";
    // compare: 0 (same), -2 (disposed other), -3 (widths), -4 (heights), -1 (this disposed);
    // copyChannel: -3 (disposed source), -2 (a rectangle is no bitmap), -4 (no width), and
    // -1 when done, as the original.
    EXPECT_EQ(script_test::traces(8, calls), (Lines{"0", "-2", "-3", "-4", "-1", "-3", "-2", "-4", "-1"}));
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
    const std::string loaded = R"(
        push "t", "TILE", 1, "flash"
        getVariable
        push "display"
        getMember
        push "BitmapData"
        getMember
        push "loadBitmap"
        callMethod
        setVariable
        push "missing", "nothing", 1, "flash"
        getVariable
        push "display"
        getMember
        push "BitmapData"
        getMember
        push "loadBitmap"
        callMethod
        setVariable
        push "t"
        getVariable
        push "width"
        getMember
        trace
        push "t"
        getVariable
        push "transparent"
        getMember
        trace
)" + traceCall("t", "getPixel32", {"0", "0"}) +
                               traceCall("t", "getPixel32", {"1", "0"}) + traceVariable("missing") + R"(
        push "t"
        getVariable
        push "flash"
        getVariable
        push "display"
        getMember
        push "BitmapData"
        getMember
        instanceOf
        trace
)";
    // By its name regardless of case; opaque red reads 0xffff0000 (-65536), the green at
    // alpha 0x80 stored as 0x80 reads 0x8000ff00 (-2147418368).
    EXPECT_EQ(runWithTile(loaded)->traces(), (Lines{"2", "true", "-65536", "-2147418368", "undefined", "true"}));
}

uint32_t pixelAt(const swf::Canvas& c, int x, int y) { return c.pixels[size_t(y) * size_t(c.width) + size_t(x)]; }

TEST(BitmapDataClass, ABitmapFillFollowsTheBitmapsChanges) {
    // b = new BitmapData(2, 2, false, 0xff0000ff); _root.beginBitmapFill(b);
    // a 20 x 20 pixel square; next frame: b.fillRect(b.rectangle, 0xff00ff00).
    auto run = script_test::runFrames(8, {newBitmap("b", {"2", "2", "false", "4278190335.0"}) + R"(
        push "b"
        getVariable
        push 1, "_root"
        getVariable
        push "beginBitmapFill"
        callMethod
        pop
        push 0, 0, 2, "_root"
        getVariable
        push "moveTo"
        callMethod
        pop
        push 0, 20, 2, "_root"
        getVariable
        push "lineTo"
        callMethod
        pop
        push 20, 20, 2, "_root"
        getVariable
        push "lineTo"
        callMethod
        pop
        push 20, 0, 2, "_root"
        getVariable
        push "lineTo"
        callMethod
        pop
        push 0, "_root"
        getVariable
        push "endFill"
        callMethod
        pop
    )", R"(
        push 4278255360.0, "b"
        getVariable
        push "rectangle"
        getMember
        push 2, "b"
        getVariable
        push "fillRect"
        callMethod
        pop
    )"}, 1);
    swf::Canvas kept(100, 100);
    run->player->renderChanges(kept, swf::ScaleMode::ShowAll, swf::Quality::High);
    EXPECT_EQ(pixelAt(kept, 10, 10), 0xff0000ffu);
    EXPECT_EQ(pixelAt(kept, 30, 30), 0xffffffffu);  // outside the square: the white stage
    run->player->stepFrame();
    const auto areas = run->player->renderChanges(kept, swf::ScaleMode::ShowAll, swf::Quality::High);
    EXPECT_FALSE(areas.empty());
    EXPECT_EQ(pixelAt(kept, 10, 10), 0xff00ff00u);
}

}  // namespace
