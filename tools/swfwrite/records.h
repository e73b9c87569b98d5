// Writers for RECT, MATRIX, CXFORM and style records.
#pragma once

#include <geometry.h>
#include <shape.h>

#include "bit_writer.h"

namespace swfw {

void writeRect(BitWriter& w, const swf::Rect& r);
void writeMatrix(BitWriter& w, const swf::Matrix& m);  // translation rounded to twips
void writeColorTransform(BitWriter& w, const swf::ColorTransform& cx, bool withAlpha);
void writeColor(BitWriter& w, swf::Rgba c, bool withAlpha);
// shapeVersion 1 to 4 as in DefineShape N.
void writeFillStyle(BitWriter& w, const swf::FillStyle& f, int shapeVersion);
void writeLineStyle(BitWriter& w, const swf::LineStyle& l, int shapeVersion);

}  // namespace swfw
