// Tag bodies for the tags the player reads, so every test movie has its recipe in code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <filter.h>
#include <geometry.h>
#include <shape.h>

#include "action_writer.h"
#include "bit_writer.h"
#include "movie_writer.h"
#include "shape_writer.h"

namespace swfw {

Tag setBackgroundColor(swf::Rgba c);
Tag frameLabel(const std::string& name);
Tag doAction(const ActionWriter& actions);
Tag doInitAction(uint16_t spriteId, const ActionWriter& actions);
// ScriptLimits: the recursion depth and the script time limit in seconds.
Tag scriptLimits(uint16_t maxRecursion, uint16_t timeoutSeconds);

// DefineShape N (1 to 4); version 4 writes edge bounds and the winding flag.
Tag defineShape(uint16_t id, int version, const swf::Rect& bounds, const ShapeWriter& shape,
                bool nonZeroWinding = false);

struct Place {
    uint16_t depth = 1;
    std::optional<uint16_t> character;
    bool move = false;
    std::optional<swf::Matrix> matrix;
    std::optional<swf::ColorTransform> colorTransform;
    std::optional<uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<uint16_t> clipDepth;
};
Tag placeObject(uint16_t character, uint16_t depth, const swf::Matrix& m,
                const std::optional<swf::ColorTransform>& cx = std::nullopt);
Tag placeObject2(const Place& p);
// PlaceObject2 with onClipEvent handlers; `events` are the 32-bit flags of SWF 6 (a SWF 5
// file keeps the low 16 bits).
struct ClipAction {
    uint32_t events = 0;
    ActionWriter actions;
};
Tag placeObject2(const Place& p, const std::vector<ClipAction>& handlers, int swfVersion);
// Linkage names for attachMovie.
Tag exportAssets(const std::vector<std::pair<uint16_t, std::string>>& names);
// What PlaceObject3 adds to PlaceObject2; each part is written when set.
struct PlaceEffects {
    std::vector<swf::Filter> filters;  // every kind the file can hold (not displacement maps)
    std::optional<uint8_t> blendMode;  // the file's byte: 1 normal ... 14 hard light
    std::optional<bool> cacheAsBitmap;
    std::optional<swf::Rgba> opaqueBackground;
};
Tag placeObject3(const Place& p, const PlaceEffects& effects = {});
// A filter list as PlaceObject3 and DefineButton2 store it.
void writeFilterList(BitWriter& w, const std::vector<swf::Filter>& filters);
Tag removeObject(uint16_t character, uint16_t depth);
Tag removeObject2(uint16_t depth);

// A sprite's tags: control tags with ShowFrame; End is appended.
Tag defineSprite(uint16_t id, int frameCount, const std::vector<Tag>& tags);

// Lossless bitmaps: `raw` is the uncompressed payload (palette then rows, padded as the format
// requires); it is zlib-compressed here. paletteSize is the entry count for format 3.
Tag defineBitsLossless(uint16_t id, int version, int format, int width, int height, int paletteSize,
                       const std::vector<uint8_t>& raw);
Tag defineBitsJpeg2(uint16_t id, const std::vector<uint8_t>& image);
Tag defineBitsJpeg3(uint16_t id, const std::vector<uint8_t>& jpeg, const std::vector<uint8_t>& alpha);
Tag defineBits(uint16_t id, const std::vector<uint8_t>& jpegWithoutTables);
Tag jpegTables(const std::vector<uint8_t>& tables);

struct MorphFillPair {
    swf::FillStyle start, end;
};
struct MorphLinePair {
    uint16_t startWidth = 20, endWidth = 20;
    swf::Rgba startColor, endColor;
};
// DefineMorphShape (version 1) or DefineMorphShape2 (version 2, round caps and joins):
// solid and gradient fills; the edge lists must pair up.
Tag defineMorphShape(uint16_t id, const swf::Rect& startBounds, const swf::Rect& endBounds,
                     const std::vector<MorphFillPair>& fills, const std::vector<MorphLinePair>& lines,
                     const ShapeWriter& start, const ShapeWriter& end, int version = 1);

struct FontGlyph {
    uint16_t code = 0;
    ShapeWriter shape{1};  // fill 1 is the text colour; EM square 1024 units
    int16_t advance = 0;
};
Tag defineFont(uint16_t id, const std::vector<FontGlyph>& glyphs);
Tag defineFontInfo(uint16_t fontId, const std::string& name, const std::vector<FontGlyph>& glyphs);
struct KerningPair {
    uint16_t left = 0, right = 0;  // character codes
    int16_t adjustment = 0;        // EM units
};
Tag defineFont2(uint16_t id, const std::string& name, const std::vector<FontGlyph>& glyphs, int16_t ascent,
                int16_t descent, int version = 2, const std::vector<KerningPair>& kerning = {});

struct TextRecord {
    std::optional<uint16_t> font;
    std::optional<swf::Rgba> color;
    std::optional<int16_t> x, y;
    uint16_t height = 0;  // with font
    std::vector<std::pair<uint32_t, int32_t>> glyphs;  // glyph index, advance
};
Tag defineText(uint16_t id, int version, const swf::Rect& bounds, const swf::Matrix& m,
               const std::vector<TextRecord>& records);

struct EditText {
    swf::Rect bounds;
    std::optional<uint16_t> font;
    uint16_t height = 240;
    swf::Rgba color{0, 0, 0, 255};
    bool multiline = false, wordWrap = false, html = false, useOutlines = true;
    bool border = false, autoSize = false, password = false;
    bool readOnly = true, selectable = true;  // readOnly false: an input field
    uint8_t align = 0;
    uint16_t leftMargin = 0, rightMargin = 0;  // twips
    int16_t indent = 0, leading = 0;           // twips
    std::string variable;
    std::optional<std::string> text;
};
Tag defineEditText(uint16_t id, const EditText& e);

struct ButtonPart {
    uint8_t states = 1;  // bit 0 up, 1 over, 2 down, 3 hit
    uint16_t character = 0;
    uint16_t depth = 1;
    swf::Matrix matrix;
    swf::ColorTransform colorTransform;  // DefineButton2 only
};
// DefineButton runs its one action list on release.
Tag defineButton(uint16_t id, const std::vector<ButtonPart>& parts, const ActionWriter& onRelease = {});
struct ButtonActions {
    uint16_t conditions = 0;  // the player's ButtonCondition bits
    uint8_t keyCode = 0;      // 1-19 special keys, 32-126 characters
    ActionWriter actions;
};
Tag defineButton2(uint16_t id, const std::vector<ButtonPart>& parts, const std::vector<ButtonActions>& actions = {},
                  bool trackAsMenu = false);

}  // namespace swfw
