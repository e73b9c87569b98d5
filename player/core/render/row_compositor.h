// Row sinks of the coverage rasterizer: one composites paint onto the canvas, one adds the
// covered area to a mask plane.
//
// All items handed over in one row are resolved together: each pixel becomes the
// coverage-weighted sum of the items' colours, normalised when the coverages add up to more
// than the pixel, and that sum goes over the canvas once. Two fills meeting at an edge that
// splits a pixel 50/50 thus leave no background showing through (composited one after the
// other, they would leave 25 %).
#pragma once

#include <cstdint>
#include <vector>

#include "bitmap.h"
#include "coverage_rasterizer.h"
#include "mask_stack.h"
#include "paint.h"

namespace swf::render {

class PaintCompositor : public RowSink {
public:
    // `mask` is a canvas-sized plane or null; `referenceMode` forces the general path for
    // every row (the single-item path must give identical bytes; tests compare them).
    PaintCompositor(Canvas& canvas, const std::vector<Paint>& paints, const uint8_t* mask,
                    bool referenceMode)
        : canvas_(canvas), paints_(paints), mask_(mask), reference_(referenceMode) {}

    void row(int y, const ItemRow* items, int count) override;

private:
    void singleItem(int y, const ItemRow& item);
    void severalItems(int y, const ItemRow* items, int count);
    const uint8_t* maskedCoverage(int y, const ItemRow& item);

    Canvas& canvas_;
    const std::vector<Paint>& paints_;
    const uint8_t* mask_;
    bool reference_;
    std::vector<uint32_t> colors_;
    std::vector<uint8_t> masked_;
    std::vector<uint32_t> sumCoverage_, sumA_, sumR_, sumG_, sumB_;
};

class MaskCompositor : public RowSink {
public:
    // `limit`, when given, scales what is added (a mask inside the mask's content).
    MaskCompositor(uint8_t* plane, int width, const uint8_t* limit = nullptr) : plane_(plane), limit_(limit), width_(width) {}
    void row(int y, const ItemRow* items, int count) override;
    // The box of all rows written so far.
    IntRect inked() const { return inked_; }

private:
    uint8_t* plane_;
    const uint8_t* limit_;
    int width_;
    IntRect inked_;
    std::vector<uint32_t> sum_;
};

}  // namespace swf::render
