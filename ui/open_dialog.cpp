#include "open_dialog.h"

#include <vector>

namespace kestoral {

std::string FilterForDialog(const std::string& filter) {
    std::string result = filter;
    for (char& c : result)
        if (c == '|') c = '\0';
    result.push_back('\0');
    result.push_back('\0');
    return result;
}

bool TOpenDialog::Execute(HWND owner) {
    const std::string filter = FilterForDialog(Filter);
    // Room for a long path; the dialog writes the chosen one here.
    std::vector<char> file(32 * 1024, '\0');
    FileName.copy(file.data(), file.size() - 1);

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = DWORD(file.size());
    ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    ofn.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
    ofn.Flags = Options | OFN_EXPLORER;
    if (!::GetOpenFileNameA(&ofn)) return false;
    FileName = file.data();
    return true;
}

}  // namespace kestoral
