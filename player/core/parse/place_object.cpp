#include "filters.h"
#include "load_context.h"
#include "records.h"

namespace swf {

FrameCommand readPlaceObject(Reader& r, int placeVersion) {
    FrameCommand cmd;
    cmd.kind = FrameCommand::Kind::Place;
    PlaceCommand& p = cmd.place;
    if (placeVersion == 1) {
        p.characterId = r.u16();
        p.depth = r.u16();
        p.matrix = readMatrix(r);
        if (!r.atEnd()) p.colorTransform = readColorTransform(r, false);
        return cmd;
    }
    uint8_t flags = r.u8();
    uint8_t flags2 = placeVersion == 3 ? r.u8() : 0;
    p.depth = r.u16();
    p.move = flags & 0x01;
    bool hasCharacter = flags & 0x02;
    if (placeVersion == 3 && ((flags2 & 0x08) || ((flags2 & 0x10) && hasCharacter))) r.cstring();  // class name
    if (hasCharacter) p.characterId = r.u16();
    if (flags & 0x04) p.matrix = readMatrix(r);
    if (flags & 0x08) p.colorTransform = readColorTransform(r, true);
    if (flags & 0x10) p.ratio = r.u16();
    if (flags & 0x20) p.name = r.cstring();
    if (flags & 0x40) p.clipDepth = r.u16();
    if (placeVersion == 3) {
        if (flags2 & 0x01) p.filters = readFilterList(r);
        if (flags2 & 0x02) p.blendMode = blendModeFromByte(r.u8());
        if (flags2 & 0x04) p.cacheAsBitmap = r.atEnd() || r.u8() != 0;  // files before 10 omit the byte
        if ((flags2 & 0x20) && !r.atEnd()) r.u8();  // visibility: belongs to scripting
        if ((flags2 & 0x40) && !r.atEnd()) p.opaqueBackground = readRgba(r);
    }
    // Clip event handlers follow; they belong to the scripting we do not run.
    return cmd;
}

FrameCommand readRemoveObject(Reader& r, int removeVersion) {
    FrameCommand cmd;
    cmd.kind = FrameCommand::Kind::Remove;
    if (removeVersion == 1) r.u16();  // character id
    cmd.place.depth = r.u16();
    return cmd;
}

}  // namespace swf
