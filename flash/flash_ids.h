// Identifiers of the Shockwave Flash ActiveX control: its class, its event interface and the
// dispatch ids of the properties the screen saver puts.
#pragma once

#include <windows.h>

namespace kestoral {

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
inline constexpr CLSID CLSID_ShockwaveFlash = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// The event interface _IShockwaveFlashEvents, {D27CDB6D-AE6D-11CF-96B8-444553540000}. Declared
// so the binding is complete; the screen saver connects to none of its events.
inline constexpr IID DIID_IShockwaveFlashEvents = {
    0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

enum ShockwaveFlashEventDispId : DISPID {
    DISPID_FlashOnReadyStateChange = -609,
    DISPID_FlashOnProgress = 1958,
    DISPID_FlashFSCommand = 150,
};

enum ShockwaveFlashPropertyDispId : DISPID {
    DISPID_FlashMovie = 102,
    DISPID_FlashLoop = 106,
    DISPID_FlashPlaying = 125,
    DISPID_FlashWMode = 133,
    DISPID_FlashMenu = 135,
    DISPID_FlashScale = 137,
};

}  // namespace kestoral
