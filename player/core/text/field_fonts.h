// Which font draws a run of a field: the field's embedded font when it uses outlines, else the
// platform's device font for the run's face and style, opened once per face and style.
#pragma once

#include <map>
#include <memory>
#include <tuple>

#include "layout_font.h"
#include "text_layout.h"

namespace swf {

class FieldFonts {
public:
    explicit FieldFonts(FontProvider* deviceFonts) : deviceFonts_(deviceFonts) {}

    // A lookup for one field; it refers to this object, which must outlive the layout call.
    FontLookup lookupFor(const std::shared_ptr<const FontCharacter>& embedded);

private:
    std::shared_ptr<const LayoutFont> device(const TextFormat& format);
    std::shared_ptr<const LayoutFont> embedded(const std::shared_ptr<const FontCharacter>& font);

    FontProvider* deviceFonts_;  // null: device text is not drawn
    std::map<std::tuple<std::string, bool, bool>, std::shared_ptr<const LayoutFont>> device_;
    std::map<const FontCharacter*, std::shared_ptr<const LayoutFont>> embedded_;
};

}  // namespace swf
