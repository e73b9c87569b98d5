#include "field_fonts.h"

#include <cctype>

#include "../model/movie.h"
#include "embedded_font.h"

namespace swf {
namespace {

constexpr size_t kMaxFontsPerName = 64;  // a movie redefining one name endlessly keeps its first

std::string lowerName(const std::string& name) {
    std::string out = name.substr(0, name.find('\0'));
    for (char& c : out) c = char(std::tolower(uint8_t(c)));
    return out;
}

}  // namespace

void FieldFonts::addEmbedded(const Movie& movie) {
    for (const auto& [id, character] : movie.characters)
        if (character && character->kind == CharacterKind::Font)
            addEmbedded(std::static_pointer_cast<const FontCharacter>(character));
}

void FieldFonts::addEmbedded(const std::shared_ptr<const FontCharacter>& font) {
    if (!font || font->glyphs.empty() || font->name.empty()) return;  // a device font's name only
    auto& list = named_[lowerName(font->name)];
    for (const auto& known : list)
        if (known == font) return;
    if (list.size() < kMaxFontsPerName) list.push_back(font);
}

// The face's font in the run's style; a face embedded in another style only still draws (the
// author embedded the face, the style comes from markup such as <b> around a word).
std::shared_ptr<const FontCharacter> FieldFonts::embeddedByName(const TextFormat& format) const {
    auto it = named_.find(lowerName(format.face));
    if (it == named_.end() || it->second.empty()) return nullptr;
    for (const auto& font : it->second)
        if (font->bold == format.bold && font->italic == format.italic) return font;
    return it->second.front();
}

FontLookup FieldFonts::lookupFor(const TextFieldInput& field) {
    if (!field.embedFonts && !field.embeddedFont) return [this](const TextFormat& format) { return device(format); };
    std::shared_ptr<const FontCharacter> own = field.embeddedFont;
    return [this, own](const TextFormat& format) -> std::shared_ptr<const LayoutFont> {
        if (auto font = embeddedByName(format)) return embedded(font);
        if (own) return embedded(own);
        // No device font stands in: a field told to embed a face the movies lack shows no
        // text, and its text takes no room (autoSize leaves only the gutters, 4 by 4 pixels).
        return std::shared_ptr<const LayoutFont>();
    };
}

std::shared_ptr<const LayoutFont> FieldFonts::device(const TextFormat& format) {
    if (!deviceFonts_) return nullptr;
    auto key = std::make_tuple(format.face, format.bold, format.italic);
    auto it = device_.find(key);
    if (it != device_.end()) return it->second;
    auto font = deviceFonts_->open({format.face, format.bold, format.italic});
    device_.emplace(key, font);
    return font;
}

std::shared_ptr<const LayoutFont> FieldFonts::embedded(const std::shared_ptr<const FontCharacter>& font) {
    auto& slot = embedded_[font.get()];
    if (!slot) slot = std::make_shared<EmbeddedLayoutFont>(font);
    return slot;
}

}  // namespace swf
