// The buttons' state machine, driven by the pointer: which button is hovered, which pressed,
// and the transitions each pointer event makes, in the order the original makes them. It only
// decides; the player shows the states, runs the actions and events, plays the sounds.
#pragma once

#include <memory>
#include <vector>

#include "clip.h"

namespace swf {

enum class ButtonPhase : uint8_t { Idle, OverUp, OverDown, OutDown };

// The ButtonRecord state bit a phase shows: a press dragged outside shows "over".
uint8_t shownState(ButtonPhase phase);

struct ButtonTransition {
    std::shared_ptr<Clip> button;
    ButtonPhase from, to;
    uint16_t condition;  // the ButtonCondition bit whose actions run
    const char* event;   // the script method called on the button ("onPress")
    int sound;           // DefineButtonSound's entry, -1 for none
};

class ButtonTracker {
public:
    // `under`: the enabled button under the pointer now, or null.
    std::vector<ButtonTransition> moved(const std::shared_ptr<Clip>& under);
    std::vector<ButtonTransition> pressed(const std::shared_ptr<Clip>& under);
    std::vector<ButtonTransition> released(const std::shared_ptr<Clip>& under);

    bool down() const { return down_; }
    std::shared_ptr<Clip> hovered() const { return hover_.lock(); }

private:
    std::weak_ptr<Clip> hover_;    // over it, not pressed
    std::weak_ptr<Clip> pressed_;  // pressed, in pressedPhase_
    ButtonPhase pressedPhase_ = ButtonPhase::Idle;
    bool down_ = false;
};

}  // namespace swf
