// swfrun FILE [--frames N] [--seed S] [--time ISO8601] [--audio OUT.wav]
// Runs a movie headless for N frames (default 1): every trace() line goes to standard output
// as it happens, script warnings to standard error. fscommand("quit") ends the run after
// the frame that called it; otherwise the timers due in the last frame's interval run before
// the end. --seed and --time pin Math.random, getTimer and Date. --audio writes the sound of
// those frames (one frame interval each, 44.1 kHz stereo) as a WAV file.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <audio/audio_capture.h>
#include <audio/mpg123_decoder.h>
#include <hostoptions/host_options.h>
#include <runtime/player.h>
#include <freetype_font_provider.h>
#include <parse/movie_loader.h>
#include <runtime/avm1/vm.h>

namespace {

int usage() {
    std::fprintf(stderr, "usage: swfrun FILE [--frames N] [--seed S] [--time ISO8601] [--audio OUT.wav]\n");
    return 2;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

int main(int argc, char** argv) {
    std::string input;
    long frames = 1;
    std::string audioPath;
    tools::HostOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool error = false;
        if (tools::takeHostOption(argc, argv, i, options, error)) {
            if (error) return usage();
        } else if (a == "--frames" && i + 1 < argc) {
            frames = std::atol(argv[++i]);
        } else if (a == "--audio" && i + 1 < argc) {
            audioPath = argv[++i];
        } else if (!a.empty() && a[0] != '-' && input.empty()) {
            input = a;
        } else {
            return usage();
        }
    }
    if (input.empty() || frames < 1) return usage();
    std::ifstream file(input, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "swfrun: cannot open %s\n", input.c_str());
        return 1;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    options.movieFolder = folderOf(input);
    std::error_code noPath;
    options.movieUrl = "file://" + std::filesystem::absolute(input, noPath).generic_string();
    tools::ToolHost host(options);

    // The first frame runs while the player is made: print from the start.
    std::string error;
    // Device fonts as swfrender draws with: text metrics scripts read (textWidth) depend on them.
    auto deviceFonts = std::make_shared<swf::FreeTypeFontProvider>();
    std::shared_ptr<const swf::Movie> movie = swf::loadMovie(bytes.data(), bytes.size(), error, deviceFonts.get());
    if (!movie) {
        std::fprintf(stderr, "swfrun: %s\n", error.c_str());
        return 1;
    }
    swf::Player player(movie, &host.services(), [](swf::avm1::Vm& vm) {
        // The original's log ends a line at every carriage return too ("a\r\nb" is three lines).
        vm.onTrace = [](const std::string& line) {
            for (char c : line) std::fputc(c == '\r' ? '\n' : c, stdout);
            std::fputc('\n', stdout);
        };
        vm.onWarning = [](const std::string& line) { std::fprintf(stderr, "warning: %s\n", line.c_str()); };
    }, deviceFonts, swfaudio::mpg123DecoderFactory());
    double frameMs = 1000.0 / player.frameRate();
    // The sound runs in time whether or not it is written, so sounds end when they would.
    swfaudio::AudioRecorder recorder(player, !audioPath.empty());
    for (long f = 1; f < frames && !player.quitRequested(); ++f) {
        recorder.pull(frameMs);  // what plays while frame f is shown
        host.advance(frameMs);
        player.stepFrame();
    }
    // The last frame lasts its interval too: timers due in it run (a 1 ms interval set in the
    // only frame ticks about forty times).
    if (!player.quitRequested()) {
        host.advance(frameMs);
        player.runDueTimers();
    }
    std::fflush(stdout);
    if (!audioPath.empty()) {
        recorder.pull(frameMs);
        for (const std::string& w : player.soundWarnings()) std::fprintf(stderr, "warning: %s\n", w.c_str());
        if (!recorder.writeWav(audioPath)) {
            std::fprintf(stderr, "swfrun: cannot write %s\n", audioPath.c_str());
            return 1;
        }
    }
    return 0;
}
