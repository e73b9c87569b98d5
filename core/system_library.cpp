#include "system_library.h"

namespace kestoral {

std::string SystemLibraryPath(const char* name) {
    char buffer[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return name;
    std::string path(buffer, length);
    if (path.back() != '\\') path += '\\';
    return path + name;
}

}  // namespace kestoral
