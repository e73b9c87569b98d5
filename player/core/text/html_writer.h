// Styled runs back to the HTML the original's htmlText reads: per paragraph a <TEXTFORMAT>
// with the paragraph members that are not zero, <P ALIGN>, then <FONT> with every member of
// the paragraph's first run, inner <FONT>s with the members a later run changes, and <B>, <I>,
// <U>, <A>, <LI> around the text they apply to.
#pragma once

#include <string>
#include <vector>

#include "text_field_input.h"

namespace swf {

std::string writeHtmlText(const std::vector<StyledRun>& runs);

}  // namespace swf
