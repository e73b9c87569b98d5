#include "jpeg_check.h"

#include <algorithm>
#include <array>

#include "../bitmap.h"

namespace swf {
namespace {

constexpr uint8_t kSoi = 0xd8, kEoi = 0xd9, kSos = 0xda, kDqt = 0xdb, kDnl = 0xdc, kDri = 0xdd, kDht = 0xc4;

bool isRestart(uint8_t m) { return m >= 0xd0 && m <= 0xd7; }
bool isSupportedFrame(uint8_t m) { return m == 0xc0 || m == 0xc1 || m == 0xc2; }
// SOF3, SOF5-7, SOF9-11, SOF13-15: lossless, hierarchical and arithmetic coding.
bool isOtherFrame(uint8_t m) { return m >= 0xc3 && m <= 0xcf && m != kDht && m != 0xc8 && m != 0xcc; }

std::string hex(uint8_t m) {
    static const char digits[] = "0123456789ABCDEF";
    return std::string("FF") + digits[m >> 4] + digits[m & 15];
}

struct Component {
    uint8_t id = 0, h = 0, v = 0, quant = 0;
    bool scanned = false;
};

class JpegWalk {
public:
    JpegWalk(const uint8_t* d, size_t n) : d_(d), n_(n) {}

    std::string run() {
        if (n_ < 2 || d_[0] != 0xff || d_[1] != kSoi) return "no SOI marker at the start";
        pos_ = 2;
        bool firstSegment = true;
        for (;;) {
            uint8_t m = 0;
            if (!nextMarker(m, firstSegment || frame_))
                return pos_ >= n_ ? (scans_ > 0 ? finish() : "cut before the first scan") : "data between segments";
            firstSegment = false;
            std::string defect = segment(m);
            if (!defect.empty()) return defect;
            if (m == kEoi) return finish();
            if (m == kSos) skipEntropyCodedData();
            if (pos_ >= n_) return scans_ > 0 ? finish() : "cut before the first scan";
        }
    }

private:
    // The decoder takes the byte after one or more FF bytes as a marker. Between the header
    // segments before the frame it steps over other bytes; after the frame it refuses them.
    bool nextMarker(uint8_t& m, bool strict) {
        while (pos_ < n_ && d_[pos_] != 0xff) {
            if (strict) return false;
            ++pos_;
        }
        while (pos_ < n_ && d_[pos_] == 0xff) ++pos_;
        if (pos_ >= n_) return false;
        m = d_[pos_++];
        return true;
    }

    // Entropy-coded data ends at the first marker other than a stuffed zero or a restart.
    void skipEntropyCodedData() {
        while (pos_ < n_) {
            if (d_[pos_] != 0xff) {
                ++pos_;
                continue;
            }
            size_t at = pos_;
            size_t i = pos_ + 1;
            while (i < n_ && d_[i] == 0xff) ++i;
            if (i >= n_) {
                pos_ = n_;
                return;
            }
            if (d_[i] != 0 && !isRestart(d_[i])) {
                pos_ = at;
                return;
            }
            pos_ = i + 1;
        }
    }

    std::string segment(uint8_t m) {
        if (m == kEoi) return scans_ > 0 ? "" : "EOI before any scan";
        if (m == kSoi || isRestart(m)) return "marker " + hex(m) + " out of place";
        if (pos_ + 2 > n_) return "segment " + hex(m) + " cut short";
        size_t length = size_t(d_[pos_]) << 8 | d_[pos_ + 1];
        if (length < 2 || pos_ + length > n_) return "segment " + hex(m) + " runs past the data";
        const uint8_t* body = d_ + pos_ + 2;
        size_t size = length - 2;
        pos_ += length;
        if (m == kDqt) return quantTables(body, size);
        if (m == kDht) return huffmanTables(body, size);
        if (isSupportedFrame(m)) return frame(m, body, size);
        if (m == kSos) return scan(body, size);
        if (m == kDri || m == kDnl) return size == 2 ? "" : "segment " + hex(m) + " of the wrong length";
        if ((m >= 0xe0 && m <= 0xef) || m == 0xfe) return "";  // APPn, COM
        if (isOtherFrame(m)) return "unsupported coding process " + hex(m);
        return "unknown marker " + hex(m);
    }

    std::string quantTables(const uint8_t* p, size_t size) {
        while (size > 0) {
            int precision = p[0] >> 4, id = p[0] & 15;
            if (precision > 1 || id > 3) return "DQT table " + std::to_string(p[0]) + " out of range";
            size_t tableSize = 1 + 64 * size_t(precision + 1);
            if (tableSize > size) return "DQT table cut short";
            quantDefined_[size_t(id)] = true;
            p += tableSize;
            size -= tableSize;
        }
        return "";
    }

    std::string huffmanTables(const uint8_t* p, size_t size) {
        while (size > 0) {
            if (size < 17) return "DHT table cut short";
            int tableClass = p[0] >> 4, id = p[0] & 15;
            std::string name = std::string(tableClass == 0 ? "DC" : "AC") + std::to_string(id);
            if (tableClass > 1 || id > 3) return "DHT table " + std::to_string(p[0]) + " out of range";
            size_t codes = 0;
            for (int length = 1; length <= 16; ++length) codes += p[length];
            if (codes > 256) return "Huffman table " + name + " has " + std::to_string(codes) + " codes (at most 256)";
            uint32_t code = 0;  // codes of the current length taken, counted from the first
            for (int length = 1; length <= 16; ++length) {
                code += p[length];
                if (code > (1u << length)) return "Huffman table " + name + " has more codes than its lengths allow";
                code <<= 1;
            }
            if (17 + codes > size) return "Huffman table " + name + " cut short";
            (tableClass == 0 ? dcDefined_ : acDefined_)[size_t(id)] = true;
            p += 17 + codes;
            size -= 17 + codes;
        }
        return "";
    }

    std::string frame(uint8_t m, const uint8_t* p, size_t size) {
        if (frame_) return "a second frame header";
        if (size < 6) return "frame header cut short";
        if (p[0] != 8) return "samples of " + std::to_string(p[0]) + " bits";
        int height = p[1] << 8 | p[2], width = p[3] << 8 | p[4], count = p[5];
        if (width == 0 || height == 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
            int64_t(width) * height > kMaxBitmapPixels)
            return "frame of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
        if (count != 1 && count != 3 && count != 4) return std::to_string(count) + " components";
        if (size != 6 + 3 * size_t(count)) return "frame header of the wrong length";
        int hMax = 1, vMax = 1;
        for (int i = 0; i < count; ++i) {
            Component c;
            c.id = p[6 + 3 * i];
            c.h = p[7 + 3 * i] >> 4;
            c.v = p[7 + 3 * i] & 15;
            c.quant = p[8 + 3 * i];
            if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4) return "sampling factors out of range";
            if (c.quant > 3) return "quantisation table " + std::to_string(c.quant) + " out of range";
            for (int k = 0; k < i; ++k)
                if (components_[size_t(k)].id == c.id) return "component " + std::to_string(c.id) + " defined twice";
            hMax = std::max<int>(hMax, c.h);
            vMax = std::max<int>(vMax, c.v);
            components_[size_t(i)] = c;
        }
        for (int i = 0; i < count; ++i)
            if (hMax % components_[size_t(i)].h != 0 || vMax % components_[size_t(i)].v != 0)
                return "sampling factors that do not divide the largest";
        componentCount_ = count;
        progressive_ = m == 0xc2;
        frame_ = true;
        return "";
    }

    std::string scan(const uint8_t* p, size_t size) {
        if (!frame_) return "scan before the frame header";
        if (size < 1) return "scan header cut short";
        int count = p[0];
        if (count < 1 || count > componentCount_) return "scan of " + std::to_string(count) + " components";
        if (size != 4 + 2 * size_t(count)) return "scan header of the wrong length";
        int ss = p[1 + 2 * count], se = p[2 + 2 * count], ah = p[3 + 2 * count] >> 4, al = p[3 + 2 * count] & 15;
        if (progressive_) {
            if (ss > se || se > 63 || ah > 13 || al > 13) return "progressive scan parameters out of range";
            if ((ss == 0) != (se == 0)) return "progressive scan mixing DC and AC";
            if (ss > 0 && count != 1) return "progressive AC scan of several components";
        } else if (ss != 0 || ah != 0 || al != 0) {
            return "sequential scan with progressive parameters";
        }
        // Which tables the decoder reads in this scan.
        bool usesDc = !progressive_ || (ss == 0 && ah == 0);
        bool usesAc = !progressive_ || ss > 0;
        std::array<bool, 4> inScan{};
        for (int i = 0; i < count; ++i) {
            uint8_t id = p[1 + 2 * i];
            int dc = p[2 + 2 * i] >> 4, ac = p[2 + 2 * i] & 15;
            int which = 0;
            while (which < componentCount_ && components_[size_t(which)].id != id) ++which;
            if (which == componentCount_) return "scan names component " + std::to_string(id) + " of no frame";
            if (inScan[size_t(which)]) return "scan names component " + std::to_string(id) + " twice";
            inScan[size_t(which)] = true;
            if (dc > 3 || ac > 3) return "scan names Huffman tables out of range";
            if (usesDc && !dcDefined_[size_t(dc)]) return "scan uses Huffman table DC" + std::to_string(dc) + " before it is defined";
            if (usesAc && !acDefined_[size_t(ac)]) return "scan uses Huffman table AC" + std::to_string(ac) + " before it is defined";
            Component& c = components_[size_t(which)];
            if (!quantDefined_[c.quant]) return "scan uses quantisation table " + std::to_string(c.quant) + " before it is defined";
            c.scanned = true;
        }
        ++scans_;
        return "";
    }

    // Components no scan filled would come out as whatever the decoder's buffers held.
    std::string finish() const {
        for (int i = 0; i < componentCount_; ++i)
            if (!components_[size_t(i)].scanned)
                return "component " + std::to_string(components_[size_t(i)].id) + " in no scan";
        return "";
    }

    const uint8_t* d_;
    size_t n_;
    size_t pos_ = 0;
    std::array<bool, 4> quantDefined_{}, dcDefined_{}, acDefined_{};
    std::array<Component, 4> components_{};
    int componentCount_ = 0;
    int scans_ = 0;
    bool frame_ = false;
    bool progressive_ = false;
};

}  // namespace

std::string findJpegDefect(const uint8_t* data, size_t size) { return JpegWalk(data, size).run(); }

}  // namespace swf
