// test_card OUT.swf: the end-to-end tests' movie. A 4:3 stage (640 x 480, 12 fps, 24 frames)
// in mid grey with a coloured square in each corner (red top left, green top right, blue bottom
// left, yellow bottom right) and a white bar that steps right every frame, so a screenshot shows
// where the corners went and which frame is on screen.
#include <cstdio>
#include <fstream>

#include <tags.h>

namespace {

constexpr int kWidth = 640, kHeight = 480, kFrames = 24, kTw = 20;

swfw::Tag square(uint16_t id, int x, int y, int size, swf::Rgba color) {
    swfw::ShapeWriter s(1);
    const int fill = s.addSolidFill(color);
    s.rect(x * kTw, y * kTw, (x + size) * kTw, (y + size) * kTw, fill);
    return swfw::defineShape(id, 1, swf::Rect{x * kTw, (x + size) * kTw, y * kTw, (y + size) * kTw}, s);
}

swfw::Tag bar(uint16_t id) {
    swfw::ShapeWriter s(1);
    const int fill = s.addSolidFill({255, 255, 255, 255});
    s.rect(0, 0, 20 * kTw, 200 * kTw, fill);
    return swfw::defineShape(id, 1, swf::Rect{0, 20 * kTw, 0, 200 * kTw}, s);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: test_card OUT.swf\n");
        return 2;
    }
    swfw::MovieWriter m(6, kWidth, kHeight, 12);
    m.add(swfw::setBackgroundColor({128, 128, 128, 255}));
    const int size = 60;
    m.add(square(1, 0, 0, size, {255, 0, 0, 255}));
    m.add(square(2, kWidth - size, 0, size, {0, 255, 0, 255}));
    m.add(square(3, 0, kHeight - size, size, {0, 0, 255, 255}));
    m.add(square(4, kWidth - size, kHeight - size, size, {255, 255, 0, 255}));
    m.add(bar(5));
    for (uint16_t depth = 1; depth <= 4; ++depth) m.add(swfw::placeObject2({depth, depth, false, swf::Matrix{}}));
    for (int k = 0; k < kFrames; ++k) {
        swfw::Place p{10, std::nullopt, k > 0, swf::Matrix::translate(float((80 + k * 20) * kTw), float(140 * kTw))};
        if (k == 0) p.character = 5;
        m.add(swfw::placeObject2(p));
        m.showFrame();
    }
    const auto bytes = m.build();
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return out ? 0 : 1;
}
