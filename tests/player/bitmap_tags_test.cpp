// Bitmap tags: lossless formats, JPEG with tables and the EOI+SOI quirk, JPEG3 alpha, PNG, GIF.
#include <jpeg_segments.h>
#include <parse/image_decode.h>
#include <runtime/player.h>

#include <imageio/image_file.h>
#include <imageio/paletted_png.h>
#include <parse/limits.h>
#include <parse/png_chunks.h>

#include "fixtures.h"
#include "test_movie.h"

namespace {

using testing_support::character;
using testing_support::load;

const swf::Bitmap& bitmapOf(const swf::Movie& movie, uint16_t id) {
    return *character<swf::BitmapCharacter>(movie, id, swf::CharacterKind::Bitmap).bitmap;
}

uint32_t argb(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

TEST(BitmapTags, LosslessFormats) {
    auto movie = load(fixtures::losslessMovie());
    ASSERT_TRUE(movie);
    EXPECT_TRUE(movie->warnings.empty()) << movie->warnings.front();
    const swf::Bitmap& palette = bitmapOf(*movie, 1);
    ASSERT_EQ(palette.width, 18);
    ASSERT_EQ(palette.height, 18);
    EXPECT_EQ(palette.row(0)[0], argb(255, 255, 0, 0));
    EXPECT_EQ(palette.row(0)[7], argb(255, 0, 255, 0));
    EXPECT_EQ(palette.row(17)[17], argb(255, 0, 255, 0)) << "rows padded to four bytes";  // (2+2)%3 = 1
    EXPECT_EQ(palette.row(17)[14], argb(255, 0, 255, 0));

    const swf::Bitmap& rgb15 = bitmapOf(*movie, 2);
    EXPECT_EQ(rgb15.row(0)[0], argb(255, 255, 0, 0));
    EXPECT_EQ(rgb15.row(0)[17], argb(255, 0, 0, 255));
    EXPECT_EQ(rgb15.row(1)[17], argb(255, 0, 8, 255));

    const swf::Bitmap& xrgb = bitmapOf(*movie, 3);
    EXPECT_EQ(xrgb.row(2)[3], argb(255, 36, 24, 200)) << "format 5 version 1 ignores the pad byte";

    const swf::Bitmap& argbBits = bitmapOf(*movie, 4);
    EXPECT_EQ(argbBits.row(0)[0], argb(255, 255, 127, 0));
    EXPECT_EQ(argbBits.row(0)[10], argb(135, 135, 67, 0)) << "version 2 is stored premultiplied";

    const swf::Bitmap& rgbaPalette = bitmapOf(*movie, 5);
    EXPECT_EQ(rgbaPalette.row(0)[0], 0u);
    EXPECT_EQ(rgbaPalette.row(0)[1], argb(200, 0, 0, 200)) << "colour clamped to alpha where it exceeds it";
    EXPECT_EQ(rgbaPalette.row(0)[2], argb(128, 100, 0, 0));
}

TEST(BitmapTags, JpegVariantsPngAndGif) {
    auto movie = load(fixtures::jpegMovie());
    ASSERT_TRUE(movie);
    EXPECT_TRUE(movie->warnings.empty()) << movie->warnings.front();
    for (uint16_t id = 1; id <= 5; ++id) {
        const swf::Bitmap& b = bitmapOf(*movie, id);
        EXPECT_EQ(b.width, 16) << id;
        EXPECT_EQ(b.height, 16) << id;
    }
    // DefineBits with tables decodes to the same pixels as the whole JPEG in DefineBitsJPEG2.
    EXPECT_EQ(bitmapOf(*movie, 1).pixels, bitmapOf(*movie, 2).pixels);
    // JPEG3: alpha from the zlib plane, colour premultiplied by it.
    const swf::Bitmap& alpha = bitmapOf(*movie, 3);
    EXPECT_EQ(alpha.row(5)[0] >> 24, 0u);
    EXPECT_EQ(alpha.row(5)[15] >> 24, 255u);
    EXPECT_EQ(alpha.row(5)[15], bitmapOf(*movie, 2).row(5)[15]);
    EXPECT_EQ(alpha.row(5)[1] >> 24, 17u);
    // PNG payload: exact colours.
    EXPECT_EQ(bitmapOf(*movie, 4).row(0)[0], argb(255, 255, 255, 255));
    EXPECT_EQ(bitmapOf(*movie, 4).row(0)[4], argb(255, 0, 160, 0));
    // GIF payload: palette indices by column.
    const swf::Bitmap& gif = bitmapOf(*movie, 5);
    EXPECT_EQ(gif.row(3)[0], argb(255, 0, 0, 0));
    EXPECT_EQ(gif.row(3)[5], argb(255, 255, 0, 0));
    EXPECT_EQ(gif.row(3)[15], argb(255, 0, 0, 255));
}

TEST(BitmapTags, ShapesResolveTheirBitmapFills) {
    auto movie = load(fixtures::losslessMovie());
    const auto& shape = character<swf::ShapeCharacter>(*movie, 10, swf::CharacterKind::Shape).shape;
    ASSERT_EQ(shape.layers[0].fills.size(), 1u);
    const swf::FillStyle& fill = shape.layers[0].fills[0];
    EXPECT_TRUE(fill.isBitmap());
    EXPECT_EQ(fill.bitmapId, 1);
    EXPECT_EQ(fill.bitmap.get(), &bitmapOf(*movie, 1));
    EXPECT_FLOAT_EQ(fill.bitmapMatrix.a, 20);
}

TEST(BitmapTags, RepairJpegDropsStrayEndAndStartMarkers) {
    std::vector<uint8_t> data = {0xff, 0xd9, 0xff, 0xd8, 0xff, 0xd8, 0xff, 0xdb, 0x00, 0x03, 0x07,
                                 0xff, 0xd9, 0xff, 0xd8, 0xff, 0xc0, 0x00, 0x02, 0xff, 0xda, 0x01};
    std::vector<uint8_t> expected = {0xff, 0xd8, 0xff, 0xdb, 0x00, 0x03, 0x07, 0xff, 0xc0, 0x00, 0x02, 0xff, 0xda, 0x01};
    EXPECT_EQ(swf::repairJpeg(data.data(), data.size()), expected);
}

TEST(BitmapTags, OversizedOrBrokenBitmapsAreRefusedPerTag) {
    swfw::MovieWriter m(8, 50, 50, 12);
    std::vector<uint8_t> raw(16, 0);
    m.add(swfw::defineBitsLossless(1, 2, 5, 9000, 1, 0, raw));   // wider than kMaxBitmapSide
    m.add(swfw::defineBitsLossless(2, 2, 5, 5000, 5000, 0, raw));  // more than kMaxBitmapPixels
    m.add(swfw::defineBitsLossless(3, 1, 7, 2, 2, 0, raw));      // no format 7
    m.add(swfw::defineBitsJpeg2(4, {0xff, 0xd8, 0xff, 0xc0, 0x00}));
    m.add(swfw::defineBitsLossless(5, 2, 5, 2, 2, 0, raw));      // fine
    m.showFrame();
    auto movie = load(m.build());
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->warnings.size(), 4u);
    EXPECT_EQ(movie->character(1), nullptr);
    EXPECT_NE(movie->warnings[0].find("tag 36"), std::string::npos) << movie->warnings[0];
    EXPECT_NE(movie->character(5), nullptr);
}

TEST(BitmapTags, ShortLosslessDataLeavesTheRestTransparent) {
    swfw::MovieWriter m(8, 50, 50, 12);
    std::vector<uint8_t> raw = {255, 10, 20, 30};  // one pixel of four
    m.add(swfw::defineBitsLossless(1, 2, 5, 2, 2, 0, raw));
    m.showFrame();
    auto movie = load(m.build());
    const swf::Bitmap& b = bitmapOf(*movie, 1);
    EXPECT_EQ(b.pixels[0], argb(255, 10, 20, 30));
    EXPECT_EQ(b.pixels[3], 0u);
}

// A Huffman table of 300 codes once made the decoder write past its 257-entry arrays; now the
// tag is refused with the reason, whether the table is in the image or in JPEGTables, and the
// rest of the movie still draws.
TEST(BitmapTags, MalformedJpegTablesAreRefusedWithTheirReason) {
    auto movie = load(fixtures::malformedJpegMovie());
    ASSERT_TRUE(movie);
    ASSERT_EQ(movie->warnings.size(), 1u);
    EXPECT_EQ(movie->warnings[0], "tag 35: malformed JPEG: Huffman table AC0 has 300 codes (at most 256)");
    EXPECT_EQ(movie->character(1), nullptr);
    EXPECT_NE(movie->character(2), nullptr);

    std::vector<uint8_t> bytes = fixtures::malformedJpegMovie();
    std::string error;
    auto player = swf::Player::load(bytes.data(), bytes.size(), error);
    ASSERT_TRUE(player) << error;
    swf::Canvas canvas(80, 40);
    player->render(canvas, swf::ScaleMode::ExactFit, swf::Quality::High);
    EXPECT_EQ(canvas.row(20)[20], 0xffffffffu);  // where the refused bitmap would be: background
    EXPECT_NE(canvas.row(20)[60], 0xffffffffu);  // the sound JPEG beside it

    std::vector<uint8_t> jpeg = swfimg::encodeJpeg(fixtures::checkerCanvas(16, 16, fixtures::rgb(9, 9, 9), fixtures::rgb(200, 9, 9)), 90);
    swfw::JpegParts parts = swfw::splitJpegTables(jpeg);
    swfw::MovieWriter m(8, 50, 50, 12);
    m.add(swfw::jpegTables(swfw::withOverfullHuffmanTable(parts.tables)));
    m.add(swfw::defineBits(1, parts.image));
    m.showFrame();
    auto withTables = load(m.build());
    ASSERT_TRUE(withTables);
    ASSERT_EQ(withTables->warnings.size(), 1u);
    EXPECT_EQ(withTables->warnings[0], "tag 6: malformed JPEG: Huffman table AC0 has 300 codes (at most 256)");
    EXPECT_EQ(withTables->character(1), nullptr);
}

// The decoder keeps a PNG palette in an uninitialised 256-entry array: pixels indexing past
// the PLTE chunk must come out black, not as whatever that memory held. An empty IDAT chunk
// before the data (the fuzzer's: the decoder copied its zero bytes to a null buffer) is dropped.
TEST(BitmapTags, PngIndicesPastThePaletteDrawBlackAndEmptyDataChunksAreDropped) {
    std::vector<uint8_t> png = swfimg::encodePalettedPng(4, 2, {fixtures::rgb(255, 0, 0), fixtures::rgb(0, 255, 0)},
                                                         {0, 1, 2, 255, 1, 0, 7, 1});
    const size_t afterPalette = 8 + 25 + 12 + 6;
    ASSERT_EQ(std::string(png.begin() + long(afterPalette) + 4, png.begin() + long(afterPalette) + 8), "IDAT");
    const uint8_t emptyData[] = {0, 0, 0, 0, 'I', 'D', 'A', 'T', 0x35, 0xaf, 0x06, 0x1e};  // with its CRC
    png.insert(png.begin() + long(afterPalette), std::begin(emptyData), std::end(emptyData));
    EXPECT_EQ(swf::preparePngChunks(png.data(), png.size()).size(), png.size() + 768 - 6 - sizeof emptyData);
    swfw::MovieWriter m(8, 50, 50, 12);
    m.add(swfw::defineBitsJpeg2(1, png));
    m.showFrame();
    auto movie = load(m.build());
    ASSERT_TRUE(movie);
    ASSERT_TRUE(movie->warnings.empty()) << movie->warnings.front();
    const swf::Bitmap& b = bitmapOf(*movie, 1);
    const std::vector<uint32_t> expected = {argb(255, 255, 0, 0), argb(255, 0, 255, 0), argb(255, 0, 0, 0), argb(255, 0, 0, 0),
                                            argb(255, 0, 255, 0), argb(255, 255, 0, 0), argb(255, 0, 0, 0), argb(255, 0, 255, 0)};
    EXPECT_EQ(b.pixels, expected);
}

// The decoder sizes its buffer by a chunk's stated length before reading it: a chunk cut by the
// end of the file (the fuzzer's: an IDAT of a few bytes stating a gigabyte) is passed on with
// the length it holds, and the bitmap is refused with a warning.
TEST(BitmapTags, PngChunkCutByTheEndOfTheFileStatesOnlyWhatItHolds) {
    std::vector<uint8_t> png = swfimg::encodePalettedPng(2, 1, {fixtures::rgb(255, 0, 0), fixtures::rgb(0, 255, 0)}, {0, 1});
    const size_t idat = 8 + 25 + 12 + 6;
    ASSERT_EQ(std::string(png.begin() + long(idat) + 4, png.begin() + long(idat) + 8), "IDAT");
    png.resize(idat + 8 + 5);
    png[idat] = 0x40;
    std::vector<uint8_t> prepared = swf::preparePngChunks(png.data(), png.size());
    ASSERT_EQ(prepared.size(), png.size() + 768 - 6 + 4);
    const uint8_t* chunk = prepared.data() + idat + 768 - 6;
    EXPECT_EQ(std::vector<uint8_t>(chunk, chunk + 8), (std::vector<uint8_t>{0, 0, 0, 5, 'I', 'D', 'A', 'T'}));
    swfw::MovieWriter m(8, 50, 50, 12);
    m.add(swfw::defineBitsJpeg2(1, png));
    m.showFrame();
    auto movie = load(m.build());
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->character(1), nullptr);
    EXPECT_EQ(movie->warnings.size(), 1u);
}

// A large JPEGTables shared by many DefineBits tags costs its size once per tag: past the
// movie's image-data budget the tags are refused instead of copied and decoded.
TEST(BitmapTags, JpegTablesCountAgainstTheImageBudgetWithEveryTag) {
    std::vector<uint8_t> jpeg = swfimg::encodeJpeg(fixtures::checkerCanvas(16, 16, fixtures::rgb(9, 9, 9), fixtures::rgb(200, 9, 9)), 90);
    swfw::JpegParts parts = swfw::splitJpegTables(jpeg);
    std::vector<uint8_t> tables(parts.tables.begin(), parts.tables.end() - 2);  // up to the EOI
    std::vector<uint8_t> comment = {0xff, 0xfe, 0xff, 0xff};
    comment.resize(2 + 0xffff, ' ');
    for (int i = 0; i < 64; ++i) tables.insert(tables.end(), comment.begin(), comment.end());  // 4 MiB
    tables.insert(tables.end(), {0xff, 0xd9});
    swfw::MovieWriter m(8, 50, 50, 12);
    m.add(swfw::jpegTables(tables));
    const uint16_t tags = 70;
    for (uint16_t id = 1; id <= tags; ++id) m.add(swfw::defineBits(id, parts.image));
    m.showFrame();
    auto movie = load(m.build());
    ASSERT_TRUE(movie);
    uint16_t affordable = uint16_t(swf::kMaxMovieImageBytes / (tables.size() + parts.image.size()));
    ASSERT_LT(affordable, tags);
    EXPECT_NE(movie->character(affordable), nullptr);
    EXPECT_EQ(movie->character(uint16_t(affordable + 1)), nullptr);
    ASSERT_EQ(movie->warnings.size(), size_t(tags - affordable));
    EXPECT_EQ(movie->warnings.back(), "tag 6: the movie's image data exceeds its budget");
}

}  // namespace
