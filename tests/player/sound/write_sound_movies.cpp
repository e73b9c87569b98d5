// Writes the movies with sound into a folder: for swfrun --audio, the control's tests and its
// benchmark (mp3_soundtrack.swf and its silent twin; tests/control/movies/mp3_tone_2s*.swf are
// the copies the Windows tests and the benchmark use).
#include <imageio/image_file.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "sound_fixtures.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: swf_sound_movies DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::filesystem::create_directories(dir);
    swf::SoundFormat pcm;
    pcm.rateHz = 22050;
    bool ok = swfimg::writeFile(dir + "/click_track_pcm.swf", soundfix::clickTrackMovie(48, 24, false)) &&
              swfimg::writeFile(dir + "/click_track_mp3.swf", soundfix::clickTrackMovie(48, 24, true)) &&
              swfimg::writeFile(dir + "/event_sound.swf",
                                soundfix::eventSoundMovie(pcm, soundfix::sine(440, 22050, 0.5, 8000, 1))) &&
              swfimg::writeFile(dir + "/mp3_soundtrack.swf", soundfix::mp3SoundtrackMovie(10, true)) &&
              swfimg::writeFile(dir + "/mp3_tone_2s.swf", soundfix::mp3SoundtrackMovie(2, true)) &&
              swfimg::writeFile(dir + "/mp3_tone_2s_silent.swf", soundfix::mp3SoundtrackMovie(2, false)) &&
              swfimg::writeFile(dir + "/mp3_soundtrack_silent.swf", soundfix::mp3SoundtrackMovie(10, false));
    return ok ? 0 : 1;
}
