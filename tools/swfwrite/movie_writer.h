// Assembles tags into a complete SWF file (FWS or CWS).
#pragma once

#include <cstdint>
#include <vector>

#include <geometry.h>

namespace swfw {

struct Tag {
    uint16_t code = 0;
    std::vector<uint8_t> body;
};

// Tag header and body; the long form is used when asked or when the body needs it.
std::vector<uint8_t> encodeTag(const Tag& tag, bool forceLong = false);

class MovieWriter {
public:
    MovieWriter(int version, int widthPx, int heightPx, double frameRate);

    void add(Tag tag) { tags_.push_back(std::move(tag)); }
    void showFrame();
    int frameCount() const { return frames_; }
    // Sets the stage rectangle in twips (when it does not start at 0, 0).
    void setStage(const swf::Rect& r) { stage_ = r; }
    void setRawFrameRate(uint16_t fixed8) { rate_ = fixed8; }

    // Body tags followed by End; `compress` writes CWS.
    std::vector<uint8_t> build(bool compress = false) const;

private:
    int version_;
    swf::Rect stage_;
    uint16_t rate_;
    int frames_ = 0;
    std::vector<Tag> tags_;
};

// Compresses with zlib (for CWS bodies and lossless bitmaps).
std::vector<uint8_t> deflateBytes(const std::vector<uint8_t>& data);

}  // namespace swfw
