#include "player.h"

#include <algorithm>

#include "../parse/movie_loader.h"
#include "avm1/system_host_services.h"
#include "clip_bounds.h"
#include "clip_events.h"
#include "script_runtime.h"
#include "sound_script.h"
#include "dirty_rects.h"
#include "display/display_state.h"
#include "display/signature_hasher.h"
#include "stage_renderer.h"

namespace swf {

std::unique_ptr<Player> Player::load(const uint8_t* data, size_t size, std::string& error,
                                     avm1::HostServices* host, std::shared_ptr<FontProvider> deviceFonts) {
    std::shared_ptr<const Movie> movie = loadMovie(data, size, error, deviceFonts.get());
    if (!movie) return nullptr;
    return std::make_unique<Player>(std::move(movie), host, std::function<void(avm1::Vm&)>{}, std::move(deviceFonts));
}

Player::Player(std::shared_ptr<const Movie> movie, avm1::HostServices* host,
               const std::function<void(avm1::Vm&)>& beforeFirstFrame, std::shared_ptr<FontProvider> deviceFonts,
               Mp3DecoderFactory mp3)
    : movie_(std::move(movie)), deviceFonts_(std::move(deviceFonts)),
      textServices_(std::make_unique<TextFieldServices>(deviceFonts_.get(), movie_->version)), sound_(*movie_, kAudioRate) {
    if (mp3) sound_.setMp3Decoder(std::move(mp3));
    host_.movie = movie_.get();
    host_.textServices = textServices_.get();
    textServices_->fonts.addEmbedded(*movie_);
    host_.instanceBudget = kInstancesPerTick;
    if (!host) {
        ownHost_ = std::make_unique<avm1::SystemHostServices>();
        host = ownHost_.get();
    }
    host_.onUnload = [this](Clip& clip) { queueUnload(host_, clip); };
    root_ = std::make_shared<Clip>(host_, &movie_->timeline, nullptr, 0);
    root_->level = 0;
    host_.levels[0] = root_;
    scripts_ = std::make_unique<ScriptRuntime>(*movie_, *root_, *host);
    host_.hasUnloadHandler = [this](Clip& clip) { return scripts_->hasUnloadHandler(clip); };
    host_.importAssets = [this](Clip& importer, const std::string& url) { scripts_->loader().importAssets(importer, url); };
    soundScript_ = std::make_unique<SoundScript>(*scripts_, sound_, soundScopes_, *movie_);
    if (beforeFirstFrame) beforeFirstFrame(scripts_->vm());
    startClip(host_, root_);
    runScripts();
    scripts_->completeLoads();
    // The first frame's sounds start with the first advance or pull, once the host has had
    // the chance to give an MP3 decoder.
}

Player::~Player() {
    host_.hasUnloadHandler = nullptr;
    host_.importAssets = nullptr;
    scripts_.reset();
}

void Player::runScripts() {
    scripts_->runFrame(host_);
    soundScript_->afterFrameScripts();
    scripts_->runQueued(host_);  // what the sound handlers asked for
    settleDrawings(host_);
}

const std::vector<std::string>& Player::traces() const { return scripts_->vm().traces(); }
const std::vector<std::string>& Player::scriptWarnings() const { return scripts_->vm().warnings(); }
bool Player::quitRequested() const { return scripts_->vm().quitRequested; }

bool Player::stepFrame() {
    std::lock_guard<std::recursive_mutex> lock(soundLock_);
    uint64_t before = host_.changes;
    host_.instanceBudget = kInstancesPerTick;
    // Content loaded at the end of the last frame shows its first frame after the timelines
    // stepped, and its scripts run first among this frame's (before the enterFrame handlers
    // that see it loaded); loads asked for now arrive at its end.
    tickClips(host_, *root_, loop_);
    scripts_->startLoadedContent();
    runScripts();
    scripts_->reportLoadInits();
    scripts_->completeLoads();
    startFrameSounds();
    return host_.changes != before;
}

void Player::runDueTimers() {
    std::lock_guard<std::recursive_mutex> lock(soundLock_);
    scripts_->runTimers(host_);
    settleDrawings(host_);
}

void Player::gotoFrame(int frame) {
    std::lock_guard<std::recursive_mutex> lock(soundLock_);
    host_.instanceBudget = kInstancesPerTick;
    root_->gotoFrame(frame - 1, false, false);
    runScripts();
    startFrameSounds();
}

bool Player::advance(double elapsedMs) {
    std::lock_guard<std::recursive_mutex> lock(soundLock_);
    startFrameSounds();
    if (!audioPulledByHost_) advanceSilently(elapsedMs);
    double interval = 1000.0 / frameRate();
    pendingMs_ += elapsedMs > 0 ? elapsedMs : 0;
    bool changed = false;
    int steps = 0;
    if (sound_.streamPlaying()) {
        // A soundtrack sets the pace: the timeline steps to the frame being heard, dropping
        // frames when it falls behind, waiting when it is ahead; the sound is never stretched.
        // The time since the last step carries on when the soundtrack ends.
        int n = soundtrackSteps();
        pendingMs_ = n > 0 ? 0 : std::min(pendingMs_, interval);
        for (; n > 0; --n) changed |= stepFrame();
        return changed;
    }
    while (pendingMs_ >= interval && steps < kMaxFramesPerAdvance) {
        pendingMs_ -= interval;
        changed |= stepFrame();
        ++steps;
    }
    if (pendingMs_ > interval) pendingMs_ = interval;  // drop what a stall left behind
    return changed;
}

// The stage's transform with the root's own, which a script may set (_root._x = 10).
Matrix Player::rootToCanvas(const Canvas& canvas, ScaleMode mode) const {
    return stageToCanvas(movie_->frameRect, canvas.width, canvas.height, mode) * host_.rootState.matrix;
}

BitmapCache* Player::cacheFor(const Canvas& canvas, const Matrix& toDevice, Quality quality) const {
    const CacheSetup& c = cacheSetup_;
    const Matrix& m = c.toDevice;
    if (c.width != canvas.width || c.height != canvas.height || c.quality != quality || m.a != toDevice.a ||
        m.b != toDevice.b || m.c != toDevice.c || m.d != toDevice.d || m.tx != toDevice.tx || m.ty != toDevice.ty) {
        bitmapCache_.clear();
        cacheSetup_ = CacheSetup{canvas.width, canvas.height, quality, toDevice};
    }
    return &bitmapCache_;
}

void Player::draw(Canvas& canvas, const Matrix& toDevice, Quality quality, const IntRect* clip, bool keepLayers) const {
    Renderer renderer(canvas, quality, &scratch_);
    if (clip) renderer.setClipRect(*clip);
    Rgba background = movie_->background;
    background.a = 255;
    renderer.clear(background);
    if (!keepLayers) {
        drawRoot(renderer, *root_, host_.rootState, toDevice);
        drawLevels(renderer, toDevice, nullptr);
        return;
    }
    drawRoot(renderer, *root_, host_.rootState, toDevice, cacheFor(canvas, toDevice, quality));
    drawLevels(renderer, toDevice, &bitmapCache_);
    bitmapCache_.endFrame();
}

void Player::renderBand(Canvas& canvas, ScaleMode mode, Quality quality, int y0, int y1) const {
    if (canvas.width <= 0 || canvas.height <= 0) return;
    const IntRect band{0, std::max(0, y0), canvas.width, std::min(canvas.height, y1)};
    if (band.empty()) return;
    draw(canvas, rootToCanvas(canvas, mode), quality, &band, false);
}

void Player::render(Canvas& canvas, ScaleMode mode, Quality quality) const {
    if (canvas.width <= 0 || canvas.height <= 0) return;
    draw(canvas, rootToCanvas(canvas, mode), quality, nullptr);
}

// Levels loaded with loadMovieNum, over _level0 in their order.
void Player::drawLevels(Renderer& renderer, const Matrix& toDevice, BitmapCache* cache) const {
    for (const auto& [number, level] : host_.levels)
        if (number > 0) drawClip(renderer, *level, toDevice, ColorTransform{}, false, cache);
}

void Player::drawAreas(Canvas& canvas, const Matrix& toDevice, Quality quality, const std::vector<IntRect>& areas,
                       const BandRunner* bands) {
    Rgba background = movie_->background;
    background.a = 255;
    BitmapCache* cache = cacheFor(canvas, toDevice, quality);
    // Each part gets a renderer of its own (they keep scratch memory and a clip): parts are
    // drawn at once.
    auto drawPart = [&](const IntRect& part) {
        Renderer renderer(canvas, quality, &scratch_);
        renderer.setClipRect(part);
        if (staticLayers_.valid()) {
            staticLayers_.copyTo(canvas, part);
            drawRoot(renderer, *root_, host_.rootState, toDevice, cache, staticLayers_.depth(), kDepthEnd);
        } else {
            renderer.clear(background);
            drawRoot(renderer, *root_, host_.rootState, toDevice, cache);
        }
        drawLevels(renderer, toDevice, cache);
    };
    drawAreasInBands(areas, bands, drawPart);
    bitmapCache_.endFrame();
}

void Player::noteWholeFrame(bool whole) {
    constexpr int kMaxBlindFrames = 15;  // half a second at 30 fps before a calm frame is seen
    if (!whole) {
        wholeStreak_ = 0;
        blindStretch_ = 0;
        return;
    }
    // Two whole frames start the first stretch; after a stretch, one whole frame the next.
    if (++wholeStreak_ < (blindStretch_ > 0 ? 1 : 2)) return;
    wholeStreak_ = 0;
    blindStretch_ = std::min(std::max(2 * blindStretch_, 2), kMaxBlindFrames);
    blindFrames_ = blindStretch_;
}

std::vector<IntRect> Player::renderChanges(Canvas& canvas, ScaleMode mode, Quality quality, const BandRunner* bands) {
    if (canvas.width <= 0 || canvas.height <= 0) return {};
    Matrix toDevice = rootToCanvas(canvas, mode);
    const IntRect whole{0, 0, canvas.width, canvas.height};
    if (blindFrames_ > 0) {
        // Nothing is collected, so the frame after the stretch starts afresh.
        --blindFrames_;
        last_.valid = false;
        staticLayers_.clear();
        drawAreas(canvas, toDevice, quality, {whole}, bands);
        return {whole};
    }
    std::vector<DrawnItem> items = collectDrawnItems(*root_, toDevice, canvas.width, canvas.height);
    // The root's own look (colour transform, filters, blend mode) lies over every item.
    SignatureHasher rootLook;
    hashDisplayState(rootLook, host_.rootState);
    bool sameSetup = last_.valid && last_.width == canvas.width && last_.height == canvas.height &&
                     last_.mode == mode && last_.quality == quality && last_.rootLook == rootLook.h;
    if (!sameSetup) {
        staticLayers_.clear();
        recentSplits_.fill(0);
        last_ = LastRender{true, canvas.width, canvas.height, mode, quality, std::move(items), rootLook.h};
        drawAreas(canvas, toDevice, quality, {whole}, bands);
        return {whole};
    }
    if (host_.levels.size() > 1 || rootNeedsLayer(host_.rootState)) {
        // The changed areas follow _level0 only: with more levels every frame is drawn whole;
        // so too under the root's filters, which spread every change.
        last_.items = std::move(items);
        staticLayers_.clear();
        drawAreas(canvas, toDevice, quality, {whole}, bands);
        return {whole};
    }
    Changes changes = findChanges(last_.items, items, whole);
    last_.items = std::move(items);
    if (changes.areas.empty()) {
        noteWholeFrame(false);
        return {};
    }
    const bool drawWhole = changes.areas.size() == 1 && area(changes.areas[0]) == area(whole);

    // Keep the layers that stayed put in some recent frame: a frame that changes one of them
    // redraws the kept pixels in its dirty areas (no more work than drawing them directly),
    // the others start from a copy.
    const int split = staticSplitDepth(*root_, changes.lowestDepth);
    recentSplits_[nextSplit_++ % recentSplits_.size()] = split;
    const int keep = staticSplitDepth(*root_, *std::max_element(recentSplits_.begin(), recentSplits_.end()));
    if (last_.items.empty() || last_.items.front().rootDepth >= keep) {
        staticLayers_.clear();
    } else if (!staticLayers_.valid() || staticLayers_.depth() != keep) {
        staticLayers_.redraw(*root_, host_.rootState, toDevice, quality, movie_->background, canvas, keep, bands,
                             cacheFor(canvas, toDevice, quality), &scratch_);
    } else if (split < keep) {
        if (drawWhole) {
            // Redrawing the kept layers everywhere and copying them would cost more than the
            // frame itself: drop them (a later frame that leaves them alone keeps them again).
            staticLayers_.clear();
        } else {
            staticLayers_.update(*root_, host_.rootState, toDevice, quality, movie_->background, changes.areas, bands,
                                 cacheFor(canvas, toDevice, quality), &scratch_);
        }
    }
    // Kept layers make even a whole frame cheaper: only frames drawn from scratch go blind.
    noteWholeFrame(drawWhole && !staticLayers_.valid());

    drawAreas(canvas, toDevice, quality, changes.areas, bands);
    return changes.areas;
}

}  // namespace swf
