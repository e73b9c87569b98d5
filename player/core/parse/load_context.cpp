#include "load_context.h"

#include "limits.h"

namespace swf {

void LoadContext::define(uint16_t id, std::shared_ptr<Character> character) {
    character->id = id;
    movie.characters.emplace(id, std::move(character));
}

void LoadContext::chargeEdges(Reader& r, size_t n) {
    if (n > kMaxMovieEdges - edges) r.fail("the movie's shapes exceed the edge budget");
    edges += n;
}

void LoadContext::chargeBitmap(Reader& r, size_t pixels) {
    if (pixels > kMaxMovieBitmapPixels - bitmapPixels) r.fail("the movie's bitmaps exceed the pixel budget");
    bitmapPixels += pixels;
}

void LoadContext::chargeImageBytes(Reader& r, size_t n) {
    if (n > kMaxMovieImageBytes - imageBytes) r.fail("the movie's image data exceeds its budget");
    imageBytes += n;
}

void LoadContext::chargeCommand(Reader& r) {
    if (commands >= kMaxMovieCommands) r.fail("the movie's timelines exceed the command budget");
    ++commands;
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
