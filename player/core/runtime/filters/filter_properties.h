// Reading and writing one property of a filter object, as the original converts and clamps
// it: blurs 0..255, quality 0..15 (whole), strength 0..255, colours to 24 bits with the alpha
// apart (0..1, kept in 1/255 steps), angles in degrees modulo 360.
#pragma once

#include "../avm1/vm.h"
#include "script_filter.h"

namespace swf::filters {

enum class FilterProperty : uint8_t {
    Distance, Angle, Color, Alpha, HighlightColor, HighlightAlpha, ShadowColor, ShadowAlpha, Quality, Strength,
    Inner, Knockout, HideObject, BlurX, BlurY, Type, Colors, Alphas, Ratios, Matrix, MatrixX, MatrixY, Divisor, Bias,
    PreserveAlpha, Clamp, MapBitmap, MapPoint, ComponentX, ComponentY, ScaleX, ScaleY, Mode, Count
};

const char* propertyName(FilterProperty p);

// The displacement map's BitmapData object is a script value: kept beside the numbers.
struct FilterValues {
    ScriptFilter filter;
    avm1::Value mapBitmap;
};

avm1::Value readProperty(avm1::Vm& vm, const FilterValues& f, FilterProperty p);
// May throw the script's exception from a valueOf (mapPoint converts both coordinates first).
void writeProperty(avm1::Vm& vm, FilterValues& f, FilterProperty p, const avm1::Value& v);

}  // namespace swf::filters
