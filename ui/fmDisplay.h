// The window of a screen-saver run: full-screen, black and topmost, hosting the Flash control and
// ending at the first key, button or pointer movement; or, in a preview run, hidden beside the
// control panel's preview pane and ending when that pane goes away.
#pragma once

#include <memory>

#include "ShockwaveFlashObjects_TLB.h"
#include "form.h"
#include "timer.h"

namespace kestoral {

// The Flash control of the display window. Input that lands on the control's own window (key
// down, pointer movement, left and right button down) is first sent to the parent window, and
// the control handles it only after the parent has.
class TMyShockwaveFlash : public TShockwaveFlash {
public:
    TMyShockwaveFlash() = default;
    ~TMyShockwaveFlash() override;

protected:
    void ControlWindowCreated(HWND window) override;
    void ControlWindowDestroying(HWND window) override;

private:
    static LRESULT CALLBACK ForwardingWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void Unhook();

    HWND hooked_ = nullptr;
    WNDPROC oldWndProc_ = nullptr;
};

class TFormDisplay : public TForm {
public:
    TFormDisplay();
    ~TFormDisplay() override;

    // Hands the settings' movie to the control; false when there is no such file or the control
    // rejected a property. Nothing is reported.
    bool StartMovie();

protected:
    FormStyle Style() const override;
    void FormCreate() override;
    void FormDestroy() override {}
    void FormCloseQuery(bool& canClose) override;
    void FormClose() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FormMouseDown();
    void FormKeyDown(WPARAM& key);
    void FormMouseMove(LPARAM position);
    void tmControlTimer();
    void EnableControlTimer();

    TTimer tmControl;
    std::unique_ptr<TMyShockwaveFlash> FlashControl;  // owned; empty until FormCreate
    POINT StartPos = {0, 0};
    HWND TaskbarWnd = nullptr;
};

extern TFormDisplay* FormDisplay;

}  // namespace kestoral
