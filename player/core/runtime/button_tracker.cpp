#include "button_tracker.h"

namespace swf {
namespace {

ButtonTransition make(const std::shared_ptr<Clip>& b, ButtonPhase from, ButtonPhase to) {
    using P = ButtonPhase;
    if (from == P::Idle && to == P::OverUp) return {b, from, to, kIdleToOverUp, "onRollOver", 1};
    if (from == P::OverUp && to == P::Idle) return {b, from, to, kOverUpToIdle, "onRollOut", 0};
    if (from == P::OverUp && to == P::OverDown) return {b, from, to, kOverUpToOverDown, "onPress", 2};
    if (from == P::OverDown && to == P::OverUp) return {b, from, to, kOverDownToOverUp, "onRelease", 3};
    if (from == P::OverDown && to == P::OutDown) return {b, from, to, kOverDownToOutDown, "onDragOut", -1};
    if (from == P::OutDown && to == P::OverDown) return {b, from, to, kOutDownToOverDown, "onDragOver", -1};
    if (from == P::OverDown && to == P::Idle) return {b, from, to, kOverDownToIdle, "onDragOut", -1};
    if (from == P::Idle && to == P::OverDown) return {b, from, to, kIdleToOverDown, "onDragOver", -1};
    return {b, from, to, kOutDownToIdle, "onReleaseOutside", -1};  // OutDown to Idle
}

// A menu button (DefineButton2's track-as-menu) is pressed by a press dragged onto it and
// lets go of it when dragged off.
bool tracksAsMenu(const std::shared_ptr<Clip>& clip) { return clip && clip->button() && clip->button()->trackAsMenu; }

}  // namespace

uint8_t shownState(ButtonPhase phase) {
    switch (phase) {
        case ButtonPhase::Idle: return 1;
        case ButtonPhase::OverDown: return 4;
        case ButtonPhase::OverUp:
        case ButtonPhase::OutDown: return 2;
    }
    return 1;
}

std::vector<ButtonTransition> ButtonTracker::moved(const std::shared_ptr<Clip>& under) {
    std::vector<ButtonTransition> out;
    if (down_) {
        // While pressed only the pressed button answers: dragged out of it and back over it.
        auto p = pressed_.lock();
        if (p && under != p && pressedPhase_ == ButtonPhase::OverDown && tracksAsMenu(p)) {
            out.push_back(make(p, ButtonPhase::OverDown, ButtonPhase::Idle));
            pressed_.reset();
            p = nullptr;
        }
        if (!p && tracksAsMenu(under)) {
            out.push_back(make(under, ButtonPhase::Idle, ButtonPhase::OverDown));
            pressed_ = under;
            pressedPhase_ = ButtonPhase::OverDown;
        } else if (p && under == p && pressedPhase_ == ButtonPhase::OutDown) {
            out.push_back(make(p, ButtonPhase::OutDown, ButtonPhase::OverDown));
            pressedPhase_ = ButtonPhase::OverDown;
        } else if (p && under != p && pressedPhase_ == ButtonPhase::OverDown) {
            out.push_back(make(p, ButtonPhase::OverDown, ButtonPhase::OutDown));
            pressedPhase_ = ButtonPhase::OutDown;
        }
        return out;
    }
    auto h = hover_.lock();
    if (h == under) return out;
    if (h) out.push_back(make(h, ButtonPhase::OverUp, ButtonPhase::Idle));
    hover_ = under;
    if (under) out.push_back(make(under, ButtonPhase::Idle, ButtonPhase::OverUp));
    return out;
}

std::vector<ButtonTransition> ButtonTracker::pressed(const std::shared_ptr<Clip>& under) {
    std::vector<ButtonTransition> out = moved(under);
    if (down_) return out;
    down_ = true;
    if (under) {
        out.push_back(make(under, ButtonPhase::OverUp, ButtonPhase::OverDown));
        pressed_ = under;
        pressedPhase_ = ButtonPhase::OverDown;
        hover_.reset();
    }
    return out;
}

std::vector<ButtonTransition> ButtonTracker::released(const std::shared_ptr<Clip>& under) {
    std::vector<ButtonTransition> out = moved(under);
    if (!down_) return out;
    down_ = false;
    auto p = pressed_.lock();
    pressed_.reset();
    if (p && pressedPhase_ == ButtonPhase::OverDown) {
        out.push_back(make(p, ButtonPhase::OverDown, ButtonPhase::OverUp));
        hover_ = p;
    } else if (p) {
        out.push_back(make(p, ButtonPhase::OutDown, ButtonPhase::Idle));
    }
    pressedPhase_ = ButtonPhase::Idle;
    // Released over another button: that one is now hovered.
    std::vector<ButtonTransition> after = moved(under);
    out.insert(out.end(), after.begin(), after.end());
    return out;
}

}  // namespace swf
