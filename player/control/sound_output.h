// The control's sound: a thread that keeps three blocks of 30 ms queued on the wave device,
// each filled from the movie's mix as the device gives it back (90 ms of latency at most).
// Started with the movie, stopped (silent at once) when the control is hidden or destroyed.
// Without a device the movie plays on silently, its sound clocked by the timeline.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <memory>
#include <thread>

#include "playback.h"
#include "scoped_win.h"
#include "wave_sink.h"

namespace swfctl {

class SoundOutput {
public:
    static constexpr int kBlocks = 3;
    static constexpr int kBlockMs = 30;

    explicit SoundOutput(Playback& playback) : playback_(playback) {}
    ~SoundOutput() { stop(); }
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    // Opens the device and starts the thread; nothing when already running or without a device.
    void start();
    // Silences the device and ends the thread; the movie's sound is clocked by time again.
    void stop();
    bool running() const { return thread_.joinable(); }

private:
    void run() noexcept;
    void fill(WaveBlock& block);

    Playback& playback_;
    std::unique_ptr<WaveSink> sink_;
    kestoral::UniqueHandle blockDone_;
    std::array<WaveBlock, kBlocks> blocks_;
    std::atomic<bool> quit_{false};
    std::thread thread_;
};

}  // namespace swfctl
