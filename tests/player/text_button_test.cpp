// Fonts, static text, edit text laid out as static text, and buttons in their up state.
#include <cmath>

#include <parse/glyph_placement.h>
#include <text/html_text.h>

#include "fixtures.h"
#include "test_movie.h"

namespace {

using testing_support::character;
using testing_support::describe;
using testing_support::load;
using testing_support::play;

TEST(Text, DefineFont2AndDefineText) {
    auto movie = load(fixtures::textMovie());
    ASSERT_TRUE(movie);
    EXPECT_TRUE(movie->warnings.empty()) << movie->warnings.front();
    const auto& font = character<swf::FontCharacter>(*movie, 1, swf::CharacterKind::Font);
    EXPECT_EQ(font.name, "Blocks");
    ASSERT_EQ(font.glyphs.size(), 5u);
    EXPECT_EQ(font.glyphForCode('O'), 3);
    EXPECT_EQ(font.glyphForCode('x'), -1);
    EXPECT_EQ(font.advances[1], 680);
    EXPECT_EQ(font.ascent, 800);
    EXPECT_EQ(font.glyphs[1].layers[0].edges.size(), 8u);  // L: two rectangles

    const auto& text = character<swf::TextCharacter>(*movie, 2, swf::CharacterKind::Text);
    ASSERT_EQ(text.runs.size(), 2u);
    EXPECT_EQ(text.runs[1].font.get(), &font) << "style carries over to the next record";
    EXPECT_FLOAT_EQ(text.runs[1].x, 100 + 150 + 280 + 290 + 300);
    EXPECT_FLOAT_EQ(text.runs[1].y, 900);
    EXPECT_EQ(text.runs[1].color, (swf::Rgba{200, 0, 0, 160}));
    ASSERT_EQ(text.glyphs.size(), 6u);
    // Glyph matrices: EM units scaled to the text height, at the pen position.
    EXPECT_FLOAT_EQ(text.glyphs[1].matrix.a, 400.0f / 1024);
    EXPECT_FLOAT_EQ(text.glyphs[1].matrix.tx, 250);
    EXPECT_FLOAT_EQ(text.glyphs[1].matrix.ty, 500);
    EXPECT_EQ(text.glyphs[4].shape->layers[0].fills[0].color, (swf::Rgba{200, 0, 0, 160}));
    EXPECT_EQ(text.glyphs[0].shape, text.glyphs[0].shape);
}

TEST(Text, EditTextLaysOutItsInitialText) {
    auto movie = load(fixtures::textMovie());
    const auto& edit = character<swf::EditTextCharacter>(*movie, 3, swf::CharacterKind::EditText);
    EXPECT_TRUE(edit.html);
    EXPECT_TRUE(edit.multiline);
    // "TOIL" and "LOT & IT": '&' has no glyph and is skipped, its room kept; spaces are glyphs.
    ASSERT_EQ(edit.glyphs.size(), 11u);
    float scale = 300.0f / 1024;
    EXPECT_FLOAT_EQ(edit.glyphs[0].matrix.a, scale);
    float firstLine = edit.glyphs[0].matrix.ty;
    float secondLine = edit.glyphs[4].matrix.ty;
    // Ascent, descent and advances in whole twips, each cut.
    auto twips = [&](float units) { return std::trunc(units * scale); };
    EXPECT_FLOAT_EQ(firstLine, 40 + twips(800));
    EXPECT_FLOAT_EQ(secondLine - firstLine, twips(800) + twips(200));
    // Centred: equal room left and right of "TOIL" inside the gutters.
    float width = twips(700) + twips(760) + twips(360) + twips(680);
    EXPECT_NEAR(edit.glyphs[0].matrix.tx, 40 + (3600 - 80 - width) / 2, 0.01);
}

TEST(Text, EmbeddedKerningPairsApplyWhenTheFieldAsksForKerning) {
    auto fieldGlyphX = [](const char* html) {
        swfw::MovieWriter m(8, 200, 50, 12);
        std::vector<swfw::FontGlyph> glyphs(2);
        glyphs[0].code = 'L';
        glyphs[1].code = 'T';
        for (auto& g : glyphs) {
            g.advance = 600;
            g.shape.rect(0, -700, 500, 0, 1);
        }
        m.add(swfw::defineFont2(1, "Kerned", glyphs, 800, 200, 2, {{'L', 'T', -200}, {'T', 'L', 50}}));
        swfw::EditText e;
        e.bounds = swf::Rect{0, 4000, 0, 1000};
        e.font = 1;
        e.height = 512;
        e.html = true;
        e.text = html;
        m.add(swfw::defineEditText(2, e));
        m.showFrame();
        auto movie = load(m.build());
        const auto& font = character<swf::FontCharacter>(*movie, 1, swf::CharacterKind::Font);
        EXPECT_EQ(font.kerning.size(), 2u);
        const auto& edit = character<swf::EditTextCharacter>(*movie, 2, swf::CharacterKind::EditText);
        std::vector<float> x;
        for (const auto& g : edit.glyphs) x.push_back(g.matrix.tx);
        return x;
    };
    EXPECT_EQ(fieldGlyphX("LTL"), (std::vector<float>{40, 340, 640}));
    EXPECT_EQ(fieldGlyphX("<font kerning=\"1\">LTL</font>"), (std::vector<float>{40, 240, 565}));
}

TEST(Text, HtmlPlainTextKeepsTextAndBreaks) {
    auto plain = [](const char* html) { return swf::plainText(swf::parseHtmlText(html, swf::TextFormat{})); };
    EXPECT_EQ(plain("<p align=\"left\"><font face=\"x\">A &lt;b&gt;</font></p><p>C<br>D</p>"), U"A <b>\nC\nD\n");
    EXPECT_EQ(plain("unclosed <tag"), U"unclosed ");
    EXPECT_EQ(plain("&bogus; &amp;"), U"&bogus; &");
}

TEST(Text, DefineFontWithFontInfoCodes) {
    auto movie = load(fixtures::fontInfoTextMovie());
    ASSERT_TRUE(movie);
    EXPECT_TRUE(movie->warnings.empty()) << movie->warnings.front();
    const auto& font = character<swf::FontCharacter>(*movie, 1, swf::CharacterKind::Font);
    EXPECT_EQ(font.name, "Blocks");
    EXPECT_EQ(font.glyphs.size(), 5u);
    EXPECT_EQ(font.glyphForCode('T'), 2);
    EXPECT_FALSE(font.hasLayout);
    const auto& text = character<swf::TextCharacter>(*movie, 2, swf::CharacterKind::Text);
    EXPECT_EQ(text.glyphs.size(), 3u);
}

TEST(Buttons, UpStateRecordsArePlaced) {
    auto player = play(fixtures::buttonMovie());
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->movie().warnings.empty()) << player->movie().warnings.front();
    const auto& list = player->root().displayList();
    const swf::Clip* plain = list.at(1)->clip();
    const swf::Clip* tinted = list.at(2)->clip();
    ASSERT_TRUE(plain && tinted);
    EXPECT_EQ(describe(*plain), "1:1") << "over, down and hit records are not drawn";
    EXPECT_EQ(describe(*tinted), "1:1 2:3");
    EXPECT_EQ(tinted->displayList().at(1)->state().colorTransform.gAdd, 160);
    EXPECT_FLOAT_EQ(tinted->displayList().at(2)->state().matrix.tx, 200);
}

TEST(Text, DefineFont3GlyphsUseTheTwentyTimesFinerEmSquare) {
    swfw::MovieWriter m(8, 100, 50, 12);
    std::vector<swfw::FontGlyph> glyphs(1);
    glyphs[0].code = 'I';
    glyphs[0].advance = 7200;
    glyphs[0].shape.rect(2000, -14000, 5200, 0, 1);
    m.add(swfw::defineFont2(1, "Fine", glyphs, 16000, 4000, 3));
    swfw::TextRecord r;
    r.font = 1;
    r.color = fixtures::rgb(0, 0, 0);
    r.x = 0;
    r.y = 400;
    r.height = 512;
    r.glyphs = {{0, 180}};
    m.add(swfw::defineText(2, 2, swf::Rect{0, 400, 0, 500}, swf::Matrix{}, {r}));
    m.showFrame();
    auto movie = load(m.build());
    ASSERT_TRUE(movie);
    const auto& font = character<swf::FontCharacter>(*movie, 1, swf::CharacterKind::Font);
    EXPECT_FLOAT_EQ(font.emSize, 20480);
    EXPECT_EQ(font.glyphForCode('I'), 0);
    const auto& text = character<swf::TextCharacter>(*movie, 2, swf::CharacterKind::Text);
    ASSERT_EQ(text.glyphs.size(), 1u);
    EXPECT_FLOAT_EQ(text.glyphs[0].matrix.a, 512.0f / 20480);
}

}  // namespace
