#include "orvin_utils.h"

#include <windows.h>

#include <exception>

#include "file_system.h"
#include "scoped_win.h"

namespace kestoral {

namespace {

// The volume-label attribute of the FAT directory entry; the SDK headers no longer name it.
constexpr DWORD kVolumeLabelAttribute = 0x8;

bool CountsAsFile(const WIN32_FIND_DATAA& entry) {
    const DWORD excluded = FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY | kVolumeLabelAttribute;
    return (entry.dwFileAttributes & excluded) == 0;
}

// "." and ".." and every dot-folder (".cache", ".git") are left out, like hidden ones.
bool CountsAsSubFolder(const WIN32_FIND_DATAA& entry) {
    const DWORD attributes = entry.dwFileAttributes;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0 && entry.cFileName[0] != '.';
}

// Calls `visit` for every entry that `pattern` lists, in the listing's order; a listing that
// finds nothing (or cannot start) visits nothing. The listing is closed on return.
template <class Visit>
void ForEachEntry(const std::string& pattern, Visit visit) {
    WIN32_FIND_DATAA entry;
    FindHandle listing(::FindFirstFileA(pattern.c_str(), &entry));
    if (!listing) return;
    do {
        visit(entry);
    } while (::FindNextFileA(listing.get(), &entry));
}

}  // namespace

bool ScanFolder(const std::string& pathPattern, bool descend, std::vector<std::string>& found) {
    std::string folder = ExtractFilePath(pathPattern);
    const std::string filePattern = ExtractFileName(pathPattern);
    if (folder.empty()) return false;
    // "C:*.swf" names the current folder of drive C in the system's terms; the scan means its root.
    if (folder.back() != '\\') folder += '\\';
    if (!DirectoryExists(folder)) return false;

    try {
        // An empty pattern would list the folder itself ("C:\Movies\" finds nothing); skip it.
        if (!filePattern.empty()) {
            ForEachEntry(folder + filePattern, [&](const WIN32_FIND_DATAA& entry) {
                if (CountsAsFile(entry)) found.push_back(folder + entry.cFileName);
            });
        }
        if (descend) {
            ForEachEntry(folder + "*.*", [&](const WIN32_FIND_DATAA& entry) {
                if (CountsAsSubFolder(entry)) ScanFolder(folder + entry.cFileName + "\\" + filePattern, true, found);
            });
        }
    } catch (const std::exception&) {
        // The list refused an entry (out of memory): keep what it holds, report the failure.
        return false;
    }
    return true;
}

}  // namespace kestoral
