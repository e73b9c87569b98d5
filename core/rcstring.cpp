#include "rcstring.h"

namespace kestoral {

std::string LoadResString(UINT id) {
    // String table entries are at most 4095 characters long.
    char buffer[4096];
    const int length = ::LoadStringA(::GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, size_t(length)) : std::string();
}

}  // namespace kestoral
