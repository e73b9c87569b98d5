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
    EXPECT_FLOAT_EQ(root.displayList().at(1)->state().matrix.ty, 200);

    EXPECT_TRUE(player->stepFrame());
    EXPECT_EQ(describe(root), "1:1 2:2");
    EXPECT_FLOAT_EQ(root.displayList().at(1)->state().matrix.ty, 1000) << "move changes the matrix";

    EXPECT_TRUE(player->stepFrame());
    EXPECT_EQ(describe(root), "1:3 2:2") << "replace swaps the character";
    EXPECT_FLOAT_EQ(root.displayList().at(1)->state().matrix.ty, 1000) << "replace keeps the matrix";

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
    swfw::PlaceEffects effects;
    swf::Filter blur;
    blur.blurX = 4;
    blur.blurY = 2.5f;
    blur.passes = 2;
    swf::Filter bevel;
    bevel.kind = swf::FilterKind::Bevel;
    bevel.color = fixtures::rgb(1, 2, 3, 4);
    bevel.highlight = fixtures::rgb(5, 6, 7, 8);
    bevel.angle = 0.5f;
    bevel.distance = 3;
    bevel.strength = 1.5f;
    bevel.onTop = true;
    bevel.knockout = true;
    bevel.passes = 3;
    swf::Filter convolution;
    convolution.kind = swf::FilterKind::Convolution;
    convolution.columns = 2;
    convolution.rows = 1;
    convolution.kernel = {0.25f, -1};
    convolution.clamp = false;
    effects.filters = {blur, bevel, convolution};
    effects.blendMode = 4;  // screen
    effects.cacheAsBitmap = true;
    effects.opaqueBackground = fixtures::rgb(9, 8, 7);
    m.add(swfw::placeObject3(p, effects));
    m.showFrame();
    auto player = play(m.build());
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->movie().warnings.empty());
    const auto& list = player->root().displayList();
    EXPECT_EQ(describe(player->root()), "3:1 7:1");
    EXPECT_EQ(list.at(3)->state().colorTransform.rMul, 128);
    EXPECT_EQ(list.at(7)->state().name, "withFilter");
    EXPECT_EQ(list.at(7)->state().colorTransform.aMul, 64);
    EXPECT_FLOAT_EQ(list.at(7)->state().matrix.tx, 20);
    // The effects as written, in order.
    const swf::DisplayState& o = list.at(7)->state();
    ASSERT_EQ(o.filters.size(), 3u);
    EXPECT_EQ(o.filters[0].kind, swf::FilterKind::Blur);
    EXPECT_FLOAT_EQ(o.filters[0].blurY, 2.5f);
    EXPECT_EQ(o.filters[0].passes, 2);
    EXPECT_EQ(o.filters[1].kind, swf::FilterKind::Bevel);
    EXPECT_EQ(o.filters[1].color, fixtures::rgb(1, 2, 3, 4));
    EXPECT_EQ(o.filters[1].highlight, fixtures::rgb(5, 6, 7, 8));
    EXPECT_NEAR(o.filters[1].angle, 0.5f, 1e-4);
    EXPECT_FLOAT_EQ(o.filters[1].strength, 1.5f);
    EXPECT_TRUE(o.filters[1].onTop && o.filters[1].knockout && !o.filters[1].inner);
    EXPECT_EQ(o.filters[1].passes, 3);
    EXPECT_EQ(o.filters[2].kernel, (std::vector<float>{0.25f, -1}));
    EXPECT_FALSE(o.filters[2].clamp);
    EXPECT_EQ(o.blendMode, swf::BlendMode::Screen);
    EXPECT_TRUE(o.cacheAsBitmap);
    EXPECT_EQ(o.opaqueBackground, fixtures::rgb(9, 8, 7));
    EXPECT_TRUE(list.at(3)->state().filters.empty());
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

namespace {

// PlaceObject3 of character 1 at depth 2 with a hand-made filter list.
swfw::Tag placeWithFilterBytes(const std::vector<uint8_t>& filterList) {
    swfw::BitWriter w;
    w.u8(0x02);  // has character
    w.u8(0x01);  // has filter list
    w.u16(2);
    w.u16(1);
    w.bytes(filterList);
    return {70, w.take()};
}

}  // namespace

TEST(DisplayList, HostileFilterListsAreBoundedOrRejected) {
    // A 20 x 20 convolution (past the renderer's largest kernel) is read past and keeps no
    // kernel; an unknown filter id and a list cut short reject the tag.
    std::vector<uint8_t> big = {1, 5, 20, 20};
    big.resize(big.size() + 8 + 20 * 20 * 4 + 5, 0);
    std::vector<uint8_t> unknown = {1, 9, 0, 0, 0, 0};
    std::vector<uint8_t> cut = {2, 1, 0, 0};
    for (const auto* list : {&big, &unknown, &cut}) {
        swfw::MovieWriter m(8, 50, 50, 12);
        m.add(fixtures::squareShape(1, 10, fixtures::rgb(255, 0, 0)));
        m.add(placeWithFilterBytes(*list));
        m.showFrame();
        auto player = play(m.build());
        ASSERT_TRUE(player);
        const auto& displayList = player->root().displayList();
        if (list == &big) {
            ASSERT_EQ(displayList.count(2), 1u);
            ASSERT_EQ(displayList.at(2)->state().filters.size(), 1u);
            EXPECT_EQ(displayList.at(2)->state().filters[0].columns, 0);
            EXPECT_TRUE(displayList.at(2)->state().filters[0].kernel.empty());
        } else {
            EXPECT_EQ(displayList.count(2), 0u);
            EXPECT_FALSE(player->movie().warnings.empty());
        }
    }
}
