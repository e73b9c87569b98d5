// Filter lists (PlaceObject3, DefineButton2) are read only to get past them.
#pragma once

#include "reader.h"

namespace swf {

void skipFilterList(Reader& r);

}  // namespace swf
