// A DefineButton placed on a display list. It shows the records of its current state (up,
// over or down) in a clip of their own (no timeline; sprites among them play), and is hit
// where the records of its hit state are. The pointer drives its state through
// pointerChanged(), which names the transitions the button's condition actions key on.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "display_object.h"

namespace swf {

// What the button shows.
enum class ButtonLook : uint8_t { Up, Over, Down };

// Where the pointer is relative to the button, as the button's condition actions see it.
enum class ButtonPhase : uint8_t { Idle, OverUp, OverDown, OutDown };

// One step between phases; the values are the DefineButton2 condition bits.
enum class ButtonTransition : uint16_t {
    IdleToOverUp = 1 << 0,       // roll over
    OverUpToIdle = 1 << 1,       // roll out
    OverUpToOverDown = 1 << 2,   // press
    OverDownToOverUp = 1 << 3,   // release
    OverDownToOutDown = 1 << 4,  // drag out
    OutDownToOverDown = 1 << 5,  // drag over
    OutDownToIdle = 1 << 6,      // release outside
    IdleToOverDown = 1 << 7,     // menu buttons: pressed elsewhere, dragged over
    OverDownToIdle = 1 << 8,     // menu buttons: dragged out while pressed
};

class ButtonDisplay final : public DisplayObject {
public:
    // Without `instantiate` (too deep, too many instances this tick) it draws nothing.
    ButtonDisplay(const ButtonCharacter& button, Clip& parent, bool instantiate);
    ~ButtonDisplay() override;

    Clip* clip() const override { return content_.get(); }
    bool hitTest(Point p) const override;

    ButtonLook look() const { return look_; }
    ButtonPhase phase() const { return phase_; }
    // Shows the records of `look`: children in both looks (same depth and character) stay.
    void setLook(ButtonLook look);

    // The pointer is (or is not) over this button, its main button down or not: moves the
    // phase on, changes the look, and returns the transitions passed, in order.
    std::vector<ButtonTransition> pointerChanged(bool over, bool down);

private:
    void placeRecords(Clip& into, uint8_t stateBit, bool keepSame);

    const ButtonCharacter& button_;
    std::shared_ptr<Clip> content_;
    std::shared_ptr<Clip> hitArea_;  // the hit-state records, never drawn
    ButtonLook look_ = ButtonLook::Up;
    ButtonPhase phase_ = ButtonPhase::Idle;
};

}  // namespace swf
