#include <algorithm>

#include "limits.h"
#include "load_context.h"
#include "records.h"
#include "../text/edit_text_input.h"
#include "../text/field_drawing.h"

namespace swf {

void readDefineText(Reader& r, LoadContext& ctx, int textVersion) {
    auto text = std::make_shared<TextCharacter>();
    text->id = r.u16();
    text->bounds = readRect(r);
    text->matrix = readMatrix(r);
    int glyphBits = r.u8();
    int advanceBits = r.u8();
    if (glyphBits > 32 || advanceBits > 32) r.fail("glyph or advance bits wider than 32");
    TextRun style;  // font, colour, position and height carry over between records
    size_t glyphTotal = 0;
    while (!r.atEnd()) {
        uint8_t flags = r.u8();
        if (flags == 0) break;
        TextRun run = style;
        run.glyphs.clear();
        if (flags & 0x08) {
            run.fontId = r.u16();
            run.font = ctx.font(run.fontId);
        }
        if (flags & 0x04) run.color = textVersion == 2 ? readRgba(r) : readRgb(r);
        if (flags & 0x01) run.x = r.s16();
        if (flags & 0x02) run.y = r.s16();
        if (flags & 0x08) run.height = r.u16();
        size_t count = r.u8();
        glyphTotal += count;
        if (glyphTotal > kMaxGlyphsPerText) r.fail("too many glyphs");
        ctx.chargeEdges(r, count);  // placed glyphs cost memory like edges do
        float x = run.x;
        for (size_t i = 0; i < count; ++i) {
            GlyphEntry g;
            g.index = r.ubits(glyphBits);
            g.advance = r.sbits(advanceBits);
            x += float(g.advance);
            run.glyphs.push_back(g);
        }
        r.align();
        style = run;
        style.x = x;  // the next record continues where this one ended
        text->runs.push_back(std::move(run));
    }
    placeTextGlyphs(*text, ctx.glyphs);
    ctx.define(text->id, text);
}

void readDefineEditText(Reader& r, LoadContext& ctx) {
    auto edit = std::make_shared<EditTextCharacter>();
    edit->id = r.u16();
    edit->bounds = readRect(r);
    uint8_t flags1 = r.u8();
    uint8_t flags2 = r.u8();
    bool hasText = flags1 & 0x80;
    edit->wordWrap = flags1 & 0x40;
    edit->multiline = flags1 & 0x20;
    edit->password = flags1 & 0x10;
    edit->readOnly = flags1 & 0x08;
    bool hasColor = flags1 & 0x04;
    bool hasMaxLength = flags1 & 0x02;
    bool hasFont = flags1 & 0x01;
    bool hasFontClass = flags2 & 0x80;
    edit->autoSize = flags2 & 0x40;
    bool hasLayout = flags2 & 0x20;
    edit->selectable = !(flags2 & 0x10);
    edit->border = flags2 & 0x08;
    edit->html = flags2 & 0x02;
    edit->useOutlines = flags2 & 0x01;
    if (hasFont) edit->font = ctx.font(r.u16());
    if (hasFontClass) r.cstring();
    if (hasFont || hasFontClass) edit->height = r.u16();
    if (hasColor) edit->color = readRgba(r);
    if (hasMaxLength) r.u16();
    if (hasLayout) {
        uint8_t align = r.u8();
        edit->align = align <= 3 ? TextAlign(align) : TextAlign::Left;
        edit->leftMargin = r.u16();
        edit->rightMargin = r.u16();
        edit->indent = r.s16();
        edit->leading = r.s16();
    }
    edit->variableName = r.cstring();
    if (hasText) edit->initialText = r.cstring();
    ctx.chargeEdges(r, edit->initialText.size());
    TextFieldInput field = editTextInput(*edit);
    TextLayout layout = layoutText(field, ctx.fieldFonts.lookupFor(field));
    edit->bounds = layout.bounds;  // text past it is cut there when drawn
    edit->glyphs = drawTextField(layout, field, ctx.glyphs);
    ctx.define(edit->id, edit);
}

// CSMTextSettings: TextID, UseFlashType (2 bits), GridFit (3 bits), 3 reserved bits,
// Thickness and Sharpness (32-bit floats), a reserved byte. Unknown grid fits mean none;
// values that are not numbers or lie outside the tag's ranges are clamped into them.
void readCsmTextSettings(Reader& r, LoadContext& ctx) {
    uint16_t id = r.u16();
    TextRendering t;
    uint32_t flags = r.u8();
    t.advanced = (flags >> 6) == 1;
    uint32_t fit = (flags >> 3) & 7;
    t.gridFit = fit <= 2 ? GridFit(fit) : GridFit::None;
    auto clamp = [](float v, float limit) { return v == v ? std::max(-limit, std::min(limit, v)) : 0.0f; };
    t.thickness = clamp(r.f32(), 200);
    t.sharpness = clamp(r.f32(), 400);
    ctx.movie.textRendering[id] = t;  // at most one per id: the map stays within 65,536 entries
}

}  // namespace swf
