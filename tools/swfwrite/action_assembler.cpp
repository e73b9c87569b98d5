#include "action_assembler.h"

#include <cctype>
#include <cstring>
#include <map>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "bit_writer.h"

namespace swfw {
namespace {

struct Simple {
    const char* name;
    uint8_t code;
};

constexpr Simple kSimple[] = {
    {"nextFrame", 0x04}, {"previousFrame", 0x05}, {"play", 0x06}, {"stop", 0x07}, {"toggleQuality", 0x08},
    {"stopSounds", 0x09}, {"add", 0x0a}, {"subtract", 0x0b}, {"multiply", 0x0c}, {"divide", 0x0d},
    {"equals", 0x0e}, {"less", 0x0f}, {"and", 0x10}, {"or", 0x11}, {"not", 0x12}, {"stringEquals", 0x13},
    {"stringLength", 0x14}, {"stringExtract", 0x15}, {"pop", 0x17}, {"toInteger", 0x18}, {"getVariable", 0x1c},
    {"setVariable", 0x1d}, {"setTarget2", 0x20}, {"stringAdd", 0x21}, {"getProperty", 0x22},
    {"setProperty", 0x23}, {"cloneSprite", 0x24}, {"removeSprite", 0x25}, {"trace", 0x26}, {"startDrag", 0x27},
    {"endDrag", 0x28}, {"stringLess", 0x29}, {"throw", 0x2a}, {"castOp", 0x2b}, {"implementsOp", 0x2c},
    {"randomNumber", 0x30}, {"mbStringLength", 0x31}, {"charToAscii", 0x32}, {"asciiToChar", 0x33},
    {"getTime", 0x34}, {"mbStringExtract", 0x35}, {"mbCharToAscii", 0x36}, {"mbAsciiToChar", 0x37},
    {"delete", 0x3a}, {"delete2", 0x3b}, {"defineLocal", 0x3c}, {"callFunction", 0x3d}, {"return", 0x3e},
    {"modulo", 0x3f}, {"newObject", 0x40}, {"defineLocal2", 0x41}, {"initArray", 0x42}, {"initObject", 0x43},
    {"typeOf", 0x44}, {"targetPath", 0x45}, {"enumerate", 0x46}, {"add2", 0x47}, {"less2", 0x48},
    {"equals2", 0x49}, {"toNumber", 0x4a}, {"toString", 0x4b}, {"pushDuplicate", 0x4c}, {"stackSwap", 0x4d},
    {"getMember", 0x4e}, {"setMember", 0x4f}, {"increment", 0x50}, {"decrement", 0x51}, {"callMethod", 0x52},
    {"newMethod", 0x53}, {"instanceOf", 0x54}, {"enumerate2", 0x55}, {"bitAnd", 0x60}, {"bitOr", 0x61},
    {"bitXor", 0x62}, {"bitLShift", 0x63}, {"bitRShift", 0x64}, {"bitURShift", 0x65}, {"strictEquals", 0x66},
    {"greater", 0x67}, {"stringGreater", 0x68}, {"extends", 0x69},
};

struct Flag {
    const char* name;
    uint16_t bit;
};

constexpr Flag kFunctionFlags[] = {
    {"preloadThis", 0x01}, {"suppressThis", 0x02}, {"preloadArguments", 0x04}, {"suppressArguments", 0x08},
    {"preloadSuper", 0x10}, {"suppressSuper", 0x20}, {"preloadRoot", 0x40}, {"preloadParent", 0x80},
    {"preloadGlobal", 0x100},
};

bool equalsIgnoringCase(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(uint8_t(a[i])) != std::tolower(uint8_t(b[i]))) return false;
    return true;
}

std::string trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return {};
    size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

class Assembler {
public:
    explicit Assembler(const std::string& source) {
        std::istringstream in(source);
        std::string line;
        while (std::getline(in, line)) {
            // '#' outside quotes starts a comment.
            bool quoted = false;
            for (size_t i = 0; i < line.size(); ++i) {
                if (line[i] == '"' && (i == 0 || line[i - 1] != '\\')) quoted = !quoted;
                if (line[i] == '#' && !quoted) {
                    line.resize(i);
                    break;
                }
            }
            line = trim(line);
            if (!line.empty()) lines_.push_back(line);
        }
    }

    std::vector<uint8_t> block() {
        Block b;
        body(b, {});
        return finish(b);
    }

    bool done() const { return pos_ >= lines_.size(); }

private:
    struct Block {
        std::vector<uint8_t> bytes;
        std::map<std::string, size_t> labels;
        std::vector<std::pair<size_t, std::string>> fixups;  // offset of the s16, label
    };

    [[noreturn]] void fail(const std::string& what) const {
        throw std::invalid_argument("line '" + (pos_ < lines_.size() ? lines_[pos_] : std::string("<end>")) + "': " + what);
    }

    static void action(Block& b, uint8_t code, const std::vector<uint8_t>& payload) {
        b.bytes.push_back(code);
        if (code >= 0x80) {
            b.bytes.push_back(uint8_t(payload.size()));
            b.bytes.push_back(uint8_t(payload.size() >> 8));
            b.bytes.insert(b.bytes.end(), payload.begin(), payload.end());
        }
    }

    std::vector<uint8_t> finish(Block& b) {
        for (auto& [at, label] : b.fixups) {
            auto it = b.labels.find(label);
            if (it == b.labels.end()) throw std::invalid_argument("unknown label " + label);
            int offset = int(it->second) - int(at + 2);
            b.bytes[at] = uint8_t(offset);
            b.bytes[at + 1] = uint8_t(offset >> 8);
        }
        return b.bytes;
    }

    // Reads lines until one of `enders` (returned) or the end.
    std::string body(Block& b, const std::vector<std::string>& enders) {
        while (pos_ < lines_.size()) {
            const std::string line = lines_[pos_];
            std::string word = line.substr(0, line.find_first_of(" \t("));
            for (const std::string& e : enders)
                if (word == e) {
                    ++pos_;
                    return e;
                }
            statement(b, line, word);
        }
        if (!enders.empty()) fail("missing " + enders.front());
        return {};
    }

    void statement(Block& b, const std::string& line, const std::string& word) {
        std::string rest = trim(line.substr(word.size()));
        if (word.back() == ':' && rest.empty()) {
            b.labels[word.substr(0, word.size() - 1)] = b.bytes.size();
            ++pos_;
            return;
        }
        for (const Simple& s : kSimple)
            if (equalsIgnoringCase(word, s.name)) {
                if (!rest.empty()) fail("no operand expected");
                action(b, s.code, {});
                ++pos_;
                return;
            }
        if (word == "push") push(b, rest);
        else if (word == "constants") constants(b, rest);
        else if (word == "jump" || word == "if") {
            action(b, word == "jump" ? 0x99 : 0x9d, {0, 0});
            b.fixups.emplace_back(b.bytes.size() - 2, rest);
        } else if (word == "store") action(b, 0x87, {uint8_t(std::stoi(rest))});
        else if (word == "gotoFrame") {
            int f = std::stoi(rest);
            action(b, 0x81, {uint8_t(f), uint8_t(f >> 8)});
        } else if (word == "gotoLabel") action(b, 0x8c, cstring(unquote(rest)));
        else if (word == "setTarget") action(b, 0x8b, cstring(unquote(rest)));
        else if (word == "gotoFrame2") action(b, 0x9f, {uint8_t(rest == "play" ? 1 : 0)});
        else if (word == "call") action(b, 0x9e, {});
        else if (word == "getUrl") {
            std::vector<std::string> parts = strings(rest);
            if (parts.size() != 2) fail("getUrl needs a url and a window");
            std::vector<uint8_t> p = cstring(parts[0]);
            std::vector<uint8_t> w = cstring(parts[1]);
            p.insert(p.end(), w.begin(), w.end());
            action(b, 0x83, p);
        } else if (word == "function" || word == "function2") {
            ++pos_;
            function(b, rest, word == "function2");
            return;
        } else if (word == "with") {
            ++pos_;
            withBlock(b);
            return;
        } else if (word == "try") {
            ++pos_;
            tryBlock(b, rest);
            return;
        } else {
            fail("unknown action");
        }
        ++pos_;
    }

    static std::vector<uint8_t> cstring(const std::string& s) {
        std::vector<uint8_t> out(s.begin(), s.end());
        out.push_back(0);
        return out;
    }

    std::string unquote(const std::string& s) const {
        if (s.size() < 2 || s.front() != '"' || s.back() != '"') fail("expected a quoted string");
        return unescape(s.substr(1, s.size() - 2));
    }

    static std::string unescape(const std::string& s) {
        std::string out;
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '\\' && i + 1 < s.size()) {
                ++i;
                out += s[i] == 'n' ? '\n' : s[i];
            } else {
                out += s[i];
            }
        }
        return out;
    }

    // Comma-separated operands; quoted strings may hold commas.
    std::vector<std::string> operands(const std::string& s) const {
        std::vector<std::string> out;
        std::string cur;
        bool quoted = false;
        for (size_t i = 0; i < s.size(); ++i) {
            char c = s[i];
            if (c == '"' && (i == 0 || s[i - 1] != '\\')) quoted = !quoted;
            if (c == ',' && !quoted) {
                out.push_back(trim(cur));
                cur.clear();
            } else {
                cur += c;
            }
        }
        if (!trim(cur).empty()) out.push_back(trim(cur));
        return out;
    }

    std::vector<std::string> strings(const std::string& s) const {
        std::vector<std::string> out;
        size_t i = 0;
        while ((i = s.find('"', i)) != std::string::npos) {
            size_t j = i + 1;
            while (j < s.size() && (s[j] != '"' || s[j - 1] == '\\')) ++j;
            if (j >= s.size()) fail("unterminated string");
            out.push_back(unescape(s.substr(i + 1, j - i - 1)));
            i = j + 1;
        }
        return out;
    }

    void push(Block& b, const std::string& rest) {
        BitWriter w;
        for (const std::string& v : operands(rest)) {
            if (v.empty()) fail("empty operand");
            if (v[0] == '"') {
                w.u8(0);
                w.cstring(unquote(v));
            } else if (v == "true" || v == "false") {
                w.u8(5);
                w.u8(v == "true" ? 1 : 0);
            } else if (v == "null") {
                w.u8(2);
            } else if (v == "undefined") {
                w.u8(3);
            } else if (v.rfind("r:", 0) == 0) {
                w.u8(4);
                w.u8(uint8_t(std::stoi(v.substr(2))));
            } else if (v.rfind("c:", 0) == 0) {
                w.u8(8);
                w.u8(uint8_t(std::stoi(v.substr(2))));
            } else if (v.find_first_of(".eEnN") == std::string::npos) {
                w.u8(7);
                w.u32(uint32_t(std::stol(v)));
            } else {
                w.u8(6);
                w.f64(std::stod(v));
            }
        }
        action(b, 0x96, w.take());
    }

    void constants(Block& b, const std::string& rest) {
        std::vector<std::string> pool = strings(rest);
        BitWriter w;
        w.u16(uint32_t(pool.size()));
        for (const auto& s : pool) w.cstring(s);
        action(b, 0x88, w.take());
    }

    // "name(a, b)" or "name(r1 a, r0 b) regs 4 flags preloadThis,suppressSuper"
    void function(Block& b, const std::string& header, bool v2) {
        size_t open = header.find('('), close = header.find(')');
        if (open == std::string::npos || close == std::string::npos) fail("function needs (parameters)");
        std::string name = trim(header.substr(0, open));
        std::vector<std::string> params = operands(header.substr(open + 1, close - open - 1));
        std::istringstream tail(header.substr(close + 1));
        int regs = 4;
        uint16_t flags = 0;
        std::string key;
        while (tail >> key) {
            if (key == "regs") tail >> regs;
            else if (key == "flags") {
                std::string list;
                tail >> list;
                std::istringstream names(list);
                std::string f;
                while (std::getline(names, f, ',')) {
                    bool known = false;
                    for (const Flag& flag : kFunctionFlags)
                        if (f == flag.name) {
                            flags |= flag.bit;
                            known = true;
                        }
                    if (!known) fail("unknown flag " + f);
                }
            } else {
                fail("unknown function option " + key);
            }
        }
        Block inner;
        body(inner, {"end"});
        std::vector<uint8_t> code = finish(inner);
        BitWriter w;
        w.cstring(name);
        w.u16(uint32_t(params.size()));
        if (v2) {
            w.u8(uint8_t(regs));
            w.u16(flags);
        }
        for (const std::string& p : params) {
            if (v2) {
                // "r1 a": parameter a in register 1; "a": a named local (register 0).
                std::istringstream parts(p);
                std::string first, second;
                parts >> first >> second;
                if (second.empty()) {
                    w.u8(0);
                    w.cstring(first);
                } else {
                    w.u8(uint8_t(std::stoi(first.substr(1))));
                    w.cstring(second);
                }
            } else {
                w.cstring(p);
            }
        }
        w.u16(uint32_t(code.size()));
        action(b, v2 ? 0x8e : 0x9b, w.take());
        b.bytes.insert(b.bytes.end(), code.begin(), code.end());
    }

    void withBlock(Block& b) {
        action(b, 0x94, {0, 0});
        size_t sizeAt = b.bytes.size() - 2;
        size_t start = b.bytes.size();
        body(b, {"end"});
        size_t size = b.bytes.size() - start;
        b.bytes[sizeAt] = uint8_t(size);
        b.bytes[sizeAt + 1] = uint8_t(size >> 8);
    }

    void tryBlock(Block& b, const std::string& catchName) {
        bool inRegister = catchName.rfind("r:", 0) == 0;
        BitWriter w;
        w.u8(0);  // flags, patched below
        w.u16(0);
        w.u16(0);
        w.u16(0);
        if (inRegister) w.u8(uint8_t(std::stoi(catchName.substr(2))));
        else w.cstring(catchName);
        action(b, 0x8f, w.take());
        size_t header = b.bytes.size() - (inRegister ? 1 : catchName.size() + 1) - 7;
        size_t start = b.bytes.size();
        std::string ender = body(b, {"catch", "finally", "end"});
        size_t trySize = b.bytes.size() - start, catchSize = 0, finallySize = 0;
        uint8_t flags = inRegister ? 0x04 : 0;
        if (ender == "catch") {
            flags |= 0x01;
            size_t s = b.bytes.size();
            ender = body(b, {"finally", "end"});
            catchSize = b.bytes.size() - s;
        }
        if (ender == "finally") {
            flags |= 0x02;
            size_t s = b.bytes.size();
            body(b, {"end"});
            finallySize = b.bytes.size() - s;
        }
        b.bytes[header] = flags;
        size_t sizes[] = {trySize, catchSize, finallySize};
        for (int i = 0; i < 3; ++i) {
            b.bytes[header + 1 + 2 * size_t(i)] = uint8_t(sizes[i]);
            b.bytes[header + 2 + 2 * size_t(i)] = uint8_t(sizes[i] >> 8);
        }
    }

    std::vector<std::string> lines_;
    size_t pos_ = 0;
};

}  // namespace

ActionWriter assemble(const std::string& source) {
    Assembler a(source);
    std::vector<uint8_t> bytes = a.block();
    ActionWriter w;
    w.append(bytes);
    return w;
}

}  // namespace swfw
