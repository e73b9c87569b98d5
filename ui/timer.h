// A periodic timer on the user-interface thread, like a form's timer component: designed with an
// interval, enabled when needed, its handler run from the message loop.
#pragma once

#include <windows.h>

#include <functional>

namespace kestoral {

class TTimer {
public:
    explicit TTimer(std::function<void()> onTimer) : onTimer_(std::move(onTimer)) {}
    ~TTimer() { Stop(); }
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    void SetInterval(UINT milliseconds);
    void SetEnabled(bool enabled);
    bool Enabled() const { return id_ != 0; }

private:
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) noexcept;
    void Start();
    void Stop();

    std::function<void()> onTimer_;
    UINT interval_ = 1000;
    UINT_PTR id_ = 0;
};

}  // namespace kestoral
