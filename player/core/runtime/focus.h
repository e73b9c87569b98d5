// Keyboard focus as scripts see it (Selection): a clip, button or text field, and the
// selection of a focused text field. Focus is lost when its object leaves the stage or it or
// a parent is hidden; Selection's listeners hear onSetFocus(old, new) for every change.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "avm1/object.h"

namespace swf {

class ScriptRuntime;
class Clip;
class DisplayObject;
class TextField;

class Focus {
public:
    explicit Focus(ScriptRuntime& runtime) : runtime_(runtime) {}

    // The focused object (a clip's or a field's script object), after dropping a focus that
    // is gone or hidden; null when nothing has focus.
    avm1::Object* current();
    // Moves focus to `object` (null: none) and tells the listeners when it changed.
    void set(avm1::Object* object);
    // Drops the focus when its object left the stage or was hidden (after a `_visible` change).
    void check() { current(); }
    // `leaving` is about to leave its display list: the focus goes now when it holds it or
    // holds something inside it, so the listeners still see the object where it was.
    void leaving(DisplayObject& leaving);

    avm1::Object* selectionObject = nullptr;  // Selection: the broadcaster, a root of the collector

    // A script moved the focus from `before` to `after`: a clip or button losing it hears
    // onRollOut, one taking it onRollOver (focusing the focused one again: both), at the end
    // of the frame's scripts, each object's in turn.
    void queueRolls(avm1::Object* before, avm1::Object* after);
    void deliverRolls();

private:
    struct PendingRolls {
        std::weak_ptr<Clip> clip;
        std::vector<const char*> events;
    };
    void queueRoll(avm1::Object* object, const char* event);
    std::vector<PendingRolls> rolls_;

    bool usable(avm1::Object* object);

    ScriptRuntime& runtime_;  // the focused object is kept by the Selection object
};

// Whether `object` can take focus: a clip, a button or a text field on the stage.
bool focusable(avm1::Object* object);

void registerSelectionObject(ScriptRuntime& runtime);

}  // namespace swf
