// The display properties of a placed clip as scripts see them (_x in pixels, _xscale in
// percent, _rotation in degrees, _alpha in percent), read from and written to its matrix and
// colour transform with the original's rounding: positions in whole twips, alpha in 1/256.
#pragma once

#include <optional>

#include "avm1/vm.h"
#include "clip.h"

namespace swf {

enum class ClipProperty : int {
    X = 0, Y, XScale, YScale, CurrentFrame, TotalFrames, Alpha, Visible, Width, Height, Rotation,
    Target, FramesLoaded, Name, DropTarget, Url, HighQuality, FocusRect, SoundBufTime, Quality,
    XMouse, YMouse,
    Count
};

// "_x" -> X; Count for other names. Names compare by the movie's rule.
ClipProperty clipPropertyByName(const std::string& name, bool caseSensitive);

// X, Y, XScale, YScale, Rotation, Alpha. Reading scale or rotation remembers the decomposition.
double readTransformProperty(DisplayState& obj, ClipProperty p);
// NaN and infinite values are ignored, as in the original. A transform or alpha written marks
// the object as transformed by script.
void writeTransformProperty(DisplayState& obj, ClipProperty p, double value);

// _width (or _height) of a rectangle of `w` x `h` twips at the origin under `m`: the box of its
// corners as the parent sees them, each corner in whole twips, in pixels (a 100 x 30 field
// turned 20 degrees is 104.2 wide and 62.4 high).
double turnedBoxSide(const Matrix& m, double w, double h, bool width);

// The scales (_xscale, _yscale as fractions) that setting _width (or _height) to `value`
// pixels gives a clip whose own content is `contentWidth` x `contentHeight` pixels, turned by
// `rotationDegrees` with the scales `scaleX`, `scaleY`. The original sizes the box around the
// turned content: at 0 degrees only the scale along that side changes; at 90 degrees _width
// scales along the content's height and the other scale takes the old one of the side set.
// Content without width (or height) gives both scales 0.
struct ClipScales {
    double x = 1;
    double y = 1;
};
ClipScales scalesForSize(bool width, double value, double contentWidth, double contentHeight,
                         double rotationDegrees, double scaleX, double scaleY);

// A value a numeric property accepts: undefined, null and what converts to NaN are ignored.
std::optional<double> propertyNumber(avm1::Vm& vm, const avm1::Value& value);

// Pixels to whole twips, toward zero; infinities give the smallest 32-bit twips value.
double pixelsToTwips(double px);

// _quality names (LOW, MEDIUM, HIGH, BEST) to 0..3; -1 for others.
int qualityByName(const std::string& name);
const char* qualityName(int quality);

}  // namespace swf
