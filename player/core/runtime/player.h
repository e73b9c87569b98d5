// The player as the host control uses it: load, step by elapsed time, render.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../bitmap.h"
#include "../model/movie.h"
#include "../renderer.h"
#include "../text/layout_font.h"
#include "clip.h"
#include "drawn_items.h"
#include "stage_view.h"
#include "static_layers.h"

namespace swf {

class Player {
public:
    // Null with a reason when the bytes are not a playable movie. The host's device fonts draw
    // the text fields that do not embed their font; without them those fields stay empty. The
    // player keeps them for the text that scripts set later.
    static std::unique_ptr<Player> load(const uint8_t* data, size_t size, std::string& error,
                                        std::shared_ptr<FontProvider> deviceFonts = nullptr);
    explicit Player(std::shared_ptr<const Movie> movie);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    const Movie& movie() const { return *movie_; }
    double frameRate() const { return movie_->frameRate(); }
    int stageWidth() const { return movie_->frameRect.width() / kTwipsPerPixel; }   // pixels
    int stageHeight() const { return movie_->frameRect.height() / kTwipsPerPixel; }  // pixels
    int totalFrames() const { return root_->frameCount(); }
    int currentFrame() const { return root_->currentFrame() + 1; }  // 1-based
    bool isPlaying() const { return root_->isPlaying(); }

    void play() { root_->play(); }
    void stop() { root_->stop(); }
    // Loop off stops the root timeline on its last frame instead of going back to frame 1.
    void setLoop(bool loop) { loop_ = loop; }
    bool loop() const { return loop_; }
    // 1-based, clamped; the target frame's scripts run. The play state is kept.
    void gotoFrame(int frame);

    // Steps as many whole frames as the elapsed time covers at the frame rate (the remainder
    // carries over; at most a few frames per call so a stalled host does not spin). Returns
    // whether anything visible changed.
    bool advance(double elapsedMs);
    // One frame now, regardless of time. Returns whether anything visible changed.
    bool stepFrame();

    // Draws the current frame over the whole canvas: background, then the display list.
    void render(Canvas& canvas, ScaleMode mode, Quality quality) const;

    // Redraws only the areas that changed since the previous call, which must have drawn into
    // the same canvas (it keeps those pixels); returns those areas (disjoint, a short list),
    // none when nothing changed. The first call, or a change of size, mode or quality, draws
    // everything. Pixels are the same as render() gives.
    std::vector<IntRect> renderChanges(Canvas& canvas, ScaleMode mode, Quality quality);

    const Clip& root() const { return *root_; }
    FontProvider* deviceFonts() const { return deviceFonts_.get(); }  // null: none given
    const std::vector<std::string>& traces() const { return traces_; }

private:
    void runScripts();
    void draw(Canvas& canvas, const Matrix& toDevice, Quality quality, const IntRect* clip) const;

    std::shared_ptr<const Movie> movie_;
    std::shared_ptr<FontProvider> deviceFonts_;
    ClipHost host_;
    std::shared_ptr<Clip> root_;
    std::vector<std::string> traces_;
    bool loop_ = true;
    double pendingMs_ = 0;

    // What the last renderChanges() drew, to find what changed since.
    struct LastRender {
        bool valid = false;
        int width = 0, height = 0;
        ScaleMode mode = ScaleMode::ShowAll;
        Quality quality = Quality::High;
        std::vector<DrawnItem> items;
    } last_;
    // The depths below which nothing changed, for the last frames: the highest is kept drawn.
    std::array<int, 24> recentSplits_{};
    size_t nextSplit_ = 0;
    StaticLayers staticLayers_;
};

constexpr int kMaxFramesPerAdvance = 5;
constexpr size_t kInstancesPerTick = 100000;

}  // namespace swf
