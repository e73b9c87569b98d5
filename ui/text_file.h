// Reading a text file as lines, in the system's ANSI code page, as a string list loads one.
#pragma once

#include <string>
#include <vector>

namespace kestoral {

// Splits `text` at CR LF, LF or a lone CR. A final line break ends the last line and adds no
// empty one.
std::vector<std::string> SplitLines(const std::string& text);

// Reads the file at `path` into `lines`. False, with `lines` untouched, when it cannot be read.
bool ReadTextLines(const std::string& path, std::vector<std::string>& lines);

}  // namespace kestoral
