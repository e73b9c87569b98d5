// libFuzzer target: arbitrary bytes are loaded as a movie and a few frames are stepped and
// rendered at a small size, the way the screen saver would play them.
#include <runtime/player.h>

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    auto player = swf::Player::load(data, size, error);
    if (!player) return 0;
    swf::Canvas canvas(48, 36);
    const swf::ScaleMode modes[] = {swf::ScaleMode::ShowAll, swf::ScaleMode::ExactFit};
    for (int frame = 0; frame < 4; ++frame) {
        player->render(canvas, modes[frame % 2], frame == 3 ? swf::Quality::Low : swf::Quality::Medium);
        player->stepFrame();
    }
    return 0;
}
