#include "stage_view.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace swf {

Matrix stageToCanvas(const Rect& stage, int canvasWidth, int canvasHeight, ScaleMode mode) {
    float stageW = float(std::max(1, stage.width()));
    float stageH = float(std::max(1, stage.height()));
    float sx = canvasWidth / stageW;
    float sy = canvasHeight / stageH;
    switch (mode) {
        case ScaleMode::ExactFit: break;
        case ScaleMode::ShowAll: sx = sy = std::min(sx, sy); break;
        case ScaleMode::NoBorder: sx = sy = std::max(sx, sy); break;
        case ScaleMode::NoScale: sx = sy = 1.0f / kTwipsPerPixel; break;
    }
    // The stage is centred at whole pixels (halves rounding upwards), as the original places
    // its stage: a stage 5 pixels narrower than the canvas starts at pixel 3, not 2.5, so its
    // edges and the bitmaps on it stay on the pixel grid.
    float offsetX = std::floor((canvasWidth - stageW * sx) / 2 + 0.5f);
    float offsetY = std::floor((canvasHeight - stageH * sy) / 2 + 0.5f);
    return Matrix{sx, 0, 0, sy, offsetX - stage.xMin * sx, offsetY - stage.yMin * sy};
}

bool parseScaleMode(const std::string& name, ScaleMode& out) {
    std::string n;
    for (char c : name) n += char(std::tolower(uint8_t(c)));
    if (n == "exactfit") out = ScaleMode::ExactFit;
    else if (n == "showall") out = ScaleMode::ShowAll;
    else if (n == "noborder") out = ScaleMode::NoBorder;
    else if (n == "noscale") out = ScaleMode::NoScale;
    else return false;
    return true;
}

Point canvasToStage(const Rect& stage, int canvasWidth, int canvasHeight, ScaleMode mode, double x, double y) {
    const Matrix m = stageToCanvas(stage, canvasWidth, canvasHeight, mode);
    const double det = double(m.a) * m.d - double(m.b) * m.c;
    if (det == 0) return Point{0, 0};
    const double dx = x - m.tx, dy = y - m.ty;
    return Point{float((m.d * dx - m.c * dy) / det / kTwipsPerPixel), float((m.a * dy - m.b * dx) / det / kTwipsPerPixel)};
}

}  // namespace swf
