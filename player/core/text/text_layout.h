// Lays out a text field as the original player does:
// - a 2-pixel gutter inside the field's rectangle on every side;
// - per paragraph (text up to '\n'): left and right margins, block indent, the first line's
//   indent, alignment (left, right, centre, justify: every line but the paragraph's last
//   stretched at its spaces), a bullet for <li>;
// - per line: the largest ascent, descent and leading of the fonts on it; the first baseline
//   one ascent below the top gutter, each next one the previous line's descent and leading
//   further down;
// - per character: the font's advance at the run's size, plus letter spacing, plus the kerning
//   pair with the previous character when the format asks for kerning and the font has it;
// - word wrap at spaces (a word longer than the line breaks between characters), trailing
//   spaces hanging past the right edge; without multiline the text still breaks at '\n';
// - autoSize: the rectangle grows or shrinks to the text (the width too without word wrap),
//   keeping its left edge, centre or right edge; its top edge always stays.
// Lines that start below the rectangle's bottom are not laid out (the field shows its first
// lines; scrolling is the script side's).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "layout_font.h"
#include "text_field_input.h"

namespace swf {

struct LaidOutGlyph {
    std::shared_ptr<const LayoutFont> font;
    int glyph = 0;
    float x = 0, baseline = 0;  // twips, field space
    float size = 0;             // twips per EM
    Rgba color;
};

struct LaidOutRect {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // twips
    Rgba color;
};

struct LaidOutLine {
    float left = 0, width = 0;  // the ink's start and width, trailing spaces excluded
    float top = 0, ascent = 0, descent = 0, leading = 0;
    size_t firstChar = 0, charCount = 0;  // into the field's plain text
};

struct TextLayout {
    Rect bounds;  // the field's rectangle after autoSize
    std::vector<LaidOutLine> lines;
    std::vector<LaidOutGlyph> glyphs;
    std::vector<LaidOutRect> underlines;
    float textWidth = 0, textHeight = 0;  // twips, gutters excluded
};

// The font for a run; null when none is usable (the run's text then takes no room).
using FontLookup = std::function<std::shared_ptr<const LayoutFont>(const TextFormat&)>;

constexpr float kTextGutter = 2 * kTwipsPerPixel;
constexpr size_t kMaxLaidOutChars = 64 * 1024;  // the rest of a longer text is not laid out

TextLayout layoutText(const TextFieldInput& field, const FontLookup& fonts);

// A layout coordinate as whole twips for a rectangle: rounded up, kept within +-2^30 so that
// 65,536 lines of the largest font still make a rectangle whose sums do not overflow.
int32_t rectTwips(float v);

}  // namespace swf
