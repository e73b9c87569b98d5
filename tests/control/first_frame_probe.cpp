// first_frame_probe X Y RRGGBB TOLERANCE PROGRAM [ARGS...]: starts PROGRAM and prints the
// milliseconds from just before its start until the screen pixel (X, Y) shows the colour RRGGBB
// (each channel within TOLERANCE), as "first-frame-ms N" (or "first-frame-ms timeout" after
// 60 s). The colour is one the movie's first frame has there; black (the show's window before
// the movie) and the desktop's colour never match. For the show's benchmark: a screenshot of a
// large screen takes longer than the start it should measure.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: first_frame_probe X Y RRGGBB TOLERANCE PROGRAM [ARGS...]\n");
        return 2;
    }
    const int x = std::atoi(argv[1]), y = std::atoi(argv[2]);
    const unsigned long wanted = std::strtoul(argv[3], nullptr, 16);
    const int tolerance = std::atoi(argv[4]);
    std::string command = std::string("\"") + argv[5] + "\"";
    for (int i = 6; i < argc; ++i) command += std::string(" ") + argv[i];
    auto matches = [&](COLORREF pixel) {
        const int channels[3][2] = {{GetRValue(pixel), int((wanted >> 16) & 0xFF)},
                                    {GetGValue(pixel), int((wanted >> 8) & 0xFF)},
                                    {GetBValue(pixel), int(wanted & 0xFF)}};
        for (const auto& c : channels) {
            if (std::abs(c[0] - c[1]) > tolerance) return false;
        }
        return true;
    };

    auto screenPixel = [&] {
        HDC screen = ::GetDC(nullptr);
        const COLORREF pixel = ::GetPixel(screen, x, y);
        ::ReleaseDC(nullptr, screen);
        return pixel;
    };
    LARGE_INTEGER frequency, start, now;
    ::QueryPerformanceFrequency(&frequency);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::printf("first-frame-ms failed %lu\n", ::GetLastError());
        return 1;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    for (;;) {
        const COLORREF pixel = screenPixel();
        ::QueryPerformanceCounter(&now);
        const double ms = double(now.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
        if (pixel != CLR_INVALID && matches(pixel)) {
            std::printf("first-frame-ms %.0f\n", ms);
            break;
        }
        if (ms > 60000) {
            std::printf("first-frame-ms timeout\n");
            break;
        }
        ::Sleep(5);
    }
    std::fflush(stdout);
    return 0;
}
