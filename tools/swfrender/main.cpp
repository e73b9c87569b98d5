// swfrender FILE [--frame N] [--size WxH] [--scale MODE] [--quality low|medium|high] -o OUT.png|OUT.bmp
//           [--seed S] [--time ISO8601]  (pin Math.random, getTimer and Date; default: the host's clock)
//           [--every K]  (with --every, OUT must hold a %d, e.g. shot-%03d.png: writes frames 1, 1+K, ...)
//           [--pointer X,Y[,down]]  (the pointer on that canvas pixel before the frame is drawn: rollovers)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <hostoptions/host_options.h>
#include <freetype_font_provider.h>
#include <imageio/image_file.h>
#include <runtime/player.h>

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: swfrender FILE [--frame N] [--size WxH] [--scale ExactFit|ShowAll|NoBorder|NoScale]\n"
                 "                 [--quality low|medium|high] [--every K] [--seed S] [--time ISO8601]\n"
                 "                 [--pointer X,Y[,down]] -o OUT.png|OUT.bmp\n"
                 "  frame 1 is the first frame; --every K writes frames 1, 1+K, ... to OUT with %%d replaced\n"
                 "  by the frame number (e.g. shot-%%03d.png)\n");
    return 2;
}

bool parseSize(const char* s, int& w, int& h) {
    return std::sscanf(s, "%dx%d", &w, &h) == 2 && w > 0 && h > 0 && w <= swf::kMaxBitmapSide &&
           h <= swf::kMaxBitmapSide;
}

std::string frameFileName(const std::string& pattern, int frame) {
    char buf[1024];
    std::snprintf(buf, sizeof buf, pattern.c_str(), frame);
    return buf;
}

}  // namespace

int main(int argc, char** argv) {
    std::string input, output;
    int frame = 1, every = 0, width = 0, height = 0;
    swf::ScaleMode mode = swf::ScaleMode::ShowAll;
    swf::Quality quality = swf::Quality::High;
    tools::HostOptions hostOptions;
    bool pointer = false, pointerDown = false;
    double pointerX = 0, pointerY = 0;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        bool badValue = false;
        if (tools::takeHostOption(argc, argv, i, hostOptions, badValue)) {
            if (badValue) return usage();
        } else if (a == "--frame" && hasValue) frame = std::atoi(argv[++i]);
        else if (a == "--every" && hasValue) every = std::atoi(argv[++i]);
        else if (a == "--size" && hasValue) {
            if (!parseSize(argv[++i], width, height)) return usage();
        } else if (a == "--scale" && hasValue) {
            if (!swf::parseScaleMode(argv[++i], mode)) return usage();
        } else if (a == "--quality" && hasValue) {
            std::string q = argv[++i];
            if (q == "low") quality = swf::Quality::Low;
            else if (q == "medium") quality = swf::Quality::Medium;
            else if (q == "high") quality = swf::Quality::High;
            else return usage();
        } else if (a == "--pointer" && hasValue) {
            char down[8] = {};
            int n = std::sscanf(argv[++i], "%lf,%lf,%7s", &pointerX, &pointerY, down);
            if (n < 2 || (n == 3 && std::strcmp(down, "down") != 0)) return usage();
            pointer = true;
            pointerDown = n == 3;
        } else if (a == "-o" && hasValue) output = argv[++i];
        else if (!a.empty() && a[0] != '-' && input.empty()) input = a;
        else return usage();
    }
    if (input.empty() || output.empty() || frame < 1 || every < 0) return usage();
    if (every > 0 && output.find('%') == std::string::npos) {
        std::fprintf(stderr, "swfrender: --every needs a %%d in the output name\n");
        return 2;
    }

    std::vector<uint8_t> data;
    if (!swfimg::readFile(input, data)) {
        std::fprintf(stderr, "swfrender: cannot read %s\n", input.c_str());
        return 1;
    }
    std::string error;
    size_t slash = input.find_last_of("/\\");
    hostOptions.movieFolder = slash == std::string::npos ? "." : input.substr(0, slash);
    tools::ToolHost host(hostOptions);
    auto player = swf::Player::load(data.data(), data.size(), error, &host.services(),
                                    std::make_shared<swf::FreeTypeFontProvider>());
    if (!player) {
        std::fprintf(stderr, "swfrender: %s\n", error.c_str());
        return 1;
    }
    // Tags the player had to refuse; the movie plays without them.
    for (const std::string& w : player->movie().warnings) std::fprintf(stderr, "swfrender: warning: %s\n", w.c_str());
    if (width == 0) {
        width = std::max(1, std::min(player->stageWidth(), swf::kMaxBitmapSide));
        height = std::max(1, std::min(player->stageHeight(), swf::kMaxBitmapSide));
    }
    swf::Canvas canvas(width, height);
    auto save = [&](const std::string& path) {
        if (pointer) {
            swf::Point stage = swf::canvasToStage(player->movie().frameRect, width, height, mode, pointerX, pointerY);
            player->pointerMoved(stage.x, stage.y);
            if (pointerDown) player->pointerDown();
        }
        player->render(canvas, mode, quality);
        if (!swfimg::saveImage(path, canvas)) {
            std::fprintf(stderr, "swfrender: cannot write %s (use .png or .bmp)\n", path.c_str());
            return false;
        }
        return true;
    };
    if (every > 0) {
        int last = player->totalFrames();
        for (int f = 1; f <= last; ++f) {
            if ((f - 1) % every == 0 && !save(frameFileName(output, f))) return 1;
            host.advance(1000.0 / player->frameRate());
            player->stepFrame();
        }
        return 0;
    }
    for (int f = 1; f < frame; ++f) {
        host.advance(1000.0 / player->frameRate());
        player->stepFrame();
    }
    return save(output) ? 0 : 1;
}
