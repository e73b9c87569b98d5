// The default movie's recipe.
#pragma once

#include <cstdint>
#include <vector>

namespace scene {

constexpr int kWidth = 800;    // pixels; 4:3 like the preview picture
constexpr int kHeight = 600;
constexpr int kFrameRate = 24;
constexpr int kLoopFrames = 480;  // 20 s

// The dialog shows it in a label of 310 x 90 pixels: a few short lines, CRLF, ANSI.
constexpr const char kDescription[] =
    "Evening Lights\r\n"
    "Soft lights drift across a deep evening sky while silk ribbons of colour sway "
    "slowly below and fireflies twinkle. A quiet scene that loops without end.\r\n";

std::vector<uint8_t> buildMovie();

}  // namespace scene
