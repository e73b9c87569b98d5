// The dictionary's entries: everything a Define* tag creates, as immutable values.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../bitmap.h"
#include "../geometry.h"
#include "../shape.h"
#include "shape_records.h"
#include "sound.h"
#include "timeline.h"

namespace swf {

enum class CharacterKind : uint8_t { Shape, Morph, Bitmap, Sprite, Font, Text, EditText, Button, Sound, Video };

struct Character {
    explicit Character(CharacterKind k) : kind(k) {}
    virtual ~Character() = default;
    const CharacterKind kind;
    uint16_t id = 0;
};

struct ShapeCharacter : Character {
    ShapeCharacter() : Character(CharacterKind::Shape) {}
    Shape shape;
};

struct MorphFill {
    FillStyle start, end;
};
struct MorphLine {
    LineStyle start, end;
};

// DefineMorphShape 1 and 2: one style table of start/end pairs and two parallel edge lists.
struct MorphCharacter : Character {
    MorphCharacter() : Character(CharacterKind::Morph) {}
    Rect startBounds, endBounds;
    std::vector<MorphFill> fills;
    std::vector<MorphLine> lines;
    std::vector<ShapeRecord> startRecords, endRecords;
};

struct BitmapCharacter : Character {
    BitmapCharacter() : Character(CharacterKind::Bitmap) {}
    std::shared_ptr<const Bitmap> bitmap;
};

struct SpriteCharacter : Character {
    SpriteCharacter() : Character(CharacterKind::Sprite) {}
    Timeline timeline;
};

// Glyphs are in EM units: 1024 per EM for DefineFont 1/2, 20480 for DefineFont3.
struct FontCharacter : Character {
    FontCharacter() : Character(CharacterKind::Font) {}
    std::string name;
    float emSize = 1024;
    std::vector<Shape> glyphs;       // one layer, fill 1 = the text colour (a placeholder)
    std::vector<uint16_t> codes;     // character code of each glyph, when known
    std::vector<int16_t> advances;   // EM units, when the font has a layout
    float ascent = 0, descent = 0, leading = 0;  // EM units
    bool hasLayout = false;
    bool bold = false, italic = false;  // the style a device font of this name is opened in
    std::map<std::pair<uint16_t, uint16_t>, int16_t> kerning;  // code pairs, EM units
    int glyphForCode(uint16_t code) const;  // -1 when the font has no such glyph
};

struct GlyphEntry {
    uint32_t index = 0;
    int32_t advance = 0;  // twips
};

struct TextRun {
    std::shared_ptr<const FontCharacter> font;  // null when the font's tag comes later
    uint16_t fontId = 0;
    Rgba color;
    float x = 0, y = 0;   // baseline origin, text space twips
    float height = 0;     // twips
    std::vector<GlyphEntry> glyphs;
};

// A glyph ready to draw: the font's outline in the run's colour, and its place in text space.
struct PlacedGlyph {
    std::shared_ptr<const Shape> shape;
    Matrix matrix;
};

struct TextCharacter : Character {
    TextCharacter() : Character(CharacterKind::Text) {}
    Rect bounds;
    Matrix matrix;
    std::vector<TextRun> runs;
    std::vector<PlacedGlyph> glyphs;  // made from runs once the tag is read
};

enum class TextAlign : uint8_t { Left = 0, Right = 1, Center = 2, Justify = 3 };

// CSMTextSettings of a text: the anti-aliasing a field's script side reads back as
// antiAliasType, gridFitType, thickness and sharpness.
enum class GridFit : uint8_t { None = 0, Pixel = 1, Subpixel = 2 };
struct TextRendering {
    bool advanced = false;  // "advanced" anti-aliasing (the tag's UseFlashType)
    GridFit gridFit = GridFit::Pixel;
    float thickness = 0;    // -200 .. 200: stems thinner or bolder
    float sharpness = 0;    // -400 .. 400
};

struct EditTextCharacter : Character {
    EditTextCharacter() : Character(CharacterKind::EditText) {}
    Rect bounds;
    std::shared_ptr<const FontCharacter> font;  // without outlines: names the device font
    bool useOutlines = false, wordWrap = false, multiline = false, password = false, html = false;
    bool border = false, autoSize = false;
    bool readOnly = true;      // false: an input field (a script's field is dynamic)
    bool selectable = true;    // the tag's NoSelect flag clears it
    float height = 240;  // twips
    Rgba color{0, 0, 0, 255};
    TextAlign align = TextAlign::Left;
    float leftMargin = 0, rightMargin = 0, indent = 0, leading = 0;  // twips
    std::string variableName;
    std::string initialText;
    // The initial text laid out (text/text_layout.h), frame and underlines included; `bounds`
    // is the rectangle after autoSize: a placed field cuts lines that run past it.
    std::vector<PlacedGlyph> glyphs;
};

struct ButtonRecord {
    uint8_t states = 0;  // bit 0 up, 1 over, 2 down, 3 hit test
    uint16_t characterId = 0;
    uint16_t depth = 0;
    Matrix matrix;
    ColorTransform colorTransform;
    std::vector<Filter> filters;  // sizes in stage pixels
    BlendMode blendMode = BlendMode::Normal;
    bool isUp() const { return states & 1; }
};

// The state changes a button's actions run on, as DefineButton2 stores them (its low byte is
// the file's first flag byte). DefineButton's single action list runs on OverDownToOverUp.
enum ButtonCondition : uint16_t {
    kIdleToOverUp = 1 << 0,
    kOverUpToIdle = 1 << 1,
    kOverUpToOverDown = 1 << 2,
    kOverDownToOverUp = 1 << 3,
    kOverDownToOutDown = 1 << 4,
    kOutDownToOverDown = 1 << 5,
    kOutDownToIdle = 1 << 6,
    kIdleToOverDown = 1 << 7,
    kOverDownToIdle = 1 << 8,
};

struct ButtonAction {
    uint16_t conditions = 0;  // ButtonCondition bits
    uint8_t keyCode = 0;      // a key press that runs the actions; 0 for none
    ActionListPtr actions;
};

struct ButtonCharacter : Character {
    ButtonCharacter() : Character(CharacterKind::Button) {}
    std::vector<ButtonRecord> records;
    bool trackAsMenu = false;  // a press started elsewhere still presses it
    std::vector<ButtonAction> actions;
};

// DefineSound; for MP3 the leading seek count is taken out of `data`.
struct SoundCharacter : Character {
    SoundCharacter() : Character(CharacterKind::Sound) {}
    SoundFormat format;
    uint32_t sampleCount = 0;  // per channel, as declared
    int16_t mp3Seek = 0;       // MP3 only: decoded samples to drop at the start
    std::vector<uint8_t> data;
};

// DefineVideoStream: the frames are not decoded; the object still takes its place, its name
// and its size in the display list.
struct VideoCharacter : Character {
    VideoCharacter() : Character(CharacterKind::Video) {}
    uint16_t frameCount = 0;
    uint16_t width = 0, height = 0;  // pixels
};

}  // namespace swf
