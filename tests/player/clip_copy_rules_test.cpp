// duplicateMovieClip of objects that are no clips (text fields: a new field of the same
// definition with the original's transform and colour only), fields that embed a face no
// movie has, and the names setProperty gives.
#include <action_assembler.h>
#include <freetype_font_provider.h>
#include <gtest/gtest.h>
#include <runtime/player.h>
#include <tags.h>

#include "script_builder.h"
#include "test_movie.h"

namespace {

using namespace script;
using Lines = std::vector<std::string>;

// The CloneSprite action: duplicateMovieClip(target, name, depth) as a movie compiles it.
std::string cloneSprite(const std::string& target, const std::string& name, int depth) {
    return target + str(name) + num(depth + 16384) + "cloneSprite\n";
}

// A timeline field "t" (defined 50 x 20 px, "Hi", no border) at (10, 20), then one frame.
// `deviceFonts`: the host's faces for fields without embedded outlines.
std::unique_ptr<swf::Player> playWithField(const std::string& script, int version = 8, bool deviceFonts = false) {
    swfw::MovieWriter m(version, 200, 200, 12);
    swfw::EditText e;
    e.bounds = swf::Rect{0, 50 * 20, 0, 20 * 20};
    e.useOutlines = false;
    e.text = "Hi";
    m.add(swfw::defineEditText(1, e));
    swfw::Place p;
    p.depth = 1;
    p.character = 1;
    p.matrix = swf::Matrix::translate(200, 400);
    p.name = "t";
    m.add(swfw::placeObject2(p));
    m.add(swfw::doAction(swfw::assemble(script)));
    m.showFrame();
    if (!deviceFonts) return testing_support::play(m.build());
    const std::vector<uint8_t> bytes = m.build();
    std::string error;
    auto player = swf::Player::load(bytes.data(), bytes.size(), error, nullptr, std::make_shared<swf::FreeTypeFontProvider>());
    EXPECT_TRUE(player) << error;
    return player;
}

TEST(TextFieldCopies, ACopyStartsFromTheDefinitionWithTheOriginalsTransformAndColour) {
    const std::string change = setMember(var("t"), "text", str("changed")) + setMember(var("t"), "border", "push true\n") +
                               setMember(var("t"), "_width", num(80)) + setMember(var("t"), "_x", num(30)) +
                               setMember(var("t"), "_alpha", num(50)) + setMember(var("t"), "_visible", "push false\n");
    const std::string look = trace(member(var("c"), "_name")) + trace(member(var("c"), "text")) +
                             trace(member(var("c"), "border")) + trace(member(var("c"), "_width")) +
                             trace(member(var("c"), "_x")) + trace(member(var("c"), "_y")) +
                             trace(member(var("c"), "_alpha")) + trace(member(var("c"), "_visible")) +
                             trace(member(var("t"), "text"));
    auto player = playWithField(change + cloneSprite(var("t"), "c", 5) + look);
    // A field's _width moves its rectangle's edge, no transform: the copy has the defined 50.
    EXPECT_EQ(player->traces(), (Lines{"c", "Hi", "false", "50", "30", "20", "50", "true", "changed"}));
}

TEST(TextFieldCopies, APathNamesTheFieldAndTheCopyReplacesWhatWasAtItsDepth) {
    auto player = playWithField(cloneSprite(str("t"), "c", 5) + trace(member(var("c"), "text")) +
                                cloneSprite(str("t"), "d", 5) + trace(member(var("c"), "text")) +
                                trace(member(var("d"), "_x")));
    EXPECT_EQ(player->traces(), (Lines{"Hi", "undefined", "10"}));
}

// A field createTextField made has no definition: its copy is an empty input field without a
// rectangle, placed where the original's transform puts it.
TEST(TextFieldCopies, AScriptMadeFieldCopiesAsAnEmptyField) {
    const std::string make = run(call(var("_root"), "createTextField", {str("f"), num(1), num(5), num(6), num(40), num(30)})) +
                             setMember(var("f"), "text", str("x")) + setMember(var("f"), "_rotation", num(90));
    const std::string look = trace(member(var("g"), "_width")) + trace(member(var("g"), "_x")) +
                             trace(member(var("g"), "_y")) + trace(member(var("g"), "_rotation")) +
                             trace(member(var("g"), "text")) + trace(member(var("f"), "_width")) +
                             trace(member(var("f"), "type")) + trace(member(var("g"), "type"));
    auto player = playWithField(make + cloneSprite(var("f"), "g", 2) + look);
    EXPECT_EQ(player->traces(), (Lines{"0", "5", "6", "90", "", "30", "dynamic", "input"}));
}

// A field's filters are kept as a clip's are; its copy starts without them.
TEST(TextFieldCopies, FieldsKeepTheirFiltersButCopiesDoNot) {
    const std::string set = setMember(var("t"), "filters", array({num(6) + num(4) + "push 2\n" + member(var("flash"), "filters") + str("BlurFilter") + "newMethod\n", num(3)}));
    const std::string look = trace(member(member(var("t"), "filters"), "length")) +
                             trace(member(member(member(var("t"), "filters"), "0"), "blurY")) +
                             trace(member(member(var("c"), "filters"), "length"));
    auto player = playWithField(set + cloneSprite(var("t"), "c", 5) + look);
    EXPECT_EQ(player->traces(), (Lines{"1", "6", "0"}));
}

// A field told to embed a face no movie embeds shows no text: the device face does not stand
// in, so the text takes no room and autoSize leaves the field its gutters only.
TEST(TextFieldEmbedding, AFaceNoMovieHasShowsNoText) {
    const std::string size = setMember(var("t"), "autoSize", str("left")) + setMember(var("t"), "text", str("Hello"));
    const std::string look = trace(member(var("t"), "textWidth")) + trace(member(var("t"), "_width")) +
                             trace(member(var("t"), "_height"));
    auto device = playWithField(size + look, 8, true);
    ASSERT_EQ(device->traces().size(), 3u);
    EXPECT_NE(device->traces()[0], "0") << "the device face draws a field that embeds nothing";
    auto embedding = playWithField(setMember(var("t"), "embedFonts", "push true\n") + size + look, 8, true);
    EXPECT_EQ(embedding->traces(), (Lines{"0", "4", "4"}));
}

// The name setProperty gives from a number is its text, except NaN from SWF 7 on: "0".
TEST(SetPropertyNames, NaNNamesTheClipZeroFromSwf7) {
    const std::string script = "push \"_level0\", 13, 0\npush 0\ndivide\nsetProperty\n"
                               "push \"_level0\", 13\ngetProperty\ntrace\n"
                               "push \"_level0\", 13, 1.5\nsetProperty\npush \"_level0\", 13\ngetProperty\ntrace\n";
    EXPECT_EQ(playWithField(script, 6)->traces(), (Lines{"NaN", "1.5"}));
    EXPECT_EQ(playWithField(script, 7)->traces(), (Lines{"0", "1.5"}));
}

}  // namespace
