// Base of the program's windows ("forms"): a top-level window whose events arrive at named
// virtual handlers. The window procedure is an exception barrier: an error in a handler is shown
// in the application's standard error box and never crosses back into the system.
#pragma once

#include <windows.h>

#include <string>

namespace kestoral {

class TApplication;

struct FormStyle {
    const char* className;  // also the window class, so tests can find the window by it
    std::string caption;
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    RECT bounds = {0, 0, 0, 0};  // outer bounds in screen pixels
    HBRUSH background = nullptr;  // null: the button-face colour
    HICON icon = nullptr;
};

class TForm {
public:
    virtual ~TForm();
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    HWND Handle() const { return hwnd_; }
    bool Visible() const;
    void Show();
    void Hide();

    // Asks FormCloseQuery; when it allows, runs FormClose and, for the main form, ends the
    // application's message loop (other forms are hidden).
    void Close();

    // Creates the window (hidden) and runs FormCreate. Called by TApplication::CreateForm.
    void CreateWindowAndRunOnCreate(HWND owner);

protected:
    TForm() = default;

    virtual FormStyle Style() const = 0;

    // Events. Each is a no-op unless a form overrides it.
    virtual void FormCreate() {}
    virtual void FormShow() {}
    virtual void FormCloseQuery(bool& canClose) { (void)canClose; }
    virtual void FormClose() {}
    virtual void FormDestroy() {}

    // Every message of the window arrives here first; the default dispatches the events above
    // and passes the rest to DefWindowProc.
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Gives the form a look at a queued message before it is dispatched (dialog keys, say).
    // True means the message was handled.
    virtual bool PreTranslateMessage(MSG& message) {
        (void)message;
        return false;
    }

    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class TApplication;
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static void RegisterClassFor(const FormStyle& style);

    HWND hwnd_ = nullptr;
    bool destroying_ = false;
};

}  // namespace kestoral
