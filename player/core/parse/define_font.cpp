#include "load_context.h"
#include "records.h"

namespace swf {
namespace {

// One glyph: a SHAPE whose fill 1 is the text colour, supplied when the text is drawn.
Shape readGlyph(Reader& glyphData) {
    RawShape raw;
    raw.styles.fills.push_back(FillStyle{});
    readShapeRecords(glyphData, 1, nullptr, false, raw);
    return buildShape(raw, Rect{});
}

void addGlyphs(Reader& r, LoadContext& ctx, FontCharacter& font, const std::vector<size_t>& offsets,
               size_t tableStart, size_t glyphsEnd) {
    for (size_t i = 0; i < offsets.size(); ++i) {
        size_t from = tableStart + offsets[i];
        size_t to = i + 1 < offsets.size() ? tableStart + offsets[i + 1] : glyphsEnd;
        Shape glyph;
        if (from < to && to <= r.size()) {
            Reader glyphData(r.data() + from, to - from, r.tagCode());
            try {
                glyph = readGlyph(glyphData);
            } catch (const ParseError&) {
                // A broken glyph draws as nothing; the rest of the font is still usable.
            }
        }
        size_t edges = 0;
        for (const ShapeLayer& layer : glyph.layers) edges += layer.edges.size();
        ctx.chargeEdges(r, edges);
        font.glyphs.push_back(std::move(glyph));
    }
}

// Glyph bounds (skipped) and the kerning pairs. Authoring tools have written fonts whose
// tables stop short; the font is whole without them, so a short table keeps what was read.
void readKerning(Reader& r, FontCharacter& font, size_t glyphCount, bool wideCodes) {
    try {
        for (size_t i = 0; i < glyphCount; ++i) readRect(r);
        size_t pairs = r.u16();
        for (size_t i = 0; i < pairs; ++i) {
            uint16_t left = wideCodes ? r.u16() : r.u8();
            uint16_t right = wideCodes ? r.u16() : r.u8();
            font.kerning[{left, right}] = r.s16();
        }
    } catch (const ParseError&) {
    }
}

}  // namespace

void readDefineFont(Reader& r, LoadContext& ctx) {
    auto font = std::make_shared<FontCharacter>();
    font->id = r.u16();
    size_t tableStart = r.position();
    uint16_t first = r.u16();
    size_t count = first / 2;
    std::vector<size_t> offsets;
    if (count > 0) offsets.push_back(first);
    for (size_t i = 1; i < count; ++i) offsets.push_back(r.u16());
    addGlyphs(r, ctx, *font, offsets, tableStart, r.size());
    ctx.fonts[font->id] = font;
    ctx.define(font->id, font);
}

void readDefineFont2(Reader& r, LoadContext& ctx, int fontVersion) {
    auto font = std::make_shared<FontCharacter>();
    font->id = r.u16();
    uint8_t flags = r.u8();
    bool hasLayout = flags & 0x80;
    bool wideOffsets = flags & 0x08;
    // The flag decides even in DefineFont3, which the format says always has wide codes: some
    // tools write 8-bit codes there and clear it, and the original reads them so.
    bool wideCodes = flags & 0x04;
    font->italic = flags & 0x02;
    font->bold = flags & 0x01;
    r.u8();  // language
    size_t nameLength = r.u8();
    const uint8_t* name = r.bytes(nameLength);
    font->name.assign(reinterpret_cast<const char*>(name), nameLength);
    while (!font->name.empty() && font->name.back() == '\0') font->name.pop_back();
    font->emSize = fontVersion == 3 ? 20480.0f : 1024.0f;
    size_t count = r.u16();
    size_t tableStart = r.position();
    std::vector<size_t> offsets;
    for (size_t i = 0; i < count; ++i) offsets.push_back(wideOffsets ? r.u32() : r.u16());
    size_t codeTableOffset = count > 0 || r.remaining() > 0 ? (wideOffsets ? r.u32() : r.u16()) : 0;
    size_t codeTable = tableStart + codeTableOffset;
    if (codeTable > r.size()) r.fail("code table beyond the tag");
    addGlyphs(r, ctx, *font, offsets, tableStart, codeTable);
    if (codeTable > r.position()) r.skip(codeTable - r.position());
    for (size_t i = 0; i < count; ++i) font->codes.push_back(wideCodes ? r.u16() : r.u8());
    if (hasLayout) {
        font->ascent = r.u16();
        font->descent = r.u16();
        font->leading = r.s16();
        for (size_t i = 0; i < count; ++i) font->advances.push_back(r.s16());
        font->hasLayout = true;
        readKerning(r, *font, count, wideCodes);
    }
    ctx.fonts[font->id] = font;
    ctx.fieldFonts.addEmbedded(font);
    ctx.define(font->id, font);
}

void readDefineFontInfo(Reader& r, LoadContext& ctx, int infoVersion) {
    uint16_t id = r.u16();
    auto it = ctx.fonts.find(id);
    if (it == ctx.fonts.end()) return;
    FontCharacter& font = *it->second;
    size_t nameLength = r.u8();
    const uint8_t* name = r.bytes(nameLength);
    font.name.assign(reinterpret_cast<const char*>(name), nameLength);
    uint8_t flags = r.u8();
    bool wideCodes = (flags & 0x01) || infoVersion == 2;
    font.italic = flags & 0x04;
    font.bold = flags & 0x02;
    if (infoVersion == 2) r.u8();  // language
    font.codes.clear();
    while (font.codes.size() < font.glyphs.size() && r.remaining() >= (wideCodes ? 2u : 1u))
        font.codes.push_back(wideCodes ? r.u16() : r.u8());
}

}  // namespace swf
