// The MP3 decoder of native builds: libmpg123 in feed mode behind swf::SoundDecoder.
#pragma once

#include <audio/sound_decoder.h>

namespace swfaudio {

// A factory for Player::setMp3Decoder; its decoders give 16-bit stereo at the file's rate.
swf::Mp3DecoderFactory mpg123DecoderFactory();

}  // namespace swfaudio
