#include "movie_writer.h"

#include <zlib.h>

#include <cmath>
#include <stdexcept>

#include "bit_writer.h"
#include "records.h"

namespace swfw {

std::vector<uint8_t> encodeTag(const Tag& tag, bool forceLong) {
    BitWriter w;
    size_t n = tag.body.size();
    if (n < 0x3f && !forceLong) {
        w.u16(uint32_t(tag.code) << 6 | uint32_t(n));
    } else {
        w.u16(uint32_t(tag.code) << 6 | 0x3f);
        w.u32(uint32_t(n));
    }
    w.bytes(tag.body);
    return w.take();
}

MovieWriter::MovieWriter(int version, int widthPx, int heightPx, double frameRate)
    : version_(version), stage_{0, widthPx * swf::kTwipsPerPixel, 0, heightPx * swf::kTwipsPerPixel},
      rate_(uint16_t(std::lround(frameRate * 256))) {}

void MovieWriter::showFrame() {
    add(Tag{1, {}});
    ++frames_;
}

std::vector<uint8_t> deflateBytes(const std::vector<uint8_t>& data) {
    uLongf size = compressBound(uLong(data.size()));
    std::vector<uint8_t> out(size);
    if (compress2(out.data(), &size, data.data(), uLong(data.size()), 9) != Z_OK)
        throw std::runtime_error("zlib compression failed");
    out.resize(size);
    return out;
}

std::vector<uint8_t> MovieWriter::build(bool compress) const {
    BitWriter body;
    writeRect(body, stage_);
    body.u16(rate_);
    body.u16(uint32_t(frames_));
    for (const Tag& t : tags_) body.bytes(encodeTag(t));
    body.bytes(encodeTag(Tag{0, {}}));
    std::vector<uint8_t> payload = body.take();

    BitWriter file;
    file.u8(compress ? 'C' : 'F');
    file.u8('W');
    file.u8('S');
    file.u8(uint32_t(version_));
    file.u32(uint32_t(payload.size() + 8));
    file.bytes(compress ? deflateBytes(payload) : payload);
    return file.take();
}

}  // namespace swfw
