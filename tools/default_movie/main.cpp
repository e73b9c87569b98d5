// default_movie OUT_DIR: writes the screen saver's default movie, Default.swf, and its
// description, Default.txt, into OUT_DIR. The preview, Default.bmp, is rendered from the movie
// by swfrender (see CMakeLists.txt).
//
// The scene: soft lights drifting over an evening sky, silk ribbons swaying below (a morph),
// and twinkling fireflies (a sprite). Every motion is periodic in the loop length, so the last
// frame leads seamlessly into the first.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "scene.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: default_movie OUT_DIR\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const std::vector<uint8_t> movie = scene::buildMovie();
    std::ofstream swf(dir + "Default.swf", std::ios::binary);
    swf.write(reinterpret_cast<const char*>(movie.data()), std::streamsize(movie.size()));
    std::ofstream txt(dir + "Default.txt", std::ios::binary);
    txt << scene::kDescription;
    if (!swf || !txt) {
        std::fprintf(stderr, "default_movie: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
