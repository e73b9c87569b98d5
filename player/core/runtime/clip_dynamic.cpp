// The display-list changes scripts make: clips placed, removed and moved between depths.
#include "clip.h"
#include "clip_events.h"

#include "../parse/limits.h"

namespace swf {
namespace {

// createEmptyMovieClip's character: no frames at all (_currentframe 0, _totalframes 1).
const SpriteCharacter& emptySprite() {
    static const SpriteCharacter sprite;
    return sprite;
}

}  // namespace

DisplayObject* Clip::objectAt(uint16_t depth) {
    auto it = list_.find(depth);
    return it == list_.end() ? nullptr : &it->second;
}

// Children unload before their parent, each kept alive until its handlers ran; what else the
// removed clips had queued does not run.
void Clip::unload(DisplayObject& obj) {
    if (!obj.clip) return;
    for (auto& [depth, child] : obj.clip->list_) obj.clip->unload(child);
    obj.clip->removed = true;
    host_.queue.push_back({obj.clip, nullptr, ActionPhase::Normal, kClipUnload, obj.clip});
}

void Clip::removeAt(uint16_t depth) {
    auto it = list_.find(depth);
    if (it == list_.end()) return;
    unload(it->second);
    list_.erase(it);
    ++host_.changes;
}

void Clip::swapDepths(uint16_t from, uint16_t to) {
    if (from == to) return;
    auto a = list_.find(from);
    if (a == list_.end()) return;
    auto b = list_.find(to);
    DisplayObject moved = std::move(a->second);
    list_.erase(a);
    if (b != list_.end()) {
        DisplayObject other = std::move(b->second);
        other.depth = from;
        list_[from] = std::move(other);
    }
    moved.depth = to;
    if (moved.clip) moved.clip->depthInParent = to;
    list_[to] = std::move(moved);
    if (auto back = list_.find(from); back != list_.end() && back->second.clip) back->second.clip->depthInParent = from;
    ++host_.changes;
}

Clip* Clip::placeByScript(const Character* character, uint16_t depth, const std::string& name,
                          const ClipEventHandlers& clipActions) {
    if (!character) character = &emptySprite();
    if (character->kind != CharacterKind::Sprite) return nullptr;
    if (nesting_ + 1 >= kMaxDisplayDepth || host_.instanceBudget == 0) return nullptr;
    auto it = list_.find(depth);
    if (it == list_.end() && list_.size() >= kMaxDisplayObjects) return nullptr;
    if (it != list_.end()) removeAt(depth);
    DisplayObject& obj = list_[depth];
    obj.depth = depth;
    obj.name = name;
    obj.character = character;
    --host_.instanceBudget;
    const auto& sprite = static_cast<const SpriteCharacter&>(*character);
    obj.clip = std::make_shared<Clip>(host_, &sprite.timeline, this, nesting_ + 1);
    obj.clip->clipActions = clipActions;
    obj.clip->dynamic = true;
    obj.clip->depthInParent = depth;
    std::shared_ptr<Clip> clip = obj.clip;
    startClip(host_, clip, true);
    ++host_.changes;
    return clip.get();
}

}  // namespace swf
