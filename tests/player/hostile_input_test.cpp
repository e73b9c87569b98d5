// Malformed files: lengths and counts that lie, nesting, bad indices. Each must load what it
// can (or fail with a reason) without reading outside its data; the sanitizer build checks that.
#include <freetype_font_provider.h>
#include <parse/load_context.h>
#include <runtime/runtime_limits.h>
#include <parse/reader.h>
#include <text/text_layout.h>

#include <cmath>

#include "fixtures.h"
#include "test_movie.h"

namespace {

using testing_support::play;

std::vector<uint8_t> movieWith(const std::vector<swfw::Tag>& tags, int frames = 1) {
    swfw::MovieWriter m(8, 50, 50, 12);
    m.add(fixtures::squareShape(1, 10, fixtures::rgb(255, 0, 0)));
    for (const auto& t : tags) m.add(t);
    for (int i = 0; i < frames; ++i) {
        m.add(swfw::placeObject2({uint16_t(100 + i), 1, false, fixtures::at(0, 0)}));
        m.showFrame();
    }
    return m.build();
}

// Renders a few frames at a small size, as the fuzz target does.
void exercise(const std::vector<uint8_t>& bytes) {
    std::string error;
    auto player = swf::Player::load(bytes.data(), bytes.size(), error);
    if (!player) return;
    swf::Canvas canvas(32, 24);
    for (int i = 0; i < 3; ++i) {
        player->render(canvas, swf::ScaleMode::ShowAll, swf::Quality::Medium);
        player->stepFrame();
    }
}

TEST(Reader, BoundsAndBitFields) {
    const uint8_t data[] = {0xb4, 0x12, 0x34};
    swf::Reader r(data, sizeof data, 26);
    EXPECT_EQ(r.ubits(3), 5u);
    EXPECT_EQ(r.sbits(5), -12);
    EXPECT_EQ(r.u16(), 0x3412) << "a byte read aligns";
    EXPECT_THROW(r.u8(), swf::ParseError);
    try {
        swf::Reader empty(data, 0, 26);
        empty.u32();
        FAIL();
    } catch (const swf::ParseError& e) {
        EXPECT_EQ(e.tagCode(), 26);
        EXPECT_NE(std::string(e.what()).find("tag 26"), std::string::npos);
    }
    swf::Reader noTerminator(data, sizeof data);
    EXPECT_EQ(noTerminator.cstring().size(), 3u);
    swf::Reader sub(data, sizeof data);
    EXPECT_THROW(sub.sub(4), swf::ParseError);
}

TEST(HostileInput, TagLengthBeyondTheFileIsCutToTheData) {
    auto bytes = movieWith({});
    // Make the last ShowFrame claim a long body: the loader must stop at the data's end.
    size_t declared = bytes.size();
    bytes.insert(bytes.end() - 2, {0x3f, 0x00, 0xff, 0xff, 0xff, 0x7f});
    uint32_t len = uint32_t(bytes.size());
    bytes[4] = uint8_t(len);
    bytes[5] = uint8_t(len >> 8);
    (void)declared;
    auto player = play(bytes);
    ASSERT_TRUE(player);
    EXPECT_FALSE(player->movie().warnings.empty());
    exercise(bytes);
}

TEST(HostileInput, DamagedTagsAreSkippedWithTheirCode) {
    std::vector<swfw::Tag> tags = {
        {2, {5, 0}},                          // DefineShape cut after its id
        {26, {0xff}},                         // PlaceObject2 with every flag and no data
        {46, {7, 0, 0, 0, 0, 0xff, 0xff}},    // DefineMorphShape with a wild end offset
        {48, {8, 0, 0x08, 0, 0, 0xff, 0xff}}, // DefineFont2 claiming 65535 glyphs
        {11, {9, 0, 0, 0, 40, 40}},           // DefineText with 40-bit fields
        {37, {10, 0, 0, 0xff, 0xff}},         // DefineEditText with every flag
        {34, {11, 0, 0, 0xff, 0xff, 0x0f}},   // DefineButton2 cut in a record
        {39, {12, 0, 1, 0, 0xff, 0xff}},      // DefineSprite with a broken inner tag header
        {12, {0x96, 0xff, 0xff, 0x00}},       // DoAction: Push longer than the tag
        {12, {0x96, 0x02, 0x00, 0x0b, 0x00}}, // DoAction: unknown push type
        {60, {13, 0, 1, 0}},                  // DefineVideoStream cut before its size
    };
    auto bytes = movieWith(tags);
    auto player = play(bytes);
    ASSERT_TRUE(player);
    const auto& warnings = player->movie().warnings;
    EXPECT_GE(warnings.size(), 7u);
    for (const std::string& w : warnings) EXPECT_EQ(w.rfind("tag ", 0), 0u) << w;
    EXPECT_NE(player->movie().character(1), nullptr) << "the good shape before them is kept";
    EXPECT_EQ(player->movie().character(13), nullptr) << "a cut video defines nothing";
    exercise(bytes);
}

TEST(HostileInput, SelfNestingSpritesAreBounded) {
    // Sprite 2 places sprite 2 ten times: the nesting cap and the per-tick instance budget
    // stop the explosion.
    std::vector<swfw::Tag> inner;
    for (uint16_t d = 1; d <= 10; ++d) inner.push_back(swfw::placeObject2({d, 2, false, fixtures::at(1, 1)}));
    inner.push_back(swfw::Tag{1, {}});
    auto bytes = movieWith({swfw::defineSprite(2, 1, inner), swfw::placeObject2({5, 2, false, fixtures::at(0, 0)})}, 2);
    auto player = play(bytes);
    ASSERT_TRUE(player);
    int depth = 0;
    for (const swf::Clip* c = &player->root(); c && !c->displayList().empty(); ++depth) {
        auto it = c->displayList().find(1);
        c = it != c->displayList().end() ? it->second->clip() : nullptr;
    }
    EXPECT_LE(depth, swf::kMaxDisplayDepth);
    exercise(bytes);
}

TEST(HostileInput, ShapeIndicesAndCountsThatLie) {
    swfw::ShapeWriter s(3);
    s.addSolidFill(fixtures::rgb(1, 2, 3));
    s.fill1(1);
    s.moveTo(0, 0);
    s.lineTo(100, 0);
    auto shape = swfw::defineShape(2, 3, swf::Rect{0, 100, 0, 100}, s);
    // Bump the fill count to 200 without adding fills: the tag is refused as too short.
    auto lying = shape;
    lying.body[2 + 5] = 200;  // after the id and a 5-byte rect
    auto bytes = movieWith({lying});
    auto player = play(bytes);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->movie().character(2), nullptr);
    exercise(bytes);
}

TEST(HostileInput, TruncatedAtEveryLength) {
    auto full = fixtures::textMovie();
    for (size_t n = 0; n < full.size(); n += 7) {
        std::vector<uint8_t> cut(full.begin(), full.begin() + long(n));
        exercise(cut);
    }
    auto compressed = swfw::MovieWriter(8, 10, 10, 1).build(true);
    for (size_t n = 0; n < compressed.size(); ++n) {
        std::vector<uint8_t> cut(compressed.begin(), compressed.begin() + long(n));
        exercise(cut);
    }
}

TEST(HostileInput, TextFieldsWithExtremeLayoutValuesStayInsideFiniteBounds) {
    auto fonts = std::make_shared<swf::FreeTypeFontProvider>();
    std::vector<swfw::Tag> tags{swfw::defineFont2(2, "_sans", {}, 0, 0)};
    std::string huge(70000, 'W');
    std::string nested;
    for (int i = 0; i < 500; ++i) nested += "<font size=\"+100\"><li><textformat indent=\"-9999\">x";
    struct Case { std::string text; bool html; uint16_t height; int16_t indent, leading; uint16_t margin; };
    const Case cases[] = {
        {huge, false, 65535, 32767, 32767, 65535},
        {"a\nb", false, 0, -32768, -32768, 0},
        {nested, true, 400, 0, 0, 0},
        {std::string(40000, '\n'), false, 240, 0, -200, 0},
    };
    uint16_t id = 10;
    for (const Case& c : cases) {
        swfw::EditText e;
        e.bounds = swf::Rect{0, 2000, 0, 400};
        e.font = 2;
        e.useOutlines = false;
        e.height = c.height;
        e.html = c.html;
        e.wordWrap = e.multiline = e.autoSize = e.border = true;
        e.indent = c.indent;
        e.leading = c.leading;
        e.leftMargin = e.rightMargin = c.margin;
        e.text = c.text;
        tags.push_back(swfw::defineEditText(id++, e));
    }
    auto bytes = movieWith(tags, 1);
    std::string error;
    auto player = swf::Player::load(bytes.data(), bytes.size(), error, nullptr, fonts);
    ASSERT_TRUE(player) << error;
    for (uint16_t n = 10; n < id; ++n) {
        const auto* edit = static_cast<const swf::EditTextCharacter*>(player->movie().character(n));
        ASSERT_TRUE(edit) << n;
        for (const auto& g : edit->glyphs)
            ASSERT_TRUE(std::isfinite(g.matrix.tx) && std::isfinite(g.matrix.ty) && std::isfinite(g.matrix.a)) << n;
        EXPECT_LE(edit->glyphs.size(), swf::kMaxLaidOutChars + 2) << n;
    }
    swf::Canvas canvas(32, 24);
    player->render(canvas, swf::ScaleMode::ShowAll, swf::Quality::Medium);
}

}  // namespace
