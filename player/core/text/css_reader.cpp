#include "css_reader.h"

#include <cctype>
#include <cstring>

namespace swf {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

class CssCursor {
public:
    explicit CssCursor(const std::string& text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    size_t pos() const { return pos_; }
    void seek(size_t pos) { pos_ = pos; }
    void skip() { ++pos_; }
    std::string from(size_t start) const { return text_.substr(start, pos_ - start); }

    // White space and comments; whether there were any. An unclosed comment runs to the end.
    bool skipBlanks() {
        size_t start = pos_;
        for (;;) {
            if (!atEnd() && isSpace(text_[pos_])) {
                ++pos_;
            } else if (text_.compare(pos_, 2, "/*") == 0) {
                size_t close = text_.find("*/", pos_ + 2);
                pos_ = close == std::string::npos ? text_.size() : close + 2;
            } else {
                return pos_ != start;
            }
        }
    }

    // Up to (not over) the first of `stops`.
    std::string until(const char* stops) {
        size_t start = pos_;
        while (!atEnd() && !std::strchr(stops, text_[pos_])) ++pos_;
        return from(start);
    }

private:
    const std::string& text_;
    size_t pos_ = 0;
};

// "a, b {": the names before a block; false when a name holds a space or no block follows.
bool readSelectors(CssCursor& in, std::vector<std::string>& out) {
    for (;;) {
        in.skipBlanks();
        std::string name = in.until("{, \n\r\t");
        if (!name.empty()) out.push_back(name);
        in.skipBlanks();
        if (in.peek() == '{' && !in.atEnd()) {
            in.skip();
            if (out.empty()) out.emplace_back();
            return true;
        }
        if (in.peek() != ',' || in.atEnd()) return false;
        in.skip();
    }
}

// The block's "name: value" pairs up to its "}" (or the end of the text).
bool readProperties(CssCursor& in, std::vector<std::pair<std::string, std::string>>& out) {
    for (;;) {
        in.skipBlanks();
        if (in.atEnd()) return true;
        if (in.peek() == '}') {
            in.skip();
            return true;
        }
        size_t nameStart = in.pos();
        std::string name = in.until(": \n\r\t");
        if (in.skipBlanks()) {
            if (in.peek() == ':' && !in.atEnd()) name = in.from(nameStart);  // trailing spaces are kept
            else if (!in.atEnd()) return false;                              // a space inside the name
        }
        if (in.atEnd()) return false;  // a name without a value
        in.skip();                     // the colon
        in.skipBlanks();
        size_t valueStart = in.pos();
        std::string value = in.until(";:}");
        for (;;) {
            if (in.atEnd()) return false;
            char stop = in.peek();
            if (stop == ':') {
                // A value holding a colon runs to the end of its line, or to ";" or "}" when
                // the text has no line end left.
                in.seek(valueStart);
                std::string line = in.until("\n\r");
                if (!in.atEnd()) {
                    in.skip();
                    out.emplace_back(name, line);
                    break;
                }
                in.seek(valueStart);
                value = in.until(";}");
                continue;
            }
            in.skip();
            if (stop == ';') {
                out.emplace_back(name, value);
                break;
            }
            // "}": the value ends at its first line end.
            size_t lineEnd = value.find_first_of("\n\r");
            out.emplace_back(name, value.substr(0, lineEnd));
            return true;
        }
    }
}

}  // namespace

std::optional<std::vector<CssRule>> readCss(const std::string& text) {
    CssCursor in(text);
    std::vector<CssRule> rules;
    for (;;) {
        in.skipBlanks();
        if (in.atEnd()) return rules;
        std::vector<std::string> selectors;
        std::vector<std::pair<std::string, std::string>> properties;
        if (!readSelectors(in, selectors) || !readProperties(in, properties)) return std::nullopt;
        for (std::string& s : selectors) rules.push_back({std::move(s), properties});
    }
}

std::string camelCaseName(const std::string& name) {
    std::string out;
    bool upper = false;
    for (char c : name) {
        if (c == '-' && !upper) {
            upper = true;
            continue;
        }
        out.push_back(upper ? char(std::toupper(static_cast<unsigned char>(c))) : c);
        upper = false;
    }
    return out;
}

std::string fontListOf(const std::string& list) {
    std::string out;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        std::string name = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        size_t first = 0;
        while (first < name.size() && isSpace(name[first])) ++first;
        if (first < name.size()) {
            if (!out.empty()) out += ',';
            out += name.substr(first);
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out;
}

}  // namespace swf
