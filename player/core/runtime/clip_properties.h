// The display properties of a placed clip as scripts see them (_x in pixels, _xscale in
// percent, _rotation in degrees, _alpha in percent), read from and written to its matrix and
// colour transform.
#pragma once

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

double readTransformProperty(const DisplayState& obj, ClipProperty p);
// NaN and infinite values are ignored, as in the original.
void writeTransformProperty(DisplayState& obj, ClipProperty p, double value);

}  // namespace swf
