// A FreeType glyph outline as a shape: font units, y down, one fill.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <shape.h>

namespace swf {

// Quadratic (TrueType) curves map one to one; cubic (CFF) curves are split into two
// quadratics each. Contours are closed. The shape fills by the non-zero rule.
Shape shapeFromOutline(const FT_Outline& outline);

}  // namespace swf
