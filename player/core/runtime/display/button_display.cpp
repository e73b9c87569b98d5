#include "button_display.h"

#include <set>

#include "../clip.h"
#include "hit_test.h"

namespace swf {
namespace {

constexpr uint8_t kUpBit = 1, kOverBit = 2, kDownBit = 4, kHitBit = 8;

uint8_t stateBitOf(ButtonLook look) {
    switch (look) {
        case ButtonLook::Over: return kOverBit;
        case ButtonLook::Down: return kDownBit;
        case ButtonLook::Up: break;
    }
    return kUpBit;
}

ButtonLook lookOf(ButtonPhase phase) {
    switch (phase) {
        case ButtonPhase::OverUp:
        case ButtonPhase::OutDown: return ButtonLook::Over;  // dragged out while pressed: over, not down
        case ButtonPhase::OverDown: return ButtonLook::Down;
        case ButtonPhase::Idle: break;
    }
    return ButtonLook::Up;
}

}  // namespace

ButtonDisplay::ButtonDisplay(const ButtonCharacter& button, Clip& parent, bool instantiate)
    : DisplayObject(button), button_(button) {
    if (!instantiate) return;
    content_ = std::make_shared<Clip>(parent.host(), nullptr, &parent, parent.nesting() + 1);
    content_->setDisplayObject(this);
    placeRecords(*content_, kUpBit, false);
    hitArea_ = std::make_shared<Clip>(parent.host(), nullptr, nullptr, parent.nesting() + 1);
    placeRecords(*hitArea_, kHitBit, false);
}

ButtonDisplay::~ButtonDisplay() {
    if (content_) content_->setDisplayObject(nullptr);
}

void ButtonDisplay::placeRecords(Clip& into, uint8_t stateBit, bool keepSame) {
    std::set<uint16_t> shown;
    for (const ButtonRecord& rec : button_.records) {
        if (!(rec.states & stateBit)) continue;
        const Character* c = into.host().movie->character(rec.characterId);
        if (!c) continue;
        shown.insert(rec.depth);
        DisplayObject* there = into.objectAt(rec.depth);
        if (keepSame && there && there->character() == c) {
            there->state().matrix = rec.matrix;
            there->state().colorTransform = rec.colorTransform;
            continue;
        }
        into.placeStatic(rec, *c);
    }
    if (!keepSame) return;
    std::vector<uint16_t> gone;
    for (const auto& [depth, obj] : into.displayList())
        if (!shown.count(depth)) gone.push_back(depth);
    for (uint16_t depth : gone) into.removeAt(depth);
}

void ButtonDisplay::setLook(ButtonLook look) {
    if (look == look_) return;
    look_ = look;
    if (!content_) return;
    placeRecords(*content_, stateBitOf(look), true);
    content_->markChanged();
}

bool ButtonDisplay::hitTest(Point p) const { return hitArea_ && clipContains(*hitArea_, p); }

std::vector<ButtonTransition> ButtonDisplay::pointerChanged(bool over, bool down) {
    std::vector<ButtonTransition> passed;
    auto go = [&](ButtonPhase to, ButtonTransition t) {
        phase_ = to;
        passed.push_back(t);
    };
    switch (phase_) {
        case ButtonPhase::Idle:
            // A press that began elsewhere does not arm the button.
            if (over && !down) go(ButtonPhase::OverUp, ButtonTransition::IdleToOverUp);
            break;
        case ButtonPhase::OverUp:
            if (!over) go(ButtonPhase::Idle, ButtonTransition::OverUpToIdle);
            else if (down) go(ButtonPhase::OverDown, ButtonTransition::OverUpToOverDown);
            break;
        case ButtonPhase::OverDown:
            if (!over) go(ButtonPhase::OutDown, ButtonTransition::OverDownToOutDown);
            if (!down) {
                if (phase_ == ButtonPhase::OverDown) go(ButtonPhase::OverUp, ButtonTransition::OverDownToOverUp);
                else go(ButtonPhase::Idle, ButtonTransition::OutDownToIdle);
            }
            break;
        case ButtonPhase::OutDown:
            if (over) go(ButtonPhase::OverDown, ButtonTransition::OutDownToOverDown);
            if (!down) {
                if (phase_ == ButtonPhase::OverDown) go(ButtonPhase::OverUp, ButtonTransition::OverDownToOverUp);
                else go(ButtonPhase::Idle, ButtonTransition::OutDownToIdle);
            }
            break;
    }
    setLook(lookOf(phase_));
    return passed;
}

}  // namespace swf
