#include "load_context.h"

namespace swf {

void LoadContext::define(uint16_t id, std::shared_ptr<Character> character) {
    character->id = id;
    movie.characters.emplace(id, std::move(character));
}

std::shared_ptr<const Bitmap> LoadContext::bitmap(uint16_t id) const {
    auto it = movie.characters.find(id);
    if (it == movie.characters.end() || it->second->kind != CharacterKind::Bitmap) return nullptr;
    return static_cast<const BitmapCharacter&>(*it->second).bitmap;
}

std::shared_ptr<const FontCharacter> LoadContext::font(uint16_t id) const {
    auto it = fonts.find(id);
    return it == fonts.end() ? nullptr : it->second;
}

}  // namespace swf
