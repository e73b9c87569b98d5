// The system's file-open dialog, set up like a form's open-dialog component: title, filter,
// start folder and options first, then Execute.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

namespace kestoral {

struct TOpenDialog {
    std::string Title;
    std::string Filter;      // "Description|pattern|Description|pattern"
    std::string InitialDir;
    std::string FileName;    // in: the name shown at first; out: the full path chosen
    std::string DefaultExt;  // empty: none
    // The component's defaults: no read-only box, resizable.
    DWORD Options = OFN_HIDEREADONLY | OFN_ENABLESIZING;

    // Shows the dialog owned by `owner`; true when the user chose a file (FileName holds it).
    bool Execute(HWND owner);
};

// "A|B|C|D" as the dialog wants it: "A\0B\0C\0D\0\0".
std::string FilterForDialog(const std::string& filter);

}  // namespace kestoral
