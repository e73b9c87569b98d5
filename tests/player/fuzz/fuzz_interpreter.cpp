// libFuzzer target for the script interpreter. Input starting with "FWS"/"CWS" is a whole
// movie (the seeds are the scripted test movies, so mutations keep their scripts mostly
// whole); anything else is raw action bytecode run as the frame script of a minimal movie,
// its first byte choosing the SWF version (4 to 8). A few frames run with short limits so a
// looping input is cut off quickly instead of reading as a hang.
#include <parse/movie_loader.h>
#include <runtime/avm1/host_services.h>
#include <runtime/avm1/vm.h>
#include <runtime/player.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

void putTag(std::vector<uint8_t>& out, uint16_t code, const uint8_t* body, size_t size) {
    uint16_t head = uint16_t(code << 6 | 0x3f);
    out.push_back(uint8_t(head));
    out.push_back(uint8_t(head >> 8));
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(size >> (8 * i)));
    out.insert(out.end(), body, body + size);
}

// A 100 x 100 movie of two frames, the bytecode as frame 1's DoAction.
std::vector<uint8_t> minimalMovie(int version, const uint8_t* code, size_t size) {
    std::vector<uint8_t> m = {'F', 'W', 'S', uint8_t(version), 0, 0, 0, 0};
    m.insert(m.end(), {0x50, 0x00, 0x03, 0xe8, 0x00, 0x0f, 0xa0, 0x00});  // 0..2000 twips both ways
    m.insert(m.end(), {0x00, 0x0c, 0x02, 0x00});                          // 12 fps, 2 frames
    putTag(m, 12, code, size);
    putTag(m, 1, nullptr, 0);
    putTag(m, 1, nullptr, 0);
    putTag(m, 0, nullptr, 0);
    uint32_t length = uint32_t(m.size());
    for (int i = 0; i < 4; ++i) m[4 + size_t(i)] = uint8_t(length >> (8 * i));
    return m;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    std::vector<uint8_t> movie;
    bool whole = size >= 3 && (data[0] == 'F' || data[0] == 'C') && data[1] == 'W' && data[2] == 'S';
    if (whole) movie.assign(data, data + size);
    else movie = minimalMovie(4 + data[0] % 5, data + 1, size - 1);

    std::string error;
    std::shared_ptr<const swf::Movie> loaded = swf::loadMovie(movie.data(), movie.size(), error);
    if (!loaded) return 0;
    swf::avm1::FixedHostServices host;
    host.startUtcMs = 981152406000.0;
    swf::Player player(loaded, &host, [](swf::avm1::Vm& vm) {
        vm.limits().scriptSeconds = 0.2;
        vm.limits().maxObjects = 200000;
        vm.limits().maxStringBytes = 1u << 20;
        vm.limits().maxArrayLength = 1u << 16;
    });
    for (int frame = 0; frame < 3 && !player.quitRequested(); ++frame) {
        host.elapsedMs += 100;
        player.stepFrame();
    }
    return 0;
}
