#include "player.h"

#include <algorithm>

#include "../parse/limits.h"
#include "../parse/movie_loader.h"
#include "action_runner.h"
#include "stage_renderer.h"

namespace swf {

std::unique_ptr<Player> Player::load(const uint8_t* data, size_t size, std::string& error,
                                     std::shared_ptr<FontProvider> deviceFonts) {
    std::shared_ptr<const Movie> movie = loadMovie(data, size, error, deviceFonts.get());
    if (!movie) return nullptr;
    auto player = std::make_unique<Player>(std::move(movie));
    player->deviceFonts_ = std::move(deviceFonts);
    return player;
}

Player::Player(std::shared_ptr<const Movie> movie) : movie_(std::move(movie)) {
    host_.movie = movie_.get();
    host_.instanceBudget = kInstancesPerTick;
    root_ = std::make_shared<Clip>(host_, &movie_->timeline, nullptr, 0);
    root_->start();
    runScripts();
}

Player::~Player() = default;

void Player::runScripts() {
    size_t budget = kMaxActionsPerFrame;
    ActionRunner runner(*root_, traces_, budget);
    // Scripts may queue more scripts (a goto runs the target frame's); the budget bounds it.
    for (size_t i = 0; i < host_.queue.size() && budget > 0; ++i) {
        PendingActions pending = host_.queue[i];
        if (auto clip = pending.clip.lock()) runner.run(*clip, *pending.actions);
    }
    host_.queue.clear();
}

bool Player::stepFrame() {
    uint64_t before = host_.changes;
    host_.instanceBudget = kInstancesPerTick;
    root_->step(loop_);
    runScripts();
    return host_.changes != before;
}

void Player::gotoFrame(int frame) {
    host_.instanceBudget = kInstancesPerTick;
    root_->gotoFrame(frame - 1, false, false);
    runScripts();
}

bool Player::advance(double elapsedMs) {
    double interval = 1000.0 / frameRate();
    pendingMs_ += elapsedMs > 0 ? elapsedMs : 0;
    bool changed = false;
    int steps = 0;
    while (pendingMs_ >= interval && steps < kMaxFramesPerAdvance) {
        pendingMs_ -= interval;
        changed |= stepFrame();
        ++steps;
    }
    if (pendingMs_ > interval) pendingMs_ = interval;  // drop what a stall left behind
    return changed;
}

void Player::draw(Canvas& canvas, const Matrix& toDevice, Quality quality, const IntRect* clip) const {
    Renderer renderer(canvas, quality);
    if (clip) renderer.setClipRect(*clip);
    Rgba background = movie_->background;
    background.a = 255;
    renderer.clear(background);
    drawClip(renderer, *root_, toDevice, ColorTransform{});
}

void Player::render(Canvas& canvas, ScaleMode mode, Quality quality) const {
    if (canvas.width <= 0 || canvas.height <= 0) return;
    draw(canvas, stageToCanvas(movie_->frameRect, canvas.width, canvas.height, mode), quality, nullptr);
}

std::vector<IntRect> Player::renderChanges(Canvas& canvas, ScaleMode mode, Quality quality) {
    if (canvas.width <= 0 || canvas.height <= 0) return {};
    Matrix toDevice = stageToCanvas(movie_->frameRect, canvas.width, canvas.height, mode);
    std::vector<DrawnItem> items = collectDrawnItems(*root_, toDevice, canvas.width, canvas.height);
    bool sameSetup = last_.valid && last_.width == canvas.width && last_.height == canvas.height &&
                     last_.mode == mode && last_.quality == quality;
    if (!sameSetup) {
        staticLayers_.clear();
        recentSplits_.fill(0);
        last_ = LastRender{true, canvas.width, canvas.height, mode, quality, std::move(items)};
        draw(canvas, toDevice, quality, nullptr);
        return {IntRect{0, 0, canvas.width, canvas.height}};
    }
    Changes changes = findChanges(last_.items, items);
    last_.items = std::move(items);
    if (changes.areas.empty()) return {};

    // Keep the layers that stayed put in some recent frame: a frame that changes one of them
    // redraws the kept pixels in its dirty areas (no more work than drawing them directly),
    // the others start from a copy.
    const int split = staticSplitDepth(*root_, changes.lowestDepth);
    recentSplits_[nextSplit_++ % recentSplits_.size()] = split;
    const int keep = staticSplitDepth(*root_, *std::max_element(recentSplits_.begin(), recentSplits_.end()));
    if (last_.items.empty() || last_.items.front().rootDepth >= keep) {
        staticLayers_.clear();
    } else if (!staticLayers_.valid() || staticLayers_.depth() != keep) {
        staticLayers_.redraw(*root_, toDevice, quality, movie_->background, canvas, keep);
    } else if (split < keep) {
        staticLayers_.update(*root_, toDevice, quality, movie_->background, changes.areas);
    }

    Rgba background = movie_->background;
    background.a = 255;
    Renderer renderer(canvas, quality);
    for (const IntRect& area : changes.areas) {
        renderer.setClipRect(area);
        if (staticLayers_.valid()) {
            staticLayers_.copyTo(canvas, area);
            drawClipLayers(renderer, *root_, toDevice, staticLayers_.depth(), 0x10000);
        } else {
            renderer.clear(background);
            drawClip(renderer, *root_, toDevice, ColorTransform{});
        }
    }
    return changes.areas;
}

}  // namespace swf
