// Test signals and movies with sound, built with the SWF writer (MP3 through libmp3lame).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <model/sound.h>
#include <movie_writer.h>

namespace soundfix {

using Bytes = std::vector<uint8_t>;

// Interleaved samples of a sine: `channels` copies, the right channel at `rightScale` of the left.
std::vector<int16_t> sine(double hz, int rate, double seconds, int amplitude, int channels, double rightScale = 1);

// MP3 (CBR, no info frame) of interleaved samples, and its frames one by one.
Bytes encodeMp3(const std::vector<int16_t>& samples, int rate, int channels, int kbps);
std::vector<Bytes> splitMp3Frames(const Bytes& mp3);
int mp3SamplesPerFrame(int rate);  // 1152 for MPEG 1 rates, 576 below

// ExportAssets of (id, name) pairs: the names Sound.attachSound finds sounds by.
swfw::Tag exportTag(const std::vector<std::pair<uint16_t, std::string>>& names);

// A movie that starts one DefineSound (id 1) in its first frame, coded as `format` says
// (ADPCM with `adpcmBits`), holding `samples` at format.rateHz.
Bytes eventSoundMovie(const swf::SoundFormat& format, const std::vector<int16_t>& samples, int adpcmBits = 4,
                      const swf::SoundInfo& info = {});

// `frames` frames at `fps`, each numbered by its frame label "fN", and a 44.1 kHz soundtrack
// (PCM, or MP3 when `mp3`) that is silent but for a click (64 samples of 3 kHz, which MP3
// keeps) at the start of every frame's block.
Bytes clickTrackMovie(int frames, double fps, bool mp3);

// A 24 fps movie with a 44.1 kHz stereo MP3 soundtrack (440 Hz at 6000 on the left, 660 Hz at
// 4000 on the right) of `seconds` and a moving
// square; `withSound` false writes the same movie without the sound tags.
Bytes mp3SoundtrackMovie(double seconds, bool withSound);

}  // namespace soundfix
