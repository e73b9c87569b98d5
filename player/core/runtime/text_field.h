// One placed DefineEditText field while the movie runs: its text as styled runs, the flags
// scripts change (TextField properties) and the glyphs of its last layout. The character keeps
// the field as the tag defined it; every instance starts from that and changes on its own.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../text/field_fonts.h"
#include "../text/glyph_cache.h"
#include "../text/html_text.h"
#include "../text/text_field_input.h"
#include "../text/text_layout.h"

namespace swf {

namespace avm1 {
class Object;
}
class Clip;

// What the fields of one player share: the fonts they lay out with and the coloured glyphs.
struct TextFieldServices {
    TextFieldServices(FontProvider* deviceFonts, int movieVersion) : fonts(deviceFonts), swfVersion(movieVersion) {}
    FieldFonts fonts;
    GlyphCache glyphs;
    int swfVersion;  // the movie's: older movies read HTML by older rules
};

class TextField {
public:
    TextField(const EditTextCharacter& character, TextFieldServices* services);
    // A field scripts made (createTextField) keeps its character alive.
    void adopt(std::shared_ptr<const EditTextCharacter> own) { own_ = std::move(own); }
    bool madeByScript() const { return own_ != nullptr; }

    const EditTextCharacter& character() const { return character_; }

    // ---- content
    std::u32string text() const;
    std::string textUtf8() const;
    // Plain text in the new-text format; "\r" and "\r\n" break paragraphs (single-line fields
    // keep their breaks too, as the original shows them).
    void setText(const std::string& utf8);
    std::string htmlText() const;
    void setHtmlText(const std::string& html);
    // With a style sheet set (`styled`), text set either way is markup read with its styles,
    // and htmlText reads back the markup as given (or, before any, the text as HTML).
    void setStyledText(const std::string& html, const HtmlStyleLookup& styles);
    std::optional<std::string> styledSource;
    // Replaces chars [begin, end) with `utf8` in the format of the first replaced char (or the
    // new-text format for an insertion at the end).
    void replaceText(size_t begin, size_t end, const std::string& utf8);
    size_t length() const;
    // Back to the tag's initial text.
    void resetText();

    // ---- formats
    // The format every char of [begin, end) shares; members that differ are `mixed`.
    struct FormatQuery {
        TextFormat format;
        uint32_t mixed = 0;  // bits of FormatMember
    };
    FormatQuery formatOf(size_t begin, size_t end) const;
    // Sets the members in `members` (bits of FormatMember) of chars [begin, end).
    void applyFormat(size_t begin, size_t end, const TextFormat& format, uint32_t members);
    TextFormat newTextFormat;  // what setText and typed text get

    // ---- properties scripts set; call changed() afterwards
    TextFieldInput input() const;  // the layout's input
    Rect bounds;                   // twips, field space
    bool html = false, wordWrap = false, multiline = false, password = false;
    bool border = false, background = false, embedFonts = false, selectable = true, input_ = false;
    bool condenseWhite = false, mouseWheelEnabled = true;
    bool styled = false;  // a style sheet is set: scripts cannot set formats
    bool hasRestrict = false;
    std::string restrict;  // the characters typing may enter, when hasRestrict
    AutoSize autoSize = AutoSize::None;
    Rgba borderColor{0, 0, 0, 255}, backgroundColor{255, 255, 255, 255};
    int maxChars = 0;  // 0: no limit
    TextRendering rendering;  // CSMTextSettings, or what scripts set
    std::string variable;
    // The selection, chars [selectionBegin, selectionEnd), and the caret; kept within the text.
    size_t selectionBegin = 0, selectionEnd = 0, caret = 0;
    bool selectionReported = true;  // false: taking focus selected all, scripts still read -1
    int scroll = 1;    // the first line shown, from 1
    int hscroll = 0;   // pixels
    void changed() { ++version_; }
    void setRendering(const TextRendering& r) {
        rendering = r;
        if (r.advanced) changed();  // drawn anew, fitted to the grid
    }
    uint64_t version() const { return version_; }

    // ---- layout, made when asked for after a change
    const TextLayout& layout();
    // The lines of the whole text, scrolling aside (for maxscroll and textHeight).
    int lineCount();
    int maxScroll();
    int bottomScroll();
    // How far (pixels) the widest line runs past the field's text area.
    int maxHscroll();
    // The glyphs of the current state, laid out now when stale (never call while drawing).
    void refresh();
    // What drawing uses: the glyphs of the last refresh (the tag's until the first change).
    const std::vector<PlacedGlyph>& glyphs() const { return glyphs_; }
    uint64_t drawnVersion() const { return drawn_; }
    // Where drawing the field may change pixels: its rectangle (text past it is clipped).
    Rect drawnBounds() const { return drawnBounds_; }
    // The text runs past the rectangle: drawing clips it there.
    bool overflows() const { return overflows_; }

    std::weak_ptr<Clip> parent;  // the timeline the field is placed on: where its variable lives
    // The field's script object, made on first use, owned by the script heap.
    avm1::Object* scriptObject = nullptr;
    // The variable's value last shown, to notice when it changes.
    std::string boundValue;
    bool bound = false;  // the variable was looked up once (the field's text set it, or it set the text)

private:
    void layoutIfStale();
    void setRuns(std::vector<StyledRun> runs);

    const EditTextCharacter& character_;
    std::shared_ptr<const EditTextCharacter> own_;
    TextFieldServices* services_;  // null: nothing is laid out (no fonts at all)
    std::vector<StyledRun> runs_;
    uint64_t version_ = 0;
    uint64_t laidOut_ = ~uint64_t(0);
    uint64_t drawn_ = 0;  // the version glyphs_ show
    TextLayout layout_;
    std::vector<PlacedGlyph> glyphs_;
    Rect drawnBounds_;
    bool overflows_ = false;
};

// TextFormat members, for partial formats (a TextFormat object with some members null).
enum FormatMember : uint32_t {
    kFormatFont = 1 << 0, kFormatSize = 1 << 1, kFormatColor = 1 << 2, kFormatBold = 1 << 3,
    kFormatItalic = 1 << 4, kFormatUnderline = 1 << 5, kFormatUrl = 1 << 6, kFormatTarget = 1 << 7,
    kFormatAlign = 1 << 8, kFormatLeftMargin = 1 << 9, kFormatRightMargin = 1 << 10, kFormatIndent = 1 << 11,
    kFormatLeading = 1 << 12, kFormatBlockIndent = 1 << 13, kFormatLetterSpacing = 1 << 14,
    kFormatKerning = 1 << 15, kFormatBullet = 1 << 16, kFormatTabStops = 1 << 17,
    kFormatAll = (1 << 18) - 1,
};

// Copies the members in `members` from `from` into `into`.
void mergeFormat(TextFormat& into, const TextFormat& from, uint32_t members);
// The members in which two formats differ.
uint32_t formatDifferences(const TextFormat& a, const TextFormat& b);

}  // namespace swf
