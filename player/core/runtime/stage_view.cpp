#include "stage_view.h"

#include <algorithm>
#include <cctype>

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
    float offsetX = (canvasWidth - stageW * sx) / 2;
    float offsetY = (canvasHeight - stageH * sy) / 2;
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

}  // namespace swf
