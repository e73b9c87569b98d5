#include "../geometry.h"
#include "image_decode.h"
#include "inflate.h"
#include "load_context.h"

namespace swf {
namespace {

uint32_t packPremultiplied(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    // Premultiplied data from a file can claim colour above its alpha; clamp so the
    // compositor's arithmetic stays in range.
    r = std::min(r, a);
    g = std::min(g, a);
    b = std::min(b, a);
    return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

bool dimensionsAllowed(int w, int h) {
    return w > 0 && h > 0 && w <= kMaxBitmapSide && h <= kMaxBitmapSide && int64_t(w) * h <= kMaxBitmapPixels;
}

// JPEG3/JPEG4 alpha plane: one straight alpha byte per pixel, zlib-compressed.
void applyAlpha(Bitmap& bmp, const uint8_t* data, size_t size) {
    std::vector<uint8_t> alpha;
    size_t count = bmp.pixels.size();
    if (!inflateUpTo(data, size, count, alpha) || alpha.empty()) return;
    alpha.resize(count, 255);  // a short plane leaves the rest opaque
    for (size_t i = 0; i < count; ++i) {
        uint32_t p = bmp.pixels[i];  // opaque after JPEG decoding, so straight colour
        Rgba c{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), alpha[i]};
        bmp.pixels[i] = premultiply(c);
    }
}

void defineBitmap(LoadContext& ctx, uint16_t id, Bitmap&& bmp) {
    auto c = std::make_shared<BitmapCharacter>();
    c->id = id;
    c->bitmap = std::make_shared<const Bitmap>(std::move(bmp));
    ctx.define(id, c);
}

}  // namespace

void readDefineBits(Reader& r, LoadContext& ctx, uint16_t code) {
    uint16_t id = r.u16();
    size_t alphaOffset = 0;
    bool hasAlpha = code == kTagDefineBitsJpeg3 || code == kTagDefineBitsJpeg4;
    if (hasAlpha) {
        alphaOffset = r.u32();
        if (code == kTagDefineBitsJpeg4) r.u16();  // deblocking filter strength
        if (alphaOffset > r.remaining()) r.fail("alpha offset beyond the tag");
    }
    size_t imageSize = hasAlpha ? alphaOffset : r.remaining();
    const uint8_t* image = r.bytes(imageSize);

    ctx.chargeImageBytes(r, imageSize + (code == kTagDefineBits ? ctx.jpegTables.size() : 0));
    std::vector<uint8_t> stream;
    ImageFormat format = sniffImageFormat(image, imageSize);
    if (code == kTagDefineBits) {
        stream = ctx.jpegTables;
        stream.insert(stream.end(), image, image + imageSize);
        stream = repairJpeg(stream.data(), stream.size());
        format = ImageFormat::Jpeg;
    } else if (format == ImageFormat::Jpeg) {
        stream = repairJpeg(image, imageSize);
    } else {
        stream.assign(image, image + imageSize);
    }
    // The budget is charged from the header, before a small payload can cost a large decode.
    std::string problem;
    int w = 0, h = 0;
    if (!probeImage(stream.data(), stream.size(), w, h, problem)) r.fail(problem);
    ctx.chargeBitmap(r, size_t(w) * size_t(h));
    Bitmap bmp;
    if (!decodeImage(stream.data(), stream.size(), bmp, problem)) r.fail(problem);
    if (hasAlpha && format == ImageFormat::Jpeg && r.remaining() > 0) applyAlpha(bmp, r.current(), r.remaining());
    defineBitmap(ctx, id, std::move(bmp));
}

void readDefineBitsLossless(Reader& r, LoadContext& ctx, int version) {
    uint16_t id = r.u16();
    uint8_t format = r.u8();
    int w = r.u16();
    int h = r.u16();
    if (!dimensionsAllowed(w, h)) r.fail("bitmap dimensions out of range");
    ctx.chargeBitmap(r, size_t(w) * size_t(h));
    size_t paletteSize = 0;
    if (format == 3) paletteSize = size_t(r.u8()) + 1;
    else if (format != 5 && !(format == 4 && version == 1)) r.fail("unknown lossless format " + std::to_string(format));

    size_t colorBytes = version == 2 ? 4 : 3;
    size_t pixelBytes = format == 3 ? 1 : format == 4 ? 2 : 4;
    size_t stride = (size_t(w) * pixelBytes + 3) & ~size_t(3);
    size_t expected = paletteSize * colorBytes + stride * size_t(h);
    std::vector<uint8_t> data;
    if (!inflateUpTo(r.current(), r.remaining(), expected, data)) r.fail("zlib failed");
    r.skip(r.remaining());
    data.resize(expected, 0);  // a short stream leaves the rest transparent or black

    std::vector<uint32_t> palette(256, 0);
    for (size_t i = 0; i < paletteSize; ++i) {
        const uint8_t* p = data.data() + i * colorBytes;
        palette[i] = version == 2 ? packPremultiplied(p[0], p[1], p[2], p[3]) : premultiply(Rgba{p[0], p[1], p[2], 255});
    }
    const uint8_t* pixels = data.data() + paletteSize * colorBytes;
    Bitmap bmp(w, h);
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = pixels + size_t(y) * stride;
        uint32_t* dst = bmp.row(y);
        for (int x = 0; x < w; ++x) {
            if (format == 3) {
                dst[x] = palette[src[x]];
            } else if (format == 4) {
                uint32_t v = uint32_t(src[2 * x]) << 8 | src[2 * x + 1];
                auto expand = [](uint32_t c5) { return uint8_t(c5 << 3 | c5 >> 2); };
                dst[x] = premultiply(Rgba{expand((v >> 10) & 31), expand((v >> 5) & 31), expand(v & 31), 255});
            } else {
                const uint8_t* p = src + 4 * x;
                dst[x] = version == 2 ? packPremultiplied(p[1], p[2], p[3], p[0])
                                      : premultiply(Rgba{p[1], p[2], p[3], 255});
            }
        }
    }
    defineBitmap(ctx, id, std::move(bmp));
}

}  // namespace swf
