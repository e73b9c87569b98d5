// Coverage of filled shapes: exact area, fill rules, edge sides and order, seams, curves and the
// sampled quality levels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "test_canvas.h"
#include "test_shapes.h"

namespace swf::test {
namespace {

// Coverage of a black fill drawn over white, read back from the red channel.
int coverageAt(const Canvas& c, int x, int y) { return 255 - pixel(c, x, y).r; }

Canvas drawBlack(const Shape& shape, int size, Quality quality = Quality::High) {
    Canvas canvas = whiteCanvas(size, size);
    Renderer renderer(canvas, quality);
    renderer.drawShape(shape, pixelsToDevice(), ColorTransform());
    return canvas;
}

TEST(Coverage, PixelAlignedSquareIsExact) {
    Canvas c = drawBlack(rectShape(2, 3, 6, 7, solidFill(kBlack)), 10);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 2 && x < 6 && y >= 3 && y < 7;
            EXPECT_EQ(word(c, x, y), inside ? 0xff000000u : 0xffffffffu) << x << "," << y;
        }
    }
}

TEST(Coverage, HalfPixelSquareHasHalfEdgesAndQuarterCorners) {
    Canvas c = drawBlack(rectShape(2.5f, 2.5f, 5.5f, 5.5f, solidFill(kBlack)), 8);
    EXPECT_EQ(coverageAt(c, 2, 2), 64);   // corner: a quarter
    EXPECT_EQ(coverageAt(c, 5, 5), 64);
    EXPECT_EQ(coverageAt(c, 3, 2), 128);  // edge: a half
    EXPECT_EQ(coverageAt(c, 2, 4), 128);
    EXPECT_EQ(coverageAt(c, 3, 3), 255);
    EXPECT_EQ(coverageAt(c, 4, 4), 255);
    EXPECT_EQ(coverageAt(c, 1, 3), 0);
    EXPECT_EQ(coverageAt(c, 6, 3), 0);
}

// Exact area of the polygon inside the pixel square, by clipping (Sutherland-Hodgman).
double clippedArea(std::vector<Point> poly, int px, int py) {
    auto clip = [&](auto inside, auto cross) {
        std::vector<Point> out;
        for (size_t i = 0; i < poly.size(); ++i) {
            Point a = poly[i], b = poly[(i + 1) % poly.size()];
            if (inside(a)) out.push_back(a);
            if (inside(a) != inside(b)) out.push_back(cross(a, b));
        }
        poly = out;
    };
    auto atX = [](float x) {
        return [x](Point a, Point b) { return Point{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)}; };
    };
    auto atY = [](float y) {
        return [y](Point a, Point b) { return Point{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y}; };
    };
    clip([&](Point p) { return p.x >= px; }, atX(float(px)));
    clip([&](Point p) { return p.x <= px + 1; }, atX(float(px + 1)));
    clip([&](Point p) { return p.y >= py; }, atY(float(py)));
    clip([&](Point p) { return p.y <= py + 1; }, atY(float(py + 1)));
    double area = 0;
    for (size_t i = 0; i < poly.size(); ++i) {
        Point a = poly[i], b = poly[(i + 1) % poly.size()];
        area += double(a.x) * b.y - double(b.x) * a.y;
    }
    return std::fabs(area) / 2;
}

// A random convex polygon: points around a centre, sorted by angle, snapped to whole twips.
std::vector<Point> randomConvexPolygon(std::mt19937& rng, float lo, float hi) {
    std::uniform_real_distribution<float> coord(lo, hi), radius(1, 10), angle(0, 6.2831853f);
    Point centre{coord(rng), coord(rng)};
    std::vector<std::pair<float, Point>> byAngle;
    for (int i = 0; i < 5; ++i) {
        float a = angle(rng), r = radius(rng);
        byAngle.push_back({a, {centre.x + r * std::cos(a), centre.y + r * std::sin(a)}});
    }
    std::sort(byAngle.begin(), byAngle.end(), [](auto& l, auto& r) { return l.first < r.first; });
    std::vector<Point> poly;
    for (auto& e : byAngle) poly.push_back({std::round(e.second.x * 20) / 20, std::round(e.second.y * 20) / 20});
    return poly;
}

// The polygon's corners on the lattice of 1 / cells pixels, halves upwards: where the
// renderer puts an outline before it counts coverage.
std::vector<Point> snapped(std::vector<Point> poly, int cells) {
    for (Point& p : poly) p = {std::floor(p.x * cells + 0.5f) / cells, std::floor(p.y * cells + 0.5f) / cells};
    return poly;
}

// Largest difference between drawn and exact coverage (of the quarter-snapped outline) over the
// clip rectangle.
int worstCoverageError(const std::vector<Point>& drawn, IntRect clip) {
    const std::vector<Point> poly = snapped(drawn, 4);
    Canvas c = whiteCanvas(24, 24);
    Renderer renderer(c, Quality::High);
    renderer.setClipRect(clip);
    renderer.drawShape(ShapeBuilder().fill(solidFill(kBlack)).use(0, 1).polygon(drawn).build(), pixelsToDevice(), ColorTransform());
    int worst = 0;
    for (int y = clip.y0; y < clip.y1; ++y) {
        for (int x = clip.x0; x < clip.x1; ++x) {
            int expected = int(std::lround(clippedArea(poly, x, y) * 255));
            worst = std::max(worst, std::abs(coverageAt(c, x, y) - expected));
        }
    }
    return worst;
}

TEST(Coverage, MatchesExactAreaOfRandomConvexPolygons) {
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        EXPECT_LE(worstCoverageError(randomConvexPolygon(rng, 1, 23), {0, 0, 24, 24}), 1) << "polygon " << round;
    }
}

// Regression: slanted edges crossing the left side of the canvas or of the clip rectangle lost
// the part of their coverage change that fell left of it, leaving streaks along whole rows.
TEST(Coverage, PolygonsCrossingTheCanvasAndClipEdgesKeepExactArea) {
    std::mt19937 rng(11);
    for (int round = 0; round < 60; ++round) {
        std::vector<Point> poly = randomConvexPolygon(rng, -4, 28);
        EXPECT_LE(worstCoverageError(poly, {0, 0, 24, 24}), 1) << "polygon " << round;
        EXPECT_LE(worstCoverageError(poly, {7, 5, 17, 19}), 1) << "polygon " << round << " clipped";
    }
}

bool insidePolygon(const std::vector<Point>& poly, float x, float y) {
    bool inside = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Point a = poly[i], b = poly[j];
        if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y)) inside = !inside;
    }
    return inside;
}

TEST(Coverage, SampledLevelsCountTheirSamplePointsExactly) {
    std::mt19937 rng(5);
    for (int round = 0; round < 40; ++round) {
        const std::vector<Point> drawn = randomConvexPolygon(rng, -4, 28);
        for (int samples : {1, 2}) {
            // Snapped, the corners lie on the sample lattice and many samples lie exactly on an
            // edge: those on a left or top edge count, those on a right or bottom edge do not.
            const std::vector<Point> poly = snapped(drawn, samples);
            Canvas c = whiteCanvas(24, 24);
            Renderer renderer(c, samples == 1 ? Quality::Low : Quality::Medium);
            renderer.setClipRect({3, 0, 24, 21});
            renderer.drawShape(ShapeBuilder().fill(solidFill(kBlack)).use(0, 1).polygon(drawn).build(), pixelsToDevice(), ColorTransform());
            for (int y = 0; y < 21; ++y) {
                for (int x = 3; x < 24; ++x) {
                    int inside = 0;
                    for (int sy = 0; sy < samples; ++sy)
                        for (int sx = 0; sx < samples; ++sx)
                            inside += insidePolygon(poly, float(x) + float(sx) / float(samples),
                                                    float(y) + float(sy) / float(samples));
                    EXPECT_EQ(coverageAt(c, x, y), (inside * 255 + samples * samples / 2) / (samples * samples))
                        << "polygon " << round << " samples " << samples << " at " << x << "," << y;
                }
            }
        }
    }
}

// Two opaque fills meeting on an edge through the middle of pixel column 4 (and a slanted one):
// the split pixels must hold no white at all.
TEST(Coverage, SharedEdgeLeavesNoSeam) {
    const Rgba red{255, 0, 0, 255}, blue{0, 0, 255, 255};
    for (float slant : {0.0f, 3.0f}) {
        ShapeBuilder b;
        b.fill(solidFill(red)).fill(solidFill(blue));
        // The outlines of the two halves are recorded in scrambled order and directions, the
        // shared edge first, with the left fill on its right as it runs down the screen.
        b.use(2, 1).moveTo(4.5f, 1).lineTo(4.5f + slant, 9);
        b.use(0, 2).moveTo(8, 9).lineTo(4.5f + slant, 9);
        b.use(0, 2).moveTo(8, 1).lineTo(8, 9);
        b.use(0, 1).moveTo(1, 1).lineTo(4.5f, 1);
        b.use(0, 2).moveTo(4.5f, 1).lineTo(8, 1);
        b.use(1, 0).moveTo(1, 1).lineTo(1, 9).lineTo(4.5f + slant, 9);
        Canvas c = drawBlack(b.build(), 10);
        for (int y = 1; y < 9; ++y) {
            for (int x = 1; x < 8; ++x) {
                Rgba p = pixel(c, x, y);
                EXPECT_EQ(p.g, 0) << "background in " << x << "," << y << " slant " << slant;
                EXPECT_NEAR(p.r + p.b, 255, 1) << x << "," << y;
            }
        }
        if (slant == 0) EXPECT_NEAR(pixel(c, 4, 5).r, 128, 1);
    }
}

TEST(Coverage, FillSideDecidesDirection) {
    // fill1 on a clockwise outline and fill0 on the same outline reversed: the same pixels.
    Canvas right = drawBlack(ShapeBuilder().fill(solidFill(kBlack)).use(0, 1).rect(1.3f, 1.7f, 6.2f, 5.1f).build(), 8);
    Canvas left = drawBlack(ShapeBuilder()
                                .fill(solidFill(kBlack))
                                .use(1, 0)
                                .polygon({{1.3f, 1.7f}, {1.3f, 5.1f}, {6.2f, 5.1f}, {6.2f, 1.7f}})
                                .build(),
                            8);
    EXPECT_EQ(right.pixels, left.pixels);
    EXPECT_EQ(coverageAt(right, 3, 3), 255);
}

// An outer square with an inner square wound the same way or the opposite way.
Shape squareWithInner(bool innerReversed, bool nonZero) {
    ShapeBuilder b;
    b.fill(solidFill(kBlack)).use(0, 1).nonZero(nonZero).rect(1, 1, 11, 11);
    if (innerReversed) {
        b.polygon({{4, 4}, {4, 8}, {8, 8}, {8, 4}});
    } else {
        b.rect(4, 4, 8, 8);
    }
    return b.build();
}

TEST(Coverage, HolesFollowTheFillRule) {
    struct Case {
        bool innerReversed, nonZero, hole;
    } cases[] = {{false, false, true}, {true, false, true}, {false, true, false}, {true, true, true}};
    for (const Case& k : cases) {
        Canvas c = drawBlack(squareWithInner(k.innerReversed, k.nonZero), 12);
        EXPECT_EQ(coverageAt(c, 6, 6), k.hole ? 0 : 255) << "reversed " << k.innerReversed << " nonZero " << k.nonZero;
        EXPECT_EQ(coverageAt(c, 2, 2), 255);
        EXPECT_EQ(coverageAt(c, 0, 0), 0);
    }
}

TEST(Coverage, CirclesOfCurvesInBothDirections) {
    for (bool ccw : {false, true}) {
        Canvas c = drawBlack(ShapeBuilder().fill(solidFill(kBlack)).use(0, 1).circle(20, 20, 12, ccw).build(), 40);
        double total = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) total += coverageAt(c, x, y) / 255.0;
        // Area of the curved octagon: the polygon of its end points plus eight parabolic
        // segments of 2/3 of their control triangles.
        const double r = 12, half = 3.14159265 / 8;
        const double chord = 2 * r * std::sin(half), height = r / std::cos(half) - r * std::cos(half);
        const double area = 8 * (0.5 * r * r * std::sin(2 * half) + 2.0 / 3 * 0.5 * chord * height);
        // Flattening within 0.1 pixel loses at most 2/3 x 0.1 x the perimeter (about 5).
        EXPECT_LT(total, area);
        EXPECT_GT(total, area - 5);
        EXPECT_EQ(coverageAt(c, 20, 20), 255);
        EXPECT_EQ(coverageAt(c, 20, 33), 0);
        EXPECT_GT(coverageAt(c, 20, 31), 0);  // the rim row at y = 31..32 is partly covered
        EXPECT_LT(coverageAt(c, 20, 31), 255);
    }
}

TEST(Coverage, EvenOddOfSampledQualityCountsWindingsPerSample) {
    Canvas c = drawBlack(squareWithInner(false, false), 12, Quality::Medium);
    EXPECT_EQ(coverageAt(c, 6, 6), 0);
    EXPECT_EQ(coverageAt(c, 2, 2), 255);
    Canvas nz = drawBlack(squareWithInner(false, true), 12, Quality::Low);
    EXPECT_EQ(coverageAt(nz, 6, 6), 255);
}

TEST(Coverage, OverlappingFillsOfOneLayerShareThePixelInProportion) {
    // Two opaque squares of the same layer overlapping (a malformed but legal file): the overlap
    // shows both colours half and half, not a sum brighter than either.
    ShapeBuilder b;
    b.fill(solidFill({255, 0, 0, 255})).fill(solidFill({0, 0, 255, 255}));
    b.use(0, 1).rect(1, 1, 6, 6).use(0, 2).rect(3, 3, 8, 8);
    Canvas c = drawBlack(b.build(), 10);
    Rgba overlap = pixel(c, 4, 4);
    EXPECT_NEAR(overlap.r, 128, 1);
    EXPECT_NEAR(overlap.b, 128, 1);
    EXPECT_EQ(overlap.g, 0);
    EXPECT_EQ(word(c, 2, 2), premultiply({255, 0, 0, 255}));
}


// Regression: the rows below a clip's top edge depended on where that edge was. Segments that
// began above the clip entered the row sums in file order, those below it by their first row,
// and float sums in another order round differently: a band boundary showed as a row one unit
// off. Scribbles of many crossing edges, with curves, at every clip top and every quality.
TEST(Coverage, RowsBelowAClipTopAreTheSameWhereverTheTopIs) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> coord(-2, 34);
    for (int round = 0; round < 6; ++round) {
        ShapeBuilder builder;
        builder.fill(solidFill(Rgba{200, 40, 90, 170})).use(0, 1).nonZero(round % 2 == 1).moveTo(coord(rng), coord(rng));
        for (int i = 0; i < 40; ++i) {
            if (i % 3 == 0) builder.curveTo(coord(rng), coord(rng), coord(rng), coord(rng));
            else builder.lineTo(coord(rng), coord(rng));
        }
        const Shape shape = builder.build();
        for (Quality quality : {Quality::Low, Quality::Medium, Quality::High}) {
            Canvas whole = whiteCanvas(32, 32);
            Renderer(whole, quality).drawShape(shape, pixelsToDevice(), ColorTransform());
            for (int top = 1; top < 32; ++top) {
                Canvas band = whiteCanvas(32, 32);
                Renderer renderer(band, quality);
                renderer.setClipRect({0, top, 32, 32});
                renderer.drawShape(shape, pixelsToDevice(), ColorTransform());
                const auto rows = [top](const Canvas& c) { return std::vector<uint32_t>(c.pixels.begin() + top * 32, c.pixels.end()); };
                ASSERT_EQ(rows(whole), rows(band)) << "round " << round << ", quality " << int(quality) << ", top " << top;
            }
        }
    }
}

}  // namespace
}  // namespace swf::test
