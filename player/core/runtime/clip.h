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
#include "avm1/names.h"

namespace swf {

namespace avm1 {
class Object;
}

class Clip;
class TextField;
struct TextFieldServices;

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
    std::shared_ptr<TextField> text;   // edit text: the field's own text and properties
    // Drawn through an offscreen layer when any is set (filter sizes in stage pixels).
    std::vector<Filter> filters;
    BlendMode blendMode = BlendMode::Normal;
    bool cacheAsBitmap = false;
    std::optional<Rgba> opaqueBackground;
};

struct PendingActions {
    std::weak_ptr<Clip> clip;
    ActionListPtr actions;
    bool init = false;  // DoInitAction: runs before the frame scripts queued with it
};

// What all clips of one player share.
struct ClipHost {
    const Movie* movie = nullptr;
    std::vector<PendingActions> queue;  // frame scripts waiting to run, in order
    std::set<const ActionList*> initActionsRun;  // DoInitAction blocks run once per movie
    uint64_t changes = 0;               // bumped by anything that changes what is drawn
    size_t instanceBudget = 0;          // instances that may still be created this tick
    std::vector<const SoundStart*> sounds;  // StartSound commands of the frames entered, in order
    TextFieldServices* textServices = nullptr;          // fonts of the fields scripts change
    std::vector<std::weak_ptr<TextField>> textFields;   // fields placed, for variable binding
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
    // One tick: children step, then this clip moves to its next frame when playing.
    // `loop` false stops on the last frame instead of wrapping (the root's Loop setting).
    void step(bool loop = true);
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
    DisplayObject* entryOf(const TextField* field);
    // An object a script made (createTextField): it replaces whatever the depth held.
    DisplayObject& placeScripted(uint16_t depth, DisplayObject obj);
    // Takes the object at `depth` out of the list.
    void removeAt(uint16_t depth);
    void markChanged() { ++host_.changes; }
    ClipHost& host() { return host_; }

    // The clip's script object (variables, properties, methods); made by the script runtime
    // on first use, owned by its heap, cleared by that object when it is collected.
    avm1::Object* scriptObject = nullptr;

private:
    void runFrame(int frame, bool withActions);
    void queueSounds(int frame);
    void apply(const FrameCommand& cmd, bool withActions);
    void place(const PlaceCommand& p);
    void instantiate(DisplayObject& obj, const Character* character);
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
