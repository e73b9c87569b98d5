#include "coverage_rasterizer.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

namespace swf::render {

namespace {

// Area to the left of t under the unit ramp clamp(x, 0, 1): the integral of a pixel column's
// coverage as a segment's x sweeps across it.
inline float rampIntegral(float t) {
    if (t <= 0) return 0;
    if (t < 1) return 0.5f * t * t;
    return t - 0.5f;
}

template <FillRule rule>
inline uint8_t areaToCoverage(float a) {
    float t = std::fabs(a);
    if (rule == FillRule::NonZero) {
        t = std::min(t, 1.0f);
    } else if (t > 1) {
        t -= 2 * std::floor(t * 0.5f);
        if (t > 1) t = 2 - t;
    }
    return uint8_t(int(t * 255 + 0.5f));
}

inline uint8_t areaToCoverage(float a, FillRule rule) {
    return rule == FillRule::NonZero ? areaToCoverage<FillRule::NonZero>(a) : areaToCoverage<FillRule::EvenOdd>(a);
}

// The first cell from j on (hi + 1 when none up to hi) that holds something: the inside of a
// wide shape is a long run of untouched cells between its two edges, passed four at a time.
// A -0.0 stops the four-at-a-time scan but not the single one, which also counts it empty.
inline int skipZeroCells(const float* acc, int j, int hi) {
    for (; j + 3 <= hi; j += 4) {
        uint64_t a, b;
        std::memcpy(&a, acc + j, sizeof a);
        std::memcpy(&b, acc + j + 2, sizeof b);
        if ((a | b) != 0) break;
    }
    while (j <= hi && acc[j] == 0) ++j;
    return j;
}

// Running sum of the cells into coverage, clearing the cells for the next row. Cells no edge
// touched hold 0 and leave the sum as it is: such runs (the inside and outside of a shape)
// are filled at once instead of going through the serial chain of additions.
template <FillRule rule>
float accumulateRow(float* acc, uint8_t* out, int lo, int hi, uint8_t& any) {
    float sum = 0;
    uint8_t seen = 0;
    int j = lo;
    while (j <= hi) {
        if (acc[j] != 0) {
            sum += acc[j];
            acc[j] = 0;
            uint8_t c = areaToCoverage<rule>(sum);
            out[j] = c;
            seen |= c;
            ++j;
            continue;
        }
        int end = skipZeroCells(acc, j + 1, hi);
        uint8_t c = areaToCoverage<rule>(sum);
        std::memset(out + j, c, size_t(end - j));
        seen |= c;
        j = end;
    }
    any = seen;
    return sum;
}

inline bool insideByRule(int32_t winding, FillRule rule) {
    return rule == FillRule::NonZero ? winding != 0 : (winding & 1) != 0;
}

// x of the segment at height y (y0 <= y <= y1). Interpolating by the fraction of the height,
// never by the slope: an edge a denormal number high has an infinite slope.
inline float xAtY(const Segment& s, float y) {
    if (y <= s.y0) return s.x0;
    if (y >= s.y1) return s.x1;
    return s.x0 + (y - s.y0) / (s.y1 - s.y0) * (s.x1 - s.x0);
}

// The same for the sampled levels, multiplying before dividing: where the true crossing lies
// on a lattice point of a snapped outline the quotient is exact, so ties are decided by the
// half-open rule and never by a rounding error (1/3 * 3 is not 1 in floats, 1 * 3 / 3 is).
inline float latticeXAtY(const Segment& s, float y) {
    if (y <= s.y0) return s.x0;
    if (y >= s.y1) return s.x1;
    float x = s.x0 + (y - s.y0) * (s.x1 - s.x0) / (s.y1 - s.y0);
    return std::clamp(x, std::min(s.x0, s.x1), std::max(s.x0, s.x1));
}

// Below this width a row piece is treated as vertical at its mean x: the error is under
// 1/2000 of a pixel and the exact formula would divide by almost nothing.
constexpr float kVerticalWidth = 1.0f / 1024;

}  // namespace

int CoverageRasterizer::slotFor(uint16_t item) {
    int32_t& index = slotOfItem_[item];
    if (index >= 0) return index;
    index = int32_t(slots_.size());
    Slot slot;
    slot.item = item;
    slot.lo = INT_MAX;
    slot.hi = -1;
    slots_.push_back(slot);
    size_t needed = slots_.size() * cellsPerSlot_;
    if (samples_ == 0) {
        if (areaCells_.size() < needed) areaCells_.resize(needed, 0.0f);
    } else if (sampleCells_.size() < needed) {
        sampleCells_.resize(needed, 0);
    }
    return index;
}

void CoverageRasterizer::addAreaPiece(Slot& slot, float* acc, const Segment& s, int row, float& carriedX) {
    float ya = std::max(s.y0, float(row));
    float yb = std::min(s.y1, float(row + 1));
    if (!(yb > ya)) return;
    // A segment that crossed the row above entered this one where it left that one: at
    // ya = row, the yb of the row above, so xAtY would give the same float again.
    const float enter = carriedX == carriedX && !reference_ ? carriedX : xAtY(s, ya);
    const float leave = xAtY(s, yb);
    carriedX = leave;
    float xa = enter - float(left_);
    float xb = leave - float(left_);
    float d = float(s.winding) * (yb - ya);
    float xl = std::min(xa, xb), xr = std::max(xa, xb);
    auto touch = [&slot](int lo, int hi) {
        slot.lo = std::min(slot.lo, lo);
        slot.hi = std::max(slot.hi, hi);
    };

    if (xr - xl < kVerticalWidth) {
        float xm = 0.5f * (xl + xr);
        if (xm < 0) {  // left of the columns we keep: it covers all of them
            acc[0] += d;
            touch(0, 0);
            return;
        }
        if (xm >= float(width_)) return;
        int j = int(xm);
        float f = xm - float(j);
        acc[j] += d * (1 - f);
        acc[j + 1] += d * f;
        touch(j, j + 1);
        return;
    }

    int jl = int(std::floor(xl)), jr = int(std::floor(xr));
    if (jr < 0) {
        acc[0] += d;
        touch(0, 0);
        return;
    }
    if (jl >= width_) return;
    // Covered share of column j (area right of the piece, up to j + 1), times d.
    float scale = d / (xr - xl);
    auto columnCover = [&](int j) {
        float t = float(j + 1);
        return scale * (rampIntegral(t - xl) - rampIntegral(t - xr));
    };
    // Cells hold differences of the running coverage; the first kept column takes the whole
    // coverage the piece gives it, including what the columns cut off on the left would add.
    int start = std::max(jl, 0);
    int end = std::min(jr, width_ - 1);
    float previous = 0;
    int j = start;
    if (!reference_ && start < end) {
        float c = columnCover(j);
        acc[j] += c;
        previous = c;
        // Columns strictly between the piece's first and last lie wholly right of its left end
        // and left of its right end: there the ramp integrals are t - xl - 1/2 and 0, and the
        // cover is the same float operations as columnCover() without its branches.
        const int middleEnd = std::min(end, jr - 1);
        for (++j; j <= middleEnd; ++j) {
            c = scale * (float(j + 1) - xl - 0.5f);
            acc[j] += c - previous;
            previous = c;
        }
    }
    for (; j <= end; ++j) {
        float c = columnCover(j);
        acc[j] += c - previous;
        previous = c;
    }
    if (jr + 1 <= width_) {
        acc[jr + 1] += d - previous;
        touch(start, jr + 1);
    } else {
        touch(start, end);
    }
}

void CoverageRasterizer::addSamplePieces(Slot& slot, int32_t* acc, const Segment& s, int row) {
    const int columns = width_ * samples_;
    const size_t stride = size_t(columns) + 1;
    for (int k = 0; k < samples_; ++k) {
        // Samples sit on the lattice of the snapped outline: the top left corners of the
        // sample cells, at row + k / samples and column + i / samples.
        float ys = float(row) + float(k) / float(samples_);
        if (ys < s.y0 || ys >= s.y1) continue;  // half-open: a shared vertex counts once
        float x = latticeXAtY(s, ys) - float(left_);
        // The first sample at or right of the crossing: one lying on a left edge is inside,
        // on a right edge outside.
        float firstRight = std::ceil(x * float(samples_));
        // Right of the last column it changes no sample we keep (and would make the whole
        // row count as touched).
        if (firstRight >= float(columns)) continue;
        int i = firstRight <= 0 ? 0 : int(firstRight);
        acc[size_t(k) * stride + size_t(i)] += s.winding;
        slot.lo = std::min(slot.lo, i);
        slot.hi = std::max(slot.hi, i);
    }
}

bool CoverageRasterizer::resolveArea(Slot& slot, float* acc, uint8_t* out, FillRule rule, int& x0,
                                     int& x1) {
    if (slot.hi < 0) return false;
    const int lo = slot.lo;
    const int hi = std::min(slot.hi, width_ - 1);
    uint8_t any = 0;
    const float sum = rule == FillRule::NonZero ? accumulateRow<FillRule::NonZero>(acc, out, lo, hi, any)
                                                : accumulateRow<FillRule::EvenOdd>(acc, out, lo, hi, any);
    acc[width_] = 0;
    int end = hi + 1;
    // An unclosed fill leaves a winding to the right of its last edge: it extends to the edge.
    uint8_t tail = areaToCoverage(sum, rule);
    if (tail != 0 && end < width_) {
        std::fill(out + end, out + width_, tail);
        end = width_;
        any = 1;
    }
    x0 = lo;
    x1 = end;
    return any != 0 && lo < end;
}

namespace {

// Counts, for pixels lo..hi, the samples inside on all S sample rows at once (cells of sample
// row k start at acc + k * stride, S per pixel), clearing the cells; returns the count right of
// hi. Pixels whose cells no edge touched keep every row's winding, so such runs get one
// constant count without the running sums.
template <int S>
int countSamples(int32_t* acc, size_t stride, uint8_t* out, int lo, int hi, FillRule rule) {
    int32_t winding[S] = {};
    auto untouched = [&](int p) {
        for (int k = 0; k < S; ++k) {
            const int32_t* cells = acc + size_t(k) * stride + size_t(p) * S;
            for (int s = 0; s < S; ++s)
                if (cells[s] != 0) return false;
        }
        return true;
    };
    auto constantCount = [&] {
        int n = 0;
        for (int k = 0; k < S; ++k) n += insideByRule(winding[k], rule) ? S : 0;
        return n;
    };
    int p = lo;
    while (p <= hi) {
        if (!untouched(p)) {
            int n = 0;
            for (int k = 0; k < S; ++k) {
                int32_t* cells = acc + size_t(k) * stride + size_t(p) * S;
                for (int s = 0; s < S; ++s) {
                    winding[k] += cells[s];
                    cells[s] = 0;
                    n += insideByRule(winding[k], rule);
                }
            }
            out[p++] = uint8_t(n);
            continue;
        }
        int end = p + 1;
        while (end <= hi && untouched(end)) ++end;
        std::memset(out + p, constantCount(), size_t(end - p));
        p = end;
    }
    return constantCount();
}

}  // namespace

bool CoverageRasterizer::resolveSamples(Slot& slot, int32_t* acc, uint8_t* out, FillRule rule,
                                        int& x0, int& x1) {
    if (slot.hi < 0) return false;
    const int S = samples_;
    const int columns = width_ * S;
    const size_t stride = size_t(columns) + 1;
    const int lo = slot.lo / S;
    const int hi = std::min(slot.hi / S, width_ - 1);
    const int tailCount = S == 1 ? countSamples<1>(acc, stride, out, lo, hi, rule)
                                 : countSamples<2>(acc, stride, out, lo, hi, rule);
    for (int k = 0; k < S; ++k) acc[size_t(k) * stride + size_t(columns)] = 0;
    // Samples inside -> coverage, rounded: 0..1 or 0..4 samples.
    const int total = S * S;
    uint8_t toCoverage[5] = {};
    for (int n = 0; n <= total; ++n) toCoverage[n] = uint8_t((n * 255 + total / 2) / total);
    uint8_t any = 0;
    for (int j = lo; j <= hi; ++j) {
        uint8_t c = toCoverage[out[j]];
        out[j] = c;
        any |= c;
    }
    int end = hi + 1;
    if (tailCount != 0 && end < width_) {
        std::fill(out + end, out + width_, toCoverage[tailCount]);
        end = width_;
        any = 1;
    }
    x0 = lo;
    x1 = std::max(lo, end);
    return any != 0 && lo < end;
}

bool CoverageRasterizer::rasterize(const std::vector<Segment>& segments,
                                   const std::vector<FillRule>& rules, IntRect clip,
                                   RowSink& sink) {
    if (clip.empty() || segments.empty() || rules.empty()) return true;

    float minX = segments[0].x0, maxX = minX, minY = segments[0].y0, maxY = segments[0].y1;
    for (const Segment& s : segments) {
        minX = std::min({minX, s.x0, s.x1});
        maxX = std::max({maxX, s.x0, s.x1});
        minY = std::min(minY, s.y0);
        maxY = std::max(maxY, s.y1);
    }
    const int top = std::max(clip.y0, int(std::floor(minY)));
    const int bottom = std::min(clip.y1, int(std::ceil(maxY)));
    left_ = std::max(clip.x0, int(std::floor(minX)));
    const int right = std::min(clip.x1, int(std::floor(maxX)) + 1);
    if (top >= bottom || left_ >= right) return true;
    width_ = right - left_;
    cellsPerSlot_ = samples_ == 0 ? size_t(width_) + 1
                                  : size_t(samples_) * (size_t(width_) * size_t(samples_) + 1);

    // Bucket the segments by their first row inside the clip (a counting sort keeps file order
    // within a row, so the result never depends on sort stability).
    const int rows = bottom - top;
    rowStart_.assign(size_t(rows) + 1, 0);
    order_.assign(segments.size(), UINT32_MAX);
    int64_t work = 0;
    bool complete = true;
    for (size_t i = 0; i < segments.size(); ++i) {
        const Segment& s = segments[i];
        if (s.item >= rules.size()) continue;
        int first = std::max(top, int(std::floor(s.y0)));
        int last = std::min(bottom, int(std::ceil(s.y1)));
        if (first >= last) continue;
        work += last - first;
        if (work > kMaxSegmentRows) {
            complete = false;
            break;
        }
        order_[i] = uint32_t(first - top);
        ++rowStart_[size_t(first - top) + 1];
    }
    for (int r = 0; r < rows; ++r) rowStart_[size_t(r) + 1] += rowStart_[size_t(r)];
    {
        std::vector<uint32_t>& fillPos = active_;  // reused as scratch before the row loop
        fillPos.assign(rowStart_.begin(), rowStart_.end() - 1);
        std::vector<uint32_t>& sorted = sorted_;
        sorted.resize(rowStart_[size_t(rows)]);
        for (size_t i = 0; i < segments.size(); ++i) {
            if (order_[i] == UINT32_MAX) continue;
            sorted[fillPos[order_[i]]++] = uint32_t(i);
        }
        order_.swap(sorted);
    }
    // Segments that began above the clip share its first row: order them by the row they
    // began on, as a clip reaching higher would have. Every row then sums its pieces in the
    // same order wherever the clip's top is (float sums in another order round differently,
    // and bands of one picture would meet with a seam).
    if (rowStart_[1] > 1) {
        std::sort(order_.begin(), order_.begin() + rowStart_[1], [&](uint32_t a, uint32_t b) {
            const float ya = std::floor(segments[a].y0), yb = std::floor(segments[b].y0);
            return ya != yb ? ya < yb : a < b;
        });
    }
    active_.clear();

    slotOfItem_.assign(rules.size(), -1);
    slots_.clear();
    if (coverage_.size() < size_t(width_)) coverage_.resize(size_t(width_));

    std::vector<uint32_t>& itemOrder = itemOrder_;
    activeX_.clear();
    for (int r = 0; r < rows; ++r) {
        for (uint32_t k = rowStart_[size_t(r)]; k < rowStart_[size_t(r) + 1]; ++k) {
            active_.push_back(order_[k]);
            activeX_.push_back(std::numeric_limits<float>::quiet_NaN());  // not known yet
        }
        if (active_.empty()) continue;
        const int y = top + r;
        size_t keep = 0;
        for (size_t a = 0; a < active_.size(); ++a) {
            const uint32_t index = active_[a];
            const Segment& s = segments[index];
            int slotIndex = slotFor(s.item);
            Slot& slot = slots_[size_t(slotIndex)];
            float carriedX = activeX_[a];
            if (samples_ == 0) {
                addAreaPiece(slot, areaCells_.data() + size_t(slotIndex) * cellsPerSlot_, s, y, carriedX);
            } else {
                addSamplePieces(slot, sampleCells_.data() + size_t(slotIndex) * cellsPerSlot_, s, y);
            }
            if (s.y1 > float(y + 1)) {
                active_[keep] = index;
                activeX_[keep++] = carriedX;
            }
        }
        active_.resize(keep);
        activeX_.resize(keep);

        itemOrder.clear();
        for (size_t i = 0; i < slots_.size(); ++i) itemOrder.push_back(uint32_t(i));
        if (itemOrder.size() > 1) {
            std::sort(itemOrder.begin(), itemOrder.end(),
                      [&](uint32_t a, uint32_t b) { return slots_[a].item < slots_[b].item; });
        }
        if (coverage_.size() < slots_.size() * size_t(width_)) coverage_.resize(slots_.size() * size_t(width_));
        rows_.clear();
        for (uint32_t slotIndex : itemOrder) {
            Slot& slot = slots_[slotIndex];
            uint8_t* out = coverage_.data() + size_t(slotIndex) * size_t(width_);
            FillRule rule = rules[slot.item];
            int x0 = 0, x1 = 0;
            bool any = samples_ == 0
                           ? resolveArea(slot, areaCells_.data() + slotIndex * cellsPerSlot_, out, rule, x0, x1)
                           : resolveSamples(slot, sampleCells_.data() + slotIndex * cellsPerSlot_, out, rule, x0, x1);
            if (any) rows_.push_back({slot.item, left_ + x0, left_ + x1, out + x0});
            slotOfItem_[slot.item] = -1;
        }
        slots_.clear();
        if (!rows_.empty()) sink.row(y, rows_.data(), int(rows_.size()));
    }
    return complete;
}

}  // namespace swf::render
