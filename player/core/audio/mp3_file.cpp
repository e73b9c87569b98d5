#include "mp3_file.h"

#include <algorithm>
#include <cstring>

namespace swf {
namespace {

constexpr size_t kId3v1Size = 128;
constexpr size_t kMaxId3Frames = 256;       // frames kept from one tag
constexpr size_t kMaxId3TextBytes = 4096;   // bytes kept of one frame's text

// Version 2.2 frame ids and their 2.3 names, for the frames scripts see.
constexpr const char* kId3v22Names[][2] = {
    {"TT1", "TIT1"}, {"TT2", "TIT2"}, {"TT3", "TIT3"}, {"TP1", "TPE1"}, {"TP2", "TPE2"}, {"TP3", "TPE3"},
    {"TP4", "TPE4"}, {"TAL", "TALB"}, {"TRK", "TRCK"}, {"TYE", "TYER"}, {"TCO", "TCON"}, {"TCM", "TCOM"},
    {"TPA", "TPOS"}, {"TLE", "TLEN"}, {"TMT", "TMED"}, {"TOT", "TOAL"}, {"TOA", "TOPE"}, {"TOF", "TOFN"},
    {"TOR", "TORY"}, {"TEN", "TENC"}, {"TCR", "TCOP"}, {"TBP", "TBPM"}, {"TKE", "TKEY"}, {"TLA", "TLAN"},
    {"TXT", "TEXT"}, {"TPB", "TPUB"}, {"TSS", "TSSE"}, {"TRC", "TSRC"}, {"TDA", "TDAT"}, {"TIM", "TIME"},
    {"COM", "COMM"},
};

uint32_t syncSafe(const uint8_t* p) {
    return uint32_t(p[0] & 0x7f) << 21 | uint32_t(p[1] & 0x7f) << 14 | uint32_t(p[2] & 0x7f) << 7 | uint32_t(p[3] & 0x7f);
}

uint32_t bigEndian(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | p[i];
    return v;
}

// Unsynchronisation put a zero after every 0xFF; this takes them out again.
std::vector<uint8_t> resynchronise(const uint8_t* p, size_t n) {
    std::vector<uint8_t> out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        out.push_back(p[i]);
        if (p[i] == 0xff && i + 1 < n && p[i + 1] == 0) ++i;
    }
    return out;
}

void appendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xc0 | c >> 6);
        out += char(0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
        out += char(0xe0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3f));
        out += char(0x80 | (c & 0x3f));
    } else {
        out += char(0xf0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3f));
        out += char(0x80 | (c >> 6 & 0x3f));
        out += char(0x80 | (c & 0x3f));
    }
}

// Reads one string of an ID3 text encoding from [p, end) up to its terminator; `p` moves past
// the terminator. 0 Latin-1, 1 UTF-16 with a byte order mark, 2 UTF-16BE, 3 UTF-8.
std::string readId3Text(const uint8_t*& p, const uint8_t* end, uint8_t encoding) {
    std::string out;
    if (encoding == 1 || encoding == 2) {
        bool little = false;
        if (encoding == 1 && end - p >= 2 && ((p[0] == 0xff && p[1] == 0xfe) || (p[0] == 0xfe && p[1] == 0xff))) {
            little = p[0] == 0xff;
            p += 2;
        }
        uint32_t high = 0;
        while (end - p >= 2) {
            uint32_t unit = little ? uint32_t(p[0] | p[1] << 8) : uint32_t(p[0] << 8 | p[1]);
            p += 2;
            if (unit == 0) break;
            if (out.size() >= kMaxId3TextBytes) continue;
            if (unit >= 0xd800 && unit < 0xdc00) {
                high = unit;
                continue;
            }
            if (unit >= 0xdc00 && unit < 0xe000) {
                appendUtf8(out, high ? 0x10000 + ((high - 0xd800) << 10) + (unit - 0xdc00) : 0xfffd);
                high = 0;
                continue;
            }
            appendUtf8(out, unit);
        }
        return out;
    }
    while (p < end) {
        uint8_t b = *p++;
        if (b == 0) break;
        if (out.size() >= kMaxId3TextBytes) continue;
        if (encoding == 3) out += char(b);
        else appendUtf8(out, b);
    }
    return out;
}

bool wantedFrame(const std::string& id) {
    return id == "COMM" || (id[0] == 'T' && id != "TXXX");
}

void readFrameBody(const std::string& id, const uint8_t* p, const uint8_t* end, Mp3File& file) {
    if (p >= end || file.frames.size() >= kMaxId3Frames) return;
    const uint8_t encoding = *p++;
    if (encoding > 3) return;
    if (id == "COMM") {
        if (end - p < 3) return;
        p += 3;                            // language
        readId3Text(p, end, encoding);     // short description
    }
    file.frames.push_back({id, readId3Text(p, end, encoding)});
}

void readId3v2Frames(const uint8_t* tag, size_t size, int major, Mp3File& file) {
    const size_t idLength = major == 2 ? 3 : 4, headerLength = major == 2 ? 6 : 10;
    size_t at = 0;
    while (at + headerLength <= size && tag[at] != 0) {
        std::string id(reinterpret_cast<const char*>(tag + at), idLength);
        for (char c : id)
            if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return;
        const uint8_t* sizeField = tag + at + idLength;
        const size_t frameSize = major == 2 ? bigEndian(sizeField, 3) : major == 4 ? syncSafe(sizeField) : bigEndian(sizeField, 4);
        const uint8_t formatFlags = major == 2 ? 0 : tag[at + 9];
        at += headerLength;
        if (frameSize > size - at) return;
        const uint8_t* body = tag + at;
        at += frameSize;
        if (major == 2) {
            std::string renamed;
            for (const auto& pair : kId3v22Names)
                if (id == pair[0]) renamed = pair[1];
            if (renamed.empty()) continue;
            id = renamed;
        }
        if (!wantedFrame(id)) continue;
        const bool compressedOrEncrypted = major == 3 ? (formatFlags & 0xc0) != 0 : major == 4 && (formatFlags & 0x0c) != 0;
        if (compressedOrEncrypted) continue;
        size_t skip = major == 4 && (formatFlags & 0x01) ? 4 : 0;  // data length indicator
        if (skip > frameSize) continue;
        if (major == 4 && (formatFlags & 0x02)) {
            std::vector<uint8_t> plain = resynchronise(body + skip, frameSize - skip);
            readFrameBody(id, plain.data(), plain.data() + plain.size(), file);
        } else {
            readFrameBody(id, body + skip, body + frameSize, file);
        }
    }
}

// Returns the bytes the tag takes (0 when there is none at `data`).
size_t readId3v2(const uint8_t* data, size_t size, Mp3File& file) {
    if (size < 10 || std::memcmp(data, "ID3", 3) != 0) return 0;
    const int major = data[3];
    const uint8_t flags = data[5];
    if (major < 2 || major > 4 || (data[6] | data[7] | data[8] | data[9]) & 0x80) return 0;
    size_t length = 10 + size_t(syncSafe(data + 6));
    if (major == 4 && (flags & 0x10)) length += 10;  // footer
    if (length > size) length = size;
    file.hasId3v2 = true;
    const uint8_t* body = data + 10;
    size_t bodySize = std::min(length, size) - 10;
    std::vector<uint8_t> plain;
    if (major < 4 && (flags & 0x80)) {
        plain = resynchronise(body, bodySize);
        body = plain.data();
        bodySize = plain.size();
    }
    if (flags & 0x40 && major >= 3 && bodySize >= 4) {  // extended header
        size_t extended = major == 3 ? 4 + size_t(bigEndian(body, 4)) : size_t(syncSafe(body));
        if (extended > bodySize) return length;
        body += extended;
        bodySize -= extended;
    }
    readId3v2Frames(body, bodySize, major, file);
    return length;
}

std::string latin1Field(const uint8_t* p, size_t n) {
    std::string out;
    for (size_t i = 0; i < n && p[i]; ++i) appendUtf8(out, p[i]);
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

void readId3v1(const uint8_t* tag, Mp3File& file) {
    file.hasId3v1 = true;
    file.title = latin1Field(tag + 3, 30);
    file.artist = latin1Field(tag + 33, 30);
    file.album = latin1Field(tag + 63, 30);
    file.year = latin1Field(tag + 93, 4);
    file.comment = latin1Field(tag + 97, 30);
    if (tag[125] == 0 && tag[126] != 0) file.track = std::to_string(tag[126]);  // version 1.1
    if (tag[127] != 0xff) file.genre = std::to_string(tag[127]);
}

void readFirstFrameHeader(const uint8_t* data, size_t begin, size_t end, Mp3File& file) {
    static const int kRates[4][3] = {{11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};
    for (size_t i = begin; i + 4 <= end; ++i) {
        if (data[i] != 0xff || (data[i + 1] & 0xe0) != 0xe0) continue;
        const int version = (data[i + 1] >> 3) & 3, layer = (data[i + 1] >> 1) & 3;
        const int bitrate = data[i + 2] >> 4, rate = (data[i + 2] >> 2) & 3;
        if (version == 1 || layer == 0 || bitrate == 15 || rate == 3) continue;
        file.rateHz = kRates[version][rate];
        file.stereo = (data[i + 3] >> 6) != 3;
        return;
    }
}

}  // namespace

Mp3File readMp3File(const uint8_t* data, size_t size) {
    Mp3File file;
    if (!data) return file;
    file.audioBegin = readId3v2(data, size, file);
    file.audioEnd = size;
    if (size - file.audioBegin >= kId3v1Size && std::memcmp(data + size - kId3v1Size, "TAG", 3) == 0) {
        readId3v1(data + size - kId3v1Size, file);
        file.audioEnd = size - kId3v1Size;
    }
    readFirstFrameHeader(data, file.audioBegin, file.audioEnd, file);
    return file;
}

}  // namespace swf
