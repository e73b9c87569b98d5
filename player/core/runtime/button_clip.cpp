// A button's display list: the records of the state it shows.
#include <set>

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
        const Character* c = host_.movie->character(rec.characterId);
        if (!c || !shown.insert(rec.depth).second) continue;
        auto it = list_.find(rec.depth);
        if (it != list_.end() && it->second.character == c) {
            // Kept with its running state; the state's record may place it elsewhere.
            it->second.matrix = rec.matrix;
            it->second.colorTransform = rec.colorTransform;
            continue;
        }
        placeStatic(rec, c);
    }
    for (auto it = list_.begin(); it != list_.end();) it = shown.count(it->first) ? std::next(it) : list_.erase(it);
    ++host_.changes;
}

}  // namespace swf
