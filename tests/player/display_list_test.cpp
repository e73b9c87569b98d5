// PlaceObject / RemoveObject semantics: place, move, replace, remove, PlaceObject 1 and 3.
#include "fixtures.h"
#include "test_movie.h"

namespace {

using testing_support::describe;
using testing_support::play;

TEST(DisplayList, PlaceMoveReplaceRemove) {
    auto player = play(fixtures::displayListMovie());
    ASSERT_TRUE(player);
    const swf::Clip& root = player->root();
    EXPECT_EQ(describe(root), "1:1 2:2");
    EXPECT_FLOAT_EQ(root.displayList().at(1).matrix.ty, 200);

    EXPECT_TRUE(player->stepFrame());
    EXPECT_EQ(describe(root), "1:1 2:2");
    EXPECT_FLOAT_EQ(root.displayList().at(1).matrix.ty, 1000) << "move changes the matrix";

    EXPECT_TRUE(player->stepFrame());
    EXPECT_EQ(describe(root), "1:3 2:2") << "replace swaps the character";
    EXPECT_FLOAT_EQ(root.displayList().at(1).matrix.ty, 1000) << "replace keeps the matrix";

    EXPECT_TRUE(player->stepFrame());
    EXPECT_EQ(describe(root), "1:3");
}

TEST(DisplayList, PlaceObjectOneAndThreeWithColourTransformAndFilters) {
    swfw::MovieWriter m(8, 50, 50, 12);
    m.add(fixtures::squareShape(1, 10, fixtures::rgb(255, 0, 0)));
    swf::ColorTransform cx;
    cx.rMul = 128;
    m.add(swfw::placeObject(1, 3, fixtures::at(5, 5), cx));
    swfw::Place p{7, 1, false, fixtures::at(1, 2)};
    p.name = "withFilter";
    p.colorTransform = swf::ColorTransform{};
    p.colorTransform->aMul = 64;
    m.add(swfw::placeObject3(p, true));
    m.showFrame();
    auto player = play(m.build());
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->movie().warnings.empty());
    const auto& list = player->root().displayList();
    EXPECT_EQ(describe(player->root()), "3:1 7:1");
    EXPECT_EQ(list.at(3).colorTransform.rMul, 128);
    EXPECT_EQ(list.at(7).name, "withFilter");
    EXPECT_EQ(list.at(7).colorTransform.aMul, 64);
    EXPECT_FLOAT_EQ(list.at(7).matrix.tx, 20);
}

TEST(DisplayList, UndefinedCharactersAndEmptyDepthsAreIgnored) {
    swfw::MovieWriter m(8, 50, 50, 12);
    m.add(fixtures::squareShape(1, 10, fixtures::rgb(255, 0, 0)));
    m.add(swfw::placeObject2({1, 99, false, fixtures::at(0, 0)}));       // no character 99
    m.add(swfw::placeObject2({2, std::nullopt, true, fixtures::at(0, 0)}));  // move on an empty depth
    m.add(swfw::removeObject2(5));                                        // nothing there
    m.add(swfw::placeObject2({3, 1, false, fixtures::at(0, 0)}));
    m.showFrame();
    auto player = play(m.build());
    ASSERT_TRUE(player);
    EXPECT_EQ(describe(player->root()), "3:1");
}

}  // namespace
