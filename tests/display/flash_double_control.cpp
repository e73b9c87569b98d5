#include "flash_double_control.h"

#include <olectl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "double_log.h"

namespace flash_double {

LONG g_objects = 0;
LONG g_locks = 0;

namespace {

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
const CLSID kFlashClassId = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const char kWindowClass[] = "KestoralFlashDouble";

struct KnownProperty {
    const wchar_t* name;
    DISPID id;
    VARTYPE type;
};
const KnownProperty kProperties[] = {
    {L"Movie", 102, VT_BSTR}, {L"Loop", 106, VT_BOOL},  {L"Playing", 125, VT_BOOL},
    {L"WMode", 133, VT_BSTR}, {L"Menu", 135, VT_BOOL},  {L"Scale", 137, VT_BSTR},
};

const KnownProperty* FindProperty(DISPID id) {
    for (const KnownProperty& p : kProperties)
        if (p.id == id) return &p;
    return nullptr;
}

std::string Narrow(const wchar_t* text, UINT length) {
    if (length == 0) return {};
    int size = WideCharToMultiByte(CP_ACP, 0, text, int(length), nullptr, 0, nullptr, nullptr);
    std::string narrow(size_t(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, int(length), &narrow[0], size, nullptr, nullptr);
    return narrow;
}

long EnvironmentNumber(const char* name, long fallback) {
    char value[64];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::strtol(value, nullptr, 0) : fallback;
}

void Log(const char* format, long a = 0, long b = 0, long c = 0, long d = 0) {
    char line[256];
    std::snprintf(line, sizeof line, format, a, b, c, d);
    AppendCall(line);
}

LRESULT CALLBACK DoubleWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            HBRUSH brush = CreateSolidBrush(kDoubleColour);
            RECT client;
            GetClientRect(hwnd, &client);
            FillRect(dc, &client, brush);
            DeleteObject(brush);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            // Like a real player: a click gives the control the keyboard.
            SetFocus(hwnd);
            Log("FlashInput message=%ld", long(message));
            return 0;
        case WM_KEYDOWN:
            Log("FlashInput message=%ld key=%ld", long(message), long(wParam));
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void RegisterWindowClass() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DoubleWndProc;
    wc.hInstance = g_module;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);  // fails harmlessly when already registered
}

}  // namespace

Control::Control() { InterlockedIncrement(&g_objects); }

Control::~Control() {
    if (window_) DestroyWindow(window_);
    InterlockedDecrement(&g_objects);
}

STDMETHODIMP Control::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject)) {
        *object = static_cast<IOleObject*>(this);
    } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject)) {
        *object = static_cast<IOleInPlaceObject*>(this);
    } else if (IsEqualIID(iid, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) Control::AddRef() { return ULONG(InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) Control::Release() {
    LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
        AppendCall("FlashRelease");
        delete this;
    }
    return ULONG(left);
}

STDMETHODIMP Control::SetClientSite(IOleClientSite* site) {
    Log("FlashSetClientSite site=%ld", site ? 1 : 0);
    site_ = kestoral::ComPtr<IOleClientSite>::AddRefTo(site);
    return S_OK;
}

STDMETHODIMP Control::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = kestoral::ComPtr<IOleClientSite>::AddRefTo(site_.get()).release();
    return S_OK;
}

STDMETHODIMP Control::Close(DWORD) {
    AppendCall("FlashClose");
    InPlaceDeactivate();
    return S_OK;
}

STDMETHODIMP Control::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT position) {
    Log("FlashDoVerb verb=%ld", verb);
    if (site && !site_) site_ = kestoral::ComPtr<IOleClientSite>::AddRefTo(site);
    switch (verb) {
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
        case OLEIVERB_SHOW: {
            HRESULT hr = ActivateInPlace(parent, position);
            if (SUCCEEDED(hr) && verb == OLEIVERB_SHOW) ShowWindow(window_, SW_SHOW);
            return hr;
        }
        case OLEIVERB_HIDE:
            if (window_) ShowWindow(window_, SW_HIDE);
            return S_OK;
        default:
            return OLEOBJ_S_INVALIDVERB;
    }
}

HRESULT Control::ActivateInPlace(HWND parent, LPCRECT position) {
    if (window_) return S_OK;
    if (!site_) return E_UNEXPECTED;
    auto site = site_.As<IOleInPlaceSite>(IID_IOleInPlaceSite);
    if (!site) return E_NOINTERFACE;
    if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
    site->OnInPlaceActivate();

    HWND host = nullptr;
    if (FAILED(site->GetWindow(&host)) || !host) host = parent;
    kestoral::ComPtr<IOleInPlaceFrame> frame;
    kestoral::ComPtr<IOleInPlaceUIWindow> document;
    RECT pos = position ? *position : RECT{0, 0, 0, 0};
    RECT clip = pos;
    OLEINPLACEFRAMEINFO info = {};
    info.cb = sizeof info;
    if (SUCCEEDED(site->GetWindowContext(frame.out(), document.out(), &pos, &clip, &info)) && position) pos = *position;

    RegisterWindowClass();
    window_ = CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, pos.left, pos.top,
                              pos.right - pos.left, pos.bottom - pos.top, host, nullptr,
                              g_module, nullptr);
    if (!window_) return E_FAIL;
    Log("FlashInPlaceActive rect=%ld,%ld,%ld,%ld", pos.left, pos.top, pos.right, pos.bottom);
    inPlaceSite_ = std::move(site);
    return S_OK;
}

STDMETHODIMP Control::InPlaceDeactivate() {
    if (!window_) return S_OK;
    DestroyWindow(window_);
    window_ = nullptr;
    if (inPlaceSite_) inPlaceSite_->OnInPlaceDeactivate();
    inPlaceSite_.reset();
    AppendCall("FlashInPlaceDeactivate");
    return S_OK;
}

STDMETHODIMP Control::GetUserClassID(CLSID* id) {
    if (!id) return E_POINTER;
    *id = kFlashClassId;
    return S_OK;
}

STDMETHODIMP Control::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT || !size) return E_INVALIDARG;
    extent_ = *size;
    return S_OK;
}

STDMETHODIMP Control::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT || !size) return E_INVALIDARG;
    *size = extent_;
    return S_OK;
}

STDMETHODIMP Control::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
              OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE;
    return S_OK;
}

STDMETHODIMP Control::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP Control::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    Log("FlashSetObjectRects rect=%ld,%ld,%ld,%ld", position->left, position->top, position->right,
        position->bottom);
    if (window_)
        MoveWindow(window_, position->left, position->top, position->right - position->left,
                   position->bottom - position->top, TRUE);
    return S_OK;
}

STDMETHODIMP Control::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP Control::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (count != 1 || !names || !ids) return DISP_E_UNKNOWNNAME;
    for (const KnownProperty& p : kProperties) {
        if (_wcsicmp(names[0], p.name) == 0) {
            ids[0] = p.id;
            return S_OK;
        }
    }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP Control::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT*,
                             EXCEPINFO* exception, UINT*) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!FindProperty(id)) return DISP_E_MEMBERNOTFOUND;
    if (flags != DISPATCH_PROPERTYPUT) return DISP_E_MEMBERNOTFOUND;  // this double only takes puts
    // A put has exactly one argument, and it is the named DISPID_PROPERTYPUT.
    if (!params || params->cArgs != 1 || params->cNamedArgs != 1 || !params->rgdispidNamedArgs ||
        params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
        Log("FlashBadPut dispid=%ld args=%ld named=%ld", id, params ? long(params->cArgs) : -1,
            params ? long(params->cNamedArgs) : -1);
        return DISP_E_PARAMNOTOPTIONAL;
    }
    return PutProperty(id, params->rgvarg[0], exception);
}

HRESULT Control::PutProperty(DISPID id, const VARIANT& value, EXCEPINFO* exception) {
    std::string text;
    if (value.vt == VT_BSTR) {
        text = value.bstrVal ? Narrow(value.bstrVal, SysStringLen(value.bstrVal)) : std::string();
    } else if (value.vt == VT_BOOL) {
        text = std::to_string(value.boolVal);
    } else {
        text = "?";
    }
    const bool rejected = EnvironmentNumber("KESTORAL_FLASH_REJECT", 0) == id;
    const bool typeOk = value.vt == FindProperty(id)->type;
    const HRESULT hr = rejected ? DISP_E_EXCEPTION : typeOk ? S_OK : DISP_E_TYPEMISMATCH;
    // The value goes last: a path may hold blanks.
    char head[96];
    std::snprintf(head, sizeof head, "FlashPut dispid=%ld vt=%d result=0x%08lX value=", long(id), int(value.vt),
                  static_cast<unsigned long>(hr));
    AppendCall(head + text);
    if (rejected && exception) {
        *exception = EXCEPINFO{};
        exception->scode = E_INVALIDARG;
        exception->bstrSource = SysAllocString(L"FlashDouble");
        exception->bstrDescription = SysAllocString(L"The test double rejects this property");
    }
    if (hr == S_OK && id == 102) AskForPreferredSize();
    return hr;
}

// Like a player that has read its movie's header, asks the site for the movie's own size when
// KESTORAL_FLASH_PREFERRED_SIZE="<width>,<height>" is set.
void Control::AskForPreferredSize() {
    char value[64];
    DWORD n = GetEnvironmentVariableA("KESTORAL_FLASH_PREFERRED_SIZE", value, sizeof value);
    if (n == 0 || n >= sizeof value || !inPlaceSite_ || !window_) return;
    char* rest = nullptr;
    const long width = std::strtol(value, &rest, 10);
    const long height = rest && *rest == ',' ? std::strtol(rest + 1, nullptr, 10) : 0;
    RECT wanted = {0, 0, width, height};
    Log("FlashOnPosRectChange rect=%ld,%ld,%ld,%ld", 0, 0, width, height);
    inPlaceSite_->OnPosRectChange(&wanted);
}

}  // namespace flash_double
