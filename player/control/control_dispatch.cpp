// IDispatch of the player control: properties by DISPID, without a type library. Puts need
// IID_NULL, one argument named DISPID_PROPERTYPUT and a value that converts to the property's
// type; a value the control cannot use is rejected with DISP_E_EXCEPTION and filled EXCEPINFO.
#include <ocidl.h>

#include <cwctype>
#include <string>
#include <vector>

#include "dispatch_ids.h"
#include "com_barrier.h"
#include "movie_file.h"
#include "movie_location.h"
#include "player_control.h"

namespace swfctl {
namespace {

const wchar_t kSource[] = L"Kestoral SWF player control";

bool EqualsNoCase(const std::wstring& a, const wchar_t* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    }
    return i == a.size() && !b[i];
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? char(c) : '?';
    return out;
}

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

bool ScaleModeFromName(const std::wstring& name, swf::ScaleMode& mode) {
    return swf::parseScaleMode(Narrow(name), mode);
}

bool IsWindowMode(const std::wstring& mode) {
    return EqualsNoCase(mode, L"Window") || EqualsNoCase(mode, L"Opaque") || EqualsNoCase(mode, L"Transparent");
}

}  // namespace

STDMETHODIMP PlayerControl::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP PlayerControl::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;  // there is no type information to give
}

STDMETHODIMP PlayerControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids) return E_POINTER;
    if (count == 0) return S_OK;
    const PropertyInfo* property = FindProperty(names[0]);
    ids[0] = property ? property->id : DISPID_UNKNOWN;
    for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;  // properties take no named arguments
    return property && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

STDMETHODIMP PlayerControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argumentError) {
    return ComBarrier([&]() -> HRESULT {
        if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        const PropertyInfo* property = FindProperty(id);
        if (!property) return DISP_E_MEMBERNOTFOUND;
        if (!params) return E_INVALIDARG;

        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            if (!property->writable) return DISP_E_MEMBERNOTFOUND;
            if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
            if (params->cNamedArgs != 1 || !params->rgdispidNamedArgs ||
                params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
                return DISP_E_PARAMNOTOPTIONAL;
            }
            VARIANT value;
            ::VariantInit(&value);
            // VariantChangeType also follows VT_BYREF to the value.
            if (FAILED(::VariantChangeType(&value, &params->rgvarg[0], 0, property->type))) {
                if (argumentError) *argumentError = 0;
                return DISP_E_TYPEMISMATCH;
            }
            const HRESULT hr = PutProperty(id, value, exception);
            ::VariantClear(&value);
            return hr;
        }
        if (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) {
            if (params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
            if (!result) return E_POINTER;
            return GetProperty(id, result);
        }
        return DISP_E_MEMBERNOTFOUND;
    });
}

HRESULT PlayerControl::Reject(EXCEPINFO* exception, HRESULT code, const std::wstring& description) const {
    if (exception) {
        *exception = EXCEPINFO{};
        exception->bstrSource = ::SysAllocString(kSource);
        exception->bstrDescription = ::SysAllocStringLen(description.data(), UINT(description.size()));
        exception->scode = code;
    }
    return DISP_E_EXCEPTION;
}

HRESULT PlayerControl::GetProperty(DISPID id, VARIANT* result) {
    ::VariantInit(result);
    auto setBool = [&](bool value) {
        result->vt = VT_BOOL;
        result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    };
    auto setInt = [&](long value) {
        result->vt = VT_I4;
        result->lVal = value;
    };
    auto setText = [&](const std::wstring& text) {
        result->vt = VT_BSTR;
        result->bstrVal = ::SysAllocStringLen(text.data(), UINT(text.size()));
        return result->bstrVal ? S_OK : E_OUTOFMEMORY;
    };
    switch (id) {
        case kDispMovie: return setText(movie_);
        case kDispScale: return setText(scale_);
        case kDispWMode: return setText(wmode_);
        case kDispLoop: setBool(playback_.loop()); return S_OK;
        case kDispPlaying: setBool(playback_.playing()); return S_OK;
        case kDispMenu: setBool(menu_); return S_OK;
        case kDispFrameNum: setInt(playback_.hasMovie() ? playback_.currentFrame() - 1 : -1); return S_OK;
        case kDispTotalFrames: setInt(playback_.totalFrames()); return S_OK;
        case kDispReadyState: setInt(playback_.hasMovie() ? READYSTATE_COMPLETE : READYSTATE_UNINITIALIZED); return S_OK;
        default: return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT PlayerControl::PutProperty(DISPID id, VARIANT& value, EXCEPINFO* exception) {
    // Without a site there is no host to play for, and a host that puts this early has its
    // activation order wrong: tell it rather than play into nowhere later.
    if (!clientSite_) {
        return Reject(exception, E_UNEXPECTED, L"The control has no client site yet: call SetClientSite first.");
    }
    switch (id) {
        case kDispMovie:
            return PutMovie(std::wstring(value.bstrVal ? value.bstrVal : L"", ::SysStringLen(value.bstrVal)), exception);
        case kDispScale: {
            const std::wstring name(value.bstrVal ? value.bstrVal : L"", ::SysStringLen(value.bstrVal));
            swf::ScaleMode mode;
            if (!ScaleModeFromName(name, mode)) {
                return Reject(exception, E_INVALIDARG,
                              L"Scale \"" + name + L"\" is not one of ShowAll, NoBorder, ExactFit, NoScale.");
            }
            scale_ = name;
            playback_.setScaleMode(mode);
            window_.movieChanged();
            return S_OK;
        }
        case kDispWMode: {
            const std::wstring mode(value.bstrVal ? value.bstrVal : L"", ::SysStringLen(value.bstrVal));
            if (!IsWindowMode(mode)) {
                return Reject(exception, E_INVALIDARG,
                              L"WMode \"" + mode + L"\" is not one of Window, Opaque, Transparent.");
            }
            wmode_ = mode;  // every mode draws into the control's own window
            return S_OK;
        }
        case kDispLoop:
            playback_.setLoop(value.boolVal != VARIANT_FALSE);
            return S_OK;
        case kDispPlaying:
            playback_.setPlaying(value.boolVal != VARIANT_FALSE);
            return S_OK;
        case kDispMenu:
            menu_ = value.boolVal != VARIANT_FALSE;
            window_.setMenuEnabled(menu_);
            return S_OK;
        case kDispFrameNum:
            if (value.lVal < 0 || value.lVal >= playback_.totalFrames()) {
                return Reject(exception, E_INVALIDARG, L"FrameNum is outside the movie.");
            }
            playback_.gotoFrame(int(value.lVal) + 1);
            window_.movieChanged();
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT PlayerControl::PutMovie(const std::wstring& movie, EXCEPINFO* exception) {
    if (movie.empty()) {
        playback_.unload();
        movie_.clear();
        window_.movieChanged();
        return S_OK;
    }
    std::wstring path;
    if (!LocalPathFromMovie(movie, path)) {
        return Reject(exception, E_INVALIDARG, L"Movie \"" + movie + L"\" is neither a local path nor a file: URL.");
    }
    std::vector<uint8_t> bytes;
    std::wstring readError;
    if (!ReadMovieFile(path, bytes, readError)) {
        return Reject(exception, STG_E_FILENOTFOUND, L"Cannot read the movie \"" + path + L"\": " + readError);
    }
    std::string loadError;
    if (!playback_.load(bytes.data(), bytes.size(), loadError)) {
        return Reject(exception, E_FAIL, L"\"" + path + L"\" is not a playable movie: " + Widen(loadError));
    }
    movie_ = movie;
    window_.movieChanged();
    return S_OK;
}

}  // namespace swfctl
