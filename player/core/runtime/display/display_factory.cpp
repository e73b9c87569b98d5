#include "display_factory.h"

#include "bitmap_display.h"
#include "button_display.h"
#include "edit_text_display.h"
#include "morph_display.h"
#include "placeholder_display.h"
#include "shape_display.h"
#include "sprite_display.h"
#include "static_text_display.h"
#include "video_display.h"

namespace swf {

std::unique_ptr<DisplayObject> makeDisplayObject(const Character& c, Clip& parent, bool instantiate) {
    switch (c.kind) {
        case CharacterKind::Shape: return std::make_unique<ShapeDisplay>(static_cast<const ShapeCharacter&>(c));
        case CharacterKind::Morph: return std::make_unique<MorphDisplay>(static_cast<const MorphCharacter&>(c));
        case CharacterKind::Bitmap: return std::make_unique<BitmapDisplay>(static_cast<const BitmapCharacter&>(c));
        case CharacterKind::Text: return std::make_unique<StaticTextDisplay>(static_cast<const TextCharacter&>(c));
        case CharacterKind::EditText: return std::make_unique<EditTextDisplay>(static_cast<const EditTextCharacter&>(c), parent);
        case CharacterKind::Sprite:
            return std::make_unique<SpriteDisplay>(static_cast<const SpriteCharacter&>(c), parent, instantiate);
        case CharacterKind::Button:
            return std::make_unique<ButtonDisplay>(static_cast<const ButtonCharacter&>(c), parent, instantiate);
        case CharacterKind::Video: return std::make_unique<VideoDisplay>(static_cast<const VideoCharacter&>(c));
        case CharacterKind::Font:
        case CharacterKind::Sound: break;
    }
    return std::make_unique<PlaceholderDisplay>(c);
}

}  // namespace swf
