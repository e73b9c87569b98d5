// The CSS that TextField.StyleSheet.parseCSS reads: "selector, selector { name: value; ... }"
// blocks with /* comments */. The original's reader is lax in its own ways, kept here because
// movies depend on them: a name may end in spaces ("color  : red" names "color  "), values
// keep their trailing spaces, a value holding a colon runs to the end of its line, a missing
// "}" at the end closes the block. A space inside a selector or a name, or a value cut off by
// the end of the text, refuses the whole sheet.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace swf {

struct CssRule {
    std::string selector;                                        // may be empty: "{ ... }"
    std::vector<std::pair<std::string, std::string>> properties;  // in order; a later name wins
};

// The rules in order (one per selector of a list), or nothing when the text is refused.
std::optional<std::vector<CssRule>> readCss(const std::string& text);

// "font-size" as scripts name it: "fontSize" (a dash upper-cases what follows it).
std::string camelCaseName(const std::string& name);

// A font-family list as a TextFormat's font: each name without its leading white space,
// empty names dropped, joined by commas ("  A ,, B " gives "A ,B ").
std::string fontListOf(const std::string& list);

}  // namespace swf
