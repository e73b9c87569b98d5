// What the control's tests share: the control DLL loaded in this process with its exports, a
// host window, a message pump, movie files written for a test, and a dispatch put helper.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <cstdint>
#include <string>
#include <vector>

namespace control_test {

// bin/ of the test program; the control DLL, swf\ and test-movies\ are there.
std::string BinDir();
std::wstring WideBinDir();

struct ControlDll {
    HMODULE module = nullptr;
    HRESULT(WINAPI* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(WINAPI* canUnloadNow)() = nullptr;
    HRESULT(WINAPI* registerServer)() = nullptr;
    HRESULT(WINAPI* unregisterServer)() = nullptr;
};
// Loaded once, by its undecorated export names; null members when something is missing.
const ControlDll& Dll();

// A new control object straight from the DLL's class factory (no registry involved).
IOleObject* CreateControl();

// A visible top-level window to host the control, of the given client size.
HWND CreateHostWindow(int width, int height);

// Runs the message loop of this thread for `ms` milliseconds.
void PumpMessages(DWORD ms);

// A one-frame movie that never changes: a stage of `width` x `height` pixels in one colour
// (up to the largest stage a file can describe, 53,687,091 pixels a side).
std::vector<uint8_t> StillMovie(int width, int height, uint8_t r, uint8_t g, uint8_t b);
// Writes `bytes` to a new file in the temp folder; returns its path.
std::wstring WriteTempFile(const std::wstring& name, const std::vector<uint8_t>& bytes);

// What IViewObject2::Draw paints into a memory bitmap of the given size, row by row (empty when
// the object has no IViewObject2; a failed Draw is a test failure).
std::vector<COLORREF> DrawnPixels(IUnknown* object, int width, int height);

// IDispatch::Invoke as a host puts a property; `exception` receives the control's info.
HRESULT Put(IDispatch* dispatch, DISPID id, const VARIANT& value, EXCEPINFO* exception = nullptr,
            UINT* argumentError = nullptr);
HRESULT Get(IDispatch* dispatch, DISPID id, VARIANT* result);
VARIANT BoolValue(bool value);
VARIANT IntValue(long value);
// The BSTR is owned by the caller (VariantClear).
VARIANT TextValue(const std::wstring& text);

constexpr DISPID kMovie = 102, kLoop = 106, kFrameNum = 107, kTotalFrames = 124, kPlaying = 125, kWMode = 133,
                 kMenu = 135, kScale = 137, kReadyState = -525;

}  // namespace control_test
