#include "text_field_scripts.h"

#include <cctype>

#include "runtime_limits.h"
#include "avm1/globals.h"
#include "avm1/heap.h"
#include "avm1/interpreter.h"
#include "clip_object.h"
#include "display/edit_text_display.h"
#include "script_runtime.h"
#include "text_field.h"
#include "text_field_object.h"

namespace swf {
namespace {

// The last part of a variable path: "b" of "/a:b", "_root.a.b" and "b".
std::string lastPart(const std::string& variable) {
    size_t split = variable.find_last_of(":.");
    return split == std::string::npos ? variable : variable.substr(split + 1);
}

}  // namespace

DisplayObject* displayOf(Clip& parent, const TextField& field) {
    for (const auto& [depth, obj] : parent.displayList()) {
        auto* edit = dynamic_cast<EditTextDisplay*>(obj.get());
        if (edit && edit->text().get() == &field) return edit;
    }
    return nullptr;
}

avm1::Object* TextFieldScripts::variableOwner(TextField& field, std::string& name) {
    auto parent = field.parent.lock();
    if (!parent || field.variable.empty()) return nullptr;
    avm1::Object* base = runtime_.objectFor(*parent);
    size_t split = field.variable.find_last_of(":.");
    name = lastPart(field.variable);
    if (name.empty()) return nullptr;
    if (split == std::string::npos || split == 0) return base;
    return runtime_.vm().interpreter().resolvePath(base, field.variable.substr(0, split)).asObject();
}

void TextFieldScripts::showValue(TextField& field, const avm1::Value& value) {
    avm1::Vm& vm = runtime_.vm();
    std::string text = value.isUndefined() ? std::string() : vm.toString(value);
    field.boundValue = text;
    if (field.html) field.setHtmlText(text);
    else field.setText(text);
}

void TextFieldScripts::follow(TextField& field, bool initial) {
    avm1::Vm& vm = runtime_.vm();
    try {
        std::string name;
        avm1::Object* owner = variableOwner(field, name);
        if (!owner) return;  // tried again next frame
        avm1::Value special;
        bool exists = owner->getSpecial(vm, name, special) || vm.findProperty(owner, name);
        if (!field.bound) {
            field.bound = true;
            if (!exists) {
                // The field's own text makes the variable; an empty field leaves it undefined.
                std::string text = field.html ? field.htmlText() : field.textUtf8();
                field.boundValue = text;
                if (!text.empty()) vm.setMember(owner, name, vm.newString(text));
                return;
            }
        }
        if (!exists) return;
        avm1::Value value = vm.getMember(owner, name);
        std::string text = value.isUndefined() ? std::string() : vm.toString(value);
        if (initial || text != field.boundValue) showValue(field, value);
    } catch (const avm1::ScriptAbort& abort) {
        vm.warn("script aborted: " + abort.reason);
    }
}

void TextFieldScripts::noteVariable(const TextField& field) {
    std::string name = lastPart(field.variable);
    for (char& c : name) c = char(std::tolower(uint8_t(c)));
    if (!name.empty() && boundNames_.size() < kMaxDisplayObjects) boundNames_.insert(name);
}

void TextFieldScripts::bindNew() {
    auto& fields = runtime_.root().host().textFields;
    for (; bound_ < fields.size(); ++bound_) {
        auto field = fields[bound_].lock();
        if (!field || field->variable.empty()) continue;
        noteVariable(*field);
        if (!field->bound) follow(*field, true);
    }
}

void TextFieldScripts::update() {
    bindNew();
    auto& fields = runtime_.root().host().textFields;
    size_t kept = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
        auto field = fields[i].lock();
        if (!field) continue;
        fields[kept++] = fields[i];
        if (!field->variable.empty()) follow(*field, !field->bound);
        field->refresh();
    }
    fields.resize(kept);
    bound_ = kept;
}

bool TextFieldScripts::storeClipVariable(avm1::Object& owner, const std::string& name, const avm1::Value& value) {
    avm1::Vm& vm = runtime_.vm();
    std::string folded = name;
    for (char& c : folded) c = char(std::tolower(uint8_t(c)));
    if (!boundNames_.count(folded)) return false;  // the common case: no field shows this name
    std::vector<std::shared_ptr<TextField>> followers;
    for (const auto& weak : runtime_.root().host().textFields) {
        auto field = weak.lock();
        if (field && !field->variable.empty() && avm1::sameName(lastPart(field->variable), name, vm.names()))
            followers.push_back(field);
    }
    if (followers.empty()) return false;
    // The store as Vm::setMember would make it past the clip's own properties.
    avm1::Object* holder = nullptr;
    avm1::Property* p = vm.findProperty(&owner, name, &holder);
    if (p && p->isAccessor()) {
        if (p->setter) {
            avm1::Value args[] = {value};
            vm.call(avm1::Value::object(p->setter), avm1::Value::object(&owner), avm1::Arguments(args, 1));
        }
    } else if (p && holder == &owner) {
        if (!(p->flags & avm1::kReadOnly)) p->value = value;
    } else {
        owner.put(name, value, vm.names());
    }
    for (const auto& field : followers) {
        std::string fieldName;
        if (variableOwner(*field, fieldName) != &owner) continue;
        field->bound = true;
        showValue(*field, vm.getMember(&owner, name));
    }
    return true;
}

void TextFieldScripts::textChanged(TextField& field) {
    if (field.variable.empty()) return;
    avm1::Vm& vm = runtime_.vm();
    std::string name;
    avm1::Object* owner = variableOwner(field, name);
    if (!owner) return;
    std::string text = field.html ? field.htmlText() : field.textUtf8();
    field.bound = true;
    field.boundValue = text;
    vm.setMember(owner, name, vm.newString(text));
}

avm1::Object* TextFieldScripts::objectFor(const std::shared_ptr<TextField>& field) {
    if (field->scriptObject) return field->scriptObject;
    avm1::Vm& vm = runtime_.vm();
    auto* o = vm.heap().make<TextFieldObject>(textFieldProto, field, runtime_);
    field->scriptObject = o;
    // Every field broadcasts its events (onChanged, onScroller) to its listeners, itself first.
    avm1::makeBroadcaster(vm, o);
    o->define("_listeners", avm1::Value::object(vm.newArray({avm1::Value::object(o)})), avm1::kDontEnum);
    return o;
}

avm1::Object* TextFieldScripts::childField(Clip& clip, const std::string& name) {
    if (name.empty()) return nullptr;
    DisplayObject* found = clip.findChild(name, runtime_.vm().names(),
                                          [](DisplayObject& obj) { return dynamic_cast<EditTextDisplay*>(&obj) != nullptr; });
    return found ? objectFor(static_cast<EditTextDisplay*>(found)->text()) : nullptr;
}

}  // namespace swf
