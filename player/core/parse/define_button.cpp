#include <algorithm>

#include "filters.h"
#include "load_context.h"
#include "records.h"

namespace swf {
namespace {

// Each record: its size (0 for the last), the condition bits (the key code in the top seven),
// then actions to its end. A damaged record ends the list; what came before still runs.
void readConditionActions(Reader& r, ButtonCharacter& button) {
    try {
        while (r.remaining() >= 4) {
            const uint16_t size = r.u16();
            const uint16_t conditions = r.u16();
            if (size != 0 && size < 4) break;
            Reader body = size == 0 ? r.sub(r.remaining()) : r.sub(std::min<size_t>(size - 4, r.remaining()));
            button.actions.push_back({uint16_t(conditions & 0x1ff), uint8_t(conditions >> 9), decodeActions(body)});
            if (size == 0) break;
        }
    } catch (const ParseError&) {
    }
}

}  // namespace

void readDefineButton(Reader& r, LoadContext& ctx, int buttonVersion) {
    auto button = std::make_shared<ButtonCharacter>();
    button->id = r.u16();
    uint16_t actionOffset = 0;
    if (buttonVersion == 2) {
        button->trackAsMenu = r.u8() & 1;
        actionOffset = r.u16();  // from its own position; 0 when the button has no actions
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
    if (buttonVersion == 1) {
        if (!r.atEnd()) button->actions.push_back({kOverDownToOverUp, 0, decodeActions(r)});
    } else if (actionOffset != 0) {
        readConditionActions(r, *button);
    }
    ctx.define(button->id, button);
}

}  // namespace swf
