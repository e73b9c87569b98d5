#include "clip.h"

#include <cctype>

#include "runtime_limits.h"
#include "display/display_factory.h"

namespace swf {
namespace {

constexpr Depth kFirstScriptDepth = 16384;  // script depth 0: timelines place below it

// Unnamed clips, buttons and text fields are still reachable by script under a name of their own.
std::string defaultName(ClipHost& host, const Character& character) {
    if (character.kind != CharacterKind::Sprite && character.kind != CharacterKind::Button &&
        character.kind != CharacterKind::EditText)
        return std::string();
    return "instance" + std::to_string(++host.instancesNamed);
}

// What the timeline says about one depth at some frame, replayed without side effects.
struct PlacedState {
    uint16_t characterId = 0;
    int frame = 0;  // where the timeline placed it
    PlaceCommand props;
};

void merge(PlaceCommand& into, const PlaceCommand& p) {
    if (p.matrix) into.matrix = p.matrix;
    if (p.colorTransform) into.colorTransform = p.colorTransform;
    if (p.ratio) into.ratio = p.ratio;
    if (p.name) into.name = p.name;
    if (p.clipDepth) into.clipDepth = p.clipDepth;
    if (p.filters) into.filters = p.filters;
    if (p.blendMode) into.blendMode = p.blendMode;
    if (p.cacheAsBitmap) into.cacheAsBitmap = p.cacheAsBitmap;
    if (p.opaqueBackground) into.opaqueBackground = p.opaqueBackground;
}

}  // namespace

Clip::Clip(ClipHost& host, const Timeline* timeline, Clip* parent, int nesting)
    : host_(host), movie_(parent ? &parent->movie() : host.movie), timeline_(timeline), parent_(parent), nesting_(nesting) {}

Clip::~Clip() {
    // A child kept alive by a running script must not reach back into a dead parent.
    for (auto& [depth, obj] : list_)
        if (Clip* child = obj->clip()) child->parent_ = nullptr;
}

void Clip::replaceContent(const Movie& movie, const Timeline* timeline) {
    while (!list_.empty()) removeAt(list_.begin()->first);
    if (drawing_) editDrawing().clear();
    movie_ = &movie;
    timeline_ = timeline;
    frame_ = -1;
    playing_ = true;
    ++host_.changes;
}

int Clip::frameCount() const { return timeline_ ? int(timeline_->frames.size()) : 1; }

void Clip::start() {
    if (timeline_ && !timeline_->frames.empty()) runFrame(0, true);
    frame_ = timeline_ && timeline_->frames.empty() ? -1 : 0;  // an empty clip is on no frame
}

void Clip::advance(bool loop) {
    if (!playing_ || !timeline_) return;
    int count = frameCount();
    if (count <= 1) return;
    if (frame_ + 1 < count) {
        ++frame_;
        runFrame(frame_, true);
    } else if (!timeline_->wraps && parent_) {
        return;  // still loading, as the original sees it: it waits on its last frame
    } else if (loop) {
        rewindTo(0);
    } else {
        playing_ = false;
    }
}

void Clip::gotoFrame(int frame, bool andPlay, bool andStop) {
    if (andPlay) playing_ = true;
    if (andStop) playing_ = false;
    if (!timeline_) return;
    int count = frameCount();
    if (count == 0) return;
    if (frame < 0) frame = 0;
    // Past the end: the last frame is shown, but its script does not run (gotoAndStop(999)).
    const bool pastEnd = frame >= count;
    if (pastEnd) frame = count - 1;
    if (frame == frame_) return;
    if (frame > frame_) {
        // Skipped frames still build the display list; only the target's script runs.
        for (int f = frame_ + 1; f <= frame; ++f) runFrame(f, f == frame && !pastEnd);
        frame_ = frame;
    } else {
        rewindTo(frame);
    }
}

// Going back replays the timeline from frame one to the target, as the original player does:
// a timeline object the replay also places (same depth, character and placing frame) is kept
// with its state and takes the replayed properties (unless a script moved it), other objects
// at the timeline's depths go, and what is missing is created. Objects scripts placed at
// depths 0 and up stay, and the timeline does not take their depths.
void Clip::rewindTo(int frame) {
    std::map<uint16_t, PlacedState> wanted;
    for (int f = 0; f <= frame; ++f) {
        for (const FrameCommand& cmd : timeline_->frames[size_t(f)].commands) {
            if (cmd.kind == FrameCommand::Kind::Remove) {
                wanted.erase(cmd.place.depth);
            } else if (cmd.kind == FrameCommand::Kind::Place) {
                const PlaceCommand& p = cmd.place;
                auto it = wanted.find(p.depth);
                if (it == wanted.end()) {
                    if (p.characterId) wanted[p.depth] = PlacedState{*p.characterId, f, p};
                } else if (p.move) {
                    if (p.characterId) it->second.characterId = *p.characterId;
                    merge(it->second.props, p);
                }
            }
        }
    }
    std::vector<Depth> dropped;
    for (const auto& [depth, obj] : list_) {
        const DisplayState& s = obj->state();
        // Depths below script depth 0 are the timeline's: what a script made or moved there
        // goes too (a clip createEmptyMovieClip put at -100 is gone after gotoAndStop(1)).
        // What stands at script depths stays, a timeline clip swapped there included.
        if (depth >= kFirstScriptDepth) continue;
        auto w = wanted.find(depth);
        if (w == wanted.end() || obj->character()->id != w->second.characterId || s.placeFrame != w->second.frame)
            dropped.push_back(depth);
    }
    for (Depth depth : dropped) removeAt(depth);
    // The frame's scripts are queued before the clips the replay makes queue their first
    // frames': after a loop the root's frame 1 script runs before its new children's.
    const Frame& target = timeline_->frames[size_t(frame)];
    for (const FrameCommand& cmd : target.commands)
        if (cmd.kind == FrameCommand::Kind::Actions) host_.queue.push_back({weak_from_this(), cmd.actions});
    for (auto& [depth, state] : wanted) {
        auto it = list_.find(depth);
        if (it != list_.end() && it->second->state().placedByScript) continue;
        PlaceCommand p = state.props;
        p.depth = depth;
        p.characterId = state.characterId;
        p.move = it != list_.end();  // kept objects take the frame's properties
        if (p.move) p.characterId.reset();
        place(p, state.frame);
    }
    frame_ = frame;
    ++host_.changes;
    queueSounds(frame);
}

void Clip::runFrame(int frame, bool withActions) {
    for (const FrameCommand& cmd : timeline_->frames[size_t(frame)].commands) apply(cmd, frame, withActions);
    if (withActions) queueSounds(frame);
}

// Frames passed over by a goto stay silent; the frame arrived at starts its sounds, a loop
// back to the first frame included (that is how movies repeat a music loop).
void Clip::queueSounds(int frame) {
    // The sound engine knows the player's own movie only: a loaded movie's sounds stay silent.
    if (movie_ != host_.movie) return;
    for (const SoundStart& start : timeline_->frames[size_t(frame)].sounds) host_.sounds.push_back({&start, weak_from_this()});
    if (parent_ && timeline_->streamHead) host_.sounds.push_back({nullptr, weak_from_this(), frame});
}

void Clip::apply(const FrameCommand& cmd, int frame, bool withActions) {
    switch (cmd.kind) {
        case FrameCommand::Kind::Place: place(cmd.place, frame); break;
        case FrameCommand::Kind::Remove: {
            // Objects placed by scripts are not the timeline's to remove.
            DisplayObject* obj = objectAt(cmd.place.depth);
            if (!obj || obj->state().placedByScript) break;
            if (Clip* c = obj->clip(); c && host_.hasUnloadHandler && host_.hasUnloadHandler(*c)) parkUntilUnload(cmd.place.depth);
            else removeAt(cmd.place.depth);
            break;
        }
        case FrameCommand::Kind::Actions:
            if (withActions) host_.queue.push_back({weak_from_this(), cmd.actions});
            break;
        case FrameCommand::Kind::InitActions:
            if (host_.initActionsRun.insert(cmd.actions.get()).second)
                host_.queue.push_back({weak_from_this(), cmd.actions, ActionPhase::InitActions});
            break;
        case FrameCommand::Kind::Import:
            if (withActions && host_.importAssets) host_.importAssets(*this, *cmd.importUrl);
            break;
    }
}

void Clip::place(const PlaceCommand& p, int frame) {
    auto it = list_.find(p.depth);
    const Character* character = p.characterId ? movie_->character(*p.characterId) : nullptr;
    if (p.characterId && !character) return;  // undefined character: the original ignores it
    DisplayObject* obj = nullptr;
    if (it != list_.end() && p.move) {
        obj = it->second.get();
        if (character && character != obj->character()) {
            // Replaced: the new character keeps the state of the one it replaces.
            std::unique_ptr<DisplayObject> replacement = instantiate(*character);
            replacement->state() = obj->state();
            replaceIn(it->second, std::move(replacement));
            obj = it->second.get();
        }
    } else if (it != list_.end()) {
        // A new object on an occupied depth: the original keeps what is there.
        if (character && host_.debugLog) host_.debugLog("Warning: Failed to place object at depth " + std::to_string(p.depth) + ".");
        return;
    } else if (character) {
        if (list_.size() >= kMaxDisplayObjects) return;
        // Named before its content is made: a clip is instance1 and the clip inside it instance2.
        const std::string name = p.name ? *p.name : defaultName(host_, *character);
        std::unique_ptr<DisplayObject>& slot = list_[p.depth];
        slot = instantiate(*character);
        slot->state().name.assignUnlisted(name);
        slot->state().depth = p.depth;
        slot->state().placeFrame = frame;
        obj = slot.get();
        names_.added(*obj, ++listRevision_);
    } else {
        return;
    }
    DisplayState& s = obj->state();
    if (p.name) s.name = *p.name;
    if (p.clipDepth) s.clipDepth = *p.clipDepth;
    // An object a script moved or tinted keeps what the script gave it.
    if (!s.transformedByScript) {
        if (p.matrix) {
            s.matrix = *p.matrix;
            s.scripted.valid = false;
        }
        if (p.colorTransform) s.colorTransform = *p.colorTransform;
        if (p.ratio) s.ratio = *p.ratio;
        if (p.filters) s.filters = *p.filters;
        if (p.blendMode) s.blendMode = *p.blendMode;
        if (p.cacheAsBitmap) s.cacheAsBitmap = *p.cacheAsBitmap;
        if (p.opaqueBackground) s.opaqueBackground = *p.opaqueBackground;
    }
    if (p.visible) s.visible = *p.visible;
    if (Clip* clip = obj->clip()) {
        if (p.clipActions) clip->clipActions = p.clipActions;
        // Unnamed clips are still reachable by script under a name of their own.
        if (s.name.empty()) s.name = "instance" + std::to_string(++host_.instancesNamed);
    }
    obj->stateChanged();
    ++host_.changes;
}

std::unique_ptr<DisplayObject> Clip::instantiate(const Character& character) {
    // Too deep, or too many new instances this tick (a sprite placing copies of itself):
    // the object stays in the list but draws as nothing.
    const bool withContent = nesting_ + 1 < kMaxDisplayDepth && host_.instanceBudget > 0;
    if (withContent) --host_.instanceBudget;
    return makeDisplayObject(character, *this, withContent);
}

void Clip::placeStatic(const ButtonRecord& rec, const Character& character) {
    if (list_.size() >= kMaxDisplayObjects) return;
    const std::string name = defaultName(host_, character);
    std::unique_ptr<DisplayObject> made = instantiate(character);
    made->state().name.assignUnlisted(name);
    made->state().depth = rec.depth;
    std::unique_ptr<DisplayObject>& slot = list_[rec.depth];
    replaceIn(slot, std::move(made));
    DisplayState& s = slot->state();
    s.matrix = rec.matrix;
    s.colorTransform = rec.colorTransform;
    s.filters = rec.filters;
    s.blendMode = rec.blendMode;
    slot->stateChanged();
}

DisplayObject* Clip::placeByScript(Depth depth, const Character& character, const std::string& name) {
    if (!list_.count(depth) && list_.size() >= kMaxDisplayObjects) return nullptr;
    return placeByScript(depth, instantiate(character), name);
}

DisplayObject* Clip::placeByScript(Depth depth, std::unique_ptr<DisplayObject> object, const std::string& name) {
    if (!object || (!list_.count(depth) && list_.size() >= kMaxDisplayObjects)) return nullptr;
    object->state().depth = depth;
    object->state().name.assignUnlisted(name);
    std::unique_ptr<DisplayObject>& slot = list_[depth];
    replaceIn(slot, std::move(object));
    DisplayState& s = slot->state();
    s.placedByScript = true;
    slot->stateChanged();
    ++host_.changes;
    return slot.get();
}

namespace {

// Post-order: a clip's children unload before it.
void unloadTree(Clip& clip, const std::function<void(Clip&)>& onUnload) {
    for (const auto& [depth, obj] : clip.displayList())
        if (Clip* child = obj->clip()) unloadTree(*child, onUnload);
    onUnload(clip);
}

}  // namespace

void Clip::replaceIn(std::unique_ptr<DisplayObject>& slot, std::unique_ptr<DisplayObject> object) {
    std::unique_ptr<DisplayObject> old = std::move(slot);
    if (old) names_.removed(*old, ++listRevision_);
    slot = std::move(object);
    if (slot) names_.added(*slot, ++listRevision_);
    if (old && old->clip() && host_.onUnload) unloadTree(*old->clip(), host_.onUnload);
}

bool Clip::removeAt(Depth depth) {
    auto it = list_.find(depth);
    if (it == list_.end()) return false;
    if (host_.beforeRemove) {
        host_.beforeRemove(*it->second);
        it = list_.find(depth);  // the scripts it ran may have changed the list
        if (it == list_.end()) return false;
    }
    std::unique_ptr<DisplayObject> removed = std::move(it->second);
    list_.erase(it);
    names_.removed(*removed, ++listRevision_);
    ++host_.changes;
    if (removed->clip() && host_.onUnload) unloadTree(*removed->clip(), host_.onUnload);
    return true;
}

// The original moves such a clip to depth -depth-1, where the frame's scripts still find it
// (timeline depth 1 reads -16386) and a new object may take its old depth; its unload event
// runs with the frame's scripts and the clip goes when the next frame starts (tickClips).
void Clip::parkUntilUnload(Depth depth) {
    const Depth parked = -depth - 1;
    auto it = list_.find(depth);
    Clip* clip = it != list_.end() ? it->second->clip() : nullptr;
    if (!clip || list_.count(parked)) {
        removeAt(depth);
        return;
    }
    auto node = list_.extract(it);
    node.key() = parked;
    node.mapped()->state().depth = parked;
    list_.insert(std::move(node));
    clip->unloadPending = true;
    // What it holds unloads now, before it, as with any removal.
    if (host_.onUnload)
        for (const auto& [childDepth, obj] : clip->list_)
            if (Clip* child = obj->clip()) unloadTree(*child, host_.onUnload);
    std::shared_ptr<Clip> keep = clip->shared_from_this();
    host_.queue.push_back({keep, nullptr, ActionPhase::Normal, kClipUnload, keep});
    ++host_.changes;
}

void Clip::finishPendingUnload() {
    // Taken off meanwhile with its parent, by a rewind or a load: that removal unloaded it.
    if (!unloadPending || removed) {
        unloadPending = false;
        return;
    }
    unloadPending = false;
    removed = true;
    DisplayObject* shown = parent_ ? displayObject() : nullptr;
    if (!shown) return;
    auto it = parent_->list_.find(shown->state().depth);
    if (it == parent_->list_.end() || it->second.get() != shown) return;
    std::unique_ptr<DisplayObject> gone = std::move(it->second);
    parent_->list_.erase(it);
    ++host_.changes;
}

void Clip::swapDepths(Depth a, Depth b) {
    if (a == b) return;
    auto ia = list_.find(a), ib = list_.find(b);
    if (ia == list_.end() && ib == list_.end()) return;
    std::unique_ptr<DisplayObject> first = ia != list_.end() ? std::move(ia->second) : nullptr;
    std::unique_ptr<DisplayObject> second = ib != list_.end() ? std::move(ib->second) : nullptr;
    list_.erase(a);
    list_.erase(b);
    if (first) names_.removed(*first, ++listRevision_);
    if (second) names_.removed(*second, ++listRevision_);
    if (first) {
        first->state().depth = b;
        names_.added(*first, ++listRevision_);
        list_[b] = std::move(first);
    }
    if (second) {
        second->state().depth = a;
        names_.added(*second, ++listRevision_);
        list_[a] = std::move(second);
    }
    ++host_.changes;
}

DisplayObject* Clip::objectAt(Depth depth) const {
    auto it = list_.find(depth);
    return it != list_.end() ? it->second.get() : nullptr;
}

Clip* Clip::childByName(const std::string& name, avm1::NameRule rule) const {
    DisplayObject* found = findChild(name, rule, [](DisplayObject& obj) { return obj.clip() != nullptr; });
    return found ? found->clip() : nullptr;
}

}  // namespace swf
