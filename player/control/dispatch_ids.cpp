#include "dispatch_ids.h"

#include <cwchar>

namespace swfctl {
namespace {

const PropertyInfo kProperties[] = {
    {kDispMovie, L"Movie", VT_BSTR, true},
    {kDispLoop, L"Loop", VT_BOOL, true},
    {kDispFrameNum, L"FrameNum", VT_I4, true},
    {kDispTotalFrames, L"TotalFrames", VT_I4, false},
    {kDispPlaying, L"Playing", VT_BOOL, true},
    {kDispWMode, L"WMode", VT_BSTR, true},
    {kDispMenu, L"Menu", VT_BOOL, true},
    {kDispScale, L"Scale", VT_BSTR, true},
    {kDispReadyState, L"ReadyState", VT_I4, false},
};

}  // namespace

const PropertyInfo* FindProperty(DISPID id) {
    for (const auto& p : kProperties) {
        if (p.id == id) return &p;
    }
    return nullptr;
}

const PropertyInfo* FindProperty(const wchar_t* name) {
    if (!name) return nullptr;
    for (const auto& p : kProperties) {
        if (::_wcsicmp(p.name, name) == 0) return &p;
    }
    return nullptr;
}

}  // namespace swfctl
