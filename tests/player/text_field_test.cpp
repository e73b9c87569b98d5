// A running text field without scripts: editing ranges of styled runs, formats over ranges,
// the HTML the original's htmlText reads back, CSMTextSettings read from the tag.
#include <gtest/gtest.h>
#include <movie_writer.h>
#include <parse/movie_loader.h>
#include <runtime/text_field.h>
#include <tags.h>
#include <text/html_text.h>
#include <text/html_writer.h>

#include <cmath>
#include <cstring>

namespace {

swf::EditTextCharacter character(const std::string& text, bool html = false) {
    swf::EditTextCharacter c;
    c.bounds = swf::Rect{0, 4000, 0, 1000};
    c.initialText = text;
    c.html = html;
    return c;
}

TEST(TextFieldEditing, ReplaceTextTakesTheFormatOfTheFirstReplacedCharacter) {
    swf::EditTextCharacter c = character("<b>bold</b> plain", true);
    swf::TextField field(c, nullptr);
    EXPECT_EQ(field.textUtf8(), "bold plain");
    field.replaceText(2, 6, "LD-P");  // "bo" + "LD-P" + "lain"
    EXPECT_EQ(field.textUtf8(), "boLD-Plain");
    EXPECT_TRUE(field.formatOf(2, 6).format.bold) << "the inserted text is bold like the 'l' it replaced";
    EXPECT_FALSE(field.formatOf(6, 10).format.bold);
    field.replaceText(100, 200, "!");
    EXPECT_EQ(field.textUtf8(), "boLD-Plain!") << "past the end: appended";
    field.replaceText(0, 0, "> ");
    EXPECT_EQ(field.textUtf8(), "> boLD-Plain!");
    EXPECT_EQ(field.length(), 13u);
}

TEST(TextFieldEditing, ParagraphMembersApplyToWholeParagraphsCharacterMembersToTheRange) {
    swf::EditTextCharacter c = character("first line\rsecond line");
    swf::TextField field(c, nullptr);
    EXPECT_EQ(field.textUtf8(), "first line\rsecond line") << "breaks read back as \\r";
    swf::TextFormat f;
    f.align = swf::TextAlign::Center;
    f.underline = true;
    field.applyFormat(2, 4, f, swf::kFormatAlign | swf::kFormatUnderline);
    EXPECT_EQ(field.formatOf(0, 11).format.align, swf::TextAlign::Center) << "the whole first paragraph";
    EXPECT_EQ(field.formatOf(11, 12).format.align, swf::TextAlign::Left) << "not the second";
    swf::TextField::FormatQuery q = field.formatOf(0, 6);
    EXPECT_TRUE(q.mixed & swf::kFormatUnderline) << "underline only on 2..4";
    EXPECT_FALSE(q.mixed & swf::kFormatAlign);
    EXPECT_TRUE(field.formatOf(2, 4).format.underline);
}

TEST(TextFieldEditing, AnHtmlTagsDefaultFormatTakesNeitherTheFontsStyleNorBeforeSwf8ItsAlignment) {
    auto font = std::make_shared<swf::FontCharacter>();
    font->name = "f";
    font->bold = font->italic = true;
    swf::EditTextCharacter html = character("x", true), plain = character("x");
    html.font = plain.font = font;
    html.align = plain.align = swf::TextAlign::Center;
    swf::TextFieldServices v7(nullptr, 7), v8(nullptr, 8);
    swf::TextField html7(html, &v7), html8(html, &v8), plain7(plain, &v7);
    EXPECT_EQ(html7.newTextFormat.align, swf::TextAlign::Left);
    EXPECT_EQ(html8.newTextFormat.align, swf::TextAlign::Center);
    EXPECT_EQ(plain7.newTextFormat.align, swf::TextAlign::Center);
    EXPECT_FALSE(html8.newTextFormat.bold || html8.newTextFormat.italic || html8.formatOf(0, 1).format.bold);
    EXPECT_TRUE(plain7.newTextFormat.bold && plain7.formatOf(0, 1).format.italic);
}

TEST(TextFieldEditing, MaxCharsCutsTextScriptsSetAndTheTagsTextComesBack) {
    swf::EditTextCharacter c = character("tag text");
    swf::TextField field(c, nullptr);
    field.maxChars = 4;
    field.setText("abcdefgh");
    EXPECT_EQ(field.textUtf8(), "abcd");
    field.resetText();
    EXPECT_EQ(field.textUtf8(), "tag ") << "the limit holds for the tag's text too";
    uint64_t before = field.version();
    field.setText("x");
    EXPECT_GT(field.version(), before) << "a change is seen by drawing";
}

TEST(HtmlWriter, ParagraphsFontsAndStylesAsTheOriginalWritesThem) {
    swf::TextFormat base;
    auto html = [&](const std::string& source) { return swf::writeHtmlText(swf::parseHtmlText(source, base)); };
    EXPECT_EQ(html("<textformat leftmargin=\"5\" leading=\"2\"><p align=\"right\">a <b>b</b> &amp;</p></textformat>"),
              "<TEXTFORMAT LEFTMARGIN=\"5\" LEADING=\"2\"><P ALIGN=\"RIGHT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" "
              "COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\">a <B>b</B> &amp;</FONT></P></TEXTFORMAT>");
    EXPECT_EQ(html("x<font color=\"#ff0000\" size=\"20\">y</font>"),
              "<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" "
              "KERNING=\"0\">x<FONT SIZE=\"20\" COLOR=\"#FF0000\">y</FONT></FONT></P>")
        << "inner fonts carry only what changed";
    EXPECT_EQ(html("<li>item</li>"),
              "<LI><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\">item"
              "</FONT></LI>");
    EXPECT_EQ(swf::writeHtmlText({{U"", base}}), "") << "an empty field has no paragraph";
    EXPECT_EQ(html("a\nb\n").find("<P ALIGN", 1) != std::string::npos, true);
    EXPECT_EQ(html("a\nb\n").rfind("<P ALIGN"), html("a\nb").rfind("<P ALIGN")) << "a final break makes no paragraph";
    EXPECT_EQ(html("<textformat leading=\"2\" tabstops=\"1,2.5\">x</textformat>").substr(0, 44),
              "<TEXTFORMAT LEADING=\"2\" TABSTOPS=\"1,2.5\"><P ")
        << "tab stops in pixels after the leading";
}

TEST(HtmlWriter, ABreakInAnotherFormatIsWrittenAsAnEmptyRun) {
    swf::TextFormat base;
    auto html = [&](const std::string& source) { return swf::writeHtmlText(swf::parseHtmlText(source, base)); };
    const std::string p = "<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\">";
    EXPECT_EQ(html("ab<b><br></b>"), p + "ab<B></B></FONT></P>") << "<br> breaks in the format in force";
    EXPECT_EQ(html("<p><b>ab</b></p>"), p + "<B>ab</B></FONT></P>") << "</p> in the last character's: nothing more";
    swf::TextFormat italic = base, bullet = base;
    italic.italic = bullet.italic = bullet.bullet = true;
    EXPECT_EQ(swf::writeHtmlText({{U"a", italic}, {U"b", bullet}}), p + "<I>ab</I></FONT></P>") << "runs written alike are one";
    EXPECT_EQ(html("<font color=\"#ff0000\">ab</font>\n"), p.substr(0, p.find("COLOR")) + "COLOR=\"#FF0000\" LETTERSPACING=\"0\" KERNING=\"0\">ab<FONT COLOR=\"#000000\"></FONT></FONT></P>");
}

TEST(HtmlWriter, FontTagsNestAndCloseBackToAMatchingOne) {
    swf::TextFormat base;
    auto font = [&](const char* face, float size) {
        swf::TextFormat f = base;
        f.face = face;
        f.size = size * 20;
        return f;
    };
    const std::string open = "<P ALIGN=\"LEFT\"><FONT FACE=\"A\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\">";
    // A, B, B 14, A 14, A: each new font nests inside the last; the last run matches the outer one.
    std::vector<swf::StyledRun> runs{{U"1", font("A", 12)}, {U"2", font("B", 12)}, {U"3", font("B", 14)},
                                     {U"4", font("A", 14)}, {U"5", font("A", 12)}};
    EXPECT_EQ(swf::writeHtmlText(runs), open + "1<FONT FACE=\"B\">2<FONT SIZE=\"14\">3<FONT FACE=\"A\">4</FONT></FONT></FONT>5</FONT></P>");
    // A, B, A, B: going back to the outer font closes the inner tag, the next opens a new one.
    runs = {{U"1", font("A", 12)}, {U"2", font("B", 12)}, {U"3", font("A", 12)}, {U"4", font("B", 12)}};
    EXPECT_EQ(swf::writeHtmlText(runs), open + "1<FONT FACE=\"B\">2</FONT>3<FONT FACE=\"B\">4</FONT></FONT></P>");
}

TEST(HtmlText, OlderMoviesDropBlankTextAndBreakOnlyWhereTheirRulesSay) {
    swf::TextFormat base;
    auto plain = [&](const char* html, bool multiline, int version) {
        return swf::plainText(swf::parseHtmlText(html, base, swf::HtmlRules{multiline, false, version}));
    };
    const char* source = "<p>a</p> <p>b</p>";
    EXPECT_EQ(plain(source, false, 6), U"a\nb\n") << "SWF 6: paragraphs break even in single-line fields";
    EXPECT_EQ(plain(source, false, 7), U"ab") << "SWF 7: blank text between tags is dropped, no breaks";
    EXPECT_EQ(plain(source, true, 7), U"a\nb\n");
    EXPECT_EQ(plain(source, false, 8), U"a b") << "SWF 8 keeps the blank text";
    EXPECT_EQ(plain("a<br>b", false, 7), U"ab") << "<br> follows the paragraph rule";
    EXPECT_EQ(plain("a &amp; <b> </b>", true, 7), U"a & ") << "an entity is text of its own run";
    auto kerning = [&](int version) {
        return swf::parseHtmlText("<font kerning=\"1\">k</font>", base, swf::HtmlRules{true, false, version})[0].format.kerning;
    };
    EXPECT_FALSE(kerning(7)) << "KERNING is not read before SWF 8";
    EXPECT_TRUE(kerning(8));
}

// CSMTextSettings bytes: id, flags, thickness, sharpness, reserved.
swfw::Tag csm(uint16_t id, uint8_t flags, float thickness, float sharpness) {
    swfw::Tag t{74, {uint8_t(id), uint8_t(id >> 8), flags}};
    for (float f : {thickness, sharpness}) {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        for (int i = 0; i < 4; ++i) t.body.push_back(uint8_t(bits >> (8 * i)));
    }
    t.body.push_back(0);
    return t;
}

TEST(CsmTextSettings, ValuesOutsideTheTagsRangesAreClampedAndUnknownGridFitsMeanNone) {
    swfw::MovieWriter m(8, 100, 100, 12);
    m.add(csm(3, 1 << 6 | 2 << 3, 500, -1000));
    m.add(csm(4, 0 << 6 | 7 << 3, NAN, 12.5f));
    m.add(swfw::Tag{74, {5, 0}});  // cut short: skipped with a warning
    m.showFrame();
    std::vector<uint8_t> bytes = m.build();
    std::string error;
    auto movie = swf::loadMovie(bytes.data(), bytes.size(), error);
    ASSERT_TRUE(movie) << error;
    const swf::TextRendering& a = movie->textRendering.at(3);
    EXPECT_TRUE(a.advanced);
    EXPECT_EQ(a.gridFit, swf::GridFit::Subpixel);
    EXPECT_EQ(a.thickness, 200);
    EXPECT_EQ(a.sharpness, -400);
    const swf::TextRendering& b = movie->textRendering.at(4);
    EXPECT_FALSE(b.advanced);
    EXPECT_EQ(b.gridFit, swf::GridFit::None);
    EXPECT_EQ(b.thickness, 0) << "NaN";
    EXPECT_EQ(b.sharpness, 12.5f);
    EXPECT_EQ(movie->textRendering.count(5), 0u);
    EXPECT_FALSE(movie->warnings.empty());
}

// A tag's field is an input field unless it is read-only, and unselectable with NoSelect; a
// field a script makes keeps the defaults (dynamic, selectable).
TEST(TextFieldTag, ReadOnlyAndNoSelectFlagsGiveTheFieldsTypeAndSelectability) {
    swfw::MovieWriter m(8, 100, 100, 12);
    swfw::EditText input;
    input.bounds = swf::Rect{0, 2000, 0, 400};
    input.readOnly = false;
    input.selectable = false;
    m.add(swfw::defineEditText(3, input));
    swfw::EditText dynamic = input;
    dynamic.readOnly = true;
    dynamic.selectable = true;
    m.add(swfw::defineEditText(4, dynamic));
    m.showFrame();
    std::vector<uint8_t> bytes = m.build();
    std::string error;
    auto movie = swf::loadMovie(bytes.data(), bytes.size(), error);
    ASSERT_TRUE(movie) << error;
    const auto* a = dynamic_cast<const swf::EditTextCharacter*>(movie->character(3));
    const auto* b = dynamic_cast<const swf::EditTextCharacter*>(movie->character(4));
    ASSERT_TRUE(a && b);
    const swf::EditTextCharacter byScript;
    swf::TextField inputField(*a, nullptr), dynamicField(*b, nullptr), scripted(byScript, nullptr);
    EXPECT_TRUE(inputField.input_);
    EXPECT_FALSE(inputField.selectable);
    EXPECT_FALSE(dynamicField.input_);
    EXPECT_TRUE(dynamicField.selectable);
    EXPECT_FALSE(scripted.input_);
    EXPECT_TRUE(scripted.selectable);
}

}  // namespace
