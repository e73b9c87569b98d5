#include "field_fonts.h"

#include "embedded_font.h"

namespace swf {

FontLookup FieldFonts::lookupFor(const std::shared_ptr<const FontCharacter>& font) {
    if (font) {
        auto laid = embedded(font);
        return [laid](const TextFormat&) { return laid; };
    }
    return [this](const TextFormat& format) { return device(format); };
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
