// Keyboard focus as scripts see it (Selection): a clip, button or text field, and the
// selection of a focused text field. Focus is lost when its object leaves the stage or it or
// a parent is hidden; Selection's listeners hear onSetFocus(old, new) for every change.
#pragma once

#include <cstddef>

#include "avm1/object.h"

namespace swf {

class ScriptRuntime;
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

    avm1::Object* selectionObject = nullptr;  // Selection: the broadcaster, a root of the collector

private:
    bool usable(avm1::Object* object);

    ScriptRuntime& runtime_;  // the focused object is kept by the Selection object
};

// Whether `object` can take focus: a clip, a button or a text field on the stage.
bool focusable(avm1::Object* object);

void registerSelectionObject(ScriptRuntime& runtime);

}  // namespace swf
