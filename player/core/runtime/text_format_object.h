// TextFormat objects: each member is null until set, and coerced as the original does when
// set: sizes, margins, indents and leading to 32-bit integers (halves to even, NaN and
// out-of-range values to -2^31), colour to an unsigned 32-bit number, font names to 64
// characters, align to a known name (anything else leaves it), the flags to booleans.
#pragma once

#include "../text/text_field_input.h"
#include "avm1/object.h"

namespace swf {

class ScriptRuntime;

class TextFormatObject final : public avm1::Object {
public:
    explicit TextFormatObject(avm1::Object* proto);
    static constexpr size_t kSlots = 19;  // the FormatMember bits, then tabStops and display
    avm1::Value slots[kSlots];            // null until set

    // The members set, applied over `into`; returns their FormatMember bits.
    uint32_t resolve(avm1::Vm& vm, TextFormat& into) const;

    bool getSpecial(avm1::Vm& vm, const std::string& name, avm1::Value& out) override;
    bool setSpecial(avm1::Vm& vm, const std::string& name, const avm1::Value& value) override;
    void traceReferences(avm1::Marker& marker) override;
};

// A new TextFormat object with the members of `format` not in `mixed`.
TextFormatObject* newTextFormatObject(avm1::Vm& vm, const TextFormat& format, uint32_t mixed);
void registerTextFormatClass(ScriptRuntime& runtime);

}  // namespace swf
