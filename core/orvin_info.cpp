#include "orvin_info.h"

#include <vector>

namespace kestoral {
namespace {

// Offsets in the block: the fixed file information starts at byte 40; its file version words sit
// at 48..55; "StringFileInfo" starts at byte 98, which is 16-bit unit 49.
constexpr size_t kFixedInfoEnd = 92;
constexpr size_t kStringWalkStart = 49;

struct WalkStep {
    size_t gapAfterKey;
    std::string TOrvinVersionInfo::*field;
    size_t gapAfterValue;
};

// Each gap covers the NUL and padding that follow a key or value in this program's block, so the
// cursor lands on (or a few units into) the next key. See version.rc for the layout it relies on.
const WalkStep kSteps[] = {
    {4, &TOrvinVersionInfo::sLangCodePage, 4},     {2, &TOrvinVersionInfo::sCompanyName, 4},
    {2, &TOrvinVersionInfo::sFileDescription, 5},  {2, &TOrvinVersionInfo::sFileVersion, 4},
    {1, &TOrvinVersionInfo::sInternalName, 4},     {1, &TOrvinVersionInfo::sLegalCopyright, 5},
    {2, &TOrvinVersionInfo::sLegalTrademarks, 6},  {1, &TOrvinVersionInfo::sOriginalFilename, 4},
    {2, &TOrvinVersionInfo::sProductName, 5},      {1, &TOrvinVersionInfo::sProductVersion, 4},
    {1, &TOrvinVersionInfo::sComments, 0},
};

uint16_t WordAt(const uint8_t* block, size_t byteOffset) {
    return uint16_t(block[byteOffset] | (block[byteOffset + 1] << 8));
}

// Converts the NUL-terminated UTF-16 text at unit `cursor` (stopping at the end of the block) to
// the ANSI code page and advances the cursor by the converted length.
std::string TakeText(const uint8_t* block, size_t units, size_t& cursor) {
    if (cursor >= units) return {};
    std::vector<wchar_t> wide;
    for (size_t u = cursor; u < units; ++u) {
        const wchar_t c = wchar_t(WordAt(block, u * 2));
        if (c == 0) break;
        wide.push_back(c);
    }
    std::string text;
    if (!wide.empty()) {
        const int needed = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0,
                                                 nullptr, nullptr);
        if (needed > 0) {
            text.resize(size_t(needed));
            ::WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), &text[0], needed, nullptr,
                                  nullptr);
        }
    }
    cursor += text.size();
    return text;
}

}  // namespace

bool ParseVersionBlock(const uint8_t* block, size_t size, TOrvinVersionInfo& info) {
    info = TOrvinVersionInfo();
    if (block == nullptr || size < kFixedInfoEnd) return false;

    info.wMinor = WordAt(block, 48);
    info.wMajor = WordAt(block, 50);
    info.wBuild = WordAt(block, 52);
    info.wRelease = WordAt(block, 54);

    const size_t units = size / 2;
    size_t cursor = kStringWalkStart;
    for (const WalkStep& step : kSteps) {
        TakeText(block, units, cursor);
        cursor += step.gapAfterKey;
        info.*step.field = TakeText(block, units, cursor);
        cursor += step.gapAfterValue;
    }
    return true;
}

bool ReadVersionInfoFrom(HMODULE module, TOrvinVersionInfo& info) {
    info = TOrvinVersionInfo();
    HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16) /* RT_VERSION */);
    if (!resource) return false;
    HGLOBAL loaded = ::LoadResource(module, resource);
    if (!loaded) return false;
    const auto* bytes = static_cast<const uint8_t*>(::LockResource(loaded));
    const DWORD size = ::SizeofResource(module, resource);
    const bool ok = ParseVersionBlock(bytes, size, info);
    ::FreeResource(loaded);
    return ok;
}

bool ReadVersionInfo(TOrvinVersionInfo& info) { return ReadVersionInfoFrom(::GetModuleHandleA(nullptr), info); }

}  // namespace kestoral
