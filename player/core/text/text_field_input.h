// What the text layout takes: the field's text as styled runs, its rectangle and its flags.
// A plain struct on purpose: DefineEditText fills it from the tag today, and the TextField and
// TextFormat script objects (text, htmlText, setTextFormat, autoSize, variable binding) fill
// the same struct and call the same layout, without changes here.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "../geometry.h"
#include "../model/characters.h"

namespace swf {

enum class AutoSize : uint8_t { None, Left, Center, Right };

// The TextFormat of the original player, resolved: every member has a value.
struct TextFormat {
    std::string face = "Times New Roman";
    float size = 240;  // twips (12 points)
    Rgba color{0, 0, 0, 255};
    bool bold = false, italic = false, underline = false;
    std::string url, target;  // <a href target>: drawn as plain text, kept for the script side
    // Paragraph members: the first run of a paragraph decides them for its whole paragraph.
    TextAlign align = TextAlign::Left;
    float leftMargin = 0, rightMargin = 0, indent = 0, blockIndent = 0;  // twips
    float leading = 0;        // twips added below every line
    float letterSpacing = 0;  // twips added after every character
    bool kerning = false;
    bool bullet = false;
    std::vector<float> tabStops;  // twips from the line's start; empty: every 2.7 EM
};

struct StyledRun {
    std::u32string text;  // '\n' ends a paragraph ('\r' and "\r\n" are turned into it)
    TextFormat format;
};

struct TextFieldInput {
    std::vector<StyledRun> runs;
    Rect bounds;  // twips, in the field's own space
    bool wordWrap = false, multiline = false, password = false;
    AutoSize autoSize = AutoSize::None;
    bool border = false, background = false;
    Rgba borderColor{0, 0, 0, 255}, backgroundColor{255, 255, 255, 255};
    // Embedded outlines (DefineEditText's UseOutlines with a font that has glyphs): every run is
    // drawn with this font whatever its face; null: device fonts by each run's face.
    std::shared_ptr<const FontCharacter> embeddedFont;
    // Runs find their face among the movies' embedded fonts (embedFonts, DefineEditText's
    // UseOutlines); without one that matches, `embeddedFont` draws them.
    bool embedFonts = false;
    // Movies before SWF 8 count a line's trailing spaces in textWidth and the autoSize width.
    bool measureTrailingSpaces = false;
};

}  // namespace swf
