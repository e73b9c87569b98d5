#include "filters.h"
#include "load_context.h"
#include "records.h"

namespace swf {

void readDefineButton(Reader& r, LoadContext& ctx, int buttonVersion) {
    auto button = std::make_shared<ButtonCharacter>();
    button->id = r.u16();
    if (buttonVersion == 2) {
        r.u8();   // track as menu
        r.u16();  // offset of the button actions, which we do not run
    }
    while (!r.atEnd()) {
        uint8_t flags = r.u8();
        if (flags == 0) break;
        ButtonRecord rec;
        rec.states = flags & 0x0f;
        rec.characterId = r.u16();
        rec.depth = r.u16();
        rec.matrix = readMatrix(r);
        if (buttonVersion == 2) {
            rec.colorTransform = readColorTransform(r, true);
            if (flags & 0x10) rec.filters = readFilterList(r);
            if (flags & 0x20) rec.blendMode = blendModeFromByte(r.u8());
        }
        button->records.push_back(rec);
    }
    ctx.define(button->id, button);
}

}  // namespace swf
