// Player's sound: frame sounds started as frames are entered, the root soundtrack kept in step
// with the timeline, the mix the host pulls.
#include <algorithm>

#include "player.h"
#include "sound_script.h"

namespace swf {
namespace {

constexpr double kMaxSilentAdvanceMs = 1000;  // a stalled host does not make the sound race ahead

}  // namespace

void Player::setMp3Decoder(Mp3DecoderFactory factory) {
    std::lock_guard<std::recursive_mutex> lock(soundLock_);
    sound_.setMp3Decoder(std::move(factory));
}

void Player::mixAudio(int16_t* out, size_t frames) {
    std::lock_guard<std::recursive_mutex> lock(soundLock_);
    startFrameSounds();
    mixSound(out, frames);
}

// Sounds that end here get their onSoundComplete with the next frame's scripts.
void Player::mixSound(int16_t* out, size_t frames) {
    sound_.mix(out, frames);
    soundScript_->voicesFinished(sound_.mixer().takeFinished());
}

void Player::setAudioPulledByHost(bool pulled, double latencyMs) {
    std::lock_guard<std::recursive_mutex> lock(soundLock_);
    audioPulledByHost_ = pulled;
    sound_.setLatencyFrames(pulled && latencyMs > 0 ? size_t(latencyMs * kAudioRate / 1000) : 0);
}

void Player::stopSounds() {
    std::lock_guard<std::recursive_mutex> lock(soundLock_);
    sound_.stopAll();
}

std::vector<std::string> Player::soundWarnings() {
    std::lock_guard<std::recursive_mutex> lock(soundLock_);
    return sound_.warnings();
}

// Without a device the mix is made and dropped, so sounds end and soundtracks move on in time.
void Player::advanceSilently(double elapsedMs) {
    double ms = std::clamp(elapsedMs, 0.0, kMaxSilentAdvanceMs);
    size_t frames = size_t(ms * kAudioRate / 1000.0);
    discardedAudio_.resize(frames * 2);
    if (frames) mixSound(discardedAudio_.data(), frames);
}

// Each sound plays for the clip whose frame started it, so that clip's Sound volume and pan,
// and its parents', apply.
void Player::startFrameSounds() {
    for (const QueuedSound& queued : host_.sounds) {
        std::shared_ptr<Clip> clip = queued.clip.lock();
        if (!queued.start) {
            if (clip) spriteSoundtracks_.entered(sound_, soundScopes_, clip, queued.frame);
        } else {
            soundScopes_.track(sound_.start(*queued.start), clip.get());
        }
    }
    host_.sounds.clear();
    spriteSoundtracks_.follow(sound_);
    followSoundtrack();
    soundScopes_.apply(sound_.mixer());
}

// The root's soundtrack plays from the frame the timeline entered it and keeps playing while
// the timeline walks on, and on across the loop back to frame 1 without a break; a jump
// elsewhere (a goto) restarts it there, a stopped timeline silences it. The soundtrack counts
// its frames on across loops; soundtrackPasses_ says which pass the timeline is in.
void Player::followSoundtrack() {
    const Timeline& timeline = movie_->timeline;
    if (!timeline.streamHead) return;
    const int count = int(timeline.frames.size());
    const int frame = root_->currentFrame();
    const int previous = soundtrackFrame_;
    soundtrackFrame_ = frame;
    sound_.setStreamMayLoop(loop_ && root_->isPlaying() && count > 1);
    if (!root_->isPlaying()) {
        sound_.stopStream();
        return;
    }
    // The same frame: waiting for the sound, or past the soundtrack's end, which stays ended.
    if (frame == previous) return;
    // Walking forward into what the soundtrack has read, a loop included: in step.
    const int passes = soundtrackPasses_ + (frame < previous ? 1 : 0);
    const int64_t at = int64_t(passes) * count + frame, before = int64_t(soundtrackPasses_) * count + previous;
    if (sound_.streamPlaying() && at > before && at <= int64_t(sound_.streamReadFrame()) + 1) {
        soundtrackPasses_ = passes;
        return;
    }
    if (frame >= 0 && frame < count && timeline.frames[size_t(frame)].streamBlock) {
        sound_.startStream(timeline, frame);
        soundtrackPasses_ = 0;
        soundScopes_.track(sound_.streamVoice(), root_.get());
    }
}

int Player::soundtrackSteps() {
    const int64_t heard = sound_.streamFrame();
    const int64_t frame = int64_t(soundtrackPasses_) * root_->frameCount() + root_->currentFrame();
    if (!root_->isPlaying() || heard <= frame) return 0;
    return int(std::min<int64_t>(heard - frame, kMaxSoundtrackCatchUp));
}

}  // namespace swf
