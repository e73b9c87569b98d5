// The root's own look, set by script: its colour transform over everything it draws, its filters
// over its whole content; whole frames, bands and changed areas give the same pixels.
#include <gtest/gtest.h>

#include <action_assembler.h>
#include <band_pool.h>
#include <movie_writer.h>
#include <runtime/player.h>
#include <tags.h>

#include "fixtures.h"
#include "fixtures/script_builder.h"
#include "test_movie.h"

namespace {

using fixtures::at;
using fixtures::rgb;

// A 100 x 60 white stage with a red square of 20 at (40, 20); frame 2 runs `look` on _root,
// frame 3 runs `after`.
std::vector<uint8_t> squareMovie(const std::string& look, const std::string& after = "") {
    swfw::MovieWriter m(8, 100, 60, 12);
    m.add(swfw::setBackgroundColor(rgb(255, 255, 255)));
    m.add(fixtures::squareShape(1, 20, rgb(255, 0, 0)));
    m.add(swfw::placeObject2({1, 1, false, at(40, 20)}));
    m.showFrame();
    m.add(swfw::doAction(swfw::assemble(look)));
    m.showFrame();
    if (!after.empty()) m.add(swfw::doAction(swfw::assemble(after)));
    m.showFrame();
    return m.build();
}

uint32_t pixelAt(const swf::Canvas& c, int x, int y) { return c.pixels[size_t(y) * size_t(c.width) + size_t(x)]; }

std::string blurOnRoot(int blur) {
    using namespace script;
    const std::string filter =
        num(1) + num(blur) + num(blur) + "push 3\n" + member(var("flash"), "filters") + str("BlurFilter") + "newMethod\n";
    return setMember(var("_root"), "filters", array({filter}));
}

// Frame by frame, render() against bands on a pool and against renderChanges() through it.
void expectEveryPathAlike(const std::vector<uint8_t>& bytes, int frames) {
    auto whole = testing_support::play(bytes), banded = testing_support::play(bytes), changes = testing_support::play(bytes);
    ASSERT_TRUE(whole && banded && changes);
    swfbands::BandPool pool(2);
    const swf::BandRunner runner = [&](int rows, const std::function<void(int, int)>& draw) { pool.run(rows, draw); };
    swf::Canvas a(100, 60), b(100, 60), c(100, 60);
    for (int f = 1; f <= frames; ++f) {
        whole->render(a, swf::ScaleMode::ShowAll, swf::Quality::High);
        pool.run(60, 5, [&](int y0, int y1) { banded->renderBand(b, swf::ScaleMode::ShowAll, swf::Quality::High, y0, y1); });
        changes->renderChanges(c, swf::ScaleMode::ShowAll, swf::Quality::High, &runner);
        ASSERT_EQ(a.pixels, b.pixels) << "bands, frame " << f;
        ASSERT_EQ(a.pixels, c.pixels) << "changed areas, frame " << f;
        for (auto* p : {whole.get(), banded.get(), changes.get()}) p->stepFrame();
    }
}

TEST(RootLook, ColourTransformTintsEverything) {
    auto player = testing_support::play(squareMovie(script::setMember(script::var("_root"), "_alpha", script::num(50))));
    ASSERT_TRUE(player);
    swf::Canvas c(100, 60);
    player->render(c, swf::ScaleMode::ShowAll, swf::Quality::High);
    EXPECT_EQ(pixelAt(c, 50, 30), 0xffff0000u) << "frame 1: no script yet";
    player->stepFrame();
    player->render(c, swf::ScaleMode::ShowAll, swf::Quality::High);
    // Half the red over the white stage: red stays full, green and blue come half way.
    const uint32_t half = pixelAt(c, 50, 30);
    EXPECT_EQ(half >> 16 & 0xff, 0xffu);
    EXPECT_NEAR(int(half >> 8 & 0xff), 128, 2);
    EXPECT_EQ(half & 0xff, half >> 8 & 0xff);
    EXPECT_EQ(pixelAt(c, 5, 5), 0xffffffffu) << "the stage's background is not the root's";
}

TEST(RootLook, FiltersSpreadTheWholeContent) {
    auto player = testing_support::play(squareMovie(blurOnRoot(10)));
    ASSERT_TRUE(player);
    player->stepFrame();
    swf::Canvas c(100, 60);
    player->render(c, swf::ScaleMode::ShowAll, swf::Quality::High);
    // 3 pixels left of the square: white before, pink under the blur; the square's middle
    // keeps its red, its corner does not.
    const uint32_t beside = pixelAt(c, 37, 30);
    EXPECT_EQ(beside >> 16 & 0xff, 0xffu);
    EXPECT_LT(beside & 0xff, 0xf0u);
    EXPECT_EQ(pixelAt(c, 50, 30), 0xffff0000u);
    EXPECT_NE(pixelAt(c, 40, 20), 0xffff0000u);
}

TEST(RootLook, BandsAndChangedAreasFollowIt) {
    // A blur comes in frame 2; frame 3 makes it wider and halves the alpha.
    expectEveryPathAlike(squareMovie(blurOnRoot(6), blurOnRoot(16) + script::setMember(script::var("_root"), "_alpha", script::num(50))), 3);
    expectEveryPathAlike(squareMovie(script::setMember(script::var("_root"), "_alpha", script::num(30))), 3);
}

}  // namespace

namespace {

TEST(ColourTransformProduct, WrapsEachFieldTo16BitsAsTheOriginal) {
    // Parent after child: multipliers 2.0 x 78.125 give 156.25 (40000 / 256), which wraps to
    // -25536 / 256 rather than holding at 127.99; an offset of 400 under a multiplier of 100.0
    // gives 40000 + 100, wrapped likewise.
    swf::ColorTransform parent, child;
    parent.bMul = 512;
    child.bMul = 20000;
    parent.rMul = 256 * 100;
    parent.rAdd = 100;
    child.rAdd = 400;
    const swf::ColorTransform total = parent * child;
    EXPECT_EQ(total.bMul, -25536);
    EXPECT_EQ(total.rAdd, int16_t(40100 - 65536));
    EXPECT_EQ(total.gMul, 256);
    // Within range nothing changes: half of a half.
    parent.aMul = 128;
    child.aMul = 128;
    EXPECT_EQ((parent * child).aMul, 64);
}

}  // namespace
