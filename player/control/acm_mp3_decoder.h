// MP3 through the system's codec (the Audio Compression Manager's MPEG layer 3 driver, on
// every Windows since 98 and in Wine), for the portable core's decoder interface.
#pragma once

#include <audio/sound_decoder.h>

namespace swfctl {

swf::Mp3DecoderFactory AcmMp3DecoderFactory();

}  // namespace swfctl
