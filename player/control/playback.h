// What the control plays: the loaded movie with the control's play, loop and scale settings,
// which stay in force across movie changes. Portable: the window and the timer live elsewhere.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <band_pool.h>
#include <runtime/player.h>

namespace swfctl {

class Playback {
public:
    // Replaces the movie; false (the old one kept) with a reason when the bytes do not play or
    // the stage is larger than the largest canvas (kMaxBitmapSide, kMaxBitmapPixels).
    bool load(const uint8_t* data, size_t size, std::string& error);
    // The platform's fonts for text fields that do not embed theirs; used by later loads.
    void setDeviceFonts(std::shared_ptr<swf::FontProvider> fonts) { deviceFonts_ = std::move(fonts); }
    void unload();
    bool hasMovie() const { return player_ != nullptr; }

    void setPlaying(bool playing);
    bool playing() const { return player_ ? player_->isPlaying() : playing_; }
    void setLoop(bool loop);
    bool loop() const { return loop_; }
    void setScaleMode(swf::ScaleMode mode) { mode_ = mode; }
    swf::ScaleMode scaleMode() const { return mode_; }

    int totalFrames() const { return player_ ? player_->totalFrames() : 0; }
    int currentFrame() const { return player_ ? player_->currentFrame() : 0; }  // 1-based; 0 without movie
    void gotoFrame(int frame);

    // Milliseconds between frames at the movie's rate (a sane rate when the file gives none).
    double frameInterval() const;
    // Steps by elapsed time; true when something visible changed.
    bool advance(double elapsedMs) { return player_ && player_->advance(elapsedMs); }

    // Draws what changed since the previous call into the same canvas (the caller keeps one
    // canvas for the control's life) and returns those areas (disjoint, none when nothing
    // changed). Without a movie the canvas is black. Tall areas are drawn in bands of rows on
    // one thread per processor; the pixels are the same as on one thread.
    std::vector<swf::IntRect> renderChanges(swf::Canvas& canvas);

    // One frame at any size, for hosts that draw the control themselves.
    void renderWhole(swf::Canvas& canvas) const;

    // Threads drawing the bands (the calling one included); 1 draws everything on the caller.
    // Changing it starts the next frame afresh with the new pool.
    void setDrawingThreads(int threads);
    int drawingThreads() const { return threads_; }

    // Sound. The MP3 decoder and the clock setting apply to every movie loaded after too.
    void setMp3Decoder(swf::Mp3DecoderFactory factory);
    // True while the sound thread pulls the mix (it then paces a soundtrack's timeline);
    // `latencyMs` is the device queue between a pull and the ear.
    void setAudioClock(bool pulled, double latencyMs = 0);
    // From the sound thread: the movie's mix, silence without a movie.
    void mixAudio(int16_t* out, size_t frames);

private:
    std::shared_ptr<swf::FontProvider> deviceFonts_;
    std::unique_ptr<swf::Player> player_;
    std::mutex audioLock_;  // the sound thread's hold on player_ while the UI thread replaces it
    swf::Mp3DecoderFactory mp3_;
    bool audioClock_ = false;
    double audioLatencyMs_ = 0;
    bool playing_ = true;
    bool loop_ = true;
    int blankWidth_ = -1, blankHeight_ = -1;  // the canvas size last filled with "no movie" black
    swf::ScaleMode mode_ = swf::ScaleMode::ShowAll;
    swf::Quality quality_ = swf::Quality::High;
    int threads_ = swfbands::BandPool::threadsForThisMachine();
    std::unique_ptr<swfbands::BandPool> bands_;  // made at the first frame drawn with threads_ > 1
};

}  // namespace swfctl
