// Clip events as the original player orders them: a new clip queues its initialize and
// construct events and its load event before its first frame's scripts; each tick walks all
// clips newest first, queueing the clip's enterFrame event and then stepping its timeline
// (so a child's frame script runs before its parent's); input events go to every clip in the
// same order.
#pragma once

#include <cstdint>
#include <memory>

#include "clip.h"

namespace swf {

// Registers a new clip with the tick walk, queues its creation events (initialize and
// construct only for timeline clips: a script runs those at once), shows its first frame.
void startClip(ClipHost& host, const std::shared_ptr<Clip>& clip, bool byScript = false);

// A clip taken off the display list (ClipHost::onUnload): its unload event is queued, keeping
// it alive until then, and nothing else it queued runs.
void queueUnload(ClipHost& host, Clip& clip);

// One tick of every clip below and including the root. `loop` is the root's Loop setting.
void tickClips(ClipHost& host, Clip& root, bool loop);

// Queues `event` (a ClipEventBits value) for every live clip, newest first.
void queueEventForAll(ClipHost& host, uint32_t event);

// The method a clip event calls on the clip object ("onEnterFrame"); null for events that
// only run onClipEvent handlers (initialize, construct).
const char* clipEventMethod(uint32_t event);

}  // namespace swf
