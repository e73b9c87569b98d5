#include "html_text.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <tuple>
#include <utility>

#include "utf8.h"

namespace swf {
namespace {

constexpr size_t kMaxNesting = 64;  // deeper markup keeps the innermost format in force
constexpr size_t kMaxChars = 64 * 1024;  // what the layout takes of a field; the rest is dropped

bool sameFormat(const TextFormat& a, const TextFormat& b) {
    auto key = [](const TextFormat& f) {
        return std::tie(f.face, f.size, f.bold, f.italic, f.underline, f.url, f.target, f.align, f.leftMargin,
                        f.rightMargin, f.indent, f.blockIndent, f.leading, f.letterSpacing, f.kerning, f.bullet, f.tabStops);
    };
    return key(a) == key(b) && a.color == b.color;
}

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(uint8_t(c)));
    return s;
}

struct Tag {
    std::string name;  // lower case, without the '/'
    bool closing = false;
    std::vector<std::pair<std::string, std::string>> attributes;  // names lower case

    const std::string* attribute(const char* n) const {
        for (const auto& [k, v] : attributes)
            if (k == n) return &v;
        return nullptr;
    }
};

Tag parseTag(const std::string& body) {
    Tag tag;
    size_t i = 0;
    auto skipSpace = [&] { while (i < body.size() && std::isspace(uint8_t(body[i]))) ++i; };
    skipSpace();
    if (i < body.size() && body[i] == '/') {
        tag.closing = true;
        ++i;
    }
    size_t start = i;
    while (i < body.size() && !std::isspace(uint8_t(body[i])) && body[i] != '/') ++i;
    tag.name = lower(body.substr(start, i - start));
    while (i < body.size()) {
        skipSpace();
        start = i;
        while (i < body.size() && body[i] != '=' && !std::isspace(uint8_t(body[i])) && body[i] != '/') ++i;
        std::string name = lower(body.substr(start, i - start));
        if (name.empty()) {
            ++i;
            continue;
        }
        skipSpace();
        std::string value;
        if (i < body.size() && body[i] == '=') {
            ++i;
            skipSpace();
            if (i < body.size() && (body[i] == '"' || body[i] == '\'')) {
                char quote = body[i++];
                size_t end = body.find(quote, i);
                if (end == std::string::npos) end = body.size();
                value = body.substr(i, end - i);
                i = end + 1;
            } else {
                start = i;
                while (i < body.size() && !std::isspace(uint8_t(body[i]))) ++i;
                value = body.substr(start, i - start);
            }
        }
        tag.attributes.emplace_back(std::move(name), std::move(value));
    }
    return tag;
}

// "12" in whole points (the digits before any other character: "1.9" is 1, "+0.2" adds
// nothing), "+2" / "-2" relative to the size in force; 1 to 127 points; twips out.
float fontSize(const std::string& value, float current) {
    char* end = nullptr;
    long points = std::strtol(value.c_str(), &end, 10);
    if (end == value.c_str()) return current;
    double twips = double(std::clamp(points, -1000L, 1000L)) * kTwipsPerPixel;
    if (!value.empty() && (value[0] == '+' || value[0] == '-')) twips += current;
    return float(std::clamp(twips, 20.0, 127.0 * 20));
}

float pixels(const std::string& value) {
    return float(std::clamp(std::strtod(value.c_str(), nullptr), -720.0, 720.0)) * kTwipsPerPixel;
}

// "10,20,30": stops in pixels; what is not a number ends the list.
std::vector<float> tabStopList(const std::string& value) {
    constexpr size_t kMaxStops = 64;
    std::vector<float> stops;
    const char* at = value.c_str();
    while (*at && stops.size() < kMaxStops) {
        char* end = nullptr;
        double v = std::strtod(at, &end);
        if (end == at) break;
        stops.push_back(float(std::clamp(v, -1e6, 1e6)) * kTwipsPerPixel);
        at = end;
        while (*at == ' ') ++at;
        if (*at != ',') break;
        ++at;
    }
    return stops;
}

// "#RRGGBB": the hex digits after '#' (and any white space after it) up to the first other
// character, the last six of them counting ("#2345678" is 345678, "#2g" is 2, "#  234567"
// is 234567); no '#' or no digit leaves the colour.
bool parseColor(const std::string& value, Rgba& out) {
    if (value.empty() || value[0] != '#') return false;
    uint32_t rgb = 0;
    size_t digits = 0;
    size_t first = 1;
    while (first < value.size() && std::isspace(uint8_t(value[first]))) ++first;
    for (size_t i = first; i < value.size() && std::isxdigit(uint8_t(value[i])); ++i, ++digits) {
        char c = char(std::tolower(uint8_t(value[i])));
        rgb = ((rgb << 4) | uint32_t(c <= '9' ? c - '0' : c - 'a' + 10)) & 0xffffff;
    }
    if (digits == 0) return false;
    out = Rgba{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), out.a};
    return true;
}

TextAlign parseAlign(const std::string& value, TextAlign current) {
    std::string v = lower(value);
    if (v == "left") return TextAlign::Left;
    if (v == "right") return TextAlign::Right;
    if (v == "center") return TextAlign::Center;
    if (v == "justify") return TextAlign::Justify;
    return current;
}

// Applies an opening tag to the format in force; false for tags that change nothing.
bool applyTag(const Tag& tag, TextFormat& f, int swfVersion) {
    if (tag.name == "b") {
        f.bold = true;
    } else if (tag.name == "i") {
        f.italic = true;
    } else if (tag.name == "u") {
        f.underline = true;
    } else if (tag.name == "a") {
        if (auto* v = tag.attribute("href")) f.url = *v;
        if (auto* v = tag.attribute("target")) f.target = *v;
    } else if (tag.name == "font") {
        if (auto* v = tag.attribute("face")) f.face = *v;
        if (auto* v = tag.attribute("size")) f.size = fontSize(*v, f.size);
        if (auto* v = tag.attribute("color")) parseColor(*v, f.color);
        if (auto* v = tag.attribute("letterspacing")) f.letterSpacing = pixels(*v);
        // Older movies write KERNING out but never read it back.
        if (auto* v = tag.attribute("kerning"); v && swfVersion >= 8) f.kerning = *v == "1" || lower(*v) == "true";
    } else if (tag.name == "p") {
        if (auto* v = tag.attribute("align")) f.align = parseAlign(*v, f.align);
    } else if (tag.name == "li") {
        f.bullet = true;
    } else if (tag.name == "textformat") {
        if (auto* v = tag.attribute("leftmargin")) f.leftMargin = pixels(*v);
        if (auto* v = tag.attribute("rightmargin")) f.rightMargin = pixels(*v);
        if (auto* v = tag.attribute("indent")) f.indent = pixels(*v);
        if (auto* v = tag.attribute("blockindent")) f.blockIndent = pixels(*v);
        if (auto* v = tag.attribute("leading")) f.leading = pixels(*v);
        if (auto* v = tag.attribute("tabstops")) f.tabStops = tabStopList(*v);
    } else {
        return false;
    }
    return true;
}

// The style sheet's styles of a tag: its element's, then its class's (".name", lower case);
// whether any applied.
bool applyStyles(const Tag& tag, const HtmlStyleLookup& styles, TextFormat& f) {
    bool any = styles(tag.name, f);
    if (const std::string* cls = tag.attribute("class")) any = styles("." + lower(*cls), f) || any;
    return any;
}

// One entity at s[i] == '&'; false (and nothing consumed) when it is not one.
bool readEntity(const std::string& s, size_t& i, char32_t& out) {
    size_t end = s.find(';', i);
    if (end == std::string::npos || end - i > 10) return false;
    std::string name = s.substr(i + 1, end - i - 1);
    static const std::pair<const char*, char32_t> named[] = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xa0}};
    for (auto [n, c] : named) {
        if (name == n) {
            out = c;
            i = end + 1;
            return true;
        }
    }
    if (name.size() < 2 || name[0] != '#') return false;
    bool hex = name[1] == 'x' || name[1] == 'X';
    std::string digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return false;
    char* stop = nullptr;
    unsigned long code = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
    if (*stop != '\0' || code == 0 || code > 0x10ffff) return false;
    out = char32_t(code);
    i = end + 1;
    return true;
}

// The members a <font> tag sets.
void copyFont(const TextFormat& from, TextFormat& to) {
    to.face = from.face;
    to.size = from.size;
    to.color = from.color;
    to.letterSpacing = from.letterSpacing;
    to.kerning = from.kerning;
}

// The members of a character rather than of its paragraph.
void copyCharacterFormat(const TextFormat& from, TextFormat& to) {
    copyFont(from, to);
    to.bold = from.bold;
    to.italic = from.italic;
    to.underline = from.underline;
    to.url = from.url;
    to.target = from.target;
}

class RunBuilder {
public:
    bool condenseWhite = false;
    // Before SWF 8 white space is condensed within the text between two tags only, and may
    // begin a line.
    bool condenseBetweenTags = false;

    // A character of the text. With condenseWhite, a run of white space is one space, and
    // from SWF 8 on none at the start of a line.
    void add(char32_t c, const TextFormat& f) {
        if (condenseWhite && (c == ' ' || c == '\n' || c == '\t' || c == '\r')) {
            if (lastWasSpace_ || (lineStart_ && !condenseBetweenTags)) return;
            c = ' ';
        }
        push(c, f);
    }
    // A tag ends the text before it.
    void tag() {
        if (condenseBetweenTags) lastWasSpace_ = false;
    }
    // A line break <br> makes, in the format in force.
    void addBreak(const TextFormat& f) { push(U'\n', f); }
    // The break </p> makes. On a line with text it takes the format of the line's last
    // character ("<p><font kerning='1'>a</font></p>" breaks kerned); on an empty line the
    // field's own font and no bold, italic, underline or link ("<b><p></p></b>" is not bold).
    // The font of the last <font> element closed with nothing in it goes on to every later
    // such break, wherever it was ("<p>a<font color='#111111'></font>b</p>" breaks in that
    // colour).
    void closeParagraph(const TextFormat& current, const TextFormat& base, const TextFormat* emptyFont) {
        TextFormat f = current;
        if (lineHasFormat_) f = lineFormat_;
        else copyCharacterFormat(base, f);
        if (emptyFont) copyFont(*emptyFont, f);
        push(U'\n', f);
    }
    size_t count() const { return chars_; }
    bool atLineStart() const { return lineStart_; }
    void add(const std::string& utf8, const TextFormat& f) {
        std::u32string text = decodeUtf8(utf8);
        for (size_t i = 0; i < text.size(); ++i) {
            char32_t c = text[i];
            if (c == '\r') {
                if (i + 1 < text.size() && text[i + 1] == '\n') continue;  // "\r\n" is one break
                c = '\n';
            }
            add(c, f);
        }
    }
    std::vector<StyledRun> take() { return std::move(runs_); }

private:
    void push(char32_t c, const TextFormat& f) {
        if (chars_ >= kMaxChars) return;
        lastWasSpace_ = c == ' ';
        lineStart_ = c == '\n';
        lineHasFormat_ = !lineStart_;
        if (lineHasFormat_) lineFormat_ = f;
        ++chars_;
        if (runs_.empty() || !sameFormat(runs_.back().format, f)) runs_.push_back({{}, f});
        runs_.back().text.push_back(c);
    }

    std::vector<StyledRun> runs_;
    size_t chars_ = 0;
    bool lastWasSpace_ = false;
    bool lineStart_ = true;
    TextFormat lineFormat_;  // of the line's last character
    bool lineHasFormat_ = false;
};

}  // namespace

std::vector<StyledRun> parseHtmlText(const std::string& html, const TextFormat& base, const HtmlRules& rules) {
    RunBuilder out;
    out.condenseWhite = rules.condenseWhite;
    out.condenseBetweenTags = rules.swfVersion < 8;
    const bool dropBlankText = rules.swfVersion < 8;
    const bool paragraphsBreak = rules.multiline || rules.swfVersion < 7;
    struct OpenTag {
        std::string name;
        TextFormat before;  // the format in force before it
        size_t charsBefore;  // the text's length when it opened
    };
    std::vector<OpenTag> stack;
    std::optional<TextFormat> emptyFont;  // of the last <font> closed with no text in it
    TextFormat current = base;
    bool paragraphOpen = false;  // a <p> whose paragraph no </p> has ended yet
    std::string pending;  // plain text not yet decoded
    // Before SWF 8, text between two tags that is only spaces and line ends is dropped
    // ("<p>a</p>\n<p>b</p>" has no break between, "<b> </b>" no text); text with anything
    // else keeps all of it.
    auto flush = [&] {
        if (!dropBlankText || pending.find_first_not_of(" \t\r\n") != std::string::npos) out.add(pending, current);
        pending.clear();
    };
    for (size_t i = 0; i < html.size();) {
        char c = html[i];
        if (c == '&') {
            char32_t code = 0;
            if (readEntity(html, i, code)) {
                appendUtf8(pending, code);  // part of the text between the tags
            } else {
                pending += html[i++];
            }
            continue;
        }
        if (c != '<') {
            pending += html[i++];
            continue;
        }
        size_t end = html.find('>', i);
        if (end == std::string::npos) break;
        flush();
        out.tag();
        Tag tag = parseTag(html.substr(i + 1, end - i - 1));
        i = end + 1;
        if (tag.name == "br") {
            if (paragraphsBreak) out.addBreak(current);
            continue;
        }
        if (tag.closing) {
            // Only the innermost open tag closes; other closers are ignored ("<b>a<i>b</b>c</i>"
            // has "c" bold and italic).
            if (stack.empty() || stack.back().name != tag.name) continue;
            // <p> inside <p> is one paragraph: its first </p> ends it, the others break nothing
            // ("<p>a<p>b</p>c</p>" is "ab", a break, "c").
            if (tag.name == "p" && std::exchange(paragraphOpen, false) && paragraphsBreak)
                out.closeParagraph(current, base, emptyFont ? &*emptyFont : nullptr);
            // A list item's break is in the format in force.
            if (tag.name == "li" && paragraphsBreak) out.addBreak(current);
            if (tag.name == "font" && stack.back().charsBefore == out.count()) emptyFont = current;
            current = stack.back().before;
            stack.pop_back();
            continue;
        }
        TextFormat next = current;
        bool known = applyTag(tag, next, rules.swfVersion);
        if (rules.styles && (known || tag.name == "span")) known = applyStyles(tag, rules.styles, next) || known;
        if (!known) continue;
        // A list item begins a line of its own.
        if (tag.name == "li" && paragraphsBreak && !out.atLineStart()) out.addBreak(current);
        if (tag.name == "p") paragraphOpen = true;
        if (stack.size() < kMaxNesting) {
            stack.push_back({tag.name, current, out.count()});
            current = next;
        }
    }
    flush();
    return out.take();
}

std::u32string plainText(const std::vector<StyledRun>& runs) {
    std::u32string text;
    for (const StyledRun& r : runs) text += r.text;
    return text;
}

}  // namespace swf
