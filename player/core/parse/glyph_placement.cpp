#include "glyph_placement.h"

#include <algorithm>
#include <cctype>

#include "limits.h"

namespace swf {

std::shared_ptr<const Shape> GlyphCache::get(const FontCharacter& font, uint32_t glyph, Rgba color) {
    if (glyph >= font.glyphs.size()) return nullptr;
    uint32_t packed = uint32_t(color.r) << 24 | uint32_t(color.g) << 16 | uint32_t(color.b) << 8 | color.a;
    auto key = std::make_tuple(&font, glyph, packed);
    auto it = shapes_.find(key);
    if (it != shapes_.end()) return it->second;
    Shape shape = font.glyphs[glyph];
    size_t edges = 0;
    for (const ShapeLayer& layer : shape.layers) edges += layer.edges.size();
    if (edges > kMaxMovieEdges - edges_) return nullptr;  // many colours of many big glyphs
    edges_ += edges;
    for (ShapeLayer& layer : shape.layers)
        for (FillStyle& fill : layer.fills) {
            fill.type = FillType::Solid;
            fill.color = color;
        }
    auto ptr = std::make_shared<const Shape>(std::move(shape));
    shapes_.emplace(key, ptr);
    return ptr;
}

void placeTextGlyphs(TextCharacter& text, GlyphCache& cache) {
    for (const TextRun& run : text.runs) {
        if (!run.font) continue;
        float scale = run.height / run.font->emSize;
        float x = run.x;
        for (const GlyphEntry& g : run.glyphs) {
            if (auto shape = cache.get(*run.font, g.index, run.color))
                text.glyphs.push_back({shape, Matrix{scale, 0, 0, scale, x, run.y}});
            x += float(g.advance);
        }
    }
}

std::string stripHtml(const std::string& html) {
    std::string out;
    for (size_t i = 0; i < html.size();) {
        char c = html[i];
        if (c == '<') {
            size_t end = html.find('>', i);
            if (end == std::string::npos) break;
            std::string tag = html.substr(i + 1, end - i - 1);
            for (char& t : tag) t = char(std::tolower(uint8_t(t)));
            if (tag == "br" || tag == "br/" || tag == "br /" || tag == "/p") out += '\n';
            i = end + 1;
        } else if (c == '&') {
            static const std::pair<const char*, char> entities[] = {
                {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&nbsp;", ' '}};
            bool matched = false;
            for (auto [name, ch] : entities) {
                if (html.compare(i, std::char_traits<char>::length(name), name) == 0) {
                    out += ch;
                    i += std::char_traits<char>::length(name);
                    matched = true;
                    break;
                }
            }
            if (!matched) out += html[i++];
        } else {
            out += html[i++];
        }
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();  // the last paragraph's end
    return out;
}

namespace {

constexpr float kGutter = 40;  // twips between the field's bounds and its text (2 pixels)

// Decodes UTF-8 (SWF 6 and later) leniently: a stray byte stands for itself.
std::vector<uint16_t> codesOf(const std::string& s) {
    std::vector<uint16_t> codes;
    for (size_t i = 0; i < s.size();) {
        uint8_t c = uint8_t(s[i]);
        if (c >= 0xc0 && c < 0xe0 && i + 1 < s.size() && (uint8_t(s[i + 1]) & 0xc0) == 0x80) {
            codes.push_back(uint16_t((c & 0x1f) << 6 | (uint8_t(s[i + 1]) & 0x3f)));
            i += 2;
        } else if (c >= 0xe0 && c < 0xf0 && i + 2 < s.size() && (uint8_t(s[i + 1]) & 0xc0) == 0x80 &&
                   (uint8_t(s[i + 2]) & 0xc0) == 0x80) {
            codes.push_back(uint16_t((c & 0x0f) << 12 | (uint8_t(s[i + 1]) & 0x3f) << 6 | (uint8_t(s[i + 2]) & 0x3f)));
            i += 3;
        } else {
            codes.push_back(c);
            ++i;
        }
    }
    return codes;
}

float advanceOf(const FontCharacter& font, int glyph) {
    if (glyph < 0) return font.emSize / 3;  // a missing glyph still takes some room
    if (font.hasLayout && size_t(glyph) < font.advances.size()) return font.advances[size_t(glyph)];
    float maxX = 0;
    for (const ShapeLayer& layer : font.glyphs[size_t(glyph)].layers)
        for (const Edge& e : layer.edges) maxX = std::max({maxX, e.from.x, e.to.x});
    return maxX + font.emSize / 20;
}

}  // namespace

void layoutEditText(EditTextCharacter& edit, GlyphCache& cache) {
    if (!edit.font || edit.password) return;
    const FontCharacter& font = *edit.font;
    std::string text = edit.html ? stripHtml(edit.initialText) : edit.initialText;
    std::vector<uint16_t> codes = codesOf(text);
    if (codes.size() > kMaxGlyphsPerText) codes.resize(kMaxGlyphsPerText);
    float scale = edit.height / font.emSize;
    float ascent = (font.hasLayout ? font.ascent : font.emSize * 0.8f) * scale;
    float descent = (font.hasLayout ? font.descent : font.emSize * 0.2f) * scale;
    float left = float(edit.bounds.xMin) + kGutter + edit.leftMargin;
    float right = float(edit.bounds.xMax) - kGutter - edit.rightMargin;
    float width = std::max(0.0f, right - left);

    // Break into lines of (glyph, advance) pairs.
    struct Item { int glyph; float advance; uint16_t code; };
    std::vector<std::vector<Item>> lines(1);
    float lineWidth = 0;
    for (uint16_t code : codes) {
        if (code == '\r' || code == '\n') {
            if (edit.multiline) {
                lines.emplace_back();
                lineWidth = 0;
            }
            continue;
        }
        int glyph = font.glyphForCode(code);
        Item item{glyph, advanceOf(font, glyph) * scale, code};
        if (edit.wordWrap && lineWidth + item.advance > width && !lines.back().empty()) {
            // Move the last word (after the last space) to a new line.
            std::vector<Item>& line = lines.back();
            size_t space = line.size();
            while (space > 0 && line[space - 1].code != ' ') --space;
            std::vector<Item> carry;
            if (space > 0 && space < line.size()) {
                carry.assign(line.begin() + long(space), line.end());
                line.resize(space);
            }
            lines.emplace_back(std::move(carry));
            lineWidth = 0;
            for (const Item& i : lines.back()) lineWidth += i.advance;
        }
        lines.back().push_back(item);
        lineWidth += item.advance;
    }

    float baseline = float(edit.bounds.yMin) + kGutter + ascent;
    for (size_t n = 0; n < lines.size(); ++n) {
        float total = 0;
        for (const Item& i : lines[n]) total += i.advance;
        float x = left + (n == 0 ? edit.indent : 0);
        if (edit.align == TextAlign::Right) x = right - total;
        if (edit.align == TextAlign::Center) x = left + (width - total) / 2;
        for (const Item& i : lines[n]) {
            if (i.glyph >= 0)
                if (auto shape = cache.get(font, uint32_t(i.glyph), edit.color))
                    edit.glyphs.push_back({shape, Matrix{scale, 0, 0, scale, x, baseline}});
            x += i.advance;
        }
        baseline += ascent + descent + edit.leading;
    }
}

}  // namespace swf
