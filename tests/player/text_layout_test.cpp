// The text layout with a font of round numbers, so every position can be worked out by hand:
// 100 units per EM, ascent 80, descent 20, letters 50 wide, spaces 25, "AV" kerned by -10.
#include <gtest/gtest.h>
#include <text/text_layout.h>

namespace {

class BoxFont : public swf::LayoutFont {
public:
    float unitsPerEm() const override { return 100; }
    float ascent() const override { return 80; }
    float descent() const override { return 20; }
    float leading() const override { return 0; }
    int glyphFor(char32_t code) const override { return code == '~' ? -1 : int(code); }
    float advance(int glyph) const override { return glyph == ' ' ? 25 : 50; }
    float kerning(int left, int right) const override { return left == 'A' && right == 'V' ? -10 : 0; }
    std::shared_ptr<const swf::Shape> outline(int) const override { return nullptr; }
};

// Size 200 twips: scale 2, letters 100 twips wide, ascent 160, descent 40.
swf::TextFieldInput fieldOf(const std::u32string& text, int widthTwips = 2000, int heightTwips = 2000) {
    swf::TextFieldInput f;
    f.bounds = swf::Rect{0, widthTwips, 0, heightTwips};
    swf::TextFormat format;
    format.size = 200;
    f.runs.push_back({text, format});
    return f;
}

swf::TextLayout lay(const swf::TextFieldInput& f) {
    auto font = std::make_shared<BoxFont>();
    return swf::layoutText(f, [font](const swf::TextFormat&) { return font; });
}

std::vector<float> xs(const swf::TextLayout& l) {
    std::vector<float> out;
    for (const auto& g : l.glyphs) out.push_back(g.x);
    return out;
}

TEST(TextLayout, FirstBaselineIsOneAscentBelowTheGutterAndLinesStackByTheirHeight) {
    swf::TextFieldInput f = fieldOf(U"AB\nC");
    f.runs[0].format.leading = 60;
    swf::TextLayout l = lay(f);
    ASSERT_EQ(l.glyphs.size(), 3u);
    EXPECT_FLOAT_EQ(l.glyphs[0].x, 40);
    EXPECT_FLOAT_EQ(l.glyphs[1].x, 140);
    EXPECT_FLOAT_EQ(l.glyphs[0].baseline, 40 + 160);
    EXPECT_FLOAT_EQ(l.glyphs[2].baseline, 200 + 40 + 60 + 160) << "descent, leading, then the next ascent";
    EXPECT_FLOAT_EQ(l.glyphs[2].x, 40) << "a newline breaks even without multiline";
    EXPECT_FLOAT_EQ(l.textHeight, 160 + 40 + 60 + 160 + 40) << "no leading after the last line";
}

TEST(TextLayout, MarginsIndentAndBlockIndentMoveTheLineStart) {
    swf::TextFieldInput f = fieldOf(U"A B C D", 700);
    f.wordWrap = true;
    swf::TextFormat& p = f.runs[0].format;
    p.leftMargin = 20;
    p.blockIndent = 30;
    p.indent = 100;
    swf::TextLayout l = lay(f);
    // Room: 700 - 80 gutters - 50 margin and block indent = 570; the first line has 470, which
    // "A B C" (400) fits and "A B C D" (550) does not.
    ASSERT_EQ(l.lines.size(), 2u);
    EXPECT_FLOAT_EQ(l.lines[0].left, 40 + 20 + 30 + 100);
    EXPECT_FLOAT_EQ(l.lines[1].left, 40 + 20 + 30) << "the indent is the first line's only";
    EXPECT_EQ(l.lines[0].charCount, 6u) << "\"A B C \": the space stays on the line it ends";
}

TEST(TextLayout, WordWrapMovesWholeWordsAndSplitsWordsLongerThanTheLine) {
    swf::TextFieldInput f = fieldOf(U"AB CD EFGHIJ", 80 + 500);  // five letters per line
    f.wordWrap = true;
    swf::TextLayout l = lay(f);
    ASSERT_EQ(l.lines.size(), 3u);
    EXPECT_EQ(l.lines[0].charCount, 6u);  // "AB CD " fits: the trailing space hangs
    EXPECT_FLOAT_EQ(l.lines[0].width, 450);
    EXPECT_EQ(l.lines[1].charCount, 5u);  // "EFGHI"
    EXPECT_EQ(l.lines[2].charCount, 1u);  // "J"
}

TEST(TextLayout, AlignmentPlacesTheInkBetweenTheMargins) {
    for (auto [align, expected] : {std::pair{swf::TextAlign::Right, 1000 - 40 - 10 - 200},
                                   std::pair{swf::TextAlign::Center, 40 + (1000 - 80 - 10 - 200) / 2}}) {
        swf::TextFieldInput f = fieldOf(U"AB  ", 1000);
        f.runs[0].format.align = align;
        f.runs[0].format.rightMargin = 10;
        EXPECT_FLOAT_EQ(lay(f).glyphs[0].x, float(expected)) << int(align) << ": trailing spaces take no room";
    }
}

TEST(TextLayout, JustifyStretchesSpacesOfEveryLineButTheParagraphsLast) {
    swf::TextFieldInput f = fieldOf(U"A B C D", 80 + 450);
    f.wordWrap = true;
    f.runs[0].format.align = swf::TextAlign::Justify;
    swf::TextLayout l = lay(f);
    ASSERT_EQ(l.lines.size(), 2u);
    // "A B C " then "D": the first line's two inner spaces share 450 - 400 = 50.
    std::vector<float> x = xs(l);  // spaces are glyphs too
    EXPECT_FLOAT_EQ(x[2], 40 + 100 + 50 + 25);  // B after A and one stretched space
    EXPECT_FLOAT_EQ(x[4], 40 + 450 - 100) << "C ends at the right margin";
    EXPECT_FLOAT_EQ(x[6], 40) << "the last line keeps its natural spacing";
}

TEST(TextLayout, LetterSpacingAlwaysKerningOnlyWhenAsked) {
    swf::TextFieldInput f = fieldOf(U"AVA");
    f.runs[0].format.letterSpacing = 20;
    EXPECT_EQ(xs(lay(f)), (std::vector<float>{40, 160, 280}));
    f.runs[0].format.kerning = true;
    EXPECT_EQ(xs(lay(f)), (std::vector<float>{40, 140, 260}));
}

TEST(TextLayout, TheEmptyLineAfterAFinalBreakIsNotMeasured) {
    swf::TextFieldInput f = fieldOf(U"AB\nC\n");
    f.runs[0].format.leading = 60;
    EXPECT_FLOAT_EQ(lay(f).textHeight, 2 * (160 + 40 + 60)) << "two lines, each with the leading below it";
    EXPECT_FLOAT_EQ(lay(fieldOf(U"AB\n\n")).textHeight, 2 * (160 + 40)) << "an empty line before it is";
    EXPECT_FLOAT_EQ(lay(fieldOf(U"\n")).textHeight, 160 + 40) << "a lone break measures its first line";
}

TEST(TextLayout, AutoSizeKeepsTheNamedEdgeAndFitsTheText) {
    const int textWidth = 300 + 80;
    struct Case { swf::AutoSize mode; int xMin, xMax; };
    for (Case c : {Case{swf::AutoSize::Left, 100, 100 + textWidth}, Case{swf::AutoSize::Right, 2100 - textWidth, 2100},
                   Case{swf::AutoSize::Center, 1100 - textWidth / 2, 1100 + textWidth / 2}}) {
        swf::TextFieldInput f = fieldOf(U"ABC");
        f.bounds = swf::Rect{100, 2100, 50, 60};
        f.autoSize = c.mode;
        swf::TextLayout l = lay(f);
        EXPECT_EQ(l.bounds.xMin, c.xMin) << int(c.mode);
        EXPECT_EQ(l.bounds.xMax, c.xMax) << int(c.mode);
        EXPECT_EQ(l.bounds.yMin, 50);
        EXPECT_EQ(l.bounds.yMax, 50 + 200 + 80);
    }
    swf::TextFieldInput wrapped = fieldOf(U"ABC ABC", 80 + 400, 10);
    wrapped.wordWrap = true;
    wrapped.autoSize = swf::AutoSize::Left;
    swf::TextLayout l = lay(wrapped);
    EXPECT_EQ(l.bounds.xMax, 480) << "a wrapping field keeps its width";
    EXPECT_EQ(l.bounds.yMax, 2 * 200 + 80);
}

TEST(TextLayout, LinesBelowTheFieldAreNotLaidOutAndGlyphsPastItsRightEdgeAreDropped) {
    swf::TextFieldInput f = fieldOf(U"A\nB\nC", 2000, 40 + 200 + 200);
    EXPECT_EQ(lay(f).lines.size(), 2u);
    swf::TextFieldInput wide = fieldOf(U"ABCDEFGHIJ", 400);
    EXPECT_EQ(lay(wide).glyphs.size(), 4u) << "glyphs starting at 40, 140, 240, 340 of a 400-twip field";
}

TEST(TextLayout, PasswordFieldsShowStarsAndMissingGlyphsKeepTheirRoom) {
    swf::TextFieldInput f = fieldOf(U"ab~c");
    f.password = true;
    swf::TextLayout l = lay(f);
    ASSERT_EQ(l.glyphs.size(), 4u);
    for (const auto& g : l.glyphs) EXPECT_EQ(g.glyph, '*');
    swf::TextLayout plain = lay(fieldOf(U"a~c"));
    ASSERT_EQ(plain.glyphs.size(), 2u);
    EXPECT_FLOAT_EQ(plain.glyphs[1].x, 40 + 100 + 66) << "a third of an EM (in whole twips) for the glyph the font lacks";
}

TEST(TextLayout, UnderlinesRunUnderInnerSpacesButNotTrailingOnes) {
    swf::TextFieldInput f = fieldOf(U"AB C  ");
    f.runs[0].format.underline = true;
    f.runs.push_back(f.runs[0]);
    f.runs[1].text = U"\nD";
    f.runs[1].format.color = swf::Rgba{255, 0, 0, 255};
    swf::TextLayout l = lay(f);
    ASSERT_EQ(l.underlines.size(), 2u) << "one bar per line";
    EXPECT_FLOAT_EQ(l.underlines[0].x0, 40);
    EXPECT_FLOAT_EQ(l.underlines[0].x1, 40 + 350);
    EXPECT_GT(l.underlines[0].y0, l.glyphs[0].baseline);
    EXPECT_EQ(l.underlines[1].color, (swf::Rgba{255, 0, 0, 255})) << "in its run's colour";
}

TEST(TextLayout, TextsLongerThanTheCapAreCutAndManyEmptyLinesStayCheap) {
    // Empty lines once looked their paragraph's font up by scanning every character: tens of
    // thousands of line breaks took minutes.
    swf::TextFieldInput f = fieldOf(std::u32string(200000, U'\n'), 2000, 40 + 200 * 3);
    f.autoSize = swf::AutoSize::Left;
    swf::TextLayout l = lay(f);
    EXPECT_EQ(l.lines.size(), swf::kMaxLaidOutChars + 1) << "the capped text's breaks, all shown by autoSize";
}

TEST(TextLayout, NoFontAndNoTextGiveAnEmptyLayoutWithoutFailing) {
    swf::TextFieldInput f = fieldOf(U"AB");
    swf::TextLayout l = swf::layoutText(f, [](const swf::TextFormat&) { return nullptr; });
    EXPECT_TRUE(l.glyphs.empty());
    swf::TextFieldInput empty;
    empty.bounds = swf::Rect{0, 100, 0, 100};
    empty.autoSize = swf::AutoSize::Left;
    EXPECT_EQ(lay(empty).bounds.xMax, 80) << "only the gutters are left";
}

}  // namespace
