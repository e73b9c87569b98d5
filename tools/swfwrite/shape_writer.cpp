#include "shape_writer.h"

#include <algorithm>

#include "records.h"

namespace swfw {

int ShapeWriter::addSolidFill(swf::Rgba c) {
    swf::FillStyle f;
    f.color = c;
    return addFill(f);
}

int ShapeWriter::addLine(uint16_t width, swf::Rgba c) {
    swf::LineStyle l;
    l.width = width;
    l.color = c;
    return addLine(l);
}

void ShapeWriter::newStyles() {
    tables_.emplace_back();
    pending().table = int(tables_.size() - 1);
}

ShapeWriter::Record& ShapeWriter::pending() {
    if (records_.empty() || records_.back().edge) records_.emplace_back();
    return records_.back();
}

void ShapeWriter::lineTo(int32_t x, int32_t y) {
    Record r;
    r.edge = true;
    r.dx = x - x_;
    r.dy = y - y_;
    records_.push_back(r);
    x_ = x;
    y_ = y;
}

void ShapeWriter::curveTo(int32_t cx, int32_t cy, int32_t x, int32_t y) {
    Record r;
    r.edge = true;
    r.curved = true;
    r.dx = cx - x_;
    r.dy = cy - y_;
    r.ax = x - cx;
    r.ay = y - cy;
    records_.push_back(r);
    x_ = x;
    y_ = y;
}

void ShapeWriter::rect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int fill) {
    fill0(0);
    fill1(fill);
    moveTo(x0, y0);
    lineTo(x1, y0);
    lineTo(x1, y1);
    lineTo(x0, y1);
    lineTo(x0, y0);
}

void ShapeWriter::writeTable(BitWriter& w, const Table& t) const {
    auto count = [&](size_t n) {
        if (n >= 0xff && version_ >= 2) {
            w.u8(0xff);
            w.u16(uint32_t(n));
        } else {
            w.u8(uint32_t(n));
        }
    };
    count(t.fills.size());
    for (const auto& f : t.fills) writeFillStyle(w, f, version_);
    count(t.lines.size());
    for (const auto& l : t.lines) writeLineStyle(w, l, version_);
}

void ShapeWriter::writeRecords(BitWriter& w, int firstTable) const {
    const Table* table = &tables_[size_t(firstTable)];
    // Glyphs and morph edges refer to styles kept elsewhere: size the fields by the indices used.
    uint32_t maxFill = uint32_t(table->fills.size()), maxLine = uint32_t(table->lines.size());
    for (const Record& r : records_) {
        if (r.table > 0) break;
        maxFill = std::max({maxFill, uint32_t(r.fill0.value_or(0)), uint32_t(r.fill1.value_or(0))});
        maxLine = std::max(maxLine, uint32_t(r.line.value_or(0)));
    }
    int fillBits = BitWriter::unsignedBits(maxFill);
    int lineBits = BitWriter::unsignedBits(maxLine);
    w.align();
    w.ubits(uint32_t(fillBits), 4);
    w.ubits(uint32_t(lineBits), 4);
    for (const Record& r : records_) {
        if (r.edge) {
            w.bit(true);
            if (!r.curved) {
                int n = std::max({2, BitWriter::signedBits(r.dx), BitWriter::signedBits(r.dy)});
                w.bit(true);
                w.ubits(uint32_t(n - 2), 4);
                w.bit(true);  // general line
                w.sbits(r.dx, n);
                w.sbits(r.dy, n);
            } else {
                int n = std::max({2, BitWriter::signedBits(r.dx), BitWriter::signedBits(r.dy),
                                  BitWriter::signedBits(r.ax), BitWriter::signedBits(r.ay)});
                w.bit(false);
                w.ubits(uint32_t(n - 2), 4);
                w.sbits(r.dx, n);
                w.sbits(r.dy, n);
                w.sbits(r.ax, n);
                w.sbits(r.ay, n);
            }
            continue;
        }
        if (r.table > 0) {
            // New styles go in a record of their own so the indices that follow are written
            // with the new table's bit widths.
            table = &tables_[size_t(r.table)];
            fillBits = BitWriter::unsignedBits(uint32_t(table->fills.size()));
            lineBits = BitWriter::unsignedBits(uint32_t(table->lines.size()));
            w.bit(false);
            w.ubits(0x10, 5);
            writeTable(w, *table);
            w.align();
            w.ubits(uint32_t(fillBits), 4);
            w.ubits(uint32_t(lineBits), 4);
        }
        uint32_t flags = (r.line ? 0x08 : 0) | (r.fill1 ? 0x04 : 0) | (r.fill0 ? 0x02 : 0) | (r.move ? 0x01 : 0);
        if (flags == 0) continue;
        w.bit(false);
        w.ubits(flags, 5);
        if (r.move) {
            int n = std::max(BitWriter::signedBits(r.move->first), BitWriter::signedBits(r.move->second));
            w.ubits(uint32_t(n), 5);
            w.sbits(r.move->first, n);
            w.sbits(r.move->second, n);
        }
        if (r.fill0) w.ubits(uint32_t(*r.fill0), fillBits);
        if (r.fill1) w.ubits(uint32_t(*r.fill1), fillBits);
        if (r.line) w.ubits(uint32_t(*r.line), lineBits);
    }
    w.bit(false);
    w.ubits(0, 5);
    w.align();
}

std::vector<uint8_t> ShapeWriter::shapeWithStyle() const {
    BitWriter w;
    writeTable(w, tables_.front());
    writeRecords(w, 0);
    return w.take();
}

std::vector<uint8_t> ShapeWriter::shapeOnly() const {
    BitWriter w;
    writeRecords(w, 0);
    return w.take();
}

}  // namespace swfw
