// Stands in for the display control panel's preview pane: a visible window whose handle a test
// passes to "kestoral.scr /p <hwnd>". Prints "ready <hwnd>", then obeys the words a test writes
// into the command file named by argument 1 ("hide", "show", "destroy"), each answered with
// "done <word>" once carried out. Ends when killed or on "exit".
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

const UINT_PTR kPollTimer = 1;
std::string g_commandFile;
std::string g_lastCommand;
HWND g_pane = nullptr;

std::string ReadCommand() {
    std::ifstream file(g_commandFile);
    std::string word;
    file >> word;
    return word;
}

void Obey(const std::string& word) {
    if (word == "hide") {
        ShowWindow(g_pane, SW_HIDE);
    } else if (word == "show") {
        ShowWindow(g_pane, SW_SHOWNA);
    } else if (word == "destroy") {
        DestroyWindow(g_pane);
        g_pane = nullptr;
    } else if (word == "exit") {
        PostQuitMessage(0);
    } else {
        return;
    }
    std::printf("done %s\n", word.c_str());
    std::fflush(stdout);
}

void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
    const std::string word = ReadCommand();
    if (word.empty() || word == g_lastCommand) return;
    g_lastCommand = word;
    Obey(word);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    g_commandFile = argv[1];

    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = CreateSolidBrush(RGB(0, 128, 128));
    wc.lpszClassName = "KestoralPreviewPane";
    if (!RegisterClassA(&wc)) return 1;
    // The size of the preview area in the display control panel.
    g_pane = CreateWindowExA(0, wc.lpszClassName, "preview", WS_POPUP | WS_VISIBLE, 40, 40, 152, 112, nullptr,
                             nullptr, wc.hInstance, nullptr);
    if (!g_pane) return 1;
    std::printf("ready %lu\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(g_pane)));
    std::fflush(stdout);
    SetTimer(nullptr, kPollTimer, 20, Poll);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
