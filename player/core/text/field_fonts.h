// Which font draws a run of a field. A field that embeds its fonts finds each run's face and
// style among the fonts the movies embed (a script-made field with embedFonts names its font
// through TextFormat.font), then falls back to the field's own DefineFont; any other field uses
// the platform's device font for the run's face and style, opened once per face and style.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "layout_font.h"
#include "text_layout.h"

namespace swf {

struct Movie;

class FieldFonts {
public:
    explicit FieldFonts(FontProvider* deviceFonts) : deviceFonts_(deviceFonts) {}

    // The fonts with glyphs a movie embeds, findable by name from then on.
    void addEmbedded(const Movie& movie);
    void addEmbedded(const std::shared_ptr<const FontCharacter>& font);

    // A lookup for one field; it refers to this object, which must outlive the layout call.
    FontLookup lookupFor(const TextFieldInput& field);

private:
    std::shared_ptr<const LayoutFont> device(const TextFormat& format);
    std::shared_ptr<const LayoutFont> embedded(const std::shared_ptr<const FontCharacter>& font);
    std::shared_ptr<const FontCharacter> embeddedByName(const TextFormat& format) const;

    FontProvider* deviceFonts_;  // null: device text is not drawn
    std::map<std::tuple<std::string, bool, bool>, std::shared_ptr<const LayoutFont>> device_;
    std::map<const FontCharacter*, std::shared_ptr<const LayoutFont>> embedded_;
    std::map<std::string, std::vector<std::shared_ptr<const FontCharacter>>> named_;  // lower-case name
};

}  // namespace swf
