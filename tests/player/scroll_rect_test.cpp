// scrollRect: an object shows the part of its content inside the rectangle, moved so that the
// rectangle's corner sits at the object's origin; the changed-area path follows it.
#include <gtest/gtest.h>

#include <runtime/display/display_object.h>
#include <runtime/player.h>

#include <movie_writer.h>

#include "fixtures.h"
#include "test_movie.h"

namespace {

using fixtures::at;
using fixtures::rgb;

// A 100 x 60 white stage; at depth 1, at (10, 10), a sprite holding a red square of 20 at
// (0, 0) and a blue one of 20 at (20, 0).
std::vector<uint8_t> twoSquaresMovie() {
    swfw::MovieWriter m(8, 100, 60, 12);
    m.add(swfw::setBackgroundColor(rgb(255, 255, 255)));
    m.add(fixtures::squareShape(1, 20, rgb(255, 0, 0)));
    m.add(fixtures::squareShape(2, 20, rgb(0, 0, 255)));
    std::vector<swfw::Tag> frames;
    frames.push_back(swfw::placeObject2({1, 1, false, at(0, 0)}));
    frames.push_back(swfw::placeObject2({2, 2, false, at(20, 0)}));
    frames.push_back(swfw::Tag{1, {}});
    m.add(swfw::defineSprite(3, 1, frames));
    m.add(swfw::placeObject2({1, 3, false, at(10, 10)}));
    m.showFrame();
    return m.build();
}

uint32_t pixelAt(const swf::Canvas& c, int x, int y) { return c.pixels[size_t(y) * size_t(c.width) + size_t(x)]; }

const uint32_t kWhite = 0xffffffffu, kRed = 0xffff0000u, kBlue = 0xff0000ffu;

swf::Canvas draw(const swf::Player& player) {
    swf::Canvas c(100, 60);
    player.render(c, swf::ScaleMode::ShowAll, swf::Quality::High);
    return c;
}

void setScroll(swf::Player& player, swf::Rect r) {
    swf::DisplayObject* sprite = player.root().objectAt(1);
    ASSERT_NE(sprite, nullptr);
    sprite->state().scrollRect = r;
}

TEST(ScrollRect, ShowsTheWindowMovedToTheOrigin) {
    auto player = testing_support::play(twoSquaresMovie());
    ASSERT_TRUE(player);
    swf::Canvas plain = draw(*player);
    EXPECT_EQ(pixelAt(plain, 10, 10), kRed);
    EXPECT_EQ(pixelAt(plain, 49, 29), kBlue);
    // The window x 15..35, y 5..15 (twips 300..700, 100..300): the red square's right quarter
    // and the blue square's left three quarters, 10 rows of each, drawn from (10, 10).
    setScroll(*player, swf::Rect{300, 700, 100, 300});
    swf::Canvas c = draw(*player);
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 100; ++x) {
            uint32_t want = kWhite;
            if (y >= 10 && y < 20 && x >= 10 && x < 15) want = kRed;
            if (y >= 10 && y < 20 && x >= 15 && x < 30) want = kBlue;
            ASSERT_EQ(pixelAt(c, x, y), want) << x << "," << y;
        }
    }
}

TEST(ScrollRect, AnEmptyWindowShowsNothing) {
    auto player = testing_support::play(twoSquaresMovie());
    ASSERT_TRUE(player);
    setScroll(*player, swf::Rect{200, 200, 0, 400});
    for (uint32_t p : draw(*player).pixels) ASSERT_EQ(p, kWhite);
}

TEST(ScrollRect, ChangedAreasFollowTheWindow) {
    // Drawn frame after frame through the changed-area path while the window scrolls, the
    // canvas always equals a whole render, and the areas stay within the window's box.
    auto player = testing_support::play(twoSquaresMovie());
    ASSERT_TRUE(player);
    swf::Canvas kept(100, 60);
    player->renderChanges(kept, swf::ScaleMode::ShowAll, swf::Quality::High);
    for (int step = 0; step < 6; ++step) {
        setScroll(*player, swf::Rect{step * 100, step * 100 + 400, 0, 200});
        const std::vector<swf::IntRect> areas = player->renderChanges(kept, swf::ScaleMode::ShowAll, swf::Quality::High);
        ASSERT_EQ(kept.pixels, draw(*player).pixels) << "step " << step;
        ASSERT_FALSE(areas.empty()) << "step " << step;
        for (const swf::IntRect& a : areas) {
            // The sprite's full 40 x 20 box with a margin of 2, never the whole stage.
            EXPECT_GE(a.x0, 6);
            EXPECT_LE(a.x1, 54);
            EXPECT_LE(a.y1, 34);
        }
    }
    // Scrolling back to where it was changes the pixels back.
    setScroll(*player, swf::Rect{0, 400, 0, 200});
    player->renderChanges(kept, swf::ScaleMode::ShowAll, swf::Quality::High);
    EXPECT_EQ(pixelAt(kept, 10, 10), kRed);
    EXPECT_EQ(pixelAt(kept, 29, 19), kRed);
    EXPECT_EQ(pixelAt(kept, 30, 10), kWhite);
}

}  // namespace
