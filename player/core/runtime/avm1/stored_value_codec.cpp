#include "stored_value_codec.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace swf::avm1 {

namespace {

void encodeString(std::string& out, const std::string& s) {
    out += std::to_string(s.size());
    out.push_back(':');
    out += s;
}

void encodeInto(std::string& out, const StoredValue& v) {
    using K = StoredValue::Kind;
    switch (v.kind) {
        case K::kUndefined: out.push_back('u'); return;
        case K::kNull: out.push_back('n'); return;
        case K::kBoolean: out.push_back(v.boolean ? 't' : 'f'); return;
        case K::kNumber:
            if (std::isnan(v.number)) {
                out.push_back('N');
            } else if (std::isinf(v.number)) {
                out.push_back(v.number > 0 ? 'I' : 'J');
            } else {
                char digits[40];
                std::snprintf(digits, sizeof digits, "d%.17g;", v.number);
                out += digits;
            }
            return;
        case K::kString:
            out.push_back('s');
            encodeString(out, v.text);
            return;
        case K::kObject:
        case K::kArray:
            out.push_back(v.kind == K::kObject ? 'o' : 'a');
            out += std::to_string(v.members.size());
            out.push_back('{');
            for (const auto& [name, member] : v.members) {
                encodeString(out, name);
                encodeInto(out, member);
            }
            out.push_back('}');
            return;
    }
}

class Reader {
public:
    Reader(std::string_view text, size_t maxDepth) : text_(text), maxDepth_(maxDepth) {}

    bool atEnd() const { return pos_ == text_.size(); }

    bool readCount(size_t& out) {
        size_t start = pos_;
        out = 0;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9' && pos_ - start < 10) {
            out = out * 10 + static_cast<size_t>(text_[pos_++] - '0');
        }
        return pos_ > start;
    }

    bool readString(std::string& out) {
        size_t length = 0;
        if (!readCount(length) || pos_ >= text_.size() || text_[pos_] != ':') return false;
        ++pos_;
        if (length > text_.size() - pos_) return false;
        out.assign(text_.substr(pos_, length));
        pos_ += length;
        return true;
    }

    bool readValue(StoredValue& v, size_t depth) {
        using K = StoredValue::Kind;
        if (pos_ >= text_.size() || depth > maxDepth_) return false;
        const char tag = text_[pos_++];
        switch (tag) {
            case 'u': v.kind = K::kUndefined; return true;
            case 'n': v.kind = K::kNull; return true;
            case 't': case 'f': v.kind = K::kBoolean; v.boolean = tag == 't'; return true;
            case 'N': v.kind = K::kNumber; v.number = std::nan(""); return true;
            case 'I': case 'J':
                v.kind = K::kNumber;
                v.number = tag == 'I' ? HUGE_VAL : -HUGE_VAL;
                return true;
            case 'd': {
                size_t end = text_.find(';', pos_);
                if (end == std::string_view::npos || end - pos_ > 32) return false;
                std::string digits(text_.substr(pos_, end - pos_));
                char* stop = nullptr;
                v.kind = K::kNumber;
                v.number = std::strtod(digits.c_str(), &stop);
                pos_ = end + 1;
                return stop && *stop == '\0' && !digits.empty();
            }
            case 's': v.kind = K::kString; return readString(v.text);
            case 'o': case 'a': {
                v.kind = tag == 'o' ? K::kObject : K::kArray;
                size_t count = 0;
                if (!readCount(count) || pos_ >= text_.size() || text_[pos_] != '{') return false;
                ++pos_;
                // Each member takes at least three bytes, so a count beyond that is a lie.
                if (count > (text_.size() - pos_) / 3) return false;
                v.members.resize(count);
                for (auto& [name, member] : v.members) {
                    if (!readString(name) || !readValue(member, depth + 1)) return false;
                }
                if (pos_ >= text_.size() || text_[pos_] != '}') return false;
                ++pos_;
                return true;
            }
            default: return false;
        }
    }

private:
    std::string_view text_;
    size_t maxDepth_;
    size_t pos_ = 0;
};

}  // namespace

std::string encodeStoredValue(const StoredValue& value) {
    std::string out;
    encodeInto(out, value);
    return out;
}

std::optional<StoredValue> decodeStoredValue(std::string_view text, size_t maxDepth) {
    Reader reader(text, maxDepth);
    StoredValue value;
    if (!reader.readValue(value, 0) || !reader.atEnd()) return std::nullopt;
    return value;
}

}  // namespace swf::avm1
