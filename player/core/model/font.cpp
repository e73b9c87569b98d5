#include "characters.h"

namespace swf {

int FontCharacter::glyphForCode(uint16_t code) const {
    for (size_t i = 0; i < codes.size() && i < glyphs.size(); ++i)
        if (codes[i] == code) return int(i);
    return -1;
}

}  // namespace swf
