// The BitmapData methods kept apart from bitmap_data_class.cpp: the questions
// (bitmap_data_class_queries.cpp) and the methods reading a source bitmap's rectangle
// (bitmap_data_class_sources.cpp).
#pragma once

#include "avm1/native_class.h"

namespace swf {

avm1::Value getColorBoundsRect(avm1::Vm& vm, const avm1::Value& self, const avm1::Arguments& args);
avm1::Value hitTest(avm1::Vm& vm, const avm1::Value& self, const avm1::Arguments& args);
avm1::Value compare(avm1::Vm& vm, const avm1::Value& self, const avm1::Arguments& args);
// copyChannel, merge, paletteMap, threshold and pixelDissolve on the prototype.
void defineBitmapDataSourceMethods(avm1::Vm& vm, avm1::Object* proto);

}  // namespace swf
