// Running timelines: a Clip is one timeline instance (the root or a sprite) with its display
// list; a DisplayObject is one placed character.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "../model/movie.h"
#include "action_queue.h"
#include "avm1/names.h"

namespace swf {

namespace avm1 {
class Object;
}

class Clip;

struct DisplayObject {
    uint16_t depth = 0;
    const Character* character = nullptr;
    Matrix matrix;
    ColorTransform colorTransform;
    uint16_t ratio = 0;
    std::string name;
    uint16_t clipDepth = 0;            // > 0: a mask over the depths up to this one
    std::shared_ptr<Clip> clip;        // sprites and buttons
    std::shared_ptr<const Shape> morphShape;  // morph shapes: the shape at `ratio`
    // Drawn through an offscreen layer when any is set (filter sizes in stage pixels).
    std::vector<Filter> filters;
    BlendMode blendMode = BlendMode::Normal;
    bool cacheAsBitmap = false;
    std::optional<Rgba> opaqueBackground;
    bool visible = true;
    // The scale and rotation a script last set or read: the matrix alone cannot tell -50 %
    // from 180 degrees, and the original keeps what was set. Stale once the timeline moves it.
    struct ScriptTransform {
        bool valid = false;
        double xscale = 100, yscale = 100, rotation = 0;  // percent, percent, degrees
    } scripted;
};

// What all clips of one player share.
struct ClipHost {
    const Movie* movie = nullptr;
    ActionQueue queue;                  // scripts and events waiting to run
    // Every clip made, oldest first; a tick walks it newest first (the original's order of
    // enter-frame events and timeline steps). Dead entries are dropped as the walk meets them.
    std::vector<std::weak_ptr<Clip>> execList;
    std::set<const ActionList*> initActionsRun;  // DoInitAction blocks run once per movie
    uint64_t changes = 0;               // bumped by anything that changes what is drawn
    size_t instanceBudget = 0;          // instances that may still be created this tick
    std::vector<const SoundStart*> sounds;  // StartSound commands of the frames entered, in order
    Point mouse;                        // the pointer on the stage, twips
    DisplayObject rootEntry;            // the root's own transform, which scripts may set
    int quality = 2;                    // _quality: 0 LOW, 1 MEDIUM, 2 HIGH, 3 BEST
    int soundBufferSeconds = 5;         // _soundbuftime
    uint32_t instancesNamed = 0;        // "instanceN" names given to unnamed clips
    const Clip* dragged = nullptr;      // startDrag's clip
};

class Clip : public std::enable_shared_from_this<Clip> {
public:
    using DisplayList = std::map<uint16_t, DisplayObject>;

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
    const DisplayList& displayList() const { return list_; }
    Clip* parent() const { return parent_; }
    int nesting() const { return nesting_; }
    Clip* childByName(const std::string& name, avm1::NameRule rule = avm1::NameRule{false}) const;

    // A placed child object's content, for buttons built outside a timeline.
    void placeStatic(const ButtonRecord& record, const Character* character);

    // The entry of a child clip in this clip's display list; null when it is not here.
    DisplayObject* entryOf(const Clip* child);
    DisplayObject* objectAt(uint16_t depth);

    // Script-made children (duplicateMovieClip, attachMovie, createEmptyMovieClip: a null
    // `character` is an empty clip): replaces what is at `depth` (its clips unload); null when
    // the character is not a sprite or the nesting or instance budget is spent.
    Clip* placeByScript(const Character* character, uint16_t depth, const std::string& name,
                        const ClipEventHandlers& clipActions = nullptr);
    // Removes the object at `depth`; its clips get their unload events first.
    void removeAt(uint16_t depth);
    // Moves the object at `from` to `to`, swapping with the one there.
    void swapDepths(uint16_t from, uint16_t to);
    void markChanged() { ++host_.changes; }
    ClipHost& host() { return host_; }

    // The clip's script object (variables, properties, methods); made by the script runtime
    // on first use, owned by its heap, cleared by that object when it is collected.
    avm1::Object* scriptObject = nullptr;
    ClipEventHandlers clipActions;  // onClipEvent handlers of the PlaceObject that made it
    bool dynamic = false;           // made by a script (removeMovieClip may remove it)
    bool removed = false;           // taken off the display list: only its unload event runs
    uint16_t depthInParent = 0;     // where entryOf looks first (scripts ask for it constantly)

private:
    void runFrame(int frame, bool withActions);
    void queueSounds(int frame);
    void apply(const FrameCommand& cmd, bool withActions);
    void place(const PlaceCommand& p);
    void instantiate(DisplayObject& obj, const Character* character, const ClipEventHandlers& clipActions = nullptr);
    void unload(DisplayObject& obj);
    static void applyPlacement(DisplayObject& obj, const PlaceCommand& p);
    void updateMorph(DisplayObject& obj);
    void rewindTo(int frame);

    ClipHost& host_;
    const Timeline* timeline_;
    Clip* parent_;
    int nesting_;
    int frame_ = -1;
    bool playing_ = true;
    DisplayList list_;
};

}  // namespace swf
