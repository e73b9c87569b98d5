#include "timer.h"

#include <map>

#include "application.h"

namespace kestoral {
namespace {
// Thread timers carry no context, so their ids lead back to the owners. Never destroyed: forms
// and their timers die with the global Application object, after function statics are gone.
std::map<UINT_PTR, TTimer*>& Timers() {
    static auto* timers = new std::map<UINT_PTR, TTimer*>;
    return *timers;
}
}  // namespace

void TTimer::SetInterval(UINT milliseconds) {
    interval_ = milliseconds;
    if (Enabled()) {
        Stop();
        Start();
    }
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == Enabled()) return;
    if (enabled) {
        Start();
    } else {
        Stop();
    }
}

void TTimer::Start() {
    if (interval_ == 0 || !onTimer_) return;
    id_ = ::SetTimer(nullptr, 0, interval_, &TTimer::TimerProc);
    if (id_) Timers()[id_] = this;
}

void TTimer::Stop() {
    if (!id_) return;
    ::KillTimer(nullptr, id_);
    Timers().erase(id_);
    id_ = 0;
}

void CALLBACK TTimer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) noexcept {
    auto it = Timers().find(id);
    if (it == Timers().end()) return;
    try {
        it->second->onTimer_();
    } catch (...) {
        Application.HandleException();
    }
}

}  // namespace kestoral
