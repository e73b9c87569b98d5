// The global escape and unescape, byte by byte over the movie's text (UTF-8 from SWF 6 on,
// the movie's code page before), as the original does them.
#pragma once

#include <string>
#include <string_view>

namespace swf::avm1 {

// Letters and digits stay; every other byte becomes %XX in upper-case hex. The text ends at a
// NUL byte.
std::string urlEscape(std::string_view text);

// %XX (either case) becomes its byte and '+' a space. A '%' with a non-hex character right
// after it drops both; a '%' with one hex digit and then a non-hex character drops all three;
// a '%' cut off by the end of the text is dropped.
std::string urlUnescape(std::string_view text);

}  // namespace swf::avm1
