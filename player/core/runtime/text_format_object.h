// TextFormat objects: each member is null until set, and coerced as the original does when
// set (size, margins and the like to whole numbers, align to a known name, the rest kept as
// booleans, strings or numbers).
#pragma once

#include "../text/text_field_input.h"
#include "avm1/object.h"

namespace swf {

class ScriptRuntime;

class TextFormatObject final : public avm1::Object {
public:
    using Object::Object;
    TextFormat format;
    uint32_t members = 0;  // bits of FormatMember that are set (not null)
    avm1::Value tabStops;  // an array, or null

    bool getSpecial(avm1::Vm& vm, const std::string& name, avm1::Value& out) override;
    bool setSpecial(avm1::Vm& vm, const std::string& name, const avm1::Value& value) override;
    void traceReferences(avm1::Marker& marker) override;
};

// A new TextFormat object with the members of `format` not in `mixed`.
TextFormatObject* newTextFormatObject(avm1::Vm& vm, const TextFormat& format, uint32_t mixed);
void registerTextFormatClass(ScriptRuntime& runtime);

}  // namespace swf
