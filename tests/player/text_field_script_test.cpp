// Text fields from scripts: variable binding both ways, TextField properties and methods,
// TextFormat, createTextField, and fields cut to their rectangle.
#include <action_assembler.h>
#include <freetype_font_provider.h>
#include <gtest/gtest.h>
#include <movie_writer.h>
#include <runtime/avm1/host_services.h>
#include <runtime/player.h>
#include <runtime/text_field.h>
#include <tags.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// A field in the device sans face, 12 px, on the root at (x, y) px.
struct Field {
    std::string name;
    std::string variable;
    std::string text;
    int x = 10, y = 10, width = 200, height = 30;
    bool html = false;
    uint16_t sprite = 0;  // placed inside this sprite instead of the root
};

struct Run {
    swf::avm1::FixedHostServices host;
    std::unique_ptr<swf::Player> player;
    const Lines& traces() const { return player->traces(); }
    void step() {
        host.elapsedMs += 1000.0 / 12;
        player->stepFrame();
    }
};

swfw::EditText editText(const Field& f) {
    swfw::EditText e;
    e.bounds = swf::Rect{0, f.width * 20, 0, f.height * 20};
    e.font = 1;
    e.height = 12 * 20;
    e.useOutlines = false;
    e.variable = f.variable;
    e.html = f.html;
    if (!f.text.empty()) e.text = f.text;
    return e;
}

// Fields first, then one DoAction per frame. A sprite (id 50, instance "mc") holds the
// fields whose `sprite` is set.
std::unique_ptr<Run> run(const std::vector<Field>& fields, const std::vector<std::string>& frames, int version = 8) {
    swfw::MovieWriter m(version, 320, 240, 12);
    m.add(swfw::scriptLimits(256, 1));
    m.add(swfw::defineFont2(1, "_sans", {}, 0, 0));
    uint16_t id = 10, depth = 1;
    std::vector<swfw::Tag> spriteTags;
    uint16_t spriteDepth = 1;
    bool anySprite = false;
    for (const Field& f : fields) {
        m.add(swfw::defineEditText(id, editText(f)));
        swfw::Place place{f.sprite ? spriteDepth++ : depth++, id++, false, swf::Matrix::translate(f.x * 20.0f, f.y * 20.0f)};
        place.name = f.name;
        if (f.sprite) {
            spriteTags.push_back(swfw::placeObject2(place));
            anySprite = true;
        } else {
            m.add(swfw::placeObject2(place));
        }
    }
    if (anySprite) {
        spriteTags.push_back(swfw::Tag{1, {}});  // ShowFrame
        m.add(swfw::defineSprite(50, 1, spriteTags));
        swfw::Place place{depth++, 50, false, swf::Matrix{}};
        place.name = "mc";
        m.add(swfw::placeObject2(place));
    }
    for (const std::string& source : frames) {
        m.add(swfw::doAction(swfw::assemble(source)));
        m.showFrame();
    }
    std::vector<uint8_t> bytes = m.build();
    auto r = std::make_unique<Run>();
    r->host.startUtcMs = 981152406000.0;
    std::string error;
    r->player = swf::Player::load(bytes.data(), bytes.size(), error, &r->host, std::make_shared<swf::FreeTypeFontProvider>());
    if (!r->player) throw std::runtime_error(error);
    for (size_t f = 1; f < frames.size(); ++f) r->step();
    return r;
}

// The field at a root depth.
swf::TextField& fieldAt(const swf::Player& p, uint16_t depth) {
    const auto& list = p.root().displayList();
    auto it = list.find(depth);
    if (it == list.end() || !it->second.text) throw std::runtime_error("no field at depth " + std::to_string(depth));
    return *it->second.text;
}

TEST(TextFieldBinding, AFieldShowsItsVariableAndFollowsItsChanges) {
    // A movie that shows "Version: " + a variable: the variable is set by the first frame.
    auto r = run({{"label", "", "Version:", 10, 10, 100, 30}, {"value", "version", "", 110, 10, 100, 30}},
                 {"push \"version\", \"1.2.3\"\nsetVariable", "push \"version\", \"2.0\"\nsetVariable"});
    swf::TextField& value = fieldAt(*r->player, 2);
    // Frame 2 ran: the field shows the second value, its glyphs drawn.
    EXPECT_EQ(value.textUtf8(), "2.0");
    EXPECT_EQ(value.glyphs().size(), 3u) << "2, dot, 0";
    r->step();  // looping to frame 1 sets "1.2.3" again
    EXPECT_EQ(value.textUtf8(), "1.2.3");
}

TEST(TextFieldBinding, InitialTextCreatesTheVariableAnEmptyFieldDoesNot) {
    auto r = run({{"a", "theVar", "Hello"}, {"b", "otherVar", ""}},
                 {"push \"theVar\"\ngetVariable\ntrace\npush \"otherVar\"\ngetVariable\ntrace\n"
                  "push \"a\"\ngetVariable\npush \"text\"\ngetMember\ntrace"});
    EXPECT_EQ(r->traces(), (Lines{"Hello", "undefined", "Hello"}));
}

TEST(TextFieldBinding, SettingTheTextSetsTheVariableAndEveryFieldBoundToIt) {
    auto r = run({{"t1", "theVar", "Hello"}, {"t2", "theVar", ""}},
                 {"push \"theVar\", \"Test1\"\nsetVariable\n"
                  "push \"t2\"\ngetVariable\npush \"text\"\ngetMember\ntrace\n"
                  "push \"t1\"\ngetVariable\npush \"text\", \"Test2\"\nsetMember\n"
                  "push \"theVar\"\ngetVariable\ntrace\n"
                  "push \"t2\"\ngetVariable\npush \"text\"\ngetMember\ntrace"});
    EXPECT_EQ(r->traces(), (Lines{"Test1", "Test2", "Test2"}));
}

TEST(TextFieldBinding, PathsReachVariablesOfOtherTimelines) {
    Field dotted{"d", "_root.score", ""};
    Field slashed{"s", "/mc:lives", "", 10, 50};
    Field inner{"i", "_parent.score", "", 10, 90};
    inner.sprite = 50;
    auto r = run({dotted, slashed, inner},
                 {"push \"score\", 42\nsetVariable\npush \"mc\"\ngetVariable\npush \"lives\", 3\nsetMember",
                  "push \"score\", 43\nsetVariable"});
    EXPECT_EQ(fieldAt(*r->player, 1).textUtf8(), "43");
    EXPECT_EQ(fieldAt(*r->player, 2).textUtf8(), "3");
    const auto& mc = r->player->root().displayList().at(3);
    ASSERT_TRUE(mc.clip);
    EXPECT_EQ(mc.clip->displayList().at(1).text->textUtf8(), "43");
}

TEST(TextFieldBinding, AVariableOnAPlainObjectIsPickedUpOnTheNextFrame) {
    auto r = run({{"t", "obj.v", ""}},
                 {"push \"obj\", 0, \"Object\"\nnewObject\nsetVariable\npush \"obj\"\ngetVariable\npush \"v\", \"first\"\nsetMember",
                  "push \"t\"\ngetVariable\npush \"text\"\ngetMember\ntrace\n"
                  "push \"obj\"\ngetVariable\npush \"v\", \"second\"\nsetMember\n"
                  "push \"t\"\ngetVariable\npush \"text\"\ngetMember\ntrace\nstop"});
    EXPECT_EQ(r->traces(), (Lines{"first", "first"})) << "no immediate update from a plain object";
    r->step();
    EXPECT_EQ(fieldAt(*r->player, 1).textUtf8(), "second");
}

}  // namespace
