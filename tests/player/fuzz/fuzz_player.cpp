// libFuzzer target: arbitrary bytes are loaded as a movie and a few frames are stepped and
// rendered at a small size, the way the screen saver would play them, with a pointer sweeping
// the stage and pressing on the way (buttons, their actions and script events run too).
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
        player->pointerMoved(player->stageWidth() * (frame + 1) / 5.0, player->stageHeight() * (frame + 1) / 5.0);
        if (frame == 1) player->pointerDown();
        if (frame == 2) player->pointerUp();
        player->keyDown(frame == 0 ? 13 : 'A', frame == 0 ? 13 : 'a');
        player->keyUp(frame == 0 ? 13 : 'A');
        player->stepFrame();
    }
    return 0;
}
