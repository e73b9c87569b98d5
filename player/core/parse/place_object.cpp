#include "filters.h"
#include "limits.h"
#include "load_context.h"
#include "records.h"

namespace swf {
namespace {

// SWF 6 widened the event flags from 16 to 32 bits.
uint32_t readEventFlags(Reader& r, int swfVersion) { return swfVersion >= 6 ? r.u32() : r.u16(); }

// Handlers end at a zero flag word; a record whose size runs past the tag ends the list, and
// what was read before it is kept.
ClipEventHandlers readClipActions(Reader& r, int swfVersion) {
    auto handlers = std::make_shared<std::vector<ClipEventHandler>>();
    try {
        r.u16();  // reserved
        // The union of all handlers' flags: the original sends a clip only the events named
        // here, so a handler's flag missing from it never runs.
        const uint32_t sent = readEventFlags(r, swfVersion);
        while (!r.atEnd() && handlers->size() < kMaxClipEventHandlers) {
            ClipEventHandler h;
            h.events = readEventFlags(r, swfVersion);
            if (h.events == 0) break;
            uint32_t size = r.u32();
            if (size > r.remaining()) break;
            Reader body = r.sub(size);
            if ((h.events & kClipKeyPress) && !body.atEnd()) h.keyCode = body.u8();
            h.events &= sent;
            if (h.events == 0) continue;
            h.actions = decodeActions(body);
            handlers->push_back(std::move(h));
        }
    } catch (const ParseError&) {
    }
    if (handlers->empty()) return nullptr;
    return handlers;
}

}  // namespace

FrameCommand readPlaceObject(Reader& r, int placeVersion, int swfVersion) {
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
        if ((flags2 & 0x20) && !r.atEnd()) p.visible = r.u8() != 0;
        if ((flags2 & 0x40) && !r.atEnd()) p.opaqueBackground = readRgba(r);
    }
    if ((flags & 0x80) && swfVersion >= 5) p.clipActions = readClipActions(r, swfVersion);
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
