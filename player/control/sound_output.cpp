#include "sound_output.h"

namespace swfctl {

void SoundOutput::start() {
    if (running()) return;
    blockDone_.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!blockDone_) return;
    sink_ = MakeWaveSink();
    if (!sink_ || !sink_->open(swf::Player::kAudioRate, blockDone_.get())) {
        sink_.reset();
        return;  // no device: silent, and the sound keeps time with the timeline
    }
    const size_t frames = size_t(swf::Player::kAudioRate) * kBlockMs / 1000;
    for (WaveBlock& block : blocks_) {
        block.samples.assign(frames * 2, 0);
        block.queued = false;
    }
    // A block is heard on average half a block after the one before it ends: the queue of
    // three holds about two and a half blocks ahead of the ear.
    playback_.setAudioClock(true, (kBlocks - 0.5) * kBlockMs);
    quit_ = false;
    try {
        thread_ = std::thread([this] { run(); });
    } catch (...) {
        playback_.setAudioClock(false);
        sink_->close();
        sink_.reset();
    }
}

void SoundOutput::stop() {
    if (!running()) return;
    quit_ = true;
    ::SetEvent(blockDone_.get());
    thread_.join();
    sink_->reset();
    sink_->close();
    sink_.reset();
    playback_.setAudioClock(false);
}

void SoundOutput::fill(WaveBlock& block) {
    playback_.mixAudio(block.samples.data(), block.samples.size() / 2);
}

// Each block given back is refilled and queued again; the event wakes the thread, the timeout
// covers a driver that does not signal.
void SoundOutput::run() noexcept {
    try {
        while (!quit_) {
            for (WaveBlock& block : blocks_) {
                if (block.queued && !sink_->done(block)) continue;
                fill(block);
                block.queued = sink_->write(block);
                if (!block.queued) {
                    // The device went away: the sound keeps time with the timeline again.
                    playback_.setAudioClock(false);
                    return;
                }
            }
            ::WaitForSingleObject(blockDone_.get(), kBlockMs / 2);
        }
    } catch (...) {
        // A failed mix ends the sound, never the host.
    }
}

}  // namespace swfctl
