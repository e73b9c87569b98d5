// The dispatch ids and names of the properties the control answers, as Flash player hosts know them.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace swfctl {

enum PropertyId : DISPID {
    kDispMovie = 102,
    kDispLoop = 106,
    kDispFrameNum = 107,  // 0-based; a put goes to that frame
    kDispTotalFrames = 124,
    kDispPlaying = 125,
    kDispWMode = 133,
    kDispMenu = 135,
    kDispScale = 137,
    kDispReadyState = -525,  // DISPID_READYSTATE: 4 (complete) once a movie is loaded, 0 before
};

struct PropertyInfo {
    DISPID id;
    const wchar_t* name;
    VARTYPE type;  // what a put is converted to and a get returns
    bool writable;
};

// Null for an id the control does not have.
const PropertyInfo* FindProperty(DISPID id);
// Case-insensitive, as IDispatch names are.
const PropertyInfo* FindProperty(const wchar_t* name);

}  // namespace swfctl
