#include "control_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <utility>

namespace control_test {
namespace {

const CLSID kFlashClassId = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

class BitPacker {
public:
    void bits(uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            current_ = uint8_t((current_ << 1) | ((value >> i) & 1));
            if (++used_ == 8) flush();
        }
    }
    std::vector<uint8_t> take() {
        if (used_) {
            current_ = uint8_t(current_ << (8 - used_));
            flush();
        }
        return bytes_;
    }

private:
    void flush() {
        bytes_.push_back(current_);
        current_ = 0;
        used_ = 0;
    }
    std::vector<uint8_t> bytes_;
    uint8_t current_ = 0;
    int used_ = 0;
};

// An export as void*: FARPROC's own signature matches none of them (-Wcast-function-type).
void* Export(HMODULE module, const char* name) { return reinterpret_cast<void*>(::GetProcAddress(module, name)); }

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

std::string BinDir() {
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, length);
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

std::wstring WideBinDir() {
    const std::string dir = BinDir();
    return std::wstring(dir.begin(), dir.end());
}

const ControlDll& Dll() {
    static ControlDll dll = [] {
        ControlDll d;
        d.module = ::LoadLibraryA((BinDir() + "swfplayer-control.dll").c_str());
        if (!d.module) return d;
        d.getClassObject = reinterpret_cast<decltype(d.getClassObject)>(Export(d.module, "DllGetClassObject"));
        d.canUnloadNow = reinterpret_cast<decltype(d.canUnloadNow)>(Export(d.module, "DllCanUnloadNow"));
        d.registerServer = reinterpret_cast<decltype(d.registerServer)>(Export(d.module, "DllRegisterServer"));
        d.unregisterServer =
            reinterpret_cast<decltype(d.unregisterServer)>(Export(d.module, "DllUnregisterServer"));
        return d;
    }();
    return dll;
}

IOleObject* CreateControl() {
    if (!Dll().getClassObject) return nullptr;
    IClassFactory* factory = nullptr;
    if (FAILED(Dll().getClassObject(kFlashClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) return nullptr;
    IOleObject* object = nullptr;
    factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(&object));
    factory->Release();
    return object;
}

HWND CreateHostWindow(int width, int height) {
    static const bool registered = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &HostProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = "ControlTestHost";
        return ::RegisterClassA(&wc) != 0;
    }();
    (void)registered;
    RECT bounds = {0, 0, width, height};
    ::AdjustWindowRectEx(&bounds, WS_POPUP, FALSE, 0);
    HWND hwnd = ::CreateWindowExA(0, "ControlTestHost", "control test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                  bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    PumpMessages(50);
    return hwnd;
}

void PumpMessages(DWORD ms) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        const DWORD passed = ::GetTickCount() - start;
        if (passed >= ms) return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - passed, QS_ALLINPUT);
    }
}

std::vector<uint8_t> StillMovie(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
    BitPacker rect;  // the stage rectangle in twips, 31 bits per signed field: the widest there is
    rect.bits(31, 5);
    rect.bits(0, 31);
    rect.bits(uint32_t(int64_t(width) * 20), 31);
    rect.bits(0, 31);
    rect.bits(uint32_t(int64_t(height) * 20), 31);
    std::vector<uint8_t> body = rect.take();
    const uint8_t rest[] = {0x00, 0x0C,        // 12 frames per second (8.8 fixed)
                            0x01, 0x00,        // one frame
                            0x43, 0x02, r, g, b,  // SetBackgroundColor (code 9, 3 bytes)
                            0x40, 0x00,        // ShowFrame
                            0x00, 0x00};       // End
    body.insert(body.end(), rest, rest + sizeof rest);
    // The header goes in front of the body (appending the body to an 8-byte vector trips a
    // false -Warray-bounds of GCC 12).
    const uint8_t header[] = {'F', 'W', 'S', 6, 0, 0, 0, 0};
    std::vector<uint8_t> file = std::move(body);
    file.insert(file.begin(), header, header + sizeof header);
    const uint32_t length = uint32_t(file.size());
    for (int i = 0; i < 4; ++i) file[4 + i] = uint8_t(length >> (8 * i));
    return file;
}

std::vector<COLORREF> DrawnPixels(IUnknown* object, int width, int height) {
    IViewObject2* view = nullptr;
    EXPECT_EQ(object->QueryInterface(IID_IViewObject2, reinterpret_cast<void**>(&view)), S_OK);
    std::vector<COLORREF> pixels;
    if (!view) return pixels;
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECTL bounds = {0, 0, width, height};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0), S_OK);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(::GetPixel(dc, x, y));
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    view->Release();
    return pixels;
}

std::wstring WriteTempFile(const std::wstring& name, const std::vector<uint8_t>& bytes) {
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + name;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
    }
    return path;
}

HRESULT Put(IDispatch* dispatch, DISPID id, const VARIANT& value, EXCEPINFO* exception, UINT* argumentError) {
    DISPID named = DISPID_PROPERTYPUT;
    VARIANT argument = value;
    DISPPARAMS params = {&argument, &named, 1, 1};
    EXCEPINFO ignored = {};
    UINT ignoredError = 0;
    const HRESULT hr = dispatch->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr,
                                        exception ? exception : &ignored, argumentError ? argumentError : &ignoredError);
    if (!exception) {
        ::SysFreeString(ignored.bstrSource);
        ::SysFreeString(ignored.bstrDescription);
        ::SysFreeString(ignored.bstrHelpFile);
    }
    return hr;
}

HRESULT Get(IDispatch* dispatch, DISPID id, VARIANT* result) {
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    ::VariantInit(result);
    return dispatch->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, result, nullptr, nullptr);
}

VARIANT BoolValue(bool value) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT IntValue(long value) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT TextValue(const std::wstring& text) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = ::SysAllocStringLen(text.data(), UINT(text.size()));
    return v;
}

}  // namespace control_test
