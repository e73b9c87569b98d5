#include "xml_document.h"

#include <cstdint>
#include <cstdlib>

#include "utf16_text.h"

namespace swf::avm1 {

namespace {

bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool isAllSpace(std::string_view s) {
    for (char c : s) {
        if (!isXmlSpace(c)) return false;
    }
    return true;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char a = s[i], b = prefix[i];
        if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
        if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
        if (a != b) return false;
    }
    return true;
}

// The code point of "#65" or "#x41"; nullopt when not a valid reference.
std::optional<uint32_t> characterReference(std::string_view body) {
    if (body.size() < 2 || body[0] != '#') return std::nullopt;
    const bool hex = body[1] == 'x' || body[1] == 'X';
    std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    uint32_t value = 0;
    for (char c : digits) {
        int d = c >= '0' && c <= '9' ? c - '0'
              : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
              : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (d < 0) return std::nullopt;
        value = value * (hex ? 16u : 10u) + static_cast<uint32_t>(d);
    }
    if (value == 0 || value > 0x10FFFF) return std::nullopt;
    return value;
}

class Parser {
public:
    Parser(std::string_view text, bool ignoreWhite, const XmlLimits& limits)
        : text_(text), ignoreWhite_(ignoreWhite), limits_(limits) {}

    XmlDocument run() {
        open_.push_back(&rootHolder_);
        while (pos_ < text_.size() && document_.status == kXmlOk) {
            if (text_[pos_] == '<') {
                readMarkup();
            } else {
                readText();
            }
        }
        if (document_.status == kXmlOk && open_.size() > 1) document_.status = kXmlMissingEndTag;
        document_.children = std::move(rootHolder_.children);
        return std::move(document_);
    }

private:
    void fail(int status) { document_.status = status; pos_ = text_.size(); }

    bool addNode(XmlNode node) {
        if (++nodeCount_ > limits_.maxNodes) {
            fail(kXmlOutOfMemory);
            return false;
        }
        open_.back()->children.push_back(std::move(node));
        return true;
    }

    void addText(std::string value) {
        XmlNode node;
        node.type = XmlNode::kText;
        node.value = std::move(value);
        addNode(std::move(node));
    }

    void readText() {
        size_t end = text_.find('<', pos_);
        if (end == std::string_view::npos) end = text_.size();
        std::string_view raw = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (ignoreWhite_ && isAllSpace(raw)) return;
        addText(decodeXmlEntities(raw));
    }

    // Copies "<start ... end" into `out`, or fails with `status` when `end` never comes.
    bool readDelimited(std::string_view end, int status, std::string_view* inner = nullptr,
                       size_t skip = 0) {
        size_t close = text_.find(end, pos_ + skip);
        if (close == std::string_view::npos) {
            fail(status);
            return false;
        }
        if (inner) *inner = text_.substr(pos_ + skip, close - pos_ - skip);
        lastMarkup_ = text_.substr(pos_, close + end.size() - pos_);
        pos_ = close + end.size();
        return true;
    }

    void readMarkup() {
        std::string_view rest = text_.substr(pos_);
        std::string_view inner;
        if (rest.substr(0, 4) == "<!--") {
            readDelimited("-->", kXmlCommentNotTerminated, nullptr, 4);
        } else if (rest.substr(0, 9) == "<![CDATA[") {
            if (readDelimited("]]>", kXmlCdataNotTerminated, &inner, 9)) addText(std::string(inner));
        } else if (rest.substr(0, 2) == "<?") {
            if (readDelimited("?>", kXmlDeclarationNotTerminated)) document_.xmlDecl = std::string(lastMarkup_);
        } else if (startsWithNoCase(rest, "<!DOCTYPE") || rest.substr(0, 2) == "<!") {
            if (readDelimited(">", kXmlDoctypeNotTerminated)) document_.docTypeDecl = std::string(lastMarkup_);
        } else if (rest.substr(0, 2) == "</") {
            readEndTag();
        } else {
            readStartTag();
        }
    }

    std::string_view readName() {
        size_t start = pos_;
        while (pos_ < text_.size() && !isXmlSpace(text_[pos_]) && text_[pos_] != '/' && text_[pos_] != '>' &&
               text_[pos_] != '=' && text_[pos_] != '<') {
            ++pos_;
        }
        return text_.substr(start, pos_ - start);
    }

    void skipSpace() {
        while (pos_ < text_.size() && isXmlSpace(text_[pos_])) ++pos_;
    }

    void readEndTag() {
        pos_ += 2;
        std::string_view name = readName();
        skipSpace();
        if (pos_ >= text_.size() || text_[pos_] != '>' || name.empty()) return fail(kXmlMalformedElement);
        ++pos_;
        if (open_.size() <= 1) return fail(kXmlEndTagWithoutStartTag);
        if (open_.back()->name != name) return fail(kXmlMissingEndTag);
        open_.pop_back();
    }

    void readStartTag() {
        ++pos_;
        XmlNode element;
        element.type = XmlNode::kElement;
        element.name = std::string(readName());
        if (element.name.empty()) return fail(kXmlMalformedElement);
        for (;;) {
            skipSpace();
            if (pos_ >= text_.size()) return fail(kXmlMalformedElement);
            const char c = text_[pos_];
            if (c == '>' || (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '>')) {
                const bool empty = c == '/';
                pos_ += empty ? 2 : 1;
                if (!addNode(std::move(element))) return;
                if (!empty) {
                    if (open_.size() > limits_.maxDepth) return fail(kXmlOutOfMemory);
                    open_.push_back(&open_.back()->children.back());
                }
                return;
            }
            if (!readAttribute(element)) return;
        }
    }

    bool readAttribute(XmlNode& element) {
        std::string_view name = readName();
        skipSpace();
        if (name.empty() || pos_ >= text_.size() || text_[pos_] != '=') {
            fail(kXmlMalformedElement);
            return false;
        }
        ++pos_;
        skipSpace();
        if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) {
            fail(kXmlMalformedElement);
            return false;
        }
        const char quote = text_[pos_++];
        size_t close = text_.find(quote, pos_);
        if (close == std::string_view::npos) {
            fail(kXmlAttributeNotTerminated);
            return false;
        }
        std::string value = decodeXmlEntities(text_.substr(pos_, close - pos_));
        pos_ = close + 1;
        for (auto& attribute : element.attributes) {
            if (attribute.first == name) {
                attribute.second = std::move(value);
                return true;
            }
        }
        element.attributes.emplace_back(std::string(name), std::move(value));
        return true;
    }

    std::string_view text_;
    bool ignoreWhite_;
    XmlLimits limits_;
    size_t pos_ = 0;
    size_t nodeCount_ = 0;
    std::string_view lastMarkup_;
    XmlNode rootHolder_;
    // The open elements, outermost first. Only the innermost one gains children, so the
    // pointers to its ancestors stay valid.
    std::vector<XmlNode*> open_;
    XmlDocument document_;
};

void serializeInto(std::string& out, const XmlNode& node) {
    if (node.type == XmlNode::kText) {
        out += escapeXmlText(node.value);
        return;
    }
    if (node.name.empty()) {
        for (const auto& child : node.children) serializeInto(out, child);
        return;
    }
    out.push_back('<');
    out += node.name;
    for (const auto& [name, value] : node.attributes) {
        out.push_back(' ');
        out += name;
        out += "=\"";
        out += escapeXmlText(value);
        out.push_back('"');
    }
    if (node.children.empty()) {
        out += " />";
        return;
    }
    out.push_back('>');
    for (const auto& child : node.children) serializeInto(out, child);
    out += "</";
    out += node.name;
    out.push_back('>');
}

}  // namespace

XmlDocument parseXml(std::string_view text, bool ignoreWhite, const XmlLimits& limits) {
    return Parser(text, ignoreWhite, limits).run();
}

std::string decodeXmlEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out.push_back(text[i]);
            continue;
        }
        size_t semicolon = text.find(';', i + 1);
        // Only a short run up to ';' can be an entity; "A & B; C" keeps its '&'.
        if (semicolon == std::string_view::npos || semicolon - i > 12) {
            out.push_back('&');
            continue;
        }
        std::string_view body = text.substr(i + 1, semicolon - i - 1);
        const char* named = body == "amp" ? "&" : body == "lt" ? "<" : body == "gt" ? ">"
                          : body == "quot" ? "\"" : body == "apos" ? "'" : nullptr;
        if (named) {
            out += named;
        } else if (auto cp = characterReference(body)) {
            appendUtf8(out, *cp);
        } else {
            out.push_back('&');
            continue;
        }
        i = semicolon;
    }
    return out;
}

std::string escapeXmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default: out.push_back(c);
        }
    }
    return out;
}

std::string serializeXmlNode(const XmlNode& node) {
    std::string out;
    serializeInto(out, node);
    return out;
}

std::string serializeXmlDocument(const XmlDocument& document) {
    std::string out;
    if (document.xmlDecl) out += *document.xmlDecl;
    if (document.docTypeDecl) out += *document.docTypeDecl;
    for (const auto& child : document.children) serializeInto(out, child);
    return out;
}

}  // namespace swf::avm1
