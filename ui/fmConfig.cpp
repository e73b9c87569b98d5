#include "fmConfig.h"

#include "application.h"
#include "global.h"

namespace kestoral {

TFormConfig* FormConfig = nullptr;

FormStyle TFormConfig::Style() const {
    FormStyle style;
    style.className = "TFormConfig";
    style.caption = "FormConfig";
    style.style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    style.exStyle = WS_EX_DLGMODALFRAME;
    RECT client = {0, 0, 468, 306};
    ::AdjustWindowRectEx(&client, style.style, FALSE, style.exStyle);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    style.bounds = {left, top, left + width, top + height};
    return style;
}

void TFormConfig::FormCreate() {
    if (!VersionInfoOk) return;
    Application.SetTitle(VersionInfo.sProductName);
    ::SetWindowTextA(Handle(), Application.Title().c_str());
}

LRESULT TFormConfig::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        Close();
        return 0;
    }
    return TForm::WndProc(message, wParam, lParam);
}

}  // namespace kestoral
