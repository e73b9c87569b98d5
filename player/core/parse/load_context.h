// State shared by the tag readers while one movie loads.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "../model/movie.h"
#include "reader.h"
#include "glyph_placement.h"
#include "../text/field_fonts.h"
#include "shape_records.h"
#include "tag_codes.h"

namespace swf {

struct LoadContext {
    Movie& movie;
    std::vector<uint8_t> jpegTables;
    // Fonts stay writable while loading: DefineFontInfo adds codes to an earlier DefineFont.
    std::map<uint16_t, std::shared_ptr<FontCharacter>> fonts;
    GlyphCache glyphs;
    FieldFonts fieldFonts;  // device fonts of the host's provider, opened once per face
    // Movie-wide budgets (limits.h); charge() throws a ParseError for the tag that overdraws.
    size_t edges = 0, bitmapPixels = 0, imageBytes = 0, commands = 0;
    void chargeEdges(Reader& r, size_t n);
    void chargeBitmap(Reader& r, size_t pixels);
    void chargeImageBytes(Reader& r, size_t n);
    void chargeCommand(Reader& r);

    LoadContext(Movie& m, FontProvider* deviceFonts) : movie(m), fieldFonts(deviceFonts) {}

    // Adds a character unless its id is taken (the first definition wins, as in the original).
    void define(uint16_t id, std::shared_ptr<Character> character);
    std::shared_ptr<const Bitmap> bitmap(uint16_t id) const;
    BitmapLookup bitmapLookup() const {
        return [this](uint16_t id) { return bitmap(id); };
    }
    std::shared_ptr<const FontCharacter> font(uint16_t id) const;
};

// Definition tags: each reads its whole tag from `r` and adds to the dictionary.
void readDefineShape(Reader& r, LoadContext& ctx, int shapeVersion);
void readDefineMorphShape(Reader& r, LoadContext& ctx, int morphVersion);
void readDefineBits(Reader& r, LoadContext& ctx, uint16_t code);
void readDefineBitsLossless(Reader& r, LoadContext& ctx, int version);
void readDefineFont(Reader& r, LoadContext& ctx);
void readDefineFont2(Reader& r, LoadContext& ctx, int fontVersion);
void readDefineFontInfo(Reader& r, LoadContext& ctx, int infoVersion);
void readDefineText(Reader& r, LoadContext& ctx, int textVersion);
void readDefineEditText(Reader& r, LoadContext& ctx);
void readCsmTextSettings(Reader& r, LoadContext& ctx);
void readDefineButton(Reader& r, LoadContext& ctx, int buttonVersion);

// Control tags: they append to the frame being built.
FrameCommand readPlaceObject(Reader& r, int placeVersion, int swfVersion);
FrameCommand readRemoveObject(Reader& r, int removeVersion);
ActionListPtr decodeActions(Reader& r);

}  // namespace swf
