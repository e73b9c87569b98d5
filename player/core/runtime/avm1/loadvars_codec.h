// Variables as URL-encoded text ("name=value&name2=value2"), both ways: LoadVars.toString,
// LoadVars.load/decode and loadVariables of a file beside the movie.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace swf::avm1 {

using NameValuePairs = std::vector<std::pair<std::string, std::string>>;

// Names and values escaped with the global escape, joined by '=' and '&' in the given order
// (LoadVars passes its properties in enumeration order, newest first).
std::string encodeVariables(const NameValuePairs& variables);

// Split on '&', then on the first '='; both halves unescaped ('+' is a space). Empty pieces
// are skipped; a piece without '=' is a name with an empty value. At most `maxPairs` pairs
// are read so a huge file cannot grow the object without bound.
NameValuePairs decodeVariables(std::string_view text, size_t maxPairs = 65536);

// Text in the Windows Western code page as UTF-8: how the original reads a loaded file when it
// uses the system's code page (SWF 5 movies, or System.useCodepage set).
std::string windows1252ToUtf8(std::string_view text);

// Well-formed UTF-8 with at least one character beyond ASCII. Text in a legacy code page that
// has letters beyond ASCII is practically never that, so a file read "by the code page" that
// is such text is taken as UTF-8 (a file saved as UTF-8 for a movie that sets useCodepage).
bool isNonAsciiUtf8(std::string_view text);

}  // namespace swf::avm1
