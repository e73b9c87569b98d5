// Builds shape records the way an authoring tool would: styles, pen moves and edges in twips.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <shape.h>

#include "bit_writer.h"

namespace swfw {

class ShapeWriter {
public:
    explicit ShapeWriter(int shapeVersion = 3) : version_(shapeVersion) { tables_.emplace_back(); }

    // Styles go to the current table; indices are 1-based within it, as in the file.
    int addFill(const swf::FillStyle& f) { tables_.back().fills.push_back(f); return int(tables_.back().fills.size()); }
    int addLine(const swf::LineStyle& l) { tables_.back().lines.push_back(l); return int(tables_.back().lines.size()); }
    int addSolidFill(swf::Rgba c);
    int addLine(uint16_t width, swf::Rgba c);
    // Starts a new style table; the following style change record carries it.
    void newStyles();

    void fill0(int i) { pending().fill0 = i; }
    void fill1(int i) { pending().fill1 = i; }
    void line(int i) { pending().line = i; }
    void moveTo(int32_t x, int32_t y) { pending().move = {x, y}; x_ = x; y_ = y; }
    void lineTo(int32_t x, int32_t y);
    void curveTo(int32_t cx, int32_t cy, int32_t x, int32_t y);
    // Closed rectangle drawn clockwise with fill1 (fills on the right of clockwise edges).
    void rect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int fill);

    // SHAPEWITHSTYLE: the first table, then the records. SHAPE: records only (glyphs, morphs).
    std::vector<uint8_t> shapeWithStyle() const;
    std::vector<uint8_t> shapeOnly() const;
    // Just the first style table (a morph writes its own).
    const std::vector<swf::FillStyle>& fills() const { return tables_.front().fills; }

private:
    struct Table {
        std::vector<swf::FillStyle> fills;
        std::vector<swf::LineStyle> lines;
    };
    struct Record {
        bool edge = false;
        bool curved = false;
        int32_t dx = 0, dy = 0, ax = 0, ay = 0;
        std::optional<std::pair<int32_t, int32_t>> move;
        std::optional<int> fill0, fill1, line;
        int table = -1;  // index into tables_ of a new style table
    };
    Record& pending();
    void writeTable(BitWriter& w, const Table& t) const;
    void writeRecords(BitWriter& w, int firstTable) const;

    int version_;
    std::vector<Table> tables_;
    std::vector<Record> records_;
    int32_t x_ = 0, y_ = 0;
};

}  // namespace swfw
