// Shape records to swf::Shape: absolute edges, style layers, relative indices, winding.
#include <parse/shape_records.h>

#include "fixtures.h"
#include "test_movie.h"

namespace {

using testing_support::character;
using testing_support::load;
using testing_support::morphShapeOf;

const swf::Shape& shapeOf(const swf::Movie& movie, uint16_t id) {
    return character<swf::ShapeCharacter>(movie, id, swf::CharacterKind::Shape).shape;
}

TEST(ShapeParse, EveryDefineShapeVersionAndItsStyles) {
    auto movie = load(fixtures::shapesMovie());
    ASSERT_TRUE(movie);
    EXPECT_TRUE(movie->warnings.empty()) << movie->warnings.front();

    const swf::Shape& square = shapeOf(*movie, 1);
    ASSERT_EQ(square.layers.size(), 1u);
    ASSERT_EQ(square.layers[0].fills.size(), 1u);
    EXPECT_EQ(square.layers[0].fills[0].color, (swf::Rgba{220, 30, 30, 255}));  // RGB gets opaque alpha
    ASSERT_EQ(square.layers[0].edges.size(), 4u);
    // Absolute coordinates, each edge starting where the previous one ended.
    const auto& e = square.layers[0].edges;
    EXPECT_EQ(e[0].from, (swf::Point{0, 0}));
    EXPECT_EQ(e[0].to, (swf::Point{800, 0}));
    EXPECT_EQ(e[2].to, (swf::Point{0, 800}));
    for (size_t i = 1; i < e.size(); ++i) EXPECT_EQ(e[i].from, e[i - 1].to);
    EXPECT_EQ(e[0].fill0, 0);
    EXPECT_EQ(e[0].fill1, 1);
    EXPECT_FALSE(square.nonZeroWinding);

    const swf::Shape& circle = shapeOf(*movie, 2);
    ASSERT_EQ(circle.layers[0].edges.size(), 4u);
    EXPECT_TRUE(circle.layers[0].edges[0].curved);
    EXPECT_EQ(circle.layers[0].edges[0].control, (swf::Point{800, 0}));
    EXPECT_EQ(circle.layers[0].edges[0].to, (swf::Point{800, 400}));
    EXPECT_EQ(circle.layers[0].edges[0].line, 1);
    EXPECT_EQ(circle.layers[0].lines[0].width, 40);
    EXPECT_EQ(circle.bounds.xMin, -20);

    // New styles open a new layer whose indices restart at 1.
    const swf::Shape& layered = shapeOf(*movie, 3);
    ASSERT_EQ(layered.layers.size(), 2u);
    EXPECT_EQ(layered.layers[0].fills[0].type, swf::FillType::LinearGradient);
    ASSERT_EQ(layered.layers[0].fills[0].gradient.records.size(), 2u);
    EXPECT_EQ(layered.layers[0].fills[0].gradient.records[1].color, (swf::Rgba{128, 0, 128, 255}));
    EXPECT_EQ(layered.layers[1].fills[0].color.a, 128);
    ASSERT_EQ(layered.layers[1].edges.size(), 4u);
    EXPECT_EQ(layered.layers[1].edges[0].fill1, 1);
    EXPECT_EQ(layered.layers[1].edges[0].from, (swf::Point{200, -100}));

    const swf::Shape& overlap = shapeOf(*movie, 4);
    EXPECT_TRUE(overlap.nonZeroWinding);
    const swf::LineStyle& line = overlap.layers[0].lines[0];
    EXPECT_EQ(line.join, swf::JoinStyle::Miter);
    EXPECT_FLOAT_EQ(line.miterLimit, 2.0f);
    EXPECT_EQ(line.startCap, swf::CapStyle::Square);
    EXPECT_EQ(line.color, (swf::Rgba{90, 40, 0, 255}));
    EXPECT_EQ(overlap.layers[0].edges.size(), 8u);
    EXPECT_EQ(overlap.layers[0].edges[4].from, (swf::Point{300, 300}));  // after the second move
}

TEST(ShapeParse, IndicesBeyondTheTableBecomeZero) {
    swf::RawShape raw;
    raw.styles.fills.resize(1);
    swf::ShapeRecord style;
    style.hasFill0 = style.hasFill1 = style.hasLine = true;
    style.fill0 = 7;  // no such fill
    style.fill1 = 1;
    style.line = 3;   // no lines at all
    swf::ShapeRecord edge;
    edge.kind = swf::ShapeRecord::Kind::Straight;
    edge.dx = 100;
    raw.records = {style, edge};
    swf::Shape shape = swf::buildShape(raw, swf::Rect{});
    ASSERT_EQ(shape.layers[0].edges.size(), 1u);
    EXPECT_EQ(shape.layers[0].edges[0].fill0, 0);
    EXPECT_EQ(shape.layers[0].edges[0].fill1, 1);
    EXPECT_EQ(shape.layers[0].edges[0].line, 0);
}

TEST(ShapeParse, EdgesWithoutStyleOnlyMoveThePen) {
    swf::RawShape raw;
    raw.styles.fills.resize(1);
    swf::ShapeRecord edge;
    edge.kind = swf::ShapeRecord::Kind::Straight;
    edge.dx = 50;
    swf::ShapeRecord style;
    style.hasFill1 = true;
    style.fill1 = 1;
    swf::ShapeRecord curve;
    curve.kind = swf::ShapeRecord::Kind::Curve;
    curve.dx = 10;
    curve.dy = 10;
    curve.ax = 10;
    curve.ay = -10;
    raw.records = {edge, style, curve};
    swf::Shape shape = swf::buildShape(raw, swf::Rect{});
    ASSERT_EQ(shape.layers[0].edges.size(), 1u);
    EXPECT_EQ(shape.layers[0].edges[0].from, (swf::Point{50, 0}));
    EXPECT_EQ(shape.layers[0].edges[0].control, (swf::Point{60, 10}));
    EXPECT_EQ(shape.layers[0].edges[0].to, (swf::Point{70, 0}));
}

TEST(ShapeParse, MorphShapeInterpolatesEdgesAndStyles) {
    auto player = testing_support::play(fixtures::morphMovie());
    ASSERT_TRUE(player);
    const auto& list = player->root().displayList();
    ASSERT_EQ(list.size(), 3u);
    const swf::Shape& start = *morphShapeOf(*list.at(1));
    const swf::Shape& middle = *morphShapeOf(*list.at(2));
    const swf::Shape& end = *morphShapeOf(*list.at(3));
    ASSERT_EQ(start.layers[0].edges.size(), 4u);
    ASSERT_EQ(end.layers[0].edges.size(), 4u);
    // The first edge goes from (0,0)-(400,0) to the curve (400,-200)-(800,200).
    EXPECT_EQ(start.layers[0].edges[0].from, (swf::Point{0, 0}));
    EXPECT_EQ(end.layers[0].edges[0].from, (swf::Point{400, -200}));
    EXPECT_TRUE(end.layers[0].edges[0].curved);
    EXPECT_EQ(end.layers[0].edges[0].control, (swf::Point{800, -200}));
    EXPECT_NEAR(middle.layers[0].edges[0].from.x, 200, 0.1);
    EXPECT_NEAR(middle.layers[0].edges[0].to.y, 100, 0.1);
    EXPECT_EQ(start.layers[0].fills[0].color, (swf::Rgba{220, 0, 0, 255}));
    EXPECT_EQ(end.layers[0].fills[0].color, (swf::Rgba{0, 0, 220, 128}));
    EXPECT_EQ(middle.layers[0].fills[0].color, (swf::Rgba{110, 0, 110, 191}));
    EXPECT_EQ(start.layers[0].lines[0].width, 20);
    EXPECT_EQ(middle.layers[0].lines[0].width, 50);
    EXPECT_EQ(end.layers[0].lines[0].width, 80);

    // A move that changes only the ratio re-interpolates.
    player->stepFrame();
    EXPECT_EQ(morphShapeOf(*player->root().displayList().at(1))->layers[0].edges[0].from, (swf::Point{400, -200}));
}

TEST(ShapeParse, MorphShapeTwoMatchesVersionOne) {
    // The same morph as DefineMorphShape2 with LineStyle2 records interpolates the same way.
    swfw::ShapeWriter start(3), end(3);
    start.fill1(1);
    start.line(1);
    start.moveTo(0, 0);
    start.lineTo(400, 0);
    start.lineTo(0, 400);
    start.lineTo(0, 0);
    end.moveTo(0, 0);
    end.lineTo(800, 0);
    end.lineTo(0, 800);
    end.lineTo(0, 0);
    swfw::MorphFillPair fill;
    fill.start.color = fixtures::rgb(0, 0, 0);
    fill.end.color = fixtures::rgb(200, 100, 50);
    swfw::MorphLinePair line{40, 0, fixtures::rgb(10, 10, 10), fixtures::rgb(10, 10, 10)};
    std::vector<const swf::Shape*> shapes;
    std::vector<std::unique_ptr<swf::Player>> players;
    for (int version : {1, 2}) {
        swfw::MovieWriter m(8, 60, 60, 12);
        m.add(swfw::defineMorphShape(1, swf::Rect{0, 400, 0, 400}, swf::Rect{0, 800, 0, 800}, {fill}, {line}, start,
                                     end, version));
        swfw::Place p{1, 1, false, fixtures::at(0, 0)};
        p.ratio = 16384;
        m.add(swfw::placeObject2(p));
        m.showFrame();
        players.push_back(testing_support::play(m.build()));
        ASSERT_TRUE(players.back());
        EXPECT_TRUE(players.back()->movie().warnings.empty()) << version;
        shapes.push_back(morphShapeOf(*players.back()->root().displayList().at(1)));
        ASSERT_TRUE(shapes.back());
    }
    const swf::Shape& v1 = *shapes[0];
    const swf::Shape& v2 = *shapes[1];
    ASSERT_EQ(v2.layers[0].edges.size(), 3u);
    EXPECT_NEAR(v2.layers[0].edges[0].to.x, 500, 0.1);
    EXPECT_EQ(v1.layers[0].edges[0].to, v2.layers[0].edges[0].to);
    EXPECT_EQ(v1.layers[0].fills[0].color, v2.layers[0].fills[0].color);
    EXPECT_EQ(v2.layers[0].lines[0].width, 30);
    EXPECT_EQ(v2.layers[0].lines[0].join, swf::JoinStyle::Round);
}

}  // namespace
