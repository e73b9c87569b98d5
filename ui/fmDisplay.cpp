#include "fmDisplay.h"

#include "global.h"
#include "password.h"

namespace kestoral {

TFormDisplay* FormDisplay = nullptr;

TFormDisplay::TFormDisplay() : tmControl([this] { tmControlTimer(); }) {}

FormStyle TFormDisplay::Style() const {
    FormStyle style;
    style.className = "TFormDisplay";
    style.style = WS_POPUP;
    style.exStyle = WS_EX_TOPMOST;
    style.background = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    style.bounds = {0, 0, 320, 240};
    return style;
}

void TFormDisplay::FormCreate() {
    if (!bPreview)
        ::SetWindowPos(Handle(), nullptr, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    tmControl.SetInterval(10);
    tmControl.SetEnabled(true);
}

void TFormDisplay::FormCloseQuery(bool& canClose) { canClose = bPreview || PasswordAllowsClose(); }

void TFormDisplay::tmControlTimer() {
    if (bPreview && !::IsWindowVisible(hPreviewParent)) Close();
}

LRESULT TFormDisplay::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            Close();
            return 0;
        default:
            return TForm::WndProc(message, wParam, lParam);
    }
}

}  // namespace kestoral
