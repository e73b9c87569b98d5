// Player's pointer and keys: the button under the pointer, the transitions the tracker makes,
// and what each transition does (state shown, sound, condition actions, script event).
#include <algorithm>
#include <cmath>

#include "avm1/heap.h"
#include "avm1/interpreter.h"
#include "button_hit_test.h"
#include "clip_events.h"
#include "clip_bounds.h"
#include "clip_object.h"
#include "movie_clip_methods.h"
#include "player.h"
#include "script_runtime.h"

namespace swf {
namespace {

constexpr double kMaxPointerPx = 1e7;  // far off the stage; keeps the twips finite
constexpr const char* kPointerEvents[] = {"onPress", "onRelease", "onReleaseOutside", "onRollOver",
                                          "onRollOut", "onDragOver", "onDragOut"};

// A clip acting as a button shows the frame labelled _up, _over or _down when it has one.
void showClipState(Clip& clip, uint8_t state) {
    const char* label = state == 4 ? "_down" : state == 2 ? "_over" : "_up";
    int frame = clip.timeline() ? clip.timeline()->findLabel(label) : -1;
    if (frame >= 0) clip.gotoFrame(frame, false, true);
}

// The button's script method for the event (onPress, ...), when it has one.
void callButtonEvent(ScriptRuntime& scripts, Clip& button, const char* event) {
    avm1::Vm& vm = scripts.vm();
    ClipObject* object = scripts.objectFor(button);
    avm1::Value handler = vm.getMember(object, event);
    if (!handler.asObject() || !handler.asObject()->asFunction()) return;
    try {
        vm.call(handler, avm1::Value::object(object), avm1::Arguments());
    } catch (const avm1::ScriptAbort& abort) {
        vm.warn("script aborted: " + abort.reason);
    }
}

// The code a button's key condition gives a key: the character typed (32-126), or for the
// keys that type none their own numbers (1 left, 2 right, 3 home, ... 19 escape).
int buttonKeyCode(int keyCode, int ascii) {
    struct Special {
        int virtualKey, buttonKey;
    };
    constexpr Special kSpecial[] = {{37, 1},  {39, 2},  {36, 3},  {35, 4},  {45, 5},  {46, 6},  {8, 8},
                                    {13, 13}, {38, 14}, {40, 15}, {33, 16}, {34, 17}, {9, 18}, {27, 19}};
    for (const Special& k : kSpecial)
        if (k.virtualKey == keyCode) return k.buttonKey;
    return ascii >= 32 && ascii <= 126 ? ascii : 0;
}

void queueActions(ClipHost& host, Clip& button, const ButtonAction& action) {
    // Button actions run in the timeline the button is placed on.
    if (button.parent() && action.actions) host.queue.push_back({button.parent()->weak_from_this(), action.actions});
}

}  // namespace

std::shared_ptr<Clip> Player::buttonUnderPointer() {
    PointerRules rules;
    rules.enabled = [this](Clip& clip) {
        if (!clip.scriptObject) return true;
        avm1::Vm& vm = scripts_->vm();
        avm1::Value enabled = vm.getMember(clip.scriptObject, "enabled");
        return enabled.isUndefined() || vm.toBoolean(enabled);
    };
    rules.handlesPointer = [this](Clip& clip) {
        if (!clip.scriptObject) return false;  // no script has touched it: it has no handlers
        for (const char* event : kPointerEvents) {
            avm1::Value handler = scripts_->vm().getMember(clip.scriptObject, event);
            if (handler.asObject() && handler.asObject()->asFunction()) return true;
        }
        return false;
    };
    rules.hitArea = [this](Clip& clip) -> Clip* {
        if (!clip.scriptObject) return nullptr;
        ClipObject* area = clipObjectOf(scripts_->vm().getMember(clip.scriptObject, "hitArea"));
        return area ? area->clip() : nullptr;
    };
    return pointerKnown_ ? buttonUnder(*root_, host_.mouse, rules) : nullptr;
}

void Player::applyButtonTransitions(const std::vector<ButtonTransition>& transitions) {
    if (transitions.empty()) return;
    scripts_->vm().interpreter().startFrameBudget();
    for (const ButtonTransition& t : transitions) {
        Clip& clip = *t.button;
        const ButtonCharacter* button = clip.button();
        if (!button) {
            showClipState(clip, shownState(t.to));
            scripts_->runQueued(host_);
            callButtonEvent(*scripts_, clip, t.event);
            scripts_->runQueued(host_);
            continue;
        }
        clip.showButtonState(shownState(t.to));
        if (t.sound >= 0) {
            auto sounds = movie_->buttonSounds.find(button->id);
            if (sounds != movie_->buttonSounds.end() && sounds->second.transitions[t.sound].soundId) {
                SoundStart start;
                start.soundId = sounds->second.transitions[t.sound].soundId;
                start.info = sounds->second.transitions[t.sound].info;
                soundScopes_.track(sound_.start(start), clip.parent());  // the button's timeline's volume
            }
        }
        for (const ButtonAction& action : button->actions)
            if (action.conditions & t.condition) queueActions(host_, clip, action);
        scripts_->runQueued(host_);
        callButtonEvent(*scripts_, clip, t.event);
        scripts_->runQueued(host_);
    }
    settleDrawings(host_);
}

// Clips get the event first, then the listeners of Mouse or Key, as the original sends them.
void Player::dispatchInput(uint32_t event, const char* broadcaster, const char* message) {
    queueEventForAll(host_, event);
    scripts_->runQueued(host_);
    scripts_->broadcast(broadcaster, message);
    scripts_->runQueued(host_);
}

void Player::pointerMoved(double stageX, double stageY) {
    if (!std::isfinite(stageX) || !std::isfinite(stageY)) return;
    std::lock_guard<std::recursive_mutex> lock(soundLock_);
    host_.mouse = Point{float(std::clamp(stageX, -kMaxPointerPx, kMaxPointerPx) * kTwipsPerPixel),
                        float(std::clamp(stageY, -kMaxPointerPx, kMaxPointerPx) * kTwipsPerPixel)};
    pointerKnown_ = true;
    followDrag(host_);
    dispatchInput(kClipMouseMove, "Mouse", "onMouseMove");
    applyButtonTransitions(buttons_.moved(buttonUnderPointer()));
}

void Player::pointerDown() {
    std::lock_guard<std::recursive_mutex> lock(soundLock_);
    dispatchInput(kClipMouseDown, "Mouse", "onMouseDown");
    applyButtonTransitions(buttons_.pressed(buttonUnderPointer()));
}

void Player::pointerUp() {
    std::lock_guard<std::recursive_mutex> lock(soundLock_);
    dispatchInput(kClipMouseUp, "Mouse", "onMouseUp");
    applyButtonTransitions(buttons_.released(buttonUnderPointer()));
}

void Player::keyDown(int keyCode, int ascii) {
    std::lock_guard<std::recursive_mutex> lock(soundLock_);
    dispatchInput(kClipKeyDown, "Key", "onKeyDown");
    pressButtonKeys(buttonKeyCode(keyCode, ascii));
}

void Player::keyUp(int, int) {
    std::lock_guard<std::recursive_mutex> lock(soundLock_);
    dispatchInput(kClipKeyUp, "Key", "onKeyUp");
}

void Player::pressButtonKeys(int buttonKey) {
    if (buttonKey <= 0) return;
    std::vector<std::shared_ptr<Clip>> buttons;
    forEachButton(*root_, [&](Clip& button) { buttons.push_back(button.shared_from_this()); });
    scripts_->vm().interpreter().startFrameBudget();
    for (const auto& clip : buttons)
        for (const ButtonAction& action : clip->button()->actions)
            if (action.keyCode == buttonKey) queueActions(host_, *clip, action);
    scripts_->runQueued(host_);
    settleDrawings(host_);
}

}  // namespace swf
