#include "html_writer.h"

#include "utf8.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace swf {
namespace {

std::string number(float twips) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", double(std::round(twips / 20.0f * 100) / 100));
    return buf;
}

std::string colorText(Rgba c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c.r, c.g, c.b);
    return buf;
}

const char* alignText(TextAlign a) {
    switch (a) {
        case TextAlign::Right: return "RIGHT";
        case TextAlign::Center: return "CENTER";
        case TextAlign::Justify: return "JUSTIFY";
        case TextAlign::Left: break;
    }
    return "LEFT";
}

void appendEscaped(std::string& out, char32_t c) {
    switch (c) {
        case '<': out += "&lt;"; return;
        case '>': out += "&gt;"; return;
        case '&': out += "&amp;"; return;
        case '"': out += "&quot;"; return;
        case '\'': out += "&apos;"; return;
        default: break;
    }
    appendUtf8(out, c);
}

// The <FONT> attributes of `f` that differ from `base` (all of them without a base).
std::string fontAttributes(const TextFormat& f, const TextFormat* base) {
    std::string a;
    if (!base || base->face != f.face) a += " FACE=\"" + f.face + "\"";
    if (!base || base->size != f.size) a += " SIZE=\"" + number(f.size) + "\"";
    if (!base || !(base->color == f.color)) a += " COLOR=\"" + colorText(f.color) + "\"";
    if (!base || base->letterSpacing != f.letterSpacing) a += " LETTERSPACING=\"" + number(f.letterSpacing) + "\"";
    if (!base || base->kerning != f.kerning) a += std::string(" KERNING=\"") + (f.kerning ? "1" : "0") + "\"";
    return a;
}

// Whether two runs are written with the same tags.
bool sameWrittenFormat(const TextFormat& a, const TextFormat& b) {
    return fontAttributes(a, &b).empty() && a.url == b.url && a.target == b.target && a.bold == b.bold &&
           a.italic == b.italic && a.underline == b.underline;
}

// One paragraph's runs (their text without the closing break).
void writeParagraph(std::string& out, const std::vector<StyledRun>& runs) {
    const TextFormat& p = runs.front().format;
    std::string block;
    if (p.leftMargin != 0) block += " LEFTMARGIN=\"" + number(p.leftMargin) + "\"";
    if (p.rightMargin != 0) block += " RIGHTMARGIN=\"" + number(p.rightMargin) + "\"";
    if (p.indent != 0) block += " INDENT=\"" + number(p.indent) + "\"";
    if (p.blockIndent != 0) block += " BLOCKINDENT=\"" + number(p.blockIndent) + "\"";
    if (p.leading != 0) block += " LEADING=\"" + number(p.leading) + "\"";
    if (!p.tabStops.empty()) {
        block += " TABSTOPS=\"";
        for (size_t i = 0; i < p.tabStops.size(); ++i) block += (i ? "," : "") + number(p.tabStops[i]);
        block += "\"";
    }
    if (!block.empty()) out += "<TEXTFORMAT" + block + ">";
    if (p.bullet) out += "<LI>";
    else out += std::string("<P ALIGN=\"") + alignText(p.align) + "\">";
    out += "<FONT" + fontAttributes(p, nullptr) + ">";
    // FONT tags nest: a run goes back to the innermost open tag whose font it has (closing
    // those inside), or else opens a tag inside the innermost with what differs from it.
    std::vector<TextFormat> open{p};
    // Runs written with the same tags are one ("<I>text</I><I>text</I>" would be the same).
    std::vector<StyledRun> merged;
    for (const StyledRun& r : runs) {
        if (!merged.empty() && !r.text.empty() && !merged.back().text.empty() && sameWrittenFormat(merged.back().format, r.format))
            merged.back().text += r.text;
        else
            merged.push_back(r);
    }
    for (const StyledRun& r : merged) {
        const TextFormat& f = r.format;
        size_t keep = open.size();
        while (keep > 0 && !fontAttributes(f, &open[keep - 1]).empty()) --keep;
        if (keep == 0) {
            out += "<FONT" + fontAttributes(f, &open.back()) + ">";
            open.push_back(f);
        } else {
            for (; open.size() > keep; open.pop_back()) out += "</FONT>";
        }
        std::string close;
        if (!f.url.empty()) {
            out += "<A HREF=\"" + f.url + "\" TARGET=\"" + f.target + "\">";
            close = "</A>" + close;
        }
        if (f.bold) out += "<B>", close = "</B>" + close;
        if (f.italic) out += "<I>", close = "</I>" + close;
        if (f.underline) out += "<U>", close = "</U>" + close;
        for (char32_t c : r.text) appendEscaped(out, c);
        out += close;
    }
    for (size_t n = open.size(); n > 0; --n) out += "</FONT>";
    out += p.bullet ? "</LI>" : "</P>";
    if (!block.empty()) out += "</TEXTFORMAT>";
}

}  // namespace

std::string writeHtmlText(const std::vector<StyledRun>& runs) {
    std::string out;
    std::vector<StyledRun> paragraph;
    for (const StyledRun& r : runs) {
        for (size_t from = 0;;) {
            size_t br = r.text.find(U'\n', from);
            size_t to = br == std::u32string::npos ? r.text.size() : br;
            if (to > from) paragraph.push_back({r.text.substr(from, to - from), r.format});
            if (br == std::u32string::npos) break;
            if (paragraph.empty()) paragraph.push_back({U"", r.format});  // an empty line
            // A break in another format than the text before it is written as an empty run
            // ("test<FONT COLOR="#000000"></FONT>").
            else if (!sameWrittenFormat(paragraph.back().format, r.format)) paragraph.push_back({U"", r.format});
            writeParagraph(out, paragraph);
            paragraph.clear();
            from = br + 1;
        }
    }
    // Text after the last break; an empty field has no paragraph at all.
    if (!paragraph.empty()) writeParagraph(out, paragraph);
    return out;
}

}  // namespace swf
