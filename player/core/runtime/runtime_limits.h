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
// loadMovie, loadVariables, MovieClipLoader (clip_loader.h); each file is capped by the host
// (avm1/host_services.h) and a loaded movie by the parser's budgets.
constexpr size_t kMaxLoadRequestsPerFrame = 256;  // more in one frame are dropped with a warning
constexpr size_t kMaxLoadedMovies = 32;           // different movie files kept for loaded clips
constexpr int kMaxLevel = 0x3fff;                 // _levelN numbers a load may make

}  // namespace swf
