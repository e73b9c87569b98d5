#include "text_layout.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace swf {
namespace {

constexpr char32_t kBullet = 0x2022;
constexpr char32_t kNoBreakSpace = 0xa0;

struct Char {
    char32_t code = 0;
    const TextFormat* format = nullptr;
    const LayoutFont* font = nullptr;
    size_t fontIndex = 0;
    int glyph = -1;
    float size = 0;     // twips per EM
    float advance = 0;  // twips, letter spacing and kerning included
};

struct LineMetrics {
    float ascent = 0, descent = 0, leading = 0;
};

class Layouter {
public:
    Layouter(const TextFieldInput& field, const FontLookup& lookup) : field_(field), lookup_(lookup) {}

    TextLayout run() {
        gatherChars();
        out_.bounds = field_.bounds;
        breakParagraphs();
        applyAutoSize();
        place();
        return std::move(out_);
    }

private:
    struct Line {
        size_t begin = 0, end = 0;  // chars, '\n' excluded
        const TextFormat* paragraph = nullptr;
        size_t paragraphFont = 0;  // into fonts_: the font of the paragraph's first character
        bool firstOfParagraph = false, lastOfParagraph = false;
        float ink = 0;   // advances without the trailing spaces
        float full = 0;  // advances with them
        LineMetrics metrics;
    };

    size_t fontFor(const TextFormat& format) {
        fonts_.push_back(lookup_ ? lookup_(format) : nullptr);
        return fonts_.size() - 1;
    }

    void gatherChars() {
        for (const StyledRun& run : field_.runs) {
            size_t fontIndex = fontFor(run.format);
            const LayoutFont* font = fonts_[fontIndex].get();
            float size = std::max(0.0f, run.format.size);
            for (char32_t code : run.text) {
                if (chars_.size() >= kMaxLaidOutChars) break;
                if (code == '\r') code = '\n';
                if (field_.password && code != '\n') code = '*';
                Char c{code, &run.format, font, fontIndex, -1, size, 0};
                if (code != '\n' && code != '\t' && font) {
                    c.glyph = font->glyphFor(code);
                    if (c.glyph < 0 && code == kNoBreakSpace) c.glyph = font->glyphFor(' ');
                    // A character the font lacks still takes some room, so words stay apart.
                    c.advance = c.glyph >= 0 ? font->advance(c.glyph) : font->unitsPerEm() / 3;  // EM units
                    if (run.format.kerning && !chars_.empty()) {
                        Char& prev = chars_.back();
                        if (prev.font == font && prev.glyph >= 0 && c.glyph >= 0)
                            prev.advance += font->kerning(prev.glyph, c.glyph);
                    }
                }
                chars_.push_back(c);
            }
        }
        for (Char& c : chars_)
            if (c.font) c.advance = advanceTwips(*c.font, c.advance, c.size, c.format->letterSpacing);
    }

    // A device font advances by whole pixels and its letter spacing is whole pixels too, never
    // taking a character's advance to nothing or below (letterSpacing -2 on 2-pixel text keeps
    // the text as it is). Embedded outlines advance by whole twips, truncated, plus the spacing.
    static float advanceTwips(const LayoutFont& font, float units, float size, float letterSpacing) {
        float twips = font.unitsPerEm() > 0 ? std::trunc(units * size / font.unitsPerEm()) : 0;
        if (!font.pixelFitted()) return twips + letterSpacing;
        float unspaced = std::round(twips / kTwipsPerPixel) * kTwipsPerPixel;
        float spaced = unspaced + std::nearbyint(letterSpacing / kTwipsPerPixel) * kTwipsPerPixel;
        return spaced > 0 ? spaced : unspaced;
    }

    // A tab moves the pen to the next stop past it, counted from the line's start: the format's
    // tab stops (past the last one a tab does nothing), or without them every 2.7 EM of the
    // tab's size (12-point text: every 32.4 pixels).
    static float tabAdvance(const Char& tab, float x) {
        if (!tab.format->tabStops.empty()) {
            for (float stop : tab.format->tabStops)
                if (stop > x) return stop - x;
            return 0;
        }
        float interval = tab.size * 2.7f;
        if (!(interval > 0)) return 0;
        return (std::floor(x / interval) + 1) * interval - x;
    }

    // A bulleted paragraph's text starts 35 pixels in whatever its size; the bullet sits in the
    // middle of that room.
    static constexpr float kBulletIndent = 35 * kTwipsPerPixel;
    float bulletIndent(const TextFormat& f) const { return f.bullet ? kBulletIndent : 0; }

    // Room for the text of a line between the margins, indents and gutters.
    float available(const TextFormat& f, bool first, const Rect& bounds) const {
        float room = (float(bounds.xMax) - float(bounds.xMin)) - 2 * kTextGutter - f.leftMargin - f.rightMargin - f.blockIndent -
                     (first ? f.indent : 0) - bulletIndent(f);
        return std::max(0.0f, room);
    }

    LineMetrics metricsOf(size_t begin, size_t end, const TextFormat& paragraph, size_t paragraphFont) {
        LineMetrics m;
        bool any = false;
        for (size_t i = begin; i < end; ++i) {
            const Char& c = chars_[i];
            if (!c.font) continue;
            float scale = c.size / c.font->unitsPerEm();
            m.ascent = std::max(m.ascent, std::trunc(c.font->ascent() * scale));
            m.descent = std::max(m.descent, std::trunc(c.font->descent() * scale));
            m.leading = any ? std::max(m.leading, c.format->leading) : c.format->leading;
            any = true;
        }
        if (!any) {  // an empty line is as tall as its paragraph's font
            const LayoutFont* font = fonts_[paragraphFont].get();
            if (font && font->unitsPerEm() > 0) {
                float scale = paragraph.size / font->unitsPerEm();
                m.ascent = std::trunc(font->ascent() * scale);
                m.descent = std::trunc(font->descent() * scale);
            }
            m.leading = paragraph.leading;
        }
        return m;
    }

    void addLine(size_t begin, size_t end, const TextFormat& paragraph, size_t font, bool first) {
        Line line;
        line.begin = begin;
        line.end = end;
        line.paragraph = &paragraph;
        line.paragraphFont = font;
        line.firstOfParagraph = first;
        size_t inkEnd = end;
        while (inkEnd > begin && chars_[inkEnd - 1].code == ' ') --inkEnd;
        for (size_t i = begin; i < inkEnd; ++i) line.ink += chars_[i].advance;
        line.full = line.ink;
        for (size_t i = inkEnd; i < end; ++i) line.full += chars_[i].advance;
        line.metrics = metricsOf(begin, end, paragraph, font);
        lines_.push_back(line);
    }

    void breakParagraph(size_t begin, size_t end, const TextFormat& paragraph, size_t font) {
        bool first = true;
        size_t start = begin, lastBreak = SIZE_MAX;
        float width = 0;
        for (size_t i = begin; i < end; ++i) {
            Char& c = chars_[i];
            if (c.code == '\t') c.advance = tabAdvance(c, width);
            bool space = c.code == ' ';
            if (field_.wordWrap && !space && i > start && width + c.advance > available(paragraph, first, field_.bounds)) {
                size_t cut = lastBreak != SIZE_MAX && lastBreak > start ? lastBreak : i;
                addLine(start, cut, paragraph, font, first);
                first = false;
                start = cut;
                lastBreak = SIZE_MAX;
                width = 0;
                for (size_t k = start; k < i; ++k) {
                    if (chars_[k].code == '\t') chars_[k].advance = tabAdvance(chars_[k], width);
                    width += chars_[k].advance;
                }
                if (c.code == '\t') c.advance = tabAdvance(c, width);
            }
            width += c.advance;
            if (space) lastBreak = i + 1;
        }
        addLine(start, end, paragraph, font, first);
        lines_.back().lastOfParagraph = true;
    }

    void breakParagraphs() {
        static const TextFormat kDefault;
        size_t begin = 0;
        for (size_t i = 0; i <= chars_.size(); ++i) {
            if (i < chars_.size() && chars_[i].code != '\n') continue;
            if (begin < chars_.size()) {
                breakParagraph(begin, i, *chars_[begin].format, chars_[begin].fontIndex);
            } else if (!chars_.empty()) {  // after a final '\n': the empty line in its format
                breakParagraph(begin, i, *chars_.back().format, chars_.back().fontIndex);
            } else {
                const TextFormat& f = field_.runs.empty() ? kDefault : field_.runs.front().format;
                breakParagraph(begin, i, f, fontFor(f));
            }
            begin = i + 1;
        }
    }

    // textWidth counts the text alone, without margins, indents and bullets. Before SWF 8 a
    // line's trailing spaces count; since, only those of a left-aligned line do.
    float textWidthOf(const Line& line) const {
        bool spaces = field_.measureTrailingSpaces || line.paragraph->align == TextAlign::Left;
        return spaces ? line.full : line.ink;
    }

    // What autoSize makes room for: the text and the paragraph's margins and indents.
    float lineNeed(const Line& line) const {
        const TextFormat& f = *line.paragraph;
        return textWidthOf(line) + f.leftMargin + f.rightMargin + f.blockIndent + (line.firstOfParagraph ? f.indent : 0) +
               bulletIndent(f);
    }

    void applyAutoSize() {
        float height = 0, width = 0, need = 0;
        std::optional<float> measured;
        // A field without text measures nothing: autoSize leaves the gutters only.
        const bool empty = chars_.empty();
        for (size_t n = 0; n < lines_.size() && !empty; ++n) {
            const LineMetrics& m = lines_[n].metrics;
            // textHeight leaves out the empty line after a final break, though not the leading
            // above it: five list items with their closing breaks measure as their five lines.
            // autoSize still makes room for it.
            if (n > 0 && lines_[n].begin == chars_.size()) measured = height;
            // The leading between lines counts; a single line counts its own leading too.
            height += m.ascent + m.descent + (n + 1 < lines_.size() || lines_.size() == 1 ? m.leading : 0);
            width = std::max(width, textWidthOf(lines_[n]));
            need = std::max(need, lineNeed(lines_[n]));
        }
        out_.textWidth = width;
        out_.textHeight = measured.value_or(height);
        if (field_.autoSize == AutoSize::None) return;
        Rect& b = out_.bounds;
        b.yMax = rectTwips(float(b.yMin) + height + 2 * kTextGutter);
        if (field_.wordWrap) return;
        int32_t newWidth = rectTwips(need + 2 * kTextGutter);
        if (field_.autoSize == AutoSize::Left) {
            b.xMax = rectTwips(float(b.xMin) + float(newWidth));
        } else if (field_.autoSize == AutoSize::Right) {
            b.xMin = rectTwips(float(b.xMax) - float(newWidth));
        } else {
            float centre = (float(b.xMin) + float(b.xMax)) / 2;
            b.xMin = rectTwips(centre - float(newWidth / 2));
            b.xMax = rectTwips(float(b.xMin) + float(newWidth));
        }
    }

    void place() {
        const Rect& b = out_.bounds;
        float top = float(b.yMin) + kTextGutter;
        for (const Line& line : lines_) {
            if (&line != &lines_.front() && top >= float(b.yMax) - kTextGutter) break;
            const TextFormat& f = *line.paragraph;
            float left = float(b.xMin) + kTextGutter + f.leftMargin + f.blockIndent + bulletIndent(f) +
                         (line.firstOfParagraph ? f.indent : 0);
            float room = available(f, line.firstOfParagraph, b);
            float x = left, spaceStretch = 0;
            switch (f.align) {
                case TextAlign::Left: break;
                case TextAlign::Right: x = left + room - line.ink; break;
                case TextAlign::Center: x = left + (room - line.ink) / 2; break;
                case TextAlign::Justify:
                    if (field_.wordWrap && !line.lastOfParagraph) {
                        size_t spaces = 0;
                        for (size_t i = line.begin; i < line.end; ++i) spaces += chars_[i].code == ' ';
                        size_t trailing = 0;
                        for (size_t i = line.end; i > line.begin && chars_[i - 1].code == ' '; --i) ++trailing;
                        spaces -= trailing;
                        if (spaces > 0 && room > line.ink) spaceStretch = (room - line.ink) / float(spaces);
                    }
                    break;
            }
            float baseline = top + line.metrics.ascent;
            LaidOutLine laid{x, line.ink, top, line.metrics.ascent, line.metrics.descent, line.metrics.leading,
                             line.begin, line.end - line.begin};
            out_.lines.push_back(laid);
            if (f.bullet && line.firstOfParagraph) placeBullet(f, line.paragraphFont, left - bulletIndent(f), baseline);
            placeGlyphs(line, x, baseline, spaceStretch);
            top = baseline + line.metrics.descent + line.metrics.leading;
        }
    }

    void placeBullet(const TextFormat& f, size_t fontIndex, float x, float baseline) {
        const LayoutFont* font = fonts_[fontIndex].get();
        if (!font) return;
        int glyph = font->glyphFor(kBullet);
        if (glyph < 0) glyph = font->glyphFor('*');
        if (glyph < 0) return;
        out_.glyphs.push_back({fonts_[fontIndex], glyph, x + kBulletIndent / 2, baseline, f.size, f.color});
    }

    void placeGlyphs(const Line& line, float x, float baseline, float spaceStretch) {
        const float rightEdge = float(out_.bounds.xMax);
        size_t inkEnd = line.end;  // spaces inside the line are underlined, trailing ones not
        while (inkEnd > line.begin && chars_[inkEnd - 1].code == ' ') --inkEnd;
        for (size_t i = line.begin; i < line.end; ++i) {
            const Char& c = chars_[i];
            // Past the right edge nothing shows: the field clips its text.
            if (c.glyph >= 0 && x < rightEdge)
                out_.glyphs.push_back({fonts_[c.fontIndex], c.glyph, x, baseline, c.size, c.format->color});
            float next = x + c.advance + (c.code == ' ' ? spaceStretch : 0);
            if (c.format->underline && i < inkEnd) underline(x, next, baseline, *c.format);
            x = next;
        }
    }

    // Underlines of neighbouring characters in one format join into one bar.
    void underline(float x0, float x1, float baseline, const TextFormat& f) {
        float y0 = baseline + std::max(float(kTwipsPerPixel), f.size / 16);
        float y1 = y0 + std::max(float(kTwipsPerPixel), f.size / 20);
        if (!out_.underlines.empty()) {
            LaidOutRect& last = out_.underlines.back();
            if (std::fabs(last.x1 - x0) < 0.5f && last.y0 == y0 && last.color == f.color) {
                last.x1 = x1;
                return;
            }
        }
        out_.underlines.push_back({x0, y0, x1, y1, f.color});
    }

    const TextFieldInput& field_;
    const FontLookup& lookup_;
    std::vector<std::shared_ptr<const LayoutFont>> fonts_;
    std::vector<Char> chars_;
    std::vector<Line> lines_;
    TextLayout out_;
};

}  // namespace

TextLayout layoutText(const TextFieldInput& field, const FontLookup& fonts) { return Layouter(field, fonts).run(); }

int32_t rectTwips(float v) {
    constexpr float kLimit = float(1 << 30);
    if (!(v > -kLimit)) return -(1 << 30);  // NaN too
    if (v >= kLimit) return 1 << 30;
    return int32_t(std::ceil(v));
}

}  // namespace swf
