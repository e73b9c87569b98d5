#include "row_compositor.h"

#include <algorithm>
#include <cstring>

#include "blend_span.h"
#include "pixel_math.h"

namespace swf::render {

namespace {

// Coverage scans, eight bytes at a time: rows of a large soft shape are thousands of pixels
// long, and a byte-by-byte scan of them cost as much as the blending.
inline uint64_t load8(const uint8_t* p) {
    uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}
inline bool hasZeroByte(uint64_t w) { return ((w - 0x0101010101010101ull) & ~w & 0x8080808080808080ull) != 0; }

// The first index from i on (up to n) whose coverage is not 0, not 255, is 0, is not 255.
inline int skipEmpty(const uint8_t* c, int i, int n) {
    while (i + 8 <= n && load8(c + i) == 0) i += 8;
    while (i < n && c[i] == 0) ++i;
    return i;
}
inline int skipFull(const uint8_t* c, int i, int n) {
    while (i + 8 <= n && load8(c + i) == ~0ull) i += 8;
    while (i < n && c[i] == 255) ++i;
    return i;
}
inline int skipCovered(const uint8_t* c, int i, int n) {
    while (i + 8 <= n && !hasZeroByte(load8(c + i))) i += 8;
    while (i < n && c[i] != 0) ++i;
    return i;
}
inline int skipPartial(const uint8_t* c, int i, int n) {
    while (i < n && c[i] != 255) ++i;
    return i;
}

// Calls run(start, end) for every run of non-zero coverage: paint is only computed where it
// shows (a ring's row, or a fill with parts far apart, has a long empty middle).
template <typename Run>
void forEachCoveredRun(const uint8_t* coverage, int n, Run run) {
    int i = 0;
    while (i < n) {
        i = skipEmpty(coverage, i, n);
        int start = i;
        i = skipCovered(coverage, i, n);
        if (start == i) break;
        run(start, i);
    }
}

}  // namespace

const uint8_t* PaintCompositor::maskedCoverage(int y, const ItemRow& item) {
    if (!mask_) return item.coverage;
    const int n = item.x1 - item.x0;
    if (masked_.size() < size_t(n)) masked_.resize(size_t(n));
    const uint8_t* m = mask_ + size_t(y) * size_t(canvas_.width) + size_t(item.x0);
    for (int i = 0; i < n; ++i) masked_[size_t(i)] = uint8_t(div255(uint32_t(item.coverage[i]) * m[i]));
    return masked_.data();
}

void PaintCompositor::row(int y, const ItemRow* items, int count) {
    if (count == 1 && !reference_) {
        singleItem(y, items[0]);
    } else {
        severalItems(y, items, count);
    }
}

void PaintCompositor::singleItem(int y, const ItemRow& item) {
    const Paint& paint = paints_[item.item];
    if (paint.drawsNothing()) return;
    const int n = item.x1 - item.x0;
    const uint8_t* coverage = maskedCoverage(y, item);
    uint32_t* dst = canvas_.row(y) + item.x0;
    if (y + 1 < canvas_.height) prefetchRowForWrite(dst + canvas_.width, n);
    if (paint.kind() == Paint::Kind::Solid) {
        const uint32_t color = paint.solidColor();
        if (!paint.opaque()) {
            forEachCoveredRun(coverage, n, [&](int start, int end) { blendSolidSpan(color, coverage + start, dst + start, end - start); });
            return;
        }
        int i = 0;
        while (i < n) {
            const uint32_t c = coverage[i];
            if (c != 255) {
                if (c != 0) dst[i] = sourceOver(scalePixel(color, c), dst[i]);
                ++i;
                continue;
            }
            int end = i + 1;
            end = skipFull(coverage, end, n);
            std::fill(dst + i, dst + end, color);
            i = end;
        }
        return;
    }
    if (colors_.size() < size_t(n)) colors_.resize(size_t(n));
    const bool opaque = paint.opaque() && !reference_;
    auto blendRun = [&](int start, int end) {
        paint.shade(item.x0 + start, y, end - start, colors_.data());
        blendCoveredSpan(colors_.data(), coverage + start, dst + start, end - start);
    };
    if (!opaque) {
        forEachCoveredRun(coverage, n, blendRun);
        return;
    }
    forEachCoveredRun(coverage, n, [&](int start, int end) {
        // Fully covered stretches of an opaque paint are shaded straight into the canvas.
        int k = start;
        while (k < end) {
            int stop = k;
            stop = skipFull(coverage, stop, end);
            if (stop - k >= 8) {
                paint.shade(item.x0 + k, y, stop - k, dst + k);
                k = stop;
                continue;
            }
            stop = std::max(stop, k + 1);
            stop = skipPartial(coverage, stop, end);
            blendRun(k, stop);
            k = stop;
        }
    });
}

void PaintCompositor::severalItems(int y, const ItemRow* items, int count) {
    int x0 = items[0].x0, x1 = items[0].x1;
    for (int k = 1; k < count; ++k) {
        x0 = std::min(x0, items[k].x0);
        x1 = std::max(x1, items[k].x1);
    }
    const size_t span = size_t(x1 - x0);
    for (auto* v : {&sumCoverage_, &sumA_, &sumR_, &sumG_, &sumB_}) {
        if (v->size() < span) v->resize(span);
        std::fill(v->begin(), v->begin() + std::ptrdiff_t(span), 0u);
    }
    // Sums stay below 2^32: at most 65535 items, each adding at most 255 * 255.
    for (int k = 0; k < count; ++k) {
        const ItemRow& item = items[k];
        const int n = item.x1 - item.x0;
        const uint8_t* coverage = maskedCoverage(y, item);
        if (colors_.size() < size_t(n)) colors_.resize(size_t(n));
        const size_t offset = size_t(item.x0 - x0);
        forEachCoveredRun(coverage, n, [&](int start, int end) {
            paints_[item.item].shade(item.x0 + start, y, end - start, colors_.data());
            for (int i = start; i < end; ++i) {
                uint32_t c = coverage[i];
                uint32_t p = colors_[size_t(i - start)];
                size_t j = offset + size_t(i);
                sumCoverage_[j] += c;
                sumA_[j] += c * (p >> 24);
                sumR_[j] += c * ((p >> 16) & 255u);
                sumG_[j] += c * ((p >> 8) & 255u);
                sumB_[j] += c * (p & 255u);
            }
        });
    }
    uint32_t* dst = canvas_.row(y) + x0;
    if (y + 1 < canvas_.height) prefetchRowForWrite(dst + canvas_.width, int(span));
    for (size_t j = 0; j < span; ++j) {
        uint32_t total = sumCoverage_[j];
        if (total == 0) continue;
        // Coverages adding up past the pixel (overlapping fills) share it in proportion.
        uint32_t divisor = std::max(total, 255u);
        auto channel = [divisor](uint32_t v) { return (v + divisor / 2) / divisor; };
        uint32_t src = packPixel(channel(sumA_[j]), channel(sumR_[j]), channel(sumG_[j]), channel(sumB_[j]));
        dst[j] = sourceOver(src, dst[j]);
    }
}

void MaskCompositor::row(int y, const ItemRow* items, int count) {
    int x0 = items[0].x0, x1 = items[0].x1;
    for (int k = 1; k < count; ++k) {
        x0 = std::min(x0, items[k].x0);
        x1 = std::max(x1, items[k].x1);
    }
    const size_t span = size_t(x1 - x0);
    inked_ = unite(inked_, {x0, y, x1, y + 1});
    if (sum_.size() < span) sum_.resize(span);
    std::fill(sum_.begin(), sum_.begin() + std::ptrdiff_t(span), 0u);
    for (int k = 0; k < count; ++k) {
        const ItemRow& item = items[k];
        for (int i = 0; i < item.x1 - item.x0; ++i) sum_[size_t(item.x0 - x0 + i)] += item.coverage[i];
    }
    uint8_t* m = plane_ + size_t(y) * size_t(width_) + size_t(x0);
    const uint8_t* limit = limit_ ? limit_ + size_t(y) * size_t(width_) + size_t(x0) : nullptr;
    for (size_t j = 0; j < span; ++j) {
        uint32_t c = std::min(sum_[j], 255u);
        if (limit) c = div255(c * limit[j]);
        // Union with what earlier shapes of the mask covered.
        m[j] = uint8_t(c + div255(uint32_t(m[j]) * (255 - c)));
    }
}

}  // namespace swf::render
