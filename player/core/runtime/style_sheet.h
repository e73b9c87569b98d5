// TextField.StyleSheet: a script-side class whose _css (the styles as given) and _styles
// (each turned into a TextFormat by transform, which scripts may override) are plain
// properties, as in the original. The object also keeps each style's format by lower-case
// selector for the fields it styles.
#pragma once

#include <map>
#include <string>

#include "../text/text_field_input.h"
#include "avm1/object.h"

namespace swf {

class ScriptRuntime;

enum class StyleDisplay : uint8_t { Block, Inline, None };

// One style as fields apply it: the TextFormat members it sets.
struct TextStyle {
    TextFormat format;
    uint32_t members = 0;  // FormatMember bits
    StyleDisplay display = StyleDisplay::Block;
};

class StyleSheetObject final : public avm1::Object {
public:
    using Object::Object;
    std::map<std::string, TextStyle> styles;  // by lower-case selector: "p", ".note", "a:hover"
};

// The style sheet a value is, or null.
const StyleSheetObject* styleSheetOf(const avm1::Value& v);
void registerStyleSheetClass(avm1::Vm& vm, avm1::Object* textFieldClass);

}  // namespace swf
