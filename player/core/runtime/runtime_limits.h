// Caps of the running player (the parser's are in parse/limits.h, the model's in
// model/model_limits.h).
#pragma once

#include <cstddef>

namespace swf {

constexpr size_t kMaxQueuedScripts = 100000;  // frame scripts run in one tick (gotos queue more)
constexpr int kMaxDisplayDepth = 16;           // nested clips while running and rendering
constexpr size_t kMaxDisplayObjects = 1u << 16;  // objects in one display list
constexpr size_t kMaxTraces = 10000;           // trace lines kept; later ones are dropped
constexpr size_t kMaxSoundFrames = 44100u * 60 * 10;       // decoded frames of one event sound (10 min)
constexpr size_t kMaxStreamBlockBytes = 1u << 20;         // one frame of soundtrack (a second of 44 kHz stereo is 176 KB)
constexpr size_t kMaxMovieSoundFrames = 44100u * 60 * 30;  // decoded frames kept for all event sounds

}  // namespace swf
