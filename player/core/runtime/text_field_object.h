// A text field as a script object: the display properties it shares with clips (_x, _alpha,
// _name, ...), read and written through getSpecial/setSpecial. Its named properties (text,
// htmlText, scroll, ...) and methods are TextField.prototype's.
#pragma once

#include <memory>
#include <optional>

#include "avm1/object.h"
#include "clip.h"

namespace swf {

class ScriptRuntime;
class TextField;

class TextFieldObject final : public avm1::Object {
public:
    TextFieldObject(avm1::Object* proto, const std::shared_ptr<TextField>& field, ScriptRuntime& runtime);
    ~TextFieldObject() override;

    // Null once the field left the display list.
    std::shared_ptr<TextField> field() const { return field_.lock(); }
    // The object showing the field in its parent's display list; null once it is gone.
    DisplayObject* entry();
    std::string targetPath();
    ScriptRuntime& runtime() { return runtime_; }

    bool getSpecial(avm1::Vm& vm, const std::string& name, avm1::Value& out) override;
    bool setSpecial(avm1::Vm& vm, const std::string& name, const avm1::Value& value) override;
    void traceReferences(avm1::Marker& marker) override;

    // What scripts set and the field does not keep itself.
    avm1::Value styleSheet;  // a TextField.StyleSheet, or undefined
    avm1::Value tabIndex;
    std::optional<bool> focusRect;  // _focusrect (focus_rect.h)

private:
    bool getDisplayProperty(avm1::Vm& vm, const std::string& name, avm1::Value& out);
    bool setDisplayProperty(avm1::Vm& vm, const std::string& name, const avm1::Value& value);

    std::weak_ptr<TextField> field_;
    ScriptRuntime& runtime_;
};

}  // namespace swf
