// Text fields from scripts: variable binding both ways, TextField properties and methods,
// TextFormat, createTextField, and fields cut to their rectangle.
#include <action_assembler.h>
#include <freetype_font_provider.h>
#include <gtest/gtest.h>
#include <movie_writer.h>
#include <runtime/avm1/host_services.h>
#include <runtime/player.h>
#include <runtime/display/edit_text_display.h>
#include <runtime/text_field.h>
#include <tags.h>

#include <cmath>
#include <cstring>
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
swf::TextField& fieldIn(const swf::Clip& clip, uint16_t depth) {
    const auto& list = clip.displayList();
    auto it = list.find(depth);
    auto* edit = it == list.end() ? nullptr : dynamic_cast<const swf::EditTextDisplay*>(it->second.get());
    if (!edit) throw std::runtime_error("no field at depth " + std::to_string(depth));
    return *edit->text();
}

swf::TextField& fieldAt(const swf::Player& p, uint16_t depth) { return fieldIn(p.root(), depth); }

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
    const swf::Clip* mc = r->player->root().displayList().at(3)->clip();
    ASSERT_TRUE(mc);
    EXPECT_EQ(fieldIn(*mc, 1).textUtf8(), "43");
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

namespace {

// Runs one frame script in an empty SWF 8 movie with device fonts.
Lines script(const std::string& source, int version = 8) { return run({}, {source}, version)->traces(); }

TEST(TextFieldObject, CreateTextFieldMakesAFieldScriptsReachByName) {
    auto lines = script(
        "push 22, 300, 10, 10, 0, \"tf\", 6, \"this\"\ngetVariable\npush \"createTextField\"\ncallMethod\ntrace\n"
        "push \"tf\"\ngetVariable\ntrace\n"
        "push \"tf\"\ngetVariable\npush \"_width\"\ngetMember\ntrace\n"
        "push \"tf\"\ngetVariable\npush \"maxChars\", 12\nsetMember\n"
        "push \"tf\"\ngetVariable\npush \"maxChars\"\ngetMember\ntrace\n"
        "push \"tf\"\ngetVariable\npush \"text\", \"abcdefghijklmnop\"\nsetMember\n"
        "push \"tf\"\ngetVariable\npush \"length\"\ngetMember\ntrace\n"
        "push \"tf\"\ngetVariable\npush \"type\"\ngetMember\ntrace\n"
        "push 0, \"tf\"\ngetVariable\npush \"removeTextField\"\ncallMethod\npop\n"
        "push \"tf\"\ngetVariable\ntrace");
    EXPECT_EQ(lines, (Lines{"_level0.tf", "_level0.tf", "300", "12", "12", "dynamic", "undefined"}))
        << "maxChars cuts text scripts set; a removed field is gone";
}

}  // namespace

namespace {

TEST(TextFieldObject, SwitchingHtmlAlignsNewTextLeftAsEachVersionDoes) {
    // f = new TextFormat(); f.align = "center"; tf.setNewTextFormat(f); tf.html = <on>;
    // trace(tf.getNewTextFormat().align); tf.html = <off>; trace(...)
    auto align = "push 0, \"tf\"\ngetVariable\npush \"getNewTextFormat\"\ncallMethod\npush \"align\"\ngetMember\ntrace\n";
    std::string source =
        std::string("push 20, 100, 0, 0, 1, \"tf\", 6, \"this\"\ngetVariable\npush \"createTextField\"\ncallMethod\npop\n"
                    "push \"f\", 0, \"TextFormat\"\nnewObject\nsetVariable\n"
                    "push \"f\"\ngetVariable\npush \"align\", \"center\"\nsetMember\n"
                    "push \"f\"\ngetVariable\npush 1, \"tf\"\ngetVariable\npush \"setNewTextFormat\"\ncallMethod\npop\n"
                    "push \"tf\"\ngetVariable\npush \"html\", true\nsetMember\n") +
        align +
        "push \"f\"\ngetVariable\npush 1, \"tf\"\ngetVariable\npush \"setNewTextFormat\"\ncallMethod\npop\n"
        "push \"tf\"\ngetVariable\npush \"html\", false\nsetMember\n" + align;
    EXPECT_EQ(script(source, 8), (Lines{"center", "left"})) << "SWF 8: only a switch to plain text";
    EXPECT_EQ(script(source, 7), (Lines{"left", "left"})) << "before: any switch";
}

TEST(TextFieldBinding, ANewVariableStartsFromTheTagsText) {
    auto r = run({{"t1", "theVar", "Hello"}},
                 {"push \"t1\"\ngetVariable\npush \"text\", \"Test2\"\nsetMember\n"
                  "push \"t1\"\ngetVariable\npush \"variable\", \"foo\"\nsetMember\n"
                  "push \"foo\"\ngetVariable\ntrace\npush \"theVar\"\ngetVariable\ntrace"});
    EXPECT_EQ(r->traces(), (Lines{"Hello", "Test2"})) << "the old variable keeps what it had";
}

}  // namespace

namespace {

// "f.<member>" of a TextFormat made by `make`, one trace each.
std::string traceMembers(const std::string& make, const std::vector<std::string>& members) {
    std::string s = make + "\n";
    for (const std::string& m : members) s += "push \"f\"\ngetVariable\npush \"" + m + "\"\ngetMember\ntrace\n";
    return s;
}

TEST(TextFormatObject, TheConstructorTruncatesTheSettersRoundAndMarginsStayPositive) {
    // new TextFormat("F", -10.9, -11, 1, 0, null, "u", "t", "middle", -11, 4.5, -2.5, 2.5)
    std::string make =
        "push \"f\", 2.5, -2.5, 4.5, -11, \"middle\", \"t\", \"u\", null, 0, 1, -11, -10.9, \"F\", 13, \"TextFormat\"\n"
        "newObject\nsetVariable";
    EXPECT_EQ(script(traceMembers(make, {"font", "size", "color", "bold", "italic", "underline", "url", "align",
                                         "leftMargin", "rightMargin", "indent", "leading", "bullet"})),
              (Lines{"F", "-10", "4294967285", "true", "false", "null", "u", "null", "-11", "4", "-2", "2", "null"}));
    std::string set = make +
                      "\npush \"f\"\ngetVariable\npush \"size\", -3.5\nsetMember\n"
                      "push \"f\"\ngetVariable\npush \"indent\", 2.5\nsetMember\n"
                      "push \"f\"\ngetVariable\npush \"leftMargin\", -4\nsetMember\n"
                      "push \"f\"\ngetVariable\npush \"align\", \"CENTER\"\nsetMember\n"
                      "push \"f\"\ngetVariable\npush \"align\", \"middle\"\nsetMember\n"
                      "push \"f\"\ngetVariable\npush \"leading\", 0, 0\ndivide\nsetMember";
    EXPECT_EQ(script(traceMembers(set, {"size", "indent", "leftMargin", "align", "leading"})),
              (Lines{"-4", "2", "0", "center", "-2147483648"}))
        << "halves to even, NaN to -2^31, an unknown align keeps the last";
}

TEST(TextFieldObject, FormatsApplyToRangesAndMixedMembersReadAsNull) {
    auto lines = script(
        "push 20, 200, 0, 0, 1, \"tf\", 6, \"this\"\ngetVariable\npush \"createTextField\"\ncallMethod\npop\n"
        "push \"tf\"\ngetVariable\npush \"text\", \"hello world\"\nsetMember\n"
        "push \"f\", 0, \"TextFormat\"\nnewObject\nsetVariable\n"
        "push \"f\"\ngetVariable\npush \"bold\", true\nsetMember\n"
        "push \"f\"\ngetVariable\npush \"color\", 16711680\nsetMember\n"
        "push \"f\"\ngetVariable\npush 5, 0, 3, \"tf\"\ngetVariable\npush \"setTextFormat\"\ncallMethod\npop\n"
        "push 0, \"tf\"\ngetVariable\npush \"getTextFormat\"\ncallMethod\npush \"bold\"\ngetMember\ntrace\n"
        "push 5, 0, 2, \"tf\"\ngetVariable\npush \"getTextFormat\"\ncallMethod\npush \"color\"\ngetMember\ntrace\n"
        "push 6, 1, \"tf\"\ngetVariable\npush \"getTextFormat\"\ncallMethod\npush \"font\"\ngetMember\ntrace\n"
        "push \"tf\"\ngetVariable\npush \"html\", true\nsetMember\n"
        "push \"tf\"\ngetVariable\npush \"htmlText\"\ngetMember\ntrace\n"
        "push \"tf\"\ngetVariable\npush \"textColor\"\ngetMember\ntrace");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "null") << "bold on 'hello' only";
    EXPECT_EQ(lines[1], "16711680");
    EXPECT_EQ(lines[2], "Times New Roman");
    EXPECT_EQ(lines[3],
              "<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#FF0000\" LETTERSPACING=\"0\" "
              "KERNING=\"0\"><B>hello</B><FONT COLOR=\"#000000\"> world</FONT></FONT></P>");
    EXPECT_EQ(lines[4], "0") << "the new-text format keeps its colour";
}

TEST(TextFieldObject, ScrollingShowsLaterLinesAndStopsAtTheLast) {
    // Eight lines in a field two lines high.
    auto lines = script(
        "push 36, 200, 0, 0, 1, \"tf\", 6, \"this\"\ngetVariable\npush \"createTextField\"\ncallMethod\npop\n"
        "push \"tf\"\ngetVariable\npush \"multiline\", true\nsetMember\n"
        "push \"tf\"\ngetVariable\npush \"text\", \"1\\n2\\n3\\n4\\n5\\n6\\n7\\n8\"\nsetMember\n"
        "push \"tf\"\ngetVariable\npush \"maxscroll\"\ngetMember\ntrace\n"
        "push \"tf\"\ngetVariable\npush \"bottomScroll\"\ngetMember\ntrace\n"
        "push \"tf\"\ngetVariable\npush \"scroll\", 100\nsetMember\n"
        "push \"tf\"\ngetVariable\npush \"scroll\"\ngetMember\ntrace\n"
        "push \"tf\"\ngetVariable\npush \"bottomScroll\"\ngetMember\ntrace");
    EXPECT_EQ(lines, (Lines{"7", "2", "7", "8"}));
}

// A field 60 px wide whose one line of text runs far past it, over a white stage.
std::unique_ptr<Run> overflowingField() {
    Field f{"wide", "", "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM", 10, 10, 60, 30};
    return run({f}, {"stop"});
}

int inkIn(const swf::Canvas& c, int x0, int x1, int y0, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += c.row(y)[x] != 0xffffffffu;
    return n;
}

TEST(TextFieldDrawing, TextIsCutAtTheFieldsRectangle) {
    auto r = overflowingField();
    swf::Canvas canvas(320, 240);
    r->player->render(canvas, swf::ScaleMode::ExactFit, swf::Quality::High);
    EXPECT_GT(inkIn(canvas, 10, 70, 10, 40), 50) << "the text shows inside";
    EXPECT_EQ(inkIn(canvas, 71, 320, 0, 240), 0) << "and nowhere right of the field";
    const swf::TextField& field = fieldAt(*r->player, 1);
    EXPECT_TRUE(field.overflows());
    EXPECT_EQ(field.drawnBounds().xMax, 60 * 20) << "the recorded bounds are the rectangle";
}

// CSMTextSettings for character `id`: advanced anti-aliasing, the grid fit, thickness, sharpness.
swfw::Tag csmTextSettings(uint16_t id, bool advanced, int gridFit, float thickness, float sharpness) {
    swfw::Tag t{74, {}};
    auto u8 = [&](uint8_t b) { t.body.push_back(b); };
    auto f32 = [&](float f) {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        for (int i = 0; i < 4; ++i) u8(uint8_t(bits >> (8 * i)));
    };
    u8(uint8_t(id)), u8(uint8_t(id >> 8));
    u8(uint8_t((advanced ? 1 : 0) << 6 | gridFit << 3));
    f32(thickness), f32(sharpness);
    u8(0);
    return t;
}

TEST(TextFieldDrawing, CsmTextSettingsAreReadAndFitGlyphsToWholePixels) {
    auto glyphXs = [](bool withSettings, float thickness) {
        swfw::MovieWriter m(8, 320, 240, 12);
        m.add(swfw::defineFont2(1, "_sans", {}, 0, 0));
        Field f{"t", "", "Fitted letters", 0, 0, 300, 40};
        // Device text advances by whole pixels: a rectangle starting between pixels puts it there.
        swfw::EditText e = editText(f);
        e.bounds.xMin = 7;
        m.add(swfw::defineEditText(10, e));
        if (withSettings) m.add(csmTextSettings(10, true, 1, thickness, -100));
        swfw::Place place{1, 10, false, swf::Matrix::translate(13.0f, 0)};
        place.name = "t";
        m.add(swfw::placeObject2(place));
        m.add(swfw::doAction(swfw::assemble(
            "push \"t\"\ngetVariable\npush \"antiAliasType\"\ngetMember\ntrace\n"
            "push \"t\"\ngetVariable\npush \"thickness\"\ngetMember\ntrace")));
        m.showFrame();
        std::vector<uint8_t> bytes = m.build();
        std::string error;
        auto p = swf::Player::load(bytes.data(), bytes.size(), error, nullptr, std::make_shared<swf::FreeTypeFontProvider>());
        EXPECT_TRUE(p) << error;
        std::vector<float> xs;
        for (const auto& g : fieldAt(*p, 1).glyphs()) xs.push_back(g.matrix.tx);
        xs.push_back(float(p->traces().size()));
        if (withSettings) {
            const auto& t = p->movie().textRendering.at(10);
            EXPECT_TRUE(t.advanced);
            EXPECT_EQ(t.gridFit, swf::GridFit::Pixel);
            EXPECT_EQ(t.sharpness, -100);
            EXPECT_EQ(p->traces()[0], "advanced");
        }
        return xs;
    };
    std::vector<float> plain = glyphXs(false, 0), fitted = glyphXs(true, 0);
    ASSERT_EQ(plain.size(), fitted.size());
    bool anyFractional = false;
    for (size_t i = 0; i + 1 < plain.size(); ++i) {
        anyFractional |= std::fmod(plain[i], 20.0f) != 0;
        EXPECT_EQ(std::fmod(fitted[i], 20.0f), 0) << "glyph " << i << " at a whole pixel";
        EXPECT_NEAR(fitted[i], plain[i], 10.0f);
    }
    EXPECT_TRUE(anyFractional) << "the unfitted layout has glyphs between pixels";
}

}  // namespace

namespace {

TEST(TextFieldObject, FieldsBroadcastScrollingToTheirListenersThemselvesFirst) {
    auto lines = script(
        "push 36, 200, 0, 0, 1, \"tf\", 6, \"this\"\ngetVariable\npush \"createTextField\"\ncallMethod\npop\n"
        "push \"tf\"\ngetVariable\npush \"_listeners\"\ngetMember\npush \"length\"\ngetMember\ntrace\n"
        "push \"tf\"\ngetVariable\npush \"multiline\", true\nsetMember\n"
        "push \"tf\"\ngetVariable\npush \"text\", \"1\\n2\\n3\\n4\"\nsetMember\n"
        "push \"tf\"\ngetVariable\npush \"onScroller\"\n"
        "function (field)\npush \"scrolled to \"\npush \"field\"\ngetVariable\npush \"scroll\"\ngetMember\nadd2\ntrace\nend\n"
        "setMember\n"
        "push \"tf\"\ngetVariable\npush \"scroll\", 3\nsetMember\n"
        "push \"tf\"\ngetVariable\npush \"scroll\", 3\nsetMember");
    EXPECT_EQ(lines, (Lines{"1", "scrolled to 3"})) << "once: the second store changes nothing";
}

}  // namespace

namespace {

TEST(TextFieldObject, DisplayPropertiesAreSharedWithClipsButSizeResizesTheRectangle) {
    auto r = run({{"t", "", "Some text", 10, 20, 100, 30}},
                 {"push \"t\"\ngetVariable\npush \"_x\"\ngetMember\ntrace\n"
                  "push \"t\"\ngetVariable\npush \"_width\", 50\nsetMember\n"
                  "push \"t\"\ngetVariable\npush \"_width\"\ngetMember\ntrace\n"
                  "push \"t\"\ngetVariable\npush \"_xscale\"\ngetMember\ntrace\n"
                  "push \"t\"\ngetVariable\npush \"_name\", \"renamed\"\nsetMember\n"
                  "push \"renamed\"\ngetVariable\npush \"_target\"\ngetMember\ntrace\n"
                  "push \"renamed\"\ngetVariable\npush \"textWidth\"\ngetMember\npush 0\ngreater\ntrace\n"
                  "push \"Some text\", 1, \"f\", 0, \"TextFormat\"\nnewObject\nsetVariable\n"
                  "push \"f\"\ngetVariable\npush \"getTextExtent\"\ncallMethod\npush \"width\"\ngetMember\n"
                  "push 20\ngreater\ntrace\nstop"});
    EXPECT_EQ(r->traces(), (Lines{"10", "50", "100", "/renamed", "true", "true"})) << "text has width, measured alone too";
    EXPECT_EQ(fieldAt(*r->player, 1).bounds.width(), 50 * 20) << "the rectangle, not the scale";
}

}  // namespace

namespace {

// Selection and focus. `tf` is a field scripts made; `mc` an empty clip that may take focus.
const char* kFieldAndClip =
    "push 22, 300, 10, 10, 1, \"tf\", 6, \"this\"\ngetVariable\npush \"createTextField\"\ncallMethod\npop\n"
    "push \"tf\"\ngetVariable\npush \"text\", \"abcd\"\nsetMember\n"
    "push 2, \"mc\", 2, \"this\"\ngetVariable\npush \"createEmptyMovieClip\"\ncallMethod\npop\n"
    "push \"mc\"\ngetVariable\npush \"focusEnabled\", true\nsetMember\n";

const char* kTraceFocus = "push 0, \"Selection\"\ngetVariable\npush \"getFocus\"\ncallMethod\ntrace\n";

TEST(SelectionObject, FocusMovesBetweenObjectsAndEveryoneHearsIt) {
    auto lines = script(std::string(kFieldAndClip) + kTraceFocus +
                        "push \"l\", 0\ninitObject\nsetVariable\n"
                        "push \"l\"\ngetVariable\npush \"onSetFocus\"\n"
                        "function (o, n)\npush \"moved \"\npush \"o\"\ngetVariable\nadd2\npush \" \"\nadd2\npush \"n\"\ngetVariable\nadd2\ntrace\nend\nsetMember\n"
                        "push \"l\"\ngetVariable\npush 1, \"Selection\"\ngetVariable\npush \"addListener\"\ncallMethod\npop\n"
                        "push \"tf\"\ngetVariable\npush \"onKillFocus\"\n"
                        "function (n)\npush \"tf lost to \"\npush \"n\"\ngetVariable\nadd2\ntrace\nend\nsetMember\n"
                        "push \"tf\"\ngetVariable\npush 1, \"Selection\"\ngetVariable\npush \"setFocus\"\ncallMethod\ntrace\n"
                        "push \"mc\"\ngetVariable\npush 1, \"Selection\"\ngetVariable\npush \"setFocus\"\ncallMethod\ntrace\n"
                        "push \"mc\"\ngetVariable\npush 1, \"Selection\"\ngetVariable\npush \"setFocus\"\ncallMethod\ntrace\n"
                        "push false, 1, \"Selection\"\ngetVariable\npush \"setFocus\"\ncallMethod\ntrace\n" + kTraceFocus +
                        "push \"mc\"\ngetVariable\npush \"_visible\", false\nsetMember\n" + kTraceFocus);
    EXPECT_EQ(lines, (Lines{"null", "moved null _level0.tf", "true", "tf lost to _level0.mc", "moved _level0.tf _level0.mc",
                            "true", "true", "false", "_level0.mc", "moved _level0.mc null", "null"}))
        << "no event when focus stays; false leaves it; hiding the clip drops it at once";
}

TEST(SelectionObject, AFocusedFieldsSelectionIsSetReadAndReplaced) {
    const std::string indices =
        "push 0, \"Selection\"\ngetVariable\npush \"getBeginIndex\"\ncallMethod\n"
        "push 0, \"Selection\"\ngetVariable\npush \"getCaretIndex\"\ncallMethod\nadd2\n"
        "push 0, \"Selection\"\ngetVariable\npush \"getEndIndex\"\ncallMethod\nadd2\ntrace\n";
    auto lines = script(std::string(kFieldAndClip) +
                        "push \"|\", 1, \"tf\"\ngetVariable\npush \"replaceSel\"\ncallMethod\npop\n"
                        "push \"tf\"\ngetVariable\npush \"text\"\ngetMember\ntrace\n" + indices +
                        "push \"tf\"\ngetVariable\npush 1, \"Selection\"\ngetVariable\npush \"setFocus\"\ncallMethod\npop\n" +
                        indices +
                        "push 1, 4, 2, \"Selection\"\ngetVariable\npush \"setSelection\"\ncallMethod\npop\n" + indices +
                        "push \"xy\", 1, \"tf\"\ngetVariable\npush \"replaceSel\"\ncallMethod\npop\n"
                        "push \"tf\"\ngetVariable\npush \"text\"\ngetMember\ntrace\n" + indices);
    // Caret, begin and end summed: -3 while nothing is reported.
    EXPECT_EQ(lines, (Lines{"|abcd", "-3", "-3", "6", "|xyd", "9"}))
        << "an unfocused field inserts at 0; focus selects all but reports -1 until set; "
           "setSelection(4, 1) runs from 1 to 4 with the caret at 1; the caret follows replaced text";
}

TEST(TextFieldObject, PropertiesAreAccessorsOfThePrototype) {
    auto lines = script(std::string(kFieldAndClip) +
                        "push \"o\", 0, \"TextField\"\nnewObject\nsetVariable\n"
                        "push \"o\"\ngetVariable\npush \"text\"\ngetMember\ntrace\n"
                        "push \"o\"\ngetVariable\npush \"text\", \"x\"\nsetMember\n"
                        "push \"o\"\ngetVariable\npush \"text\"\ngetMember\ntrace\n"
                        "push \"TextField\"\ngetVariable\npush \"prototype\"\ngetMember\npush \"hasOwnProperty\"\ngetMember\ntypeof\ntrace\n"
                        "push \"text\", 1, \"tf\"\ngetVariable\npush \"hasOwnProperty\"\ncallMethod\ntrace\n"
                        "push \"tf\"\ngetVariable\npush \"text\"\ngetMember\ntrace\n",
                        7);
    EXPECT_EQ(lines, (Lines{"undefined", "undefined", "function", "false", "abcd"}))
        << "a plain object sees them as undefined and stores nothing; a field has none of its own";
}

TEST(TextSnapshotObject, StaticTextReadsBackThroughTheFontsCodes) {
    // Text "AB" then "CD" on another baseline, in a font defined after the text.
    swfw::MovieWriter m(8, 320, 240, 12);
    swfw::TextRecord first{1, swf::Rgba{0, 0, 0, 255}, 0, 200, 240, {{0, 200}, {1, 200}}};
    swfw::TextRecord second{std::nullopt, std::nullopt, 0, 500, 0, {{2, 200}, {3, 200}}};
    m.add(swfw::defineText(2, 1, swf::Rect{0, 2000, 0, 2000}, swf::Matrix{}, {first, second}));
    std::vector<swfw::FontGlyph> glyphs(4);
    for (int i = 0; i < 4; ++i) glyphs[size_t(i)].code = uint16_t('A' + i);
    m.add(swfw::defineFont2(1, "f", glyphs, 800, 200));
    m.add(swfw::placeObject2(swfw::Place{1, 2, false, swf::Matrix{}}));
    m.add(swfw::doAction(swfw::assemble(
        "push \"s\", 0, \"this\"\ngetVariable\npush \"getTextSnapshot\"\ncallMethod\nsetVariable\n"
        "push 0, \"s\"\ngetVariable\npush \"getCount\"\ncallMethod\ntrace\n"
        "push true, 9, 0, 3, \"s\"\ngetVariable\npush \"getText\"\ncallMethod\ntrace\n"
        "push 5, 1, 2, \"s\"\ngetVariable\npush \"getText\"\ncallMethod\ntrace\n"
        "push false, \"bc\", 0, 3, \"s\"\ngetVariable\npush \"findText\"\ncallMethod\ntrace\n"
        "push true, \"bc\", 0, 3, \"s\"\ngetVariable\npush \"findText\"\ncallMethod\ntrace\n"
        "push true, 3, 1, 3, \"s\"\ngetVariable\npush \"setSelected\"\ncallMethod\npop\n"
        "push true, 1, \"s\"\ngetVariable\npush \"getSelectedText\"\ncallMethod\ntrace\n")));
    m.showFrame();
    std::vector<uint8_t> bytes = m.build();
    swf::avm1::FixedHostServices host;
    std::string error;
    auto player = swf::Player::load(bytes.data(), bytes.size(), error, &host);
    ASSERT_TRUE(player) << error;
    EXPECT_EQ(player->traces(), (Lines{"4", "AB\nCD", "BCD", "1", "-1", "B\nC"}))
        << "a new baseline is a line; ranges are clamped; findText folds case when not exact";
}

}  // namespace

namespace {

TEST(TextFieldObject, NewerPropertiesAndTheirStoredValues) {
    const std::string field = "push 22, 30, 10, 10, 1, \"tf\", 6, \"this\"\ngetVariable\npush \"createTextField\"\ncallMethod\npop\n";
    auto read = [](const char* name) { return std::string("push \"tf\"\ngetVariable\npush \"") + name + "\"\ngetMember\ntrace\n"; };
    auto store = [](const char* name, const char* value) {
        return std::string("push \"tf\"\ngetVariable\npush \"") + name + "\", " + value + "\nsetMember\n";
    };
    const std::string body = field + read("restrict") + store("restrict", "\"a-z\"") + read("restrict") +
                             store("restrict", "\"\"") + read("restrict") + store("tabIndex", "3") + read("tabIndex") +
                             read("mouseWheelEnabled") + store("text", "\"a long line that runs past thirty pixels\"") +
                             store("hscroll", "1000000") + read("hscroll") + read("maxhscroll") + read("gridFitType");
    auto v8 = script(body, 8);
    ASSERT_EQ(v8.size(), 8u);
    EXPECT_EQ((Lines{v8[0], v8[1], v8[2], v8[3], v8[4]}), (Lines{"null", "a-z", "null", "3", "true"}))
        << "an empty restrict lifts it";
    EXPECT_EQ(v8[5], v8[6]) << "hscroll stops at maxhscroll";
    EXPECT_GT(std::stod(v8[6]), 0.0);
    EXPECT_EQ(v8[7], "pixel");
    EXPECT_EQ(script(field + read("gridFitType"), 7), (Lines{"undefined"})) << "Flash 8 properties are hidden from older movies";
}

}  // namespace

namespace {

TEST(TextFieldObject, AnEmptyFieldsFormatHasEveryMemberNull) {
    auto lines = script(
        "push 22, 30, 10, 10, 1, \"tf\", 6, \"this\"\ngetVariable\npush \"createTextField\"\ncallMethod\npop\n"
        "push 0, \"tf\"\ngetVariable\npush \"getTextFormat\"\ncallMethod\npush \"size\"\ngetMember\ntrace\n"
        "push 0, \"tf\"\ngetVariable\npush \"getTextFormat\"\ncallMethod\npush \"tabStops\"\ngetMember\ntrace\n"
        "push 0, \"tf\"\ngetVariable\npush \"getNewTextFormat\"\ncallMethod\npush \"size\"\ngetMember\ntrace\n");
    EXPECT_EQ(lines, (Lines{"null", "null", "12"})) << "no character to read from; the new-text format stays";
}

}  // namespace

namespace {

// A movie with a DefineFont3 "Fine" ('a' 0.55 EM, ascent 0.8, descent 0.2) and a script.
std::unique_ptr<Run> runWithEmbeddedFont(const std::string& script, int version = 8) {
    swfw::MovieWriter m(version, 320, 240, 12);
    std::vector<swfw::FontGlyph> glyphs(2);
    glyphs[0].code = 'a';
    glyphs[0].advance = 11264;  // 0.55 of 20480
    glyphs[0].shape.rect(1000, -10000, 10000, 0, 1);
    glyphs[1].code = ' ';
    glyphs[1].advance = 5120;
    m.add(swfw::defineFont2(1, "Fine", glyphs, 16384, 4096, 3));
    m.add(swfw::doAction(swfw::assemble(script)));
    m.showFrame();
    std::vector<uint8_t> bytes = m.build();
    auto r = std::make_unique<Run>();
    std::string error;
    r->player = swf::Player::load(bytes.data(), bytes.size(), error, &r->host, std::make_shared<swf::FreeTypeFontProvider>());
    if (!r->player) throw std::runtime_error(error);
    return r;
}

// createTextField("t", 1, 10, 20, 100, 30); t.embedFonts = <embed>; a format of font <font>,
// size 20 (400 twips), then t.text = <text>.
std::string embeddedField(const std::string& font, bool embed, const std::string& text) {
    return "push 30, 100, 20, 10, 1, \"t\", 6, \"this\"\ngetVariable\npush \"createTextField\"\ncallMethod\npop\n"
           "push \"t\"\ngetVariable\npush \"embedFonts\", " + std::string(embed ? "true" : "false") + "\nsetMember\n"
           "push \"f\", 0, \"TextFormat\"\nnewObject\nsetVariable\n"
           "push \"f\"\ngetVariable\npush \"font\", \"" + font + "\"\nsetMember\n"
           "push \"f\"\ngetVariable\npush \"size\", 20\nsetMember\n"
           "push \"f\"\ngetVariable\npush 1, \"t\"\ngetVariable\npush \"setNewTextFormat\"\ncallMethod\npop\n"
           "push \"t\"\ngetVariable\npush \"text\", \"" + text + "\"\nsetMember\n";
}

const char* kTraceMeasures =
    "push \"t\"\ngetVariable\npush \"textWidth\"\ngetMember\ntrace\n"
    "push \"t\"\ngetVariable\npush \"textHeight\"\ngetMember\ntrace\n";

TEST(TextFieldMeasure, AFieldThatEmbedsFontsFindsTheFontByItsName) {
    // 'a' at 400 twips: 220 twips; three of them 660 twips, 33 pixels. Ascent and descent 320
    // and 80 twips: 20 pixels.
    auto r = runWithEmbeddedFont(embeddedField("fine", true, "aaa") + kTraceMeasures);
    EXPECT_EQ(r->traces(), (Lines{"33", "20"})) << "names match whatever their case";
    auto device = runWithEmbeddedFont(embeddedField("Fine", false, "aaa") + kTraceMeasures);
    ASSERT_EQ(device->traces().size(), 2u);
    EXPECT_NE(device->traces()[0], "33") << "without embedFonts the device face of that name draws";
}

TEST(TextFieldMeasure, AutoSizeMovesTheFieldsXAndBoundsWithItsLeftEdge) {
    // "aaa": 660 twips and the 80 of the gutters; the right edge stays at 110 px.
    auto r = runWithEmbeddedFont(embeddedField("Fine", true, "aaa") +
                                 "push \"t\"\ngetVariable\npush \"autoSize\", \"right\"\nsetMember\n"
                                 "push \"t\"\ngetVariable\npush \"_x\"\ngetMember\ntrace\n"
                                 "push \"t\"\ngetVariable\npush \"_width\"\ngetMember\ntrace\n"
                                 "push \"t\"\ngetVariable\npush \"_x\", 50\nsetMember\n"
                                 "push \"t\"\ngetVariable\npush \"_x\"\ngetMember\ntrace\n"
                                 "push \"this\"\ngetVariable\npush 1, \"this\"\ngetVariable\npush \"getBounds\"\ncallMethod\n"
                                 "push \"xMin\"\ngetMember\ntrace\n");
    EXPECT_EQ(r->traces(), (Lines{"73", "37", "50", "50"}));
}

TEST(TextFieldMeasure, CarriageReturnLineFeedSetAsTextIsTwoBreaks) {
    auto r = runWithEmbeddedFont(embeddedField("Fine", true, "a\r\\na") +
                                 "push \"t\"\ngetVariable\npush \"textHeight\"\ngetMember\ntrace\n"
                                 "push \"t\"\ngetVariable\npush \"text\"\ngetMember\npush \"length\"\ngetMember\ntrace\n");
    EXPECT_EQ(r->traces(), (Lines{"60", "4"})) << "three lines of 20 pixels, an empty one between";
}

TEST(TextFieldMeasure, ATurnedFieldsSizeIsTheBoxOfItsCornersInWholeTwips) {
    auto r = runWithEmbeddedFont(embeddedField("Fine", true, "a") +
                                 "push \"t\"\ngetVariable\npush \"_rotation\", 20\nsetMember\n"
                                 "push \"t\"\ngetVariable\npush \"_width\"\ngetMember\ntrace\n"
                                 "push \"t\"\ngetVariable\npush \"_height\"\ngetMember\ntrace\n");
    EXPECT_EQ(r->traces(), (Lines{"104.2", "62.4"})) << "corners at 1879.4 and -205.2 twips: 2084, not 2084.6";
}

}  // namespace
