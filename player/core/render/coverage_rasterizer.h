// Scanline coverage rasterizer for several paint items at once.
//
// Algorithm (Quality::High): exact area coverage by signed-area accumulation, the method of
// font-rs (R. Levien, "Inside the fastest font renderer in the world", 2016) and of the
// libart / FreeType "gray" sparse scanline rasterizers: every line segment adds, in each pixel
// row it crosses, the change of covered area it causes from one pixel to the next; a running
// sum along the row then gives every pixel's signed winding area, from which the fill rule makes
// the coverage (non-zero: |a| clamped to 1; even-odd: a folded around every even integer).
// Rows are independent (the winding of a point is counted along its own row), so each row is
// accumulated only over the cells its segments touch, only for the rows inside the clip, and
// only for the items that have segments in it.
//
// Quality::Medium and Low sample instead: 2 x 2 or 1 sample point per pixel, each tested
// exactly against the winding rule, the coverage being the fraction of samples inside.
//
// Deterministic: the same segments always give the same bytes (no threading, no reordering),
// and a row's bytes do not depend on the clip's other rows, so bands of one picture agree.
//
// Known limit of area accumulation: it integrates the winding number over the pixel, so in an
// edge pixel where one item's own outlines overlap (self-overlapping contours, a stroke crossing
// itself), the rule is applied to the pixel's mean winding rather than point by point: under
// non-zero such a pixel comes out too dark by up to the overlapping share, under even-odd the
// overlap may not show as the hole it is inside that one pixel. Interior pixels are exact. The stroker cuts its pieces so that
// they do not overlap at the outline (see stroker.h).
#pragma once

#include <cstdint>
#include <vector>

#include "renderer.h"
#include "segment.h"

namespace swf::render {

enum class FillRule : uint8_t { EvenOdd, NonZero };

// One item's coverage on one pixel row: coverage[x - x0] for x0 <= x < x1, 0..255.
struct ItemRow {
    uint16_t item;
    int x0, x1;
    const uint8_t* coverage;
};

class RowSink {
public:
    virtual ~RowSink() = default;
    // Items are listed in increasing item order; every item listed has some coverage.
    virtual void row(int y, const ItemRow* items, int count) = 0;
};

class CoverageRasterizer {
public:
    // samplesPerAxis: 0 for exact area coverage, else 1 (aliased) or 2.
    explicit CoverageRasterizer(int samplesPerAxis) : samples_(samplesPerAxis) {}

    // Computes every cell through the plain general formulas (no shortcuts between rows or
    // columns); the bytes must be the same, the renderer's reference tests compare them.
    void setReferenceMode(bool on) { reference_ = on; }

    // Rasterizes the segments (each bounding segments[i].item < rules.size()) inside `clip` and
    // hands every row that has coverage to the sink. Returns false when the work cap was hit and
    // some segments were dropped.
    bool rasterize(const std::vector<Segment>& segments, const std::vector<FillRule>& rules,
                   IntRect clip, RowSink& sink);

    // Upper bound on segment-rows visited per call: millions of full-height edges would
    // otherwise take minutes.
    static constexpr int64_t kMaxSegmentRows = 48 * 1000 * 1000;

private:
    struct Slot {
        uint16_t item = 0;
        int lo = 0, hi = 0;  // touched cell range, inclusive
    };

    int slotFor(uint16_t item);
    // carriedX: where the segment left the row above (NaN when it did not cross it); updated.
    void addAreaPiece(Slot& slot, float* acc, const Segment& s, int row, float& carriedX);
    void addSamplePieces(Slot& slot, int32_t* acc, const Segment& s, int row);
    bool resolveArea(Slot& slot, float* acc, uint8_t* out, FillRule rule, int& x0, int& x1);
    bool resolveSamples(Slot& slot, int32_t* acc, uint8_t* out, FillRule rule, int& x0, int& x1);

    int samples_;
    bool reference_ = false;
    int left_ = 0, width_ = 0;  // pixel columns [left_, left_ + width_)
    size_t cellsPerSlot_ = 0;   // area: width_ + 1; samples: samples_ * (width_ * samples_ + 1)

    std::vector<uint32_t> order_, sorted_, rowStart_, active_, itemOrder_;
    std::vector<float> activeX_;  // beside active_: carriedX of addAreaPiece
    std::vector<int32_t> slotOfItem_;
    std::vector<Slot> slots_;
    std::vector<float> areaCells_;
    std::vector<int32_t> sampleCells_;
    std::vector<uint8_t> coverage_;
    std::vector<ItemRow> rows_;
};

}  // namespace swf::render
