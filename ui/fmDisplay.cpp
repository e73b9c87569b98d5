#include "fmDisplay.h"

#include <cstdlib>

#include "application.h"
#include "file_system.h"
#include "global.h"
#include "password.h"
#include "wide_text.h"

namespace kestoral {

TFormDisplay* FormDisplay = nullptr;

namespace {

// Where the window stands in a preview run, which never shows it.
const RECT kDesignBounds = {0, 0, 320, 240};
const UINT kControlInterval = 10;  // ms; only the preview run's watch of its pane uses the tick
const int kMoveTolerance = 50;     // pixels the pointer may stray on either axis
const char kTaskbarClass[] = "Shell_TrayWnd";
const char kFlashHookProperty[] = "kestoral.TMyShockwaveFlash";

}  // namespace

// -- TMyShockwaveFlash --------------------------------------------------------------------------

TMyShockwaveFlash::~TMyShockwaveFlash() { Unhook(); }

void TMyShockwaveFlash::ControlWindowCreated(HWND window) {
    Unhook();
    // A window property, not GWLP_USERDATA: that slot belongs to the control.
    ::SetPropA(window, kFlashHookProperty, this);
    oldWndProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForwardingWndProc)));
    hooked_ = window;
}

void TMyShockwaveFlash::ControlWindowDestroying(HWND) { Unhook(); }

void TMyShockwaveFlash::Unhook() {
    if (!hooked_) return;
    if (::IsWindow(hooked_)) {
        ::SetWindowLongPtrA(hooked_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldWndProc_));
        ::RemovePropA(hooked_, kFlashHookProperty);
    }
    hooked_ = nullptr;
}

LRESULT CALLBACK TMyShockwaveFlash::ForwardingWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = static_cast<TMyShockwaveFlash*>(::GetPropA(hwnd, kFlashHookProperty));
    if (!self) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    const WNDPROC oldWndProc = self->oldWndProc_;
    switch (message) {
        case WM_KEYDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            // Sent and waited for: a close (password question included) runs to its end before
            // the control sees the input.
            ::SendMessageA(::GetParent(hwnd), message, wParam, lParam);
            break;
        case WM_NCDESTROY:
            // The control destroys its window on its own: let go of it first.
            self->Unhook();
            break;
        default:
            break;
    }
    return ::CallWindowProcA(oldWndProc, hwnd, message, wParam, lParam);
}

// -- TFormDisplay -------------------------------------------------------------------------------

TFormDisplay::TFormDisplay() : tmControl([this] { tmControlTimer(); }) {
    tmControl.SetInterval(kControlInterval);  // designed at 10 ms, disabled until FormCreate ends
}

TFormDisplay::~TFormDisplay() {
    // The control goes before the window that hosts it.
    FlashControl.reset();
}

FormStyle TFormDisplay::Style() const {
    FormStyle style;
    style.className = "TFormDisplay";
    style.style = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;  // no border, no caption
    style.exStyle = WS_EX_TOPMOST;                               // exactly this, nothing else
    style.background = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    style.bounds = kDesignBounds;
    return style;
}

void TFormDisplay::FormCreate() {
    FlashControl.reset();
    TaskbarWnd = nullptr;

    if (!bPreview) {
        ::SetWindowPos(Handle(), nullptr, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                       SWP_NOZORDER | SWP_NOACTIVATE);
        ::GetCursorPos(&StartPos);
        Application.SetCursor(TCursor::crNone);
        TaskbarWnd = ::FindWindowA(kTaskbarClass, nullptr);
        ::ShowWindow(TaskbarWnd, SW_HIDE);
    }

    try {
        FlashControl = std::make_unique<TMyShockwaveFlash>();
    } catch (...) {
        // The error goes on to the framework's error box. A preview run still needs its tick:
        // it is the only thing that ends the hidden process when the pane goes away.
        if (bPreview) EnableControlTimer();
        throw;
    }
    FlashControl->SetVisible(StartMovie());
    EnableControlTimer();
}

void TFormDisplay::EnableControlTimer() {
    tmControl.SetInterval(kControlInterval);
    tmControl.SetEnabled(true);
}

bool TFormDisplay::StartMovie() {
    try {
        const TOptGeneralRec& general = Settings.Options.OptGeneral;
        const std::string path = general.sMovieDirectory + general.sMovieName;
        if (!FileExists(path)) return false;
        FlashControl->SetParent(FormDisplay->Handle());
        FlashControl->AlignToClient();
        FlashControl->SetScale(L"ExactFit");
        FlashControl->SetWMode(L"Window");
        FlashControl->SetAutoSize(false);
        FlashControl->SetLoop(true);
        FlashControl->SetMenu(false);
        FlashControl->SetPlaying(true);
        FlashControl->SetMovie(WideFromAnsi(path));
        return true;
    } catch (...) {
        return false;  // what was applied stays applied; the window shows black
    }
}

void TFormDisplay::FormCloseQuery(bool& canClose) { canClose = bPreview || PasswordAllowsClose(); }

void TFormDisplay::FormClose() {
    if (bPreview) return;
    Application.SetCursor(TCursor::crDefault);
    ::ShowWindow(TaskbarWnd, SW_RESTORE);
}

void TFormDisplay::FormMouseDown() { Close(); }

void TFormDisplay::FormKeyDown(WPARAM& key) {
    key = 0;
    Close();
}

void TFormDisplay::FormMouseMove(LPARAM position) {
    // Unsigned 16-bit halves: the window stands at the screen's origin, so client coordinates are
    // screen coordinates and never negative.
    const int x = int(LOWORD(position));
    const int y = int(HIWORD(position));
    if (std::abs(StartPos.x - x) > kMoveTolerance || std::abs(StartPos.y - y) > kMoveTolerance) Close();
}

void TFormDisplay::tmControlTimer() {
    if (!bPreview || ::IsWindowVisible(hPreviewParent)) return;
    Close();
    // The tick also runs inside the error box of a failed creation, before this window has
    // become the main form: Close() alone would only hide it. Terminate ends the box's loop
    // too, and the run ends with it.
    if (Application.MainForm() != this) Application.Terminate();
}

LRESULT TFormDisplay::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            WPARAM key = wParam;
            FormKeyDown(key);
            if (key == 0) return 0;  // consumed: no system menu for Alt, no beep
            break;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
        case WM_XBUTTONDBLCLK:
            FormMouseDown();
            return 0;
        case WM_MOUSEMOVE:
            FormMouseMove(lParam);
            return 0;
        case WM_SIZE:
            if (FlashControl) FlashControl->ParentResized();
            break;
        default:
            break;
    }
    return TForm::WndProc(message, wParam, lParam);
}

}  // namespace kestoral
