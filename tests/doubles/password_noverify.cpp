// A PASSWORD.CPL without VerifyScreenSavePwd: the library loads, the function is missing.
// Its only export is a control-panel entry that does nothing.
#include <windows.h>

extern "C" LONG APIENTRY CPlApplet(HWND, UINT, LPARAM, LPARAM) { return 0; }
