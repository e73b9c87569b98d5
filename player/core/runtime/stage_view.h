// How the stage maps onto an output canvas of any size.
#pragma once

#include <string>

#include "../geometry.h"

namespace swf {

enum class ScaleMode : uint8_t {
    ShowAll,   // the whole stage, uniformly scaled, centred (the default)
    ExactFit,  // both axes stretched to the canvas
    NoBorder,  // the canvas filled, uniformly scaled, centred, the overflow cut
    NoScale,   // one stage pixel to one canvas pixel, centred
};

// Matrix from stage twips to canvas pixels.
Matrix stageToCanvas(const Rect& stage, int canvasWidth, int canvasHeight, ScaleMode mode);

// A canvas pixel position as stage pixels (the inverse of stageToCanvas).
Point canvasToStage(const Rect& stage, int canvasWidth, int canvasHeight, ScaleMode mode, double x, double y);

// "ExactFit", "ShowAll", "NoBorder", "NoScale" (case-insensitive); false for anything else.
bool parseScaleMode(const std::string& name, ScaleMode& out);

}  // namespace swf
