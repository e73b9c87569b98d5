// A button's display list: the records of the state it shows.
#include <set>
#include <vector>

#include "clip.h"

namespace swf {

void Clip::startButton(const ButtonCharacter& button) {
    button_ = &button;
    showButtonState(1);
}

void Clip::showButtonState(uint8_t state) {
    if (!button_ || state == buttonState_) return;
    buttonState_ = state;
    std::set<uint16_t> shown;
    for (const ButtonRecord& rec : button_->records) {
        if (!(rec.states & state)) continue;
        const Character* c = movie_->character(rec.characterId);
        if (!c || !shown.insert(rec.depth).second) continue;
        auto it = list_.find(rec.depth);
        if (it != list_.end() && it->second && it->second->character() == c) {
            // Kept with its running state; the state's record may place it elsewhere.
            DisplayState& s = it->second->state();
            s.matrix = rec.matrix;
            s.colorTransform = rec.colorTransform;
            it->second->stateChanged();
            continue;
        }
        placeStatic(rec, *c);
    }
    std::vector<Depth> hidden;
    for (const auto& [depth, obj] : list_)
        if (!shown.count(depth)) hidden.push_back(depth);
    for (Depth depth : hidden) removeAt(depth);
    ++host_.changes;
}

}  // namespace swf
