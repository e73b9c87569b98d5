// Running timelines: a Clip is one timeline instance (the root, a sprite, a button's content)
// with its display list: depth -> placed object (display/display_object.h).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "../model/movie.h"
#include "action_queue.h"
#include "avm1/names.h"
#include "child_name_index.h"
#include "display/display_object.h"
#include "drawing.h"

namespace swf {

namespace avm1 {
class Object;
}
class TextField;
struct TextFieldServices;

// A StartSound of a frame a clip entered, or (no `start`) a sprite's soundtrack reaching `frame`.
struct QueuedSound {
    const SoundStart* start = nullptr;
    std::weak_ptr<Clip> clip;
    int frame = 0;
};

// What all clips of one player share.
struct ClipHost {
    const Movie* movie = nullptr;
    // _level0 (the root) and the levels loadMovieNum made; each is a root without a parent.
    std::map<int, std::shared_ptr<Clip>> levels;
    // Movies loaded into clips and levels, kept while any clip may still place their
    // characters (until the player ends); by file, so reloading one file adds nothing.
    std::map<std::string, std::shared_ptr<const Movie>> loadedMovies;
    ActionQueue queue;                  // scripts and events waiting to run
    // Every clip made, oldest first; a tick walks it newest first (the original's order of
    // enter-frame events and timeline steps). Dead entries are dropped as the walk meets them.
    std::vector<std::weak_ptr<Clip>> execList;
    std::set<const ActionList*> initActionsRun;  // DoInitAction blocks run once per movie
    uint64_t changes = 0;               // bumped by anything that changes what is drawn
    size_t instanceBudget = 0;          // instances that may still be created this tick
    std::vector<QueuedSound> sounds;    // sounds of the frames entered, in order
    std::vector<std::weak_ptr<Clip>> drawingsChanged;  // drawn on by scripts since the last settle
    uint64_t drawingSerial = 0;         // numbers each settled drawing, for the changed-area cache
    // Called for each clip taken off a display list (removed, replaced, dropped by a rewind),
    // its child clips before it. It runs while the timeline is being changed: the script side
    // queues its unload event here and runs it later.
    std::function<void(Clip&)> onUnload;
    // Called before an object leaves a display list, while its path still reads as before (the
    // focus it holds is dropped then, the listeners seeing where it was).
    std::function<void(DisplayObject&)> beforeRemove;
    // Whether a clip its timeline removes has an unload handler (onClipEvent(unload) or an
    // onUnload method): such a clip stays until that event ran (Clip::apply).
    std::function<bool(Clip&)> hasUnloadHandler;
    // ImportAssets on `importer`'s timeline: the file's init actions join the queue.
    std::function<void(Clip& importer, const std::string& url)> importAssets;
    // Lines the original's debug player writes into the trace log ("Warning: ...").
    std::function<void(const std::string&)> debugLog;
    Point mouse;                        // the pointer on the stage, twips
    DisplayState rootState;             // the root's own transform, which scripts may set
    int quality = 2;                    // _quality: 0 LOW, 1 MEDIUM, 2 HIGH, 3 BEST
    int soundBufferSeconds = 5;         // _soundbuftime
    bool focusRect = true;              // the stage's _focusrect (focus_rect.h)
    uint32_t instancesNamed = 0;        // "instanceN" names given to unnamed clips
    // startDrag: the clip that follows the mouse (one at a time), in its parent's twips.
    struct Drag {
        std::weak_ptr<Clip> clip;
        Point offset;                   // clip position minus pointer, when not centred
        bool constrained = false;
        Rect bounds;
        // _droptarget: the topmost clip under the pointer, the dragged one aside, when the
        // drag last moved; kept after stopDrag.
        std::weak_ptr<Clip> dropTarget;
    } drag;
    TextFieldServices* textServices = nullptr;          // fonts of the fields scripts change
    std::vector<std::weak_ptr<TextField>> textFields;   // fields placed, for variable binding
};

class Clip : public std::enable_shared_from_this<Clip> {
public:
    using DisplayList = ChildList;

    // `timeline` may be null: a button's static content.
    Clip(ClipHost& host, const Timeline* timeline, Clip* parent, int nesting);
    ~Clip();
    Clip(const Clip&) = delete;
    Clip& operator=(const Clip&) = delete;

    // Shows the first frame; for a new instance, right after it is created.
    void start();
    // This clip's timeline moves to its next frame when playing (children step on their own,
    // see clip_events.h). `loop` false stops on the last frame instead of wrapping.
    void advance(bool loop = true);
    // 0-based; out-of-range targets are clamped to the timeline.
    void gotoFrame(int frame, bool andPlay, bool andStop);
    void play() { playing_ = true; }
    void stop() { playing_ = false; }

    int currentFrame() const { return frame_; }  // 0-based
    int frameCount() const;
    bool isPlaying() const { return playing_; }
    const Timeline* timeline() const { return timeline_; }
    // The movie whose characters this timeline places: the player's, or one loaded into this
    // clip or an ancestor.
    const Movie& movie() const { return *movie_; }
    // loadMovie / unloadMovie: the children go (their unload events queued), the drawing is
    // cleared, and `timeline` of `movie` (null: none, an empty clip) starts over at its first
    // frame with start(). The clip keeps its place, name and transform.
    void replaceContent(const Movie& movie, const Timeline* timeline);
    const DisplayList& displayList() const { return list_; }
    Clip* parent() const { return parent_; }
    int nesting() const { return nesting_; }
    Clip* childByName(const std::string& name, avm1::NameRule rule = avm1::NameRule{false}) const;
    // The first child in depth order, of any kind, named `name` under `rule` that `accept`
    // takes; null when none.
    template <typename Accept>
    DisplayObject* findChild(const std::string& name, avm1::NameRule rule, Accept accept) const {
        auto found = [&](DisplayObject& obj) { return avm1::sameName(obj.state().name, name, rule) && accept(obj); };
        if (const std::vector<DisplayObject*>* named = names_.candidates(list_, listRevision_, name)) {
            for (DisplayObject* obj : *named)
                if (found(*obj)) return obj;
            return nullptr;
        }
        for (const auto& [depth, obj] : list_)
            if (found(*obj)) return obj.get();
        return nullptr;
    }

    // The object at `depth` of this clip's list; null when the depth is empty.
    DisplayObject* objectAt(Depth depth) const;

    // Scripts (duplicateMovieClip, attachMovie): a new instance of `character` at `depth`,
    // flagged as placed by script, replacing what is there. Null when the list is full.
    DisplayObject* placeByScript(Depth depth, const Character& character, const std::string& name);
    // The same with an object made by the script side (attachBitmap's BitmapData display).
    DisplayObject* placeByScript(Depth depth, std::unique_ptr<DisplayObject> object, const std::string& name);
    // Takes the object at `depth` off the list (its clips unload); false when the depth is empty.
    bool removeAt(Depth depth);
    // RemoveObject or removeMovieClip of a clip with an unload handler (see unloadPending).
    void parkUntilUnload(Depth depth);
    // A clip its timeline removed while it had an unload handler: when the next frame starts,
    // its unload event having run, it goes from the list for good.
    void finishPendingUnload();
    // The objects at the two depths trade places (either may be empty).
    void swapDepths(Depth a, Depth b);

    // A placed child object's content, for buttons built outside a timeline.
    void placeStatic(const ButtonRecord& record, const Character& character);

    // The object showing this clip in its parent's list (its matrix, name, depth...); null for
    // the root and for a clip removed while a script still holds it.
    DisplayObject* displayObject() const { return displayObject_; }
    void setDisplayObject(DisplayObject* object) { displayObject_ = object; }
    void markChanged() { ++host_.changes; }
    ClipHost& host() { return host_; }

    // The drawing API's lines and fills, drawn under the children; null until a script draws.
    // Renders read the shape built by settleDrawing() (clip_drawing.cpp).
    const Drawing* drawing() const { return drawing_.get(); }
    Drawing& editDrawing();
    void settleDrawing();
    // The drawing as scripts see it in the middle of a frame (built now when it changed), for
    // the bounds and hit tests scripts ask for; null without a drawing. Renders use drawing().
    const Shape* drawingForScripts() { return drawing_ ? &drawing_->shape() : nullptr; }
    // duplicateMovieClip: the copy starts with the original's drawing (pen and styles too).
    void copyDrawingFrom(const Clip& source);
    uint64_t drawingSerial() const { return drawingSerial_; }

    // A button's content (button_clip.cpp): the records of one state, ButtonRecord's state
    // bits (1 up, 2 over, 4 down); objects in both the old and the new state stay as they are.
    void startButton(const ButtonCharacter& button);
    const ButtonCharacter* button() const { return button_; }
    void showButtonState(uint8_t state);
    uint8_t buttonState() const { return buttonState_; }

    // The clip's script object (variables, properties, methods); made by the script runtime
    // on first use, owned by its heap, cleared by that object when it is collected.
    avm1::Object* scriptObject = nullptr;
    ClipEventHandlers clipActions;  // onClipEvent handlers of the PlaceObject that made it
    bool removed = false;           // taken off the display list: only its unload event runs
    // Removed by its timeline with an unload handler: parked at depth -depth-1, still shown and
    // reachable by the frame's scripts (its own events aside from unload no longer run), until
    // the next frame starts.
    bool unloadPending = false;
    bool constructedByScript = false;  // its initialize and construct events ran at creation
    // setMask: `mask` is the clip whose shapes cut this one where it is on the stage; `masking`
    // on that clip points back (a clip used as a mask is not drawn itself, and masks one clip).
    std::weak_ptr<Clip> mask;
    std::weak_ptr<Clip> masking;
    int level = -1;                 // a level's root: its number (_level0 is the player's root)
    // A file loaded into this clip: its path as the script gave it (for _url) and its size;
    // empty and -1 while it shows what its movie placed.
    std::string loadedUrl;
    int64_t loadedBytes = -1;
    // What a load left in the clip, for the properties that tell (_framesloaded, getSWFVersion...).
    enum class LoadState : uint8_t {
        Own,       // its own timeline, or a movie loaded into it
        Picture,   // a JPEG/PNG/GIF file: no SWF version (-1)
        Failed,    // no such file, or no movie or picture: _framesloaded -1, getBytesTotal -1
        Unloaded,  // unloadMovie: no frames, the version of the movie around it
    };
    LoadState loadState = LoadState::Own;

private:
    void runFrame(int frame, bool withActions);
    void queueSounds(int frame);
    void apply(const FrameCommand& cmd, int frame, bool withActions);
    // `frame`: the frame of this timeline that places or moves the object.
    void place(const PlaceCommand& p, int frame);
    std::unique_ptr<DisplayObject> instantiate(const Character& character);
    // `slot` gets `object`; what it held before is unloaded.
    void replaceIn(std::unique_ptr<DisplayObject>& slot, std::unique_ptr<DisplayObject> object);
    void rewindTo(int frame);

    ClipHost& host_;
    const Movie* movie_;
    const Timeline* timeline_;
    Clip* parent_;
    DisplayObject* displayObject_ = nullptr;
    int nesting_;
    int frame_ = -1;
    bool playing_ = true;
    DisplayList list_;
    uint64_t listRevision_ = 0;  // counts the changes of list_, for names_
    mutable ChildNameIndex names_;
    std::unique_ptr<Drawing> drawing_;
    uint64_t drawingSerial_ = 0;
    bool drawingListed_ = false;  // in host_.drawingsChanged
    const ButtonCharacter* button_ = nullptr;
    uint8_t buttonState_ = 0;
};

// Builds the shapes of the drawings scripts changed, so renders (on any thread) only read them.
void settleDrawings(ClipHost& host);

}  // namespace swf
