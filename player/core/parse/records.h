// Readers for the small records that many tags share: RECT, MATRIX, CXFORM and colours.
#pragma once

#include "../geometry.h"
#include "reader.h"

namespace swf {

Rect readRect(Reader& r);
Matrix readMatrix(Reader& r);
ColorTransform readColorTransform(Reader& r, bool withAlpha);
Rgba readRgb(Reader& r);
Rgba readRgba(Reader& r);

}  // namespace swf
