// Caps of the running player (the parser's are in parse/limits.h).
#pragma once

#include <cstddef>

namespace swf {

constexpr size_t kMaxQueuedScripts = 100000;  // frame scripts run in one tick (gotos queue more)

}  // namespace swf
