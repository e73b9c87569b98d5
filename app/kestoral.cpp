// Program entry: the screen-saver machinery starts us with a switch (/c configure, /s show,
// /p HWND preview, /a HWND change password); we open the one window the run needs and run its
// message loop. A named mutex keeps a second full-screen show from starting.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "application.h"
#include "command_line.h"
#include "fmConfig.h"
#include "fmDisplay.h"
#include "global.h"
#include "password.h"
#include "str_to_int.h"

using namespace kestoral;

namespace {

const char kMutexName[] = "kestoralmutex";
const char kApplicationTitle[] = "kestoral";

std::string RunModeOrConfigure() {
    try {
        return DeriveRunMode(SplitCommandLine(::GetCommandLineA()));
    } catch (...) {
        return "C";
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitGlobal();

    bool bMutexOwner = false;
    // The probe's handle stays open until the process ends: while any instance holds one, the
    // name stays taken and a new /s start ends at once.
    HANDLE hSaverMutex = ::OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kMutexName);
    const std::string sRunMode = RunModeOrConfigure();

    if (!(hSaverMutex && sRunMode == "S")) {
        try {
            Application.Initialize();
            Application.SetTitle(kApplicationTitle);
            if (sRunMode == "C") {
                Application.ShowMainForm = true;
                Application.CreateForm(FormConfig);
            } else if (sRunMode == "A") {
                Application.ShowMainForm = false;
                ChangePassword();
            } else if (sRunMode == "P") {
                bPreview = true;
                int32_t parent = 0;
                if (!TryStrToInt(ParamStr(2), parent))
                    throw std::runtime_error("'" + ParamStr(2) + "' is not a valid integer value");
                hPreviewParent = reinterpret_cast<HWND>(static_cast<intptr_t>(parent));
                Application.ShowMainForm = false;
                Application.CreateForm(FormDisplay);
                ::ShowWindow(Application.Handle(), SW_HIDE);
            } else {
                hSaverMutex = ::CreateMutexA(nullptr, TRUE, kMutexName);
                if (hSaverMutex && ::GetLastError() == 0) {
                    bMutexOwner = true;
                    bPreview = false;
                    Application.ShowMainForm = true;
                    Application.CreateForm(FormDisplay);
                }
            }
            Application.Run();
        } catch (...) {
            ::MessageBeep(MB_OK);
        }
    }

    if (bMutexOwner && hSaverMutex) ::CloseHandle(hSaverMutex);
    return 0;
}
