// Filter lists (PlaceObject3, DefineButton2 records) and the blend mode byte.
#pragma once

#include <vector>

#include "../filter.h"
#include "reader.h"

namespace swf {

// At most 255 filters (the count is a byte). A convolution larger than kMaxConvolutionSide on
// a side keeps no kernel (it then changes nothing); an unknown filter id fails the reader.
std::vector<Filter> readFilterList(Reader& r);

// The file's blend mode byte: 0 and 1 normal, 2 layer ... 14 hard light; unknown ones normal.
BlendMode blendModeFromByte(uint8_t value);

}  // namespace swf
