// The script side of text fields: their TextField objects and variable binding.
//
// A field whose `variable` names a timeline variable ("score", "_root.a", "mc.b", "/a:b")
// shows that variable's value. When the field appears, an existing variable sets its text, or
// else its non-empty text creates the variable. After that the field follows the variable: at
// once when a script stores into a clip variable some field is bound to, and once a frame for
// everything else (a variable on a plain object, a path that did not exist before). A script
// setting the field's text stores it into the variable.
#pragma once

#include <memory>
#include <string>
#include <unordered_set>

#include "avm1/object.h"
#include "avm1/value.h"
#include "clip.h"
#include "focus.h"

namespace swf {

class ScriptRuntime;
class TextField;

// The object showing `field` in `parent`'s list; null when it is not there.
DisplayObject* displayOf(Clip& parent, const TextField& field);

class TextFieldScripts {
public:
    explicit TextFieldScripts(ScriptRuntime& runtime) : runtime_(runtime), focus_(runtime) {}

    // Fields placed since the last call take or give their variable's value.
    void bindNew();
    // Once a frame after the scripts: every field follows its variable, then lays out anew
    // when it changed.
    void update();

    // A script stores `name` on the clip object `owner`: when some field is bound to it, the
    // store is done here and those fields follow at once (returns true).
    bool storeClipVariable(avm1::Object& owner, const std::string& name, const avm1::Value& value);
    // A script changed the field's text: its variable takes it.
    void textChanged(TextField& field);
    // The field takes its variable's value now (a script set `variable`).
    void follow(TextField& field, bool initial = true);
    // The field's variable may be stored to (it was placed, or a script set `variable`).
    void noteVariable(const TextField& field);

    // The field's TextField object, made on first use.
    avm1::Object* objectFor(const std::shared_ptr<TextField>& field);
    // A text field child of `clip` by instance name; null when there is none.
    avm1::Object* childField(Clip& clip, const std::string& name);

    avm1::Object* textFieldProto = nullptr;  // TextField.prototype, a root of the collector
    // Keyboard focus and the focused field's selection (Selection).
    Focus& focus() { return focus_; }

private:
    // The object holding the field's variable and the variable's own name; null when the
    // path does not lead to an object (yet).
    avm1::Object* variableOwner(TextField& field, std::string& name);
    void showValue(TextField& field, const avm1::Value& value);

    ScriptRuntime& runtime_;
    Focus focus_;
    size_t bound_ = 0;  // host().textFields before this index have had their first binding
    // Names (lower case) variables of fields end in: a store to any other name skips the fields.
    std::unordered_set<std::string> boundNames_;
};

}  // namespace swf
