// libFuzzer target for the bitmap tags alone, without the movie around them (input layout in
// image_input.h): DefineBits with JPEGTables, DefineBitsJPEG2 with a JPEG, PNG or GIF payload,
// DefineBitsJPEG3 and JPEG4 with their alpha plane, DefineBitsLossless 1 and 2.
#include <parse/limits.h>
#include <parse/load_context.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "image_input.h"

namespace {

// What every decoded bitmap must hold, whatever the input: the size within the caps and every
// pixel premultiplied (no colour above its alpha), which the compositor relies on.
void checkBitmap(const swf::Bitmap& b) {
    bool sized = b.width > 0 && b.height > 0 && b.width <= swf::kMaxBitmapSide && b.height <= swf::kMaxBitmapSide &&
                 b.pixels.size() == size_t(b.width) * size_t(b.height);
    if (!sized) __builtin_trap();
    for (uint32_t p : b.pixels) {
        uint32_t a = p >> 24;
        if (((p >> 16) & 255) > a || ((p >> 8) & 255) > a || (p & 255) > a) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    uint16_t code = fuzzing::kImageTags[data[0] % fuzzing::kImageTagCount];
    ++data;
    --size;
    swf::Movie movie;
    swf::LoadContext ctx(movie, nullptr);
    // All but 1 Mpixel of the movie's budget is spent up front, so a larger image is refused
    // before it is decoded, as in a movie full of them: those reach no decoder code that smaller
    // ones do not, and cost seconds each under the sanitizers.
    ctx.bitmapPixels = swf::kMaxMovieBitmapPixels - (size_t(1) << 20);
    if (code == swf::kTagDefineBits) {
        if (size < 2) return 0;
        size_t tables = std::min<size_t>(size_t(data[0] | data[1] << 8), size - 2);
        ctx.jpegTables.assign(data + 2, data + 2 + tables);
        data += 2 + tables;
        size -= 2 + tables;
    }
    try {
        swf::Reader r(data, size, code);
        if (code == swf::kTagDefineBitsLossless || code == swf::kTagDefineBitsLossless2)
            swf::readDefineBitsLossless(r, ctx, code == swf::kTagDefineBitsLossless ? 1 : 2);
        else
            swf::readDefineBits(r, ctx, code);
    } catch (const swf::ParseError&) {
        return 0;
    }
    for (const auto& entry : movie.characters)
        if (auto bitmap = ctx.bitmap(entry.first)) checkBitmap(*bitmap);
    return 0;
}
