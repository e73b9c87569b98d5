#include "movie.h"

namespace swf {

double Movie::frameRate() const {
    double fps = frameRateRaw / 256.0;
    if (fps <= 0.01) return kDefaultFrameRate;
    return fps > kMaxFrameRate ? kMaxFrameRate : fps;
}

const Character* Movie::character(uint16_t id) const {
    auto it = characters.find(id);
    return it == characters.end() ? nullptr : it->second.get();
}

}  // namespace swf
