// The player as the host control uses it: load, step by elapsed time, render.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "../bitmap.h"
#include "../model/movie.h"
#include "../renderer.h"
#include "area_bands.h"
#include "avm1/host_services.h"
#include "bitmap_cache.h"
#include "button_tracker.h"
#include "../text/layout_font.h"
#include "clip.h"
#include "drawn_items.h"
#include "sound_engine.h"
#include "sound_scopes.h"
#include "sprite_soundtracks.h"
#include "stage_view.h"
#include "text_field.h"
#include "static_layers.h"

namespace swf {

namespace avm1 {
class Vm;
}
class ScriptRuntime;
class SoundScript;

class Player {
public:
    // Null with a reason when the bytes are not a playable movie.
    // `host` (clocks, random seed, files beside the movie) must outlive the player; null uses
    // the system's. The host's device fonts draw the text fields that do not embed their font;
    // without them those fields stay empty. The player keeps them for text that scripts set later.
    static std::unique_ptr<Player> load(const uint8_t* data, size_t size, std::string& error,
                                        avm1::HostServices* host = nullptr,
                                        std::shared_ptr<FontProvider> deviceFonts = nullptr);
    // `beforeFirstFrame` sees the script machine before the first frame's scripts run (to
    // attach trace and warning printers). `mp3` decodes MP3 from the first frame on (a file the
    // first frame loads with Sound.loadSound); without it, such a load waits a frame for
    // setMp3Decoder().
    explicit Player(std::shared_ptr<const Movie> movie, avm1::HostServices* host = nullptr,
                    const std::function<void(avm1::Vm&)>& beforeFirstFrame = {},
                    std::shared_ptr<FontProvider> deviceFonts = nullptr, Mp3DecoderFactory mp3 = {});
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
    // The timers due by the host's clock and the actions they queue, the timelines left as
    // they are: the interval after the last frame of a headless run.
    void runDueTimers();

    // Draws the current frame over the whole canvas: background, then the display list.
    void render(Canvas& canvas, ScaleMode mode, Quality quality) const;

    // Draws rows [y0, y1) of what render() draws and nothing else: no other row, and no state of
    // the player, so the bands of one frame may be drawn on several threads at once (while
    // nothing changes the player). Filtered objects are drawn afresh here, not kept between
    // frames. Every band's pixels equal render()'s.
    void renderBand(Canvas& canvas, ScaleMode mode, Quality quality, int y0, int y1) const;

    // A host's threads (area_bands.h).
    using BandRunner = swf::BandRunner;

    // Redraws only the areas that changed since the previous call, which must have drawn into
    // the same canvas (it keeps those pixels); returns those areas (disjoint, a short list),
    // none when nothing changed. The first call, or a change of size, mode or quality, draws
    // everything. Pixels are the same as render() gives. With `bands`, the areas (and the kept
    // bottom layers when they are redrawn) are drawn as bands of rows through it, all areas in
    // one run (the same pixels, on the host's threads).
    std::vector<IntRect> renderChanges(Canvas& canvas, ScaleMode mode, Quality quality,
                                       const BandRunner* bands = nullptr);

    // The pointer and keys (player_input.cpp), the one way input reaches a movie: a screen saver
    // ends on input, but a preview or a test shows the movie's own reactions. Positions are
    // stage pixels (a host maps its canvas with canvasToStage()). Each call sends, in the
    // original's order, the clips' events (onClipEvent mouseMove, mouseDown, keyDown...), then
    // the Mouse or Key listeners, then what buttons and clips acting as buttons do under the
    // pointer: their over and down states, condition actions, script events and sounds.
    void pointerMoved(double stageX, double stageY);
    void pointerDown();
    void pointerUp();
    // `keyCode` as Key.getCode() gives it (the virtual key: 37 left, 13 enter, 65 'A'...),
    // `ascii` the character typed, 0 for none. Buttons' key conditions take the character, or
    // for special keys their own codes (1 left ... 19 escape).
    void keyDown(int keyCode, int ascii = 0);
    void keyUp(int keyCode, int ascii = 0);

    const Clip& root() const { return *root_; }
    FontProvider* deviceFonts() const { return deviceFonts_.get(); }  // null: none given
    const std::vector<std::string>& traces() const;
    // Script warnings (aborted scripts, ignored getURL / fscommand), in order.
    const std::vector<std::string>& scriptWarnings() const;
    // fscommand("quit") ran: the host shows no further frame.
    bool quitRequested() const;
    ScriptRuntime& scripts() { return *scripts_; }

    // Sound (player_sound.cpp). The host pulls the mix from any thread; everything else runs
    // on the thread that steps the player, and a step holds the same lock, so scripts (the
    // Sound object) may use soundEngine() freely while they run.
    static constexpr int kAudioRate = 44100;
    void setMp3Decoder(Mp3DecoderFactory factory);
    // Interleaved stereo at kAudioRate. Once the host pulls, its pulls are the clock a
    // soundtrack plays by; until then advance() moves the sound on by the elapsed time.
    void mixAudio(int16_t* out, size_t frames);
    // `latencyMs`: how long the host's device holds what it pulled before it is heard; the
    // timeline follows what is heard.
    void setAudioPulledByHost(bool pulled, double latencyMs = 0);
    // Silences everything now (the host hides the movie, stopAllSounds).
    void stopSounds();
    SoundEngine& soundEngine() { return sound_; }
    // Which clip a voice plays for, so that clip's Sound volume and its parents' apply to it
    // (soundScopes().track(voice, clip)); voices no one tracks get the movie's global one.
    SoundScopes& soundScopes() { return soundScopes_; }
    std::vector<std::string> soundWarnings();

private:
    void startFrameSounds();
    void followSoundtrack();
    void mixSound(int16_t* out, size_t frames);
    void advanceSilently(double elapsedMs);
    int soundtrackSteps();
    void runScripts();
    Matrix rootToCanvas(const Canvas& canvas, ScaleMode mode) const;
    void dispatchInput(uint32_t event, const char* broadcaster, const char* message);
    void pressButtonKeys(int buttonKey);
    void draw(Canvas& canvas, const Matrix& toDevice, Quality quality, const IntRect* clip, bool keepLayers = true) const;
    // Counts a compared frame that changed the whole canvas (or not) toward a blind stretch.
    void noteWholeFrame(bool whole);
    void drawAreas(Canvas& canvas, const Matrix& toDevice, Quality quality, const std::vector<IntRect>& areas,
                   const BandRunner* bands);
    void drawLevels(Renderer& renderer, const Matrix& toDevice, BitmapCache* cache) const;
    void applyButtonTransitions(const std::vector<ButtonTransition>& transitions);
    std::shared_ptr<Clip> buttonUnderPointer();

    std::shared_ptr<const Movie> movie_;
    std::shared_ptr<FontProvider> deviceFonts_;
    std::unique_ptr<TextFieldServices> textServices_;  // before root_: its fields use it
    ClipHost host_;
    std::shared_ptr<Clip> root_;
    std::unique_ptr<avm1::HostServices> ownHost_;
    std::unique_ptr<ScriptRuntime> scripts_;
    bool loop_ = true;
    double pendingMs_ = 0;
    ButtonTracker buttons_;
    bool pointerKnown_ = false;  // no button is under a pointer the host never reported

    std::recursive_mutex soundLock_;  // stepFrame() also runs inside advance()
    SoundEngine sound_;
    SoundScopes soundScopes_;             // Sound objects' volume and pan, per clip and global
    SpriteSoundtracks spriteSoundtracks_;
    std::unique_ptr<SoundScript> soundScript_;  // the Sound class; made after, gone before, the scripts' machine
    bool audioPulledByHost_ = false;
    int soundtrackFrame_ = -1;  // the root frame the soundtrack was last checked against
    int soundtrackPasses_ = 0;  // loops of the root timeline since its soundtrack started
    std::vector<int16_t> discardedAudio_;

    // What the last renderChanges() drew, to find what changed since.
    struct LastRender {
        bool valid = false;
        int width = 0, height = 0;
        ScaleMode mode = ScaleMode::ShowAll;
        Quality quality = Quality::High;
        std::vector<DrawnItem> items;
        uint64_t rootLook = 0;  // hash of the root's own state
    } last_;
    // Where everything moves, comparing a thousand objects' signatures each frame costs more
    // than it saves: after frames that changed the whole canvas, a stretch of frames is drawn
    // whole without collecting what they draw, the stretch doubling while that goes on.
    int wholeStreak_ = 0;   // compared frames in a row that changed the whole canvas
    int blindFrames_ = 0;   // frames of the current stretch still to draw
    int blindStretch_ = 0;  // length of the last stretch; 0 once a frame changed less
    // The depths below which nothing changed, for the last frames: the highest is kept drawn.
    std::array<int, 24> recentSplits_{};
    size_t nextSplit_ = 0;
    StaticLayers staticLayers_;
    // Filtered objects' layers kept between frames, for one canvas size, transform and quality.
    struct CacheSetup {
        int width = 0, height = 0;
        Quality quality = Quality::High;
        Matrix toDevice;
    };
    mutable BitmapCache bitmapCache_;
    mutable CacheSetup cacheSetup_;
    // Layer canvases and mask planes of the renderers that draw frames, bands and areas (on the
    // host's threads too), kept from frame to frame.
    mutable RendererScratchPool scratch_;
    BitmapCache* cacheFor(const Canvas& canvas, const Matrix& toDevice, Quality quality) const;
};

constexpr int kMaxFramesPerAdvance = 5;
// Frames a soundtrack may make the timeline catch up in one advance (dropped, not drawn).
constexpr int kMaxSoundtrackCatchUp = 60;
constexpr size_t kInstancesPerTick = 100000;

}  // namespace swf
