#include "sprite_soundtracks.h"

#include "clip.h"

namespace swf {

void SpriteSoundtracks::entered(SoundEngine& engine, SoundScopes& scopes, const std::shared_ptr<Clip>& sprite, int frame) {
    const Timeline* timeline = sprite->timeline();
    if (!timeline || frame < 0 || size_t(frame) >= timeline->frames.size()) return;
    Track& track = tracks_[sprite];
    const int previous = track.frame;
    track.frame = frame;
    // Walking forward into what the soundtrack has read: in step.
    const bool playing = track.voice && engine.mixer().isActive(track.voice);
    if (playing && frame > previous && frame <= *track.readFrame + 1) return;
    if (track.voice) engine.mixer().stop(track.voice);
    track.voice = 0;
    if (!timeline->frames[size_t(frame)].streamBlock) return;
    *track.readFrame = -1;
    track.voice = engine.playStream(*timeline, frame, track.readFrame);
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
        if (active) engine.mixer().stop(track.voice);
        track.voice = 0;
        // A sprite still playing keeps its place, so its next frame with a block starts the
        // soundtrack again (after stopAllSounds, or before its first block).
        it = sprite && sprite->isPlaying() ? std::next(it) : tracks_.erase(it);
    }
}

}  // namespace swf
