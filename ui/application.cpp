#include "application.h"

#include <objbase.h>

#include <stdexcept>

namespace kestoral {

TApplication Application;

namespace {

const char kApplicationClass[] = "TApplication";

LRESULT CALLBACK ApplicationWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    // The application window only stands for the program on the taskbar: closing it from there
    // closes the main form.
    if (message == WM_CLOSE) {
        if (TForm* main = Application.MainForm()) {
            ::PostMessageA(main->Handle(), WM_CLOSE, 0, 0);
            return 0;
        }
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

TApplication::~TApplication() {
    forms_.clear();
    if (window_) ::DestroyWindow(window_);
    if (comInitialized_) ::CoUninitialize();
}

void TApplication::Initialize() {
    if (window_) return;
    const HRESULT hr = ::CoInitialize(nullptr);
    comInitialized_ = SUCCEEDED(hr);

    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &ApplicationWndProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kApplicationClass;
    ::RegisterClassExA(&wc);
    // A zero-size window in the screen's centre: invisible itself, it owns every form.
    const int x = ::GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = ::GetSystemMetrics(SM_CYSCREEN) / 2;
    window_ = ::CreateWindowExA(0, kApplicationClass, title_.c_str(),
                                WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0,
                                0, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    if (window_) ::SetWindowTextA(window_, title_.c_str());
}

void TApplication::Adopt(std::unique_ptr<TForm> form) {
    if (!mainForm_) mainForm_ = form.get();
    forms_.push_back(std::move(form));
}

void TApplication::Run() {
    if (!mainForm_) return;
    if (ShowMainForm) mainForm_->Show();
    MSG message;
    while (!terminated_) {
        const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        bool handled = false;
        for (auto& form : forms_) {
            if (form->Handle() &&
                (message.hwnd == form->Handle() || ::IsChild(form->Handle(), message.hwnd)) &&
                form->PreTranslateMessage(message)) {
                handled = true;
                break;
            }
        }
        if (handled) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

void TApplication::Terminate() {
    if (terminated_) return;
    terminated_ = true;
    ::PostQuitMessage(0);
}

void TApplication::SetCursor(TCursor cursor) {
    if (cursor == cursor_) return;
    cursor_ = cursor;
    // ShowCursor counts: one hide, undone by exactly one show.
    ::ShowCursor(cursor == TCursor::crNone ? FALSE : TRUE);
    ::SetCursor(cursor == TCursor::crNone ? nullptr : ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */));
}

void TApplication::ShowException(const std::exception& error) const {
    std::string text = error.what();
    if (!text.empty() && text.back() != '.') text += '.';
    ::MessageBoxA(nullptr, text.c_str(), title_.c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

void TApplication::HandleException() const {
    try {
        throw;
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowException(std::runtime_error("Unknown error"));
    }
}

}  // namespace kestoral
