// The class this server implements: the id under which hosts create a Flash player control.
#pragma once

#include <windows.h>

namespace swfctl {

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
inline constexpr CLSID kPlayerClassId = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr wchar_t kPlayerClassIdText[] = L"{D27CDB6E-AE6D-11CF-96B8-444553540000}";

}  // namespace swfctl
