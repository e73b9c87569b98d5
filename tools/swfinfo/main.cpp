// swfinfo FILE: prints the header and the tag list of a SWF movie.
#include <cstdio>
#include <string>
#include <vector>

#include <imageio/image_file.h>
#include <parse/movie_loader.h>
#include <parse/tag_codes.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: swfinfo FILE\n");
        return 2;
    }
    std::vector<uint8_t> data;
    if (!swfimg::readFile(argv[1], data)) {
        std::fprintf(stderr, "swfinfo: cannot read %s\n", argv[1]);
        return 1;
    }
    std::string error;
    auto movie = swf::loadMovie(data.data(), data.size(), error);
    if (!movie) {
        std::fprintf(stderr, "swfinfo: %s\n", error.c_str());
        return 1;
    }
    const char* compression = movie->compression == swf::Compression::Zlib ? "zlib (CWS)" : "none (FWS)";
    const swf::Rect& r = movie->frameRect;
    std::printf("version      %d\n", movie->version);
    std::printf("file length  %u bytes (uncompressed, as declared)%s\n", movie->declaredLength,
                movie->truncated ? ", truncated" : "");
    std::printf("compression  %s\n", compression);
    std::printf("stage        %d x %d px (twips %d,%d to %d,%d)\n", r.width() / 20, r.height() / 20, r.xMin, r.yMin,
                r.xMax, r.yMax);
    std::printf("frame rate   %.2f fps (stored %u/256)\n", movie->frameRate(), movie->frameRateRaw);
    std::printf("frames       %zu (header says %u)\n", movie->timeline.frames.size(), movie->declaredFrameCount);
    std::printf("background   #%02x%02x%02x\n", movie->background.r, movie->background.g, movie->background.b);
    std::printf("characters   %zu\n", movie->characters.size());
    std::printf("tags         %zu\n", movie->tags.size());
    for (const swf::TagInfo& t : movie->tags)
        std::printf("  %8zu  %*s%-20s code %3u  %u bytes\n", t.offset, t.spriteLevel * 2, "", swf::tagName(t.code),
                    t.code, t.length);
    for (const std::string& w : movie->warnings) std::printf("warning: %s\n", w.c_str());
    return 0;
}
