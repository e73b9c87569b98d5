#include "wide_text.h"

#include <windows.h>

namespace kestoral {

std::wstring WideFromAnsi(const std::string& text) {
    if (text.empty()) return {};
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(length > 0 ? length : 0), L'\0');
    if (length > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), &wide[0], length);
    return wide;
}

std::string AnsiFromWide(const std::wstring& text) {
    if (text.empty()) return {};
    const int length =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(size_t(length > 0 ? length : 0), '\0');
    if (length > 0) ::WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), &ansi[0], length, nullptr, nullptr);
    return ansi;
}

}  // namespace kestoral
