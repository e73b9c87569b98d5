#include "playback.h"

#include <algorithm>

namespace swfctl {
namespace {

constexpr uint32_t kOpaqueBlack = 0xFF000000u;
constexpr double kFallbackRate = 12.0;  // frames per second when a file says 0
constexpr double kMaxRate = 120.0;

void fillBlack(swf::Canvas& canvas) { std::fill(canvas.pixels.begin(), canvas.pixels.end(), kOpaqueBlack); }

}  // namespace

bool Playback::load(const uint8_t* data, size_t size, std::string& error) {
    auto player = swf::Player::load(data, size, error, nullptr, deviceFonts_);
    if (!player) return false;
    // A stage beyond the largest canvas the player draws is no movie anyone made (authoring
    // tools stop at a few thousand pixels); refused rather than scaled from absurd sizes.
    const int64_t width = player->stageWidth(), height = player->stageHeight();
    if (width > swf::kMaxBitmapSide || height > swf::kMaxBitmapSide || width * height > swf::kMaxBitmapPixels) {
        error = "its stage of " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels is larger than the player draws";
        return false;
    }
    player->setLoop(loop_);
    if (playing_) {
        player->play();
    } else {
        player->stop();
    }
    player->setMp3Decoder(mp3_);
    player->setAudioPulledByHost(audioClock_, audioLatencyMs_);
    std::lock_guard<std::mutex> lock(audioLock_);
    player_ = std::move(player);
    return true;
}

void Playback::unload() {
    std::lock_guard<std::mutex> lock(audioLock_);
    player_.reset();
}

void Playback::setMp3Decoder(swf::Mp3DecoderFactory factory) {
    mp3_ = std::move(factory);
    if (player_) player_->setMp3Decoder(mp3_);
}

void Playback::setAudioClock(bool pulled, double latencyMs) {
    std::lock_guard<std::mutex> lock(audioLock_);
    audioClock_ = pulled;
    audioLatencyMs_ = latencyMs;
    if (player_) player_->setAudioPulledByHost(pulled, latencyMs);
}

void Playback::mixAudio(int16_t* out, size_t frames) {
    std::lock_guard<std::mutex> lock(audioLock_);
    if (player_) {
        player_->mixAudio(out, frames);
    } else {
        std::fill(out, out + frames * 2, int16_t(0));
    }
}

void Playback::setPlaying(bool playing) {
    playing_ = playing;
    if (!player_) return;
    if (playing) {
        player_->play();
    } else {
        player_->stop();
    }
}

void Playback::setLoop(bool loop) {
    loop_ = loop;
    if (player_) player_->setLoop(loop);
}

void Playback::gotoFrame(int frame) {
    if (player_) player_->gotoFrame(frame);
}

double Playback::frameInterval() const {
    double rate = player_ ? player_->frameRate() : 0.0;
    if (!(rate > 0.0)) rate = kFallbackRate;
    return 1000.0 / std::min(rate, kMaxRate);
}

std::vector<swf::IntRect> Playback::renderChanges(swf::Canvas& canvas) {
    if (player_) {
        blankWidth_ = blankHeight_ = -1;
        // A new player, size, mode or quality draws everything by itself.
        if (threads_ <= 1) return player_->renderChanges(canvas, mode_, quality_);
        if (!bands_) bands_ = std::make_unique<swfbands::BandPool>(threads_);
        const swf::Player::BandRunner runner = [this](int rows, const std::function<void(int, int)>& draw) {
            bands_->run(rows, draw);
        };
        return player_->renderChanges(canvas, mode_, quality_, &runner);
    }
    if (canvas.width == blankWidth_ && canvas.height == blankHeight_) return {};
    fillBlack(canvas);
    blankWidth_ = canvas.width;
    blankHeight_ = canvas.height;
    return {swf::IntRect{0, 0, canvas.width, canvas.height}};
}

void Playback::setDrawingThreads(int threads) {
    threads = std::clamp(threads, 1, swfbands::BandPool::kMaxThreads);
    if (threads == threads_) return;
    threads_ = threads;
    bands_.reset();
}

void Playback::renderWhole(swf::Canvas& canvas) const {
    if (player_) {
        player_->render(canvas, mode_, quality_);
    } else {
        fillBlack(canvas);
    }
}

}  // namespace swfctl
