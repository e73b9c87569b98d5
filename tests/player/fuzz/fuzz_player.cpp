// libFuzzer target: arbitrary bytes are loaded as a movie and a few frames are stepped and
// rendered at a small size, the way the screen saver would play them, with a pointer sweeping
// the stage and pressing on the way (buttons, their actions and script events run too).
// Scripts get a fifth of a second per frame instead of the player's 15 s: mutated loops that
// never end are common, and at 15 s each they would pass the per-input timeout.
#include <parse/movie_loader.h>
#include <runtime/avm1/vm.h>
#include <runtime/player.h>

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    std::shared_ptr<const swf::Movie> movie = swf::loadMovie(data, size, error);
    if (!movie) return 0;
    auto player = std::make_unique<swf::Player>(movie, nullptr, [](swf::avm1::Vm& vm) { vm.limits().scriptSeconds = 0.2; });
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
