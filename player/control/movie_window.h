// The control's own child window: it steps the movie on a timer of the host's UI thread, draws
// what changed into its canvas and paints the changed areas from there. It forwards no input to its parent
// (the host subclasses this window to see input) and never blocks the host's message loop.
#pragma once

#include <windows.h>

#include "canvas_blit.h"
#include "playback.h"
#include "sound_output.h"

namespace swfctl {

class MovieWindow {
public:
    explicit MovieWindow(Playback& playback) : playback_(playback), sound_(playback) {}
    ~MovieWindow() { destroy(); }
    MovieWindow(const MovieWindow&) = delete;
    MovieWindow& operator=(const MovieWindow&) = delete;

    // Creates the window hidden, as a child of `parent` at `bounds` (parent client coordinates).
    bool create(HWND parent, const RECT& bounds);
    void destroy();
    HWND handle() const { return hwnd_; }

    void move(const RECT& bounds);
    void show(bool visible);
    // A movie was loaded or unloaded, or a setting changed what is on screen: draw now and
    // pace the timer to the movie's rate.
    void movieChanged();
    void setMenuEnabled(bool enabled) { menu_ = enabled; }

    // Frames drawn and areas painted since creation, for tests of "nothing redrawn".
    unsigned long drawnUpdates() const { return drawnUpdates_; }

    static void UnregisterClass();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onSize(int width, int height);
    void onTimer();
    void onPaint();
    void onContextMenu(LPARAM position);
    void drawChanges();
    void startTimer();
    double elapsedMs();

    void updateSound();

    Playback& playback_;
    SoundOutput sound_;  // plays while the window is visible with a movie
    HWND hwnd_ = nullptr;
    swf::Canvas canvas_;  // kept across window re-creation: the player draws only changes into it
    bool sized_ = false;  // the client area is not empty: canvas_ is its picture
    LARGE_INTEGER lastTick_ = {};
    bool menu_ = true;
    unsigned long drawnUpdates_ = 0;
};

}  // namespace swfctl
