#include "clip.h"

#include <cctype>

#include "../model/morph.h"
#include "../parse/limits.h"
#include "text_field.h"

namespace swf {
namespace {

// What the timeline says about one depth at some frame, replayed without side effects.
struct PlacedState {
    uint16_t characterId = 0;
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
    : host_(host), timeline_(timeline), parent_(parent), nesting_(nesting) {}

Clip::~Clip() {
    // A child kept alive by a running script must not reach back into a dead parent.
    for (auto& [depth, obj] : list_)
        if (obj.clip) obj.clip->parent_ = nullptr;
}

int Clip::frameCount() const { return timeline_ ? int(timeline_->frames.size()) : 1; }

void Clip::start() {
    if (timeline_ && !timeline_->frames.empty()) runFrame(0, true);
    frame_ = 0;
}

void Clip::step(bool loop) {
    for (auto& [depth, obj] : list_)
        if (obj.clip) obj.clip->step();
    if (!playing_ || !timeline_) return;
    int count = frameCount();
    if (count <= 1) return;
    if (frame_ + 1 < count) {
        ++frame_;
        runFrame(frame_, true);
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
    if (frame < 0) frame = 0;
    if (frame >= count) frame = count - 1;
    if (frame == frame_) return;
    if (frame > frame_) {
        // Skipped frames still build the display list; only the target's script runs.
        for (int f = frame_ + 1; f <= frame; ++f) runFrame(f, f == frame);
        frame_ = frame;
    } else {
        rewindTo(frame);
    }
}

// Going back rebuilds the display list from frame one to the target: objects the target frame
// also has (same depth, same character) are kept with their state, everything else goes, and
// what is missing is created, as the original player does.
void Clip::rewindTo(int frame) {
    std::map<uint16_t, PlacedState> wanted;
    for (int f = 0; f <= frame; ++f) {
        for (const FrameCommand& cmd : timeline_->frames[size_t(f)].commands) {
            if (cmd.kind == FrameCommand::Kind::Remove) {
                wanted.erase(cmd.place.depth);
            } else if (cmd.kind == FrameCommand::Kind::Place) {
                const PlaceCommand& p = cmd.place;
                auto it = wanted.find(p.depth);
                if (p.characterId && (!p.move || it == wanted.end())) {
                    wanted[p.depth] = PlacedState{*p.characterId, p};
                } else if (it != wanted.end()) {
                    if (p.characterId) it->second.characterId = *p.characterId;
                    merge(it->second.props, p);
                }
            }
        }
    }
    for (auto it = list_.begin(); it != list_.end();) {
        auto w = wanted.find(it->first);
        bool keep = w != wanted.end() && it->second.character && it->second.character->id == w->second.characterId;
        it = keep ? std::next(it) : list_.erase(it);
    }
    for (auto& [depth, state] : wanted) {
        PlaceCommand p = state.props;
        p.depth = depth;
        p.characterId = state.characterId;
        p.move = list_.count(depth) > 0;  // kept objects take the frame's properties
        if (p.move) p.characterId.reset();
        place(p);
    }
    frame_ = frame;
    ++host_.changes;
    const Frame& target = timeline_->frames[size_t(frame)];
    for (const FrameCommand& cmd : target.commands)
        if (cmd.kind == FrameCommand::Kind::Actions) host_.queue.push_back({weak_from_this(), cmd.actions});
    queueSounds(frame);
}

void Clip::runFrame(int frame, bool withActions) {
    for (const FrameCommand& cmd : timeline_->frames[size_t(frame)].commands) apply(cmd, withActions);
    if (withActions) queueSounds(frame);
}

// Frames passed over by a goto stay silent; the frame arrived at starts its sounds, a loop
// back to the first frame included (that is how movies repeat a music loop).
void Clip::queueSounds(int frame) {
    for (const SoundStart& start : timeline_->frames[size_t(frame)].sounds) host_.sounds.push_back(&start);
}

void Clip::apply(const FrameCommand& cmd, bool withActions) {
    switch (cmd.kind) {
        case FrameCommand::Kind::Place: place(cmd.place); break;
        case FrameCommand::Kind::Remove:
            if (list_.erase(cmd.place.depth)) ++host_.changes;
            break;
        case FrameCommand::Kind::Actions:
            if (withActions) host_.queue.push_back({weak_from_this(), cmd.actions});
            break;
        case FrameCommand::Kind::InitActions:
            if (host_.initActionsRun.insert(cmd.actions.get()).second)
                host_.queue.push_back({weak_from_this(), cmd.actions, true});
            break;
    }
}

void Clip::place(const PlaceCommand& p) {
    auto it = list_.find(p.depth);
    const Character* character = p.characterId ? host_.movie->character(*p.characterId) : nullptr;
    if (p.characterId && !character) return;  // undefined character: the original ignores it
    DisplayObject* obj = nullptr;
    if (it != list_.end() && p.move) {
        obj = &it->second;
        if (character && character != obj->character) instantiate(*obj, character);  // replace
    } else if (character) {
        if (it == list_.end() && list_.size() >= kMaxDisplayObjects) return;
        DisplayObject fresh;
        fresh.depth = p.depth;
        obj = &(list_[p.depth] = std::move(fresh));
        instantiate(*obj, character);
    } else {
        return;
    }
    if (p.matrix) obj->matrix = *p.matrix;
    if (p.colorTransform) obj->colorTransform = *p.colorTransform;
    if (p.name) obj->name = *p.name;
    if (p.clipDepth) obj->clipDepth = *p.clipDepth;
    if (p.ratio) obj->ratio = *p.ratio;
    if (p.filters) obj->filters = *p.filters;
    if (p.blendMode) obj->blendMode = *p.blendMode;
    if (p.cacheAsBitmap) obj->cacheAsBitmap = *p.cacheAsBitmap;
    if (p.opaqueBackground) obj->opaqueBackground = *p.opaqueBackground;
    if (obj->character && obj->character->kind == CharacterKind::Morph && (p.ratio || !obj->morphShape)) updateMorph(*obj);
    ++host_.changes;
}

void Clip::instantiate(DisplayObject& obj, const Character* character) {
    obj.character = character;
    obj.clip.reset();
    obj.morphShape.reset();
    obj.text.reset();
    // Too deep, or too many new instances this tick (a sprite placing copies of itself):
    // the object stays in the list but draws as nothing.
    if (nesting_ + 1 >= kMaxDisplayDepth || host_.instanceBudget == 0) return;
    --host_.instanceBudget;
    if (character->kind == CharacterKind::Sprite) {
        const auto& sprite = static_cast<const SpriteCharacter&>(*character);
        obj.clip = std::make_shared<Clip>(host_, &sprite.timeline, this, nesting_ + 1);
        obj.clip->start();
    } else if (character->kind == CharacterKind::Button) {
        const auto& button = static_cast<const ButtonCharacter&>(*character);
        obj.clip = std::make_shared<Clip>(host_, nullptr, this, nesting_ + 1);
        for (const ButtonRecord& rec : button.records) {
            const Character* c = rec.isUp() ? host_.movie->character(rec.characterId) : nullptr;
            if (c) obj.clip->placeStatic(rec, c);
        }
    } else if (character->kind == CharacterKind::EditText) {
        obj.text = std::make_shared<TextField>(static_cast<const EditTextCharacter&>(*character), host_.textServices);
        obj.text->parent = weak_from_this();
        auto rendering = host_.movie->textRendering.find(character->id);
        if (rendering != host_.movie->textRendering.end()) obj.text->setRendering(rendering->second);
        host_.textFields.push_back(obj.text);
    }
}

void Clip::placeStatic(const ButtonRecord& rec, const Character* character) {
    if (list_.size() >= kMaxDisplayObjects) return;
    DisplayObject& obj = list_[rec.depth];
    obj.depth = rec.depth;
    obj.matrix = rec.matrix;
    obj.colorTransform = rec.colorTransform;
    obj.filters = rec.filters;
    obj.blendMode = rec.blendMode;
    instantiate(obj, character);
    if (character->kind == CharacterKind::Morph) updateMorph(obj);
}

void Clip::updateMorph(DisplayObject& obj) {
    obj.morphShape = std::make_shared<const Shape>(morphShapeAt(static_cast<const MorphCharacter&>(*obj.character), obj.ratio));
}

DisplayObject* Clip::entryOf(const Clip* child) {
    for (auto& [depth, obj] : list_)
        if (obj.clip.get() == child) return &obj;
    return nullptr;
}

DisplayObject* Clip::entryOf(const TextField* field) {
    for (auto& [depth, obj] : list_)
        if (obj.text.get() == field) return &obj;
    return nullptr;
}

DisplayObject& Clip::placeScripted(uint16_t depth, DisplayObject obj) {
    obj.depth = depth;
    ++host_.changes;
    return list_[depth] = std::move(obj);
}

void Clip::removeAt(uint16_t depth) {
    if (list_.erase(depth)) ++host_.changes;
}

Clip* Clip::childByName(const std::string& name, avm1::NameRule rule) const {
    for (auto& [depth, obj] : list_)
        if (obj.clip && avm1::sameName(obj.name, name, rule)) return obj.clip.get();
    return nullptr;
}

}  // namespace swf
