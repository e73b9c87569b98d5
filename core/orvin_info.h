// The program's own version information, read straight from its version resource.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestoral {

struct TOrvinVersionInfo {
    uint16_t wMajor = 0;
    uint16_t wMinor = 0;
    uint16_t wRelease = 0;
    uint16_t wBuild = 0;
    std::string sLangCodePage;
    std::string sCompanyName;
    std::string sFileDescription;
    std::string sFileVersion;
    std::string sInternalName;
    std::string sLegalCopyright;
    std::string sLegalTrademarks;
    std::string sOriginalFilename;
    std::string sProductName;
    std::string sProductVersion;
    std::string sComments;
};

// Reads version resource 1 of the running program. False, with the record cleared, when there is
// none or it cannot be loaded.
bool ReadVersionInfo(TOrvinVersionInfo& info);

// The same for another module (a program loaded as a data file, say).
bool ReadVersionInfoFrom(HMODULE module, TOrvinVersionInfo& info);

// Decodes a version block. The texts are found by position, not by key, exactly as the block of
// this program lays them out; nothing is read past `size` bytes. False, with the record cleared,
// when the block is too short to hold the fixed file information.
bool ParseVersionBlock(const uint8_t* block, size_t size, TOrvinVersionInfo& info);

}  // namespace kestoral
