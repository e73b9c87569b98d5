#include "sprite_soundtracks.h"

#include <cstdint>

#include "clip.h"

namespace swf {

void SpriteSoundtracks::entered(SoundEngine& engine, SoundScopes& scopes, const std::shared_ptr<Clip>& sprite, int frame) {
    const Timeline* timeline = sprite->timeline();
    if (!timeline || frame < 0 || size_t(frame) >= timeline->frames.size()) return;
    Track& track = tracks_[sprite];
    const int previous = track.frame;
    track.frame = frame;
    // Walking forward into what the soundtrack has read, a loop included: in step.
    const int count = int(timeline->frames.size());
    const int passes = track.passes + (frame < previous ? 1 : 0);
    const int64_t at = int64_t(passes) * count + frame, before = int64_t(track.passes) * count + previous;
    const bool playing = track.voice && engine.mixer().isActive(track.voice);
    if (playing && at > before && at <= int64_t(*track.readFrame) + 1) {
        track.passes = passes;
        return;
    }
    if (track.voice) engine.mixer().stop(track.voice);
    track.voice = 0;
    track.passes = 0;
    if (!timeline->frames[size_t(frame)].streamBlock) return;
    *track.readFrame = -1;
    *track.mayLoop = count > 1;
    track.voice = engine.playStream(*timeline, frame, track.readFrame, track.mayLoop);
    scopes.track(track.voice, sprite.get());
}

void SpriteSoundtracks::follow(SoundEngine& engine) {
    for (auto it = tracks_.begin(); it != tracks_.end();) {
        std::shared_ptr<Clip> sprite = it->first.lock();
        Track& track = it->second;
        const bool active = track.voice && engine.mixer().isActive(track.voice);
        if (sprite && sprite->isPlaying() && active) {
            ++it;
            continue;
        }
        *track.mayLoop = false;
        if (active) engine.mixer().stop(track.voice);
        track.voice = 0;
        // A sprite still playing keeps its place, so its next frame with a block starts the
        // soundtrack again (after stopAllSounds, or before its first block).
        it = sprite && sprite->isPlaying() ? std::next(it) : tracks_.erase(it);
    }
}

}  // namespace swf
