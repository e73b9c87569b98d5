#include "form.h"

#include <set>
#include <stdexcept>
#include <string>

#include "application.h"

namespace kestoral {

TForm::~TForm() {
    if (hwnd_) {
        destroying_ = true;
        ::DestroyWindow(hwnd_);
    }
}

void TForm::RegisterClassFor(const FormStyle& style) {
    static std::set<std::string> registered;
    if (!registered.insert(style.className).second) return;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &TForm::StaticWndProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
    wc.hbrBackground = style.background ? style.background : reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = style.icon;
    wc.lpszClassName = style.className;
    ::RegisterClassExA(&wc);
}

void TForm::CreateWindowAndRunOnCreate(HWND owner) {
    const FormStyle style = Style();
    RegisterClassFor(style);
    const RECT& r = style.bounds;
    HWND hwnd = ::CreateWindowExA(style.exStyle, style.className, style.caption.c_str(), style.style, r.left, r.top,
                                  r.right - r.left, r.bottom - r.top, owner, nullptr, ::GetModuleHandleA(nullptr),
                                  this);
    if (!hwnd) throw std::runtime_error("Error creating window " + std::string(style.className) + ".");
    // Some styles are adjusted by CreateWindowEx (the extended style above all): set them back
    // to exactly what the form asked for.
    ::SetWindowLongA(hwnd, GWL_EXSTYLE, LONG(style.exStyle));

    // An error in the creation handler is shown, and the window lives on, as forms always did.
    try {
        FormCreate();
    } catch (...) {
        Application.HandleException();
    }
}

bool TForm::Visible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }

void TForm::Show() {
    if (!hwnd_ || Visible()) return;
    FormShow();
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetForegroundWindow(hwnd_);
}

void TForm::Hide() {
    if (hwnd_) ::ShowWindow(hwnd_, SW_HIDE);
}

void TForm::Close() {
    bool canClose = true;
    FormCloseQuery(canClose);
    if (!canClose) return;
    FormClose();
    if (Application.MainForm() == this) {
        Application.Terminate();
    } else {
        Hide();
    }
}

LRESULT TForm::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            Close();
            return 0;
        case WM_DESTROY:
            FormDestroy();
            break;
        case WM_SETCURSOR:
            if (Application.Cursor() == TCursor::crNone && LOWORD(lParam) == HTCLIENT) {
                ::SetCursor(nullptr);
                return TRUE;
            }
            break;
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

LRESULT CALLBACK TForm::StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    TForm* form = nullptr;
    if (message == WM_NCCREATE) {
        form = static_cast<TForm*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        form->hwnd_ = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    } else {
        form = reinterpret_cast<TForm*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!form) return ::DefWindowProcA(hwnd, message, wParam, lParam);

    LRESULT result = 0;
    try {
        result = form->WndProc(message, wParam, lParam);
    } catch (...) {
        Application.HandleException();
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        form->hwnd_ = nullptr;
    }
    return result;
}

}  // namespace kestoral
