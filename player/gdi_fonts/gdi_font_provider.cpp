#include "gdi_font_provider.h"

#include <cctype>

#include "gdi_font_face.h"

namespace swf {

std::wstring GdiFontProvider::faceNameFor(const std::string& face) {
    std::string lower;
    for (char c : face) lower += char(std::tolower(uint8_t(c)));
    if (lower == "_sans") return L"Arial";
    if (lower == "_serif") return L"Times New Roman";
    if (lower == "_typewriter") return L"Courier New";
    // Face names in movies are ANSI in old files and UTF-8 in new ones; UTF-8 reads both for
    // the ASCII names fonts have.
    int n = MultiByteToWideChar(CP_UTF8, 0, face.c_str(), int(face.size()), nullptr, 0);
    if (n <= 0 || n >= LF_FACESIZE) return L"Times New Roman";
    std::wstring wide(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, face.c_str(), int(face.size()), wide.data(), n);
    return wide;
}

std::shared_ptr<const LayoutFont> GdiFontProvider::open(const DeviceFontRequest& request) {
    std::wstring face = faceNameFor(request.face);
    auto key = std::make_tuple(face, request.bold, request.italic);
    auto it = open_.find(key);
    if (it != open_.end()) return it->second;
    BYTE family = VARIABLE_PITCH | FF_ROMAN;
    if (face == L"Arial") family = VARIABLE_PITCH | FF_SWISS;
    if (face == L"Courier New") family = FIXED_PITCH | FF_MODERN;
    std::shared_ptr<const LayoutFont> font = GdiFontFace::create(face, request.bold, request.italic, true, family);
    if (!font) {
        const wchar_t* fallback = family == (VARIABLE_PITCH | FF_ROMAN) ? L"Times New Roman" : face.c_str();
        font = GdiFontFace::create(fallback, request.bold, request.italic, false, family);
    }
    open_.emplace(key, font);
    return font;
}

}  // namespace swf
