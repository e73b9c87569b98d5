// Color: script access to a clip's colour transform, read back by script and seen in pixels.
#include <action_assembler.h>
#include <gtest/gtest.h>
#include <runtime/player.h>
#include <tags.h>

#include "fixtures.h"
#include "script_builder.h"
#include "test_movie.h"

namespace {

using namespace script;

// A white 20-pixel square inside sprite "kid" at (10, 10) on a black 40 x 40 stage.
std::unique_ptr<swf::Player> playColorScript(const std::string& source) {
    swfw::MovieWriter m(8, 40, 40, 12);
    m.add(swfw::setBackgroundColor(fixtures::rgb(0, 0, 0)));
    m.add(fixtures::squareShape(1, 20, fixtures::rgb(255, 255, 255)));
    m.add(swfw::defineSprite(2, 1, {swfw::placeObject2({1, 1, false, swf::Matrix{}}), swfw::Tag{1, {}}}));
    swfw::Place kid{1, 2, false, fixtures::at(10, 10)};
    kid.name = "kid";
    m.add(swfw::placeObject2(kid));
    m.add(swfw::doAction(swfw::assemble(source)));
    m.showFrame();
    return testing_support::play(m.build());
}

uint32_t centre(const swf::Player& player) {
    swf::Canvas canvas(40, 40);
    player.render(canvas, swf::ScaleMode::ShowAll, swf::Quality::High);
    return canvas.row(20)[20] & 0xffffff;
}

std::string transformLine(const std::string& t) {
    std::string line = str("");
    for (const char* field : {"ra", "rb", "ga", "gb", "ba", "bb", "aa", "ab"})
        line = plus(plus(line, str(std::string(field) + "=")), plus(member(t, field), str(" ")));
    return trace(line);
}

TEST(ColorObject, SetRgbTintsTheClipAndReadsBack) {
    auto player = playColorScript(set("c", construct("Color", {var("kid")})) + run(call(var("c"), "setRGB", {num(0x336699)})) +
                                  trace(call(var("c"), "getRGB", {})) + transformLine(call(var("c"), "getTransform", {})) +
                                  trace(member(var("c"), "target")));
    EXPECT_EQ(centre(*player), 0x336699u);
    EXPECT_EQ(player->traces(), (std::vector<std::string>{"3368601", "ra=0 rb=51 ga=0 gb=102 ba=0 bb=153 aa=100 ab=0 ", "_level0.kid"}));
}

TEST(ColorObject, SetTransformChangesOnlyTheObjectsOwnFieldsWrappingLikeIntegers) {
    auto player = playColorScript(setMember(member(var("Object"), "prototype"), "ab", num(-66)) +
                                  set("c", construct("Color", {str("kid")})) +
                                  run(call(var("c"), "setTransform",
                                           {object({{"ra", num(50)}, {"bb", num(-300)}, {"ga", num(1e6)}, {"gb", str("Infinity")}})})) +
                                  transformLine(call(var("c"), "getTransform", {})));
    // 1e6 % is 2560000 / 256, which wraps to 4096 / 256; the inherited `ab` is not the object's.
    EXPECT_EQ(player->traces(), (std::vector<std::string>{"ra=50 rb=0 ga=1600 gb=0 ba=100 bb=-300 aa=100 ab=0 "}));
    // Red halved, green 16 times over, blue pushed to nothing.
    const uint32_t pixel = centre(*player);
    EXPECT_NEAR(double(pixel >> 16 & 0xff), 127.5, 1);
    EXPECT_EQ(pixel & 0xffff, 0xff00u);
}

TEST(ColorObject, NegativeOffsetsPackAsANegativeRgb) {
    auto player = playColorScript(set("c", construct("Color", {var("kid")})) +
                                  run(call(var("c"), "setTransform", {object({{"rb", num(-50)}, {"gb", num(-25)}, {"bb", num(25)}})})) +
                                  trace(call(var("c"), "getRGB", {})));
    EXPECT_EQ(player->traces(), (std::vector<std::string>{"-6375"}));
}

TEST(ColorObject, WithoutATargetNothingHappens) {
    auto player = playColorScript(set("c", construct("Color", {})) + run(call(var("c"), "setRGB", {num(0xff0000)})) +
                                  trace(call(var("c"), "getRGB", {})) + trace(call(var("c"), "getTransform", {})) +
                                  set("d", construct("Color", {str("nothing.here")})) + trace(call(var("d"), "getRGB", {})));
    EXPECT_EQ(player->traces(), (std::vector<std::string>{"undefined", "undefined", "undefined"}));
    EXPECT_EQ(centre(*player), 0xffffffu);
}

}  // namespace
