#include "tooltip.h"

#include <commctrl.h>

namespace kestoral {

std::string ShortHint(const std::string& hint) { return hint.substr(0, hint.find('|')); }

bool TToolTip::Create(HWND form) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&classes);
    form_ = form;
    window_.reset(::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr));
    return window_.valid();
}

void TToolTip::SetHint(HWND control, const std::string& hint) {
    if (!window_) return;
    std::string text = ShortHint(hint);
    TOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = form_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = &text[0];
    // The tool may exist from an earlier showing; a new text replaces the old one.
    ::SendMessageA(window_.get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageA(window_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace kestoral
