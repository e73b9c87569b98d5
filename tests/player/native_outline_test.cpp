// GetGlyphOutline's GGO_NATIVE buffer read into a glyph shape (the reader is portable; the GDI
// call itself runs only on Windows).
#include <gtest/gtest.h>
#include <native_outline.h>

#include <vector>

namespace {

struct OutlineBytes {
    std::vector<uint8_t> b;
    void u16(int v) {
        b.push_back(uint8_t(v));
        b.push_back(uint8_t(v >> 8));
    }
    void u32(uint32_t v) {
        u16(int(v & 0xffff));
        u16(int(v >> 16));
    }
    void fixed(double v) {  // FIXED: WORD fraction, SHORT value
        int whole = int(v >= 0 ? v : v - 0.99999);
        u16(int((v - whole) * 65536));
        u16(whole);
    }
    void point(double x, double y) {
        fixed(x);
        fixed(y);
    }
    size_t contour(double x, double y) {  // TTPOLYGONHEADER; cb patched by end()
        size_t at = b.size();
        u32(0);
        u32(24);  // TT_POLYGON_TYPE
        point(x, y);
        return at;
    }
    void end(size_t at) {
        uint32_t cb = uint32_t(b.size() - at);
        for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(cb >> (8 * i));
    }
    void curve(int type, std::initializer_list<std::pair<double, double>> points) {
        u16(type);
        u16(int(points.size()));
        for (auto [x, y] : points) point(x, y);
    }
};

TEST(NativeOutline, LinesAndQuadraticSplinesBecomeEdgesYDownAndClosed) {
    OutlineBytes o;
    size_t at = o.contour(0, 0);
    o.curve(1, {{100.5, 0}, {100.5, 100}});             // TT_PRIM_LINE
    o.curve(2, {{50, 150}, {0, 150}, {0, 100}});      // TT_PRIM_QSPLINE: two quadratics
    o.end(at);
    swf::Shape s = swf::shapeFromNativeOutline(o.b.data(), o.b.size());
    ASSERT_EQ(s.layers.size(), 1u);
    EXPECT_TRUE(s.nonZeroWinding);
    const auto& e = s.layers[0].edges;
    ASSERT_EQ(e.size(), 5u) << "two lines, two curves, the closing line";
    EXPECT_FLOAT_EQ(e[0].to.x, 100.5f) << "16.16 fractions are kept";
    EXPECT_FLOAT_EQ(e[1].to.y, -100) << "y turns down";
    EXPECT_TRUE(e[2].curved);
    EXPECT_FLOAT_EQ(e[2].control.x, 50);
    EXPECT_FLOAT_EQ(e[2].to.x, 25) << "the implied on-curve point halfway between controls";
    EXPECT_FLOAT_EQ(e[2].to.y, -150);
    EXPECT_FLOAT_EQ(e[3].to.y, -100);
    EXPECT_FALSE(e[4].curved);
    EXPECT_FLOAT_EQ(e[4].to.x, 0);
    EXPECT_FLOAT_EQ(e[4].to.y, 0);
    EXPECT_EQ(s.bounds.yMin, -150);
    EXPECT_EQ(s.bounds.xMax, 101);
}

TEST(NativeOutline, TruncatedOrLyingBuffersGiveWhatWasWhole) {
    OutlineBytes o;
    size_t first = o.contour(0, 0);
    o.curve(1, {{10, 0}, {10, 10}});
    o.end(first);
    size_t second = o.contour(20, 0);
    o.curve(1, {{30, 0}, {30, 10}});
    o.end(second);
    for (size_t cut = 0; cut < o.b.size(); ++cut) {
        swf::Shape s = swf::shapeFromNativeOutline(o.b.data(), cut);
        size_t edges = s.layers.empty() ? 0 : s.layers[0].edges.size();
        EXPECT_EQ(edges, cut < second ? 0u : 3u) << "cut at " << cut;
    }
    OutlineBytes lying = o;
    lying.b[first + 16 + 2] = 200;  // the first record claims 200 points
    swf::Shape s = swf::shapeFromNativeOutline(lying.b.data(), lying.b.size());
    ASSERT_EQ(s.layers.size(), 1u);
    EXPECT_EQ(s.layers[0].edges.size(), 3u) << "only the second contour is whole";
    lying.b[first] = 4;  // a header shorter than itself stops the reading
    EXPECT_TRUE(swf::shapeFromNativeOutline(lying.b.data(), lying.b.size()).layers.empty());
}

}  // namespace
