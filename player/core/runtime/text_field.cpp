#include "text_field.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "../text/edit_text_input.h"
#include "../text/field_drawing.h"
#include "../text/html_text.h"
#include "../text/html_writer.h"
#include "../text/utf8.h"

namespace swf {
namespace {

// A field laid out for its metrics is given this much room below: every line is laid out, so
// maxscroll and textHeight count lines the rectangle does not show.
constexpr int32_t kUnboundedHeight = 1 << 28;

bool sameRect(const Rect& a, const Rect& b) {
    return a.xMin == b.xMin && a.xMax == b.xMax && a.yMin == b.yMin && a.yMax == b.yMax;
}

// "\r" and "\n" are paragraph breaks, each on its own ("\r\n" is two, an empty line between);
// the runs keep '\n'.
std::u32string normalizedBreaks(const std::string& utf8) {
    std::u32string text = decodeUtf8(utf8), out;
    out.reserve(text.size());
    for (char32_t c : text) out.push_back(c == '\r' ? U'\n' : c);
    if (out.size() > kMaxLaidOutChars) out.resize(kMaxLaidOutChars);
    return out;
}

// Joins neighbouring runs of one format and drops empty ones (but keeps one run, whose format
// is the empty field's).
void compact(std::vector<StyledRun>& runs) {
    std::vector<StyledRun> out;
    for (StyledRun& r : runs) {
        if (r.text.empty()) continue;
        if (!out.empty() && formatDifferences(out.back().format, r.format) == 0) out.back().text += r.text;
        else out.push_back(std::move(r));
    }
    if (out.empty() && !runs.empty()) out.push_back({U"", runs.front().format});
    runs = std::move(out);
}

// Advanced anti-aliasing: glyphs snapped to whole pixels (or thirds of one, for subpixel fitting)
// as the field lies unscaled, and stems up to 6 % of the em heavier at the greatest thickness
// (thinner stems are not drawn: the rasterizer cannot take ink away). Returns that weight.
float applyRendering(TextLayout& layout, const TextRendering& r) {
    if (!r.advanced) return 0;
    const float step = r.gridFit == GridFit::Pixel ? kTwipsPerPixel : r.gridFit == GridFit::Subpixel ? kTwipsPerPixel / 3.0f : 0;
    if (step > 0) {
        for (LaidOutGlyph& g : layout.glyphs) {
            g.x = std::round(g.x / step) * step;
            g.baseline = std::round(g.baseline / kTwipsPerPixel) * kTwipsPerPixel;
        }
    }
    return r.thickness > 0 ? std::min(r.thickness, 200.0f) / 200 * 0.06f : 0;
}

}  // namespace

void mergeFormat(TextFormat& into, const TextFormat& from, uint32_t m) {
    if (m & kFormatFont) into.face = from.face;
    if (m & kFormatSize) into.size = from.size;
    if (m & kFormatColor) into.color = from.color;
    if (m & kFormatBold) into.bold = from.bold;
    if (m & kFormatItalic) into.italic = from.italic;
    if (m & kFormatUnderline) into.underline = from.underline;
    if (m & kFormatUrl) into.url = from.url;
    if (m & kFormatTarget) into.target = from.target;
    if (m & kFormatAlign) into.align = from.align;
    if (m & kFormatLeftMargin) into.leftMargin = from.leftMargin;
    if (m & kFormatRightMargin) into.rightMargin = from.rightMargin;
    if (m & kFormatIndent) into.indent = from.indent;
    if (m & kFormatLeading) into.leading = from.leading;
    if (m & kFormatBlockIndent) into.blockIndent = from.blockIndent;
    if (m & kFormatLetterSpacing) into.letterSpacing = from.letterSpacing;
    if (m & kFormatKerning) into.kerning = from.kerning;
    if (m & kFormatBullet) into.bullet = from.bullet;
    if (m & kFormatTabStops) into.tabStops = from.tabStops;
}

uint32_t formatDifferences(const TextFormat& a, const TextFormat& b) {
    uint32_t d = 0;
    if (a.face != b.face) d |= kFormatFont;
    if (a.size != b.size) d |= kFormatSize;
    if (!(a.color == b.color)) d |= kFormatColor;
    if (a.bold != b.bold) d |= kFormatBold;
    if (a.italic != b.italic) d |= kFormatItalic;
    if (a.underline != b.underline) d |= kFormatUnderline;
    if (a.url != b.url) d |= kFormatUrl;
    if (a.target != b.target) d |= kFormatTarget;
    if (a.align != b.align) d |= kFormatAlign;
    if (a.leftMargin != b.leftMargin) d |= kFormatLeftMargin;
    if (a.rightMargin != b.rightMargin) d |= kFormatRightMargin;
    if (a.indent != b.indent) d |= kFormatIndent;
    if (a.leading != b.leading) d |= kFormatLeading;
    if (a.blockIndent != b.blockIndent) d |= kFormatBlockIndent;
    if (a.letterSpacing != b.letterSpacing) d |= kFormatLetterSpacing;
    if (a.kerning != b.kerning) d |= kFormatKerning;
    if (a.bullet != b.bullet) d |= kFormatBullet;
    if (a.tabStops != b.tabStops) d |= kFormatTabStops;
    return d;
}

TextField::TextField(const EditTextCharacter& character, TextFieldServices* services)
    : character_(character), services_(services) {
    TextFieldInput start = editTextInput(character, services ? services->swfVersion : 8);
    // The character's bounds were grown to lines drawn past the rectangle; the rectangle itself
    // is what autoSize made of the tag's, which a fresh layout gives back.
    bounds = character.bounds;
    wordWrap = start.wordWrap;
    multiline = start.multiline;
    password = start.password;
    autoSize = start.autoSize;
    border = start.border;
    background = start.background;
    html = character.html;
    embedFonts = character.useOutlines;
    selectable = character.selectable;
    input_ = !character.readOnly;
    variable = character.variableName;
    runs_ = std::move(start.runs);
    newTextFormat = runs_.empty() ? TextFormat{} : runs_.front().format;
    if (!runs_.empty()) {
        // The new-text format is the tag's: HTML markup of the initial text does not carry over.
        newTextFormat.bold = character.font && character.font->bold && !character.html;
        newTextFormat.italic = character.font && character.font->italic && !character.html;
        newTextFormat.underline = false;
        newTextFormat.kerning = false;
        newTextFormat.url.clear();
        newTextFormat.target.clear();
    }
    glyphs_ = character.glyphs;
    drawnBounds_ = character.bounds;
    if (services_) {
        TextFieldInput in = input();
        TextLayout first = layoutText(in, services_->fonts.lookupFor(in));
        bounds = first.bounds;
        drawnBounds_ = bounds;
        overflows_ = !sameRect(drawnTextBounds(first), first.bounds);
    }
}

void TextField::resetText() {
    if (html) setHtmlText(character_.initialText);
    else setText(character_.initialText);
}

std::u32string TextField::text() const { return plainText(runs_); }

std::string TextField::textUtf8() const {
    std::u32string t = text();
    for (char32_t& c : t)
        if (c == '\n') c = '\r';  // the original reads breaks back as "\r"
    return encodeUtf8(t);
}

size_t TextField::length() const {
    size_t n = 0;
    for (const StyledRun& r : runs_) n += r.text.size();
    return n;
}

void TextField::setRuns(std::vector<StyledRun> runs) {
    if (runs.empty()) runs.push_back({U"", newTextFormat});
    compact(runs);
    runs_ = std::move(runs);
    const size_t n = length();
    selectionBegin = std::min(selectionBegin, n);
    selectionEnd = std::min(selectionEnd, n);
    caret = std::min(caret, n);
    changed();
}

void TextField::setText(const std::string& utf8) {
    std::u32string t = normalizedBreaks(utf8);
    if (maxChars > 0 && t.size() > size_t(maxChars)) t.resize(size_t(maxChars));
    setRuns({{std::move(t), newTextFormat}});
}

std::string TextField::htmlText() const {
    if (styled) return styledSource ? *styledSource : writeHtmlText(runs_);
    if (!html) return textUtf8();
    return writeHtmlText(runs_);
}

void TextField::setHtmlText(const std::string& source) {
    if (!html) {
        setText(source);
        return;
    }
    setRuns(parseHtmlText(source, newTextFormat, HtmlRules{multiline, condenseWhite, services_ ? services_->swfVersion : 8}));
}

void TextField::setStyledText(const std::string& source, const HtmlStyleLookup& styles) {
    HtmlRules rules{multiline, condenseWhite, services_ ? services_->swfVersion : 8, styles};
    setRuns(parseHtmlText(source, newTextFormat, rules));
    styledSource = source;
}

void TextField::replaceText(size_t begin, size_t end, const std::string& utf8) {
    size_t total = length();
    begin = std::min(begin, total);
    end = std::min(std::max(end, begin), total);
    std::u32string inserted = normalizedBreaks(utf8);
    if (total - (end - begin) + inserted.size() > kMaxLaidOutChars) return;
    TextFormat format = newTextFormat;
    if (begin < total) format = formatOf(begin, begin + 1).format;
    else if (total > 0) format = formatOf(total - 1, total).format;
    std::vector<StyledRun> out;
    size_t at = 0;
    bool placed = false;
    for (const StyledRun& r : runs_) {
        size_t from = at, to = at + r.text.size();
        at = to;
        if (from < begin) out.push_back({r.text.substr(0, std::min(to, begin) - from), r.format});
        if (!placed && to >= begin) {
            out.push_back({inserted, format});
            placed = true;
        }
        if (to > end) {
            size_t keep = std::max(from, end);
            out.push_back({r.text.substr(keep - from), r.format});
        }
    }
    if (!placed) out.push_back({inserted, format});
    setRuns(std::move(out));
}

TextField::FormatQuery TextField::formatOf(size_t begin, size_t end) const {
    FormatQuery q;
    bool first = true;
    size_t at = 0;
    for (const StyledRun& r : runs_) {
        size_t from = at, to = at + r.text.size();
        at = to;
        if (to <= begin || from >= end || r.text.empty()) continue;
        if (first) {
            q.format = r.format;
            first = false;
        } else {
            q.mixed |= formatDifferences(q.format, r.format);
        }
    }
    if (first) q.format = runs_.empty() ? newTextFormat : runs_.back().format;
    return q;
}

void TextField::applyFormat(size_t begin, size_t end, const TextFormat& format, uint32_t members) {
    // Paragraph members apply to whole paragraphs: widen the range to their breaks.
    const uint32_t paragraph = kFormatAlign | kFormatLeftMargin | kFormatRightMargin | kFormatIndent |
                               kFormatLeading | kFormatBlockIndent | kFormatBullet | kFormatTabStops;
    std::u32string all = text();
    end = std::min(end, all.size());
    if (begin >= end) return;
    size_t pBegin = begin, pEnd = end;
    if (members & paragraph) {
        while (pBegin > 0 && all[pBegin - 1] != '\n') --pBegin;
        while (pEnd < all.size() && all[pEnd - 1] != '\n') ++pEnd;
    }
    std::vector<StyledRun> out;
    size_t at = 0;
    for (const StyledRun& r : runs_) {
        for (char32_t c : r.text) {
            TextFormat f = r.format;
            if (at >= begin && at < end) mergeFormat(f, format, members & ~paragraph);
            if (at >= pBegin && at < pEnd) mergeFormat(f, format, members & paragraph);
            if (out.empty() || formatDifferences(out.back().format, f) != 0) out.push_back({U"", f});
            out.back().text.push_back(c);
            ++at;
        }
    }
    setRuns(std::move(out));
}

TextFieldInput TextField::input() const {
    TextFieldInput in;
    in.runs = runs_;
    in.bounds = bounds;
    in.wordWrap = wordWrap;
    in.multiline = multiline;
    in.password = password;
    in.autoSize = autoSize;
    in.border = border;
    in.background = background;
    in.borderColor = borderColor;
    in.backgroundColor = backgroundColor;
    in.embedFonts = embedFonts;
    in.measureTrailingSpaces = services_ && services_->swfVersion < 8;
    if (embedFonts && character_.font && !character_.font->glyphs.empty()) in.embeddedFont = character_.font;
    return in;
}

void TextField::layoutIfStale() {
    if (laidOut_ == version_) return;
    laidOut_ = version_;
    TextFieldInput in = input();
    if (autoSize == AutoSize::None) in.bounds.yMax = std::max(in.bounds.yMax, in.bounds.yMin + kUnboundedHeight);
    layout_ = services_ ? layoutText(in, services_->fonts.lookupFor(in)) : TextLayout{};
    if (autoSize == AutoSize::None) layout_.bounds = bounds;
    else bounds = layout_.bounds;  // autoSize moved the rectangle to the text
    if (!services_) layout_.bounds = bounds;
}

const TextLayout& TextField::layout() {
    layoutIfStale();
    return layout_;
}

int TextField::lineCount() { return int(layout().lines.size()); }

// The last first line that still shows the end of the text: the lines from it on fit.
int TextField::maxScroll() {
    const TextLayout& l = layout();
    if (l.lines.empty()) return 1;
    const float room = float(bounds.yMax - bounds.yMin) - 2 * kTextGutter;
    const LaidOutLine& last = l.lines.back();
    const float bottom = last.top + last.ascent + last.descent;
    int first = int(l.lines.size());
    while (first > 1 && bottom - l.lines[size_t(first - 2)].top <= room) --first;
    return first;
}

int TextField::maxHscroll() {
    const TextLayout& l = layout();
    const float room = float(bounds.xMax - bounds.xMin) - 2 * kTextGutter;
    return std::max(0, int((l.textWidth - room) / kTwipsPerPixel));
}

int TextField::bottomScroll() {
    const TextLayout& l = layout();
    if (l.lines.empty()) return 1;
    size_t first = size_t(std::clamp(scroll, 1, int(l.lines.size())) - 1);
    const float top = l.lines[first].top;
    const float room = float(bounds.yMax - bounds.yMin) - 2 * kTextGutter;
    size_t last = first;
    while (last + 1 < l.lines.size()) {
        const LaidOutLine& next = l.lines[last + 1];
        if (next.top + next.ascent + next.descent - top > room) break;
        ++last;
    }
    return int(last) + 1;
}

void TextField::refresh() {
    if (drawn_ == version_ && version_ != 0) return;
    if (version_ == 0) return;  // unchanged: the tag's own glyphs
    drawn_ = version_;
    if (!services_) {
        glyphs_.clear();
        drawnBounds_ = bounds;
        return;
    }
    TextLayout shown = layout();
    // Scrolled: the lines before the first shown go, the others move up by their height.
    scroll = std::clamp(scroll, 1, maxScroll());
    if (!shown.lines.empty() && scroll > 1) {
        const float shift = shown.lines[size_t(scroll - 1)].top - shown.lines[0].top;
        const float cut = shown.lines[size_t(scroll - 1)].top;
        shown.glyphs.erase(std::remove_if(shown.glyphs.begin(), shown.glyphs.end(),
                                          [&](const LaidOutGlyph& g) { return g.baseline < cut; }),
                           shown.glyphs.end());
        for (LaidOutGlyph& g : shown.glyphs) g.baseline -= shift;
        shown.underlines.erase(std::remove_if(shown.underlines.begin(), shown.underlines.end(),
                                              [&](const LaidOutRect& r) { return r.y0 < cut; }),
                               shown.underlines.end());
        for (LaidOutRect& r : shown.underlines) r.y0 -= shift, r.y1 -= shift;
        shown.lines.erase(shown.lines.begin(), shown.lines.begin() + (scroll - 1));
        for (LaidOutLine& line : shown.lines) line.top -= shift;
    }
    // Lines starting below the rectangle are not drawn.
    const float bottom = float(bounds.yMax) - kTextGutter;
    float limit = 3e38f;
    for (size_t i = 1; i < shown.lines.size(); ++i)
        if (shown.lines[i].top >= bottom) {
            limit = shown.lines[i].top;
            break;
        }
    shown.glyphs.erase(std::remove_if(shown.glyphs.begin(), shown.glyphs.end(),
                                      [&](const LaidOutGlyph& g) { return g.baseline >= limit; }),
                       shown.glyphs.end());
    shown.underlines.erase(std::remove_if(shown.underlines.begin(), shown.underlines.end(),
                                          [&](const LaidOutRect& r) { return r.y0 >= limit; }),
                           shown.underlines.end());
    TextFieldInput in = input();
    in.bounds = bounds;
    glyphs_ = drawTextField(shown, in, services_->glyphs, applyRendering(shown, rendering));
    overflows_ = !sameRect(drawnTextBounds(shown), shown.bounds) || scroll > 1;
    drawnBounds_ = bounds;
}

}  // namespace swf
