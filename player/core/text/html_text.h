// The HTML subset of text fields turned into styled runs: <p align>, <br>, <font face size
// color letterSpacing kerning>, <b>, <i>, <u>, <a href target>, <li>, <textformat leftmargin
// rightmargin indent blockindent leading>, and the entities &lt; &gt; &amp; &quot; &apos;
// &nbsp; &#N; &#xN;. Unknown tags are dropped with their text kept, as the original does; an
// unclosed '<' ends the text. White space is kept: a newline in the markup is a line break,
// which is how fields written by hand with line breaks show in the original, and a break at
// the end stays. <br>, </p> and </li> break the line (in SWF 7 and later in multiline
// fields only); an opening tag never does. Before SWF 8, text between two tags that is only
// white space is dropped and KERNING is not read. `condenseWhite` turns each run of white
// space (space, tab, line ends) into one space; from SWF 8 on a run goes on through tags and
// is dropped at the start of a line. <p> inside <p> is one paragraph, and a closing tag closes
// only the innermost open tag. </p> breaks in the format of its line's last character (on an
// empty line in the field's font), </li> in the format in force; an empty <font> element lends
// its font to every later </p> break. Sizes are whole points from 1 to 127.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "text_field_input.h"

namespace swf {

// `base` is the field's format (DefineEditText's font, height, colour, alignment, margins);
// tags change it for the text they enclose. Sizes in the markup are points (= pixels).
// A style sheet's styles: applies the style of a selector ("p", ".note", lower case) over
// `format`; false when the sheet has none.
using HtmlStyleLookup = std::function<bool(const std::string& selector, TextFormat& format)>;

struct HtmlRules {
    HtmlRules(bool multiline = true, bool condenseWhite = false, int swfVersion = 8, HtmlStyleLookup styles = {})
        : multiline(multiline), condenseWhite(condenseWhite), swfVersion(swfVersion), styles(std::move(styles)) {}
    bool multiline = true;
    bool condenseWhite = false;
    int swfVersion = 8;  // of the movie the field is in
    // With a style sheet, each tag (<span> too) takes its element's style, then its class's.
    HtmlStyleLookup styles;
};
std::vector<StyledRun> parseHtmlText(const std::string& html, const TextFormat& base, const HtmlRules& rules = {});

// The same text without markup: what the field's `text` reads back.
std::u32string plainText(const std::vector<StyledRun>& runs);

}  // namespace swf
