#include "registry.h"

#include <algorithm>
#include <vector>

namespace kestoral {
namespace {

const char* WithoutLeadingBackslash(const std::string& path) {
    const char* p = path.c_str();
    while (*p == '\\') ++p;
    return p;
}

}  // namespace

bool OpenRegistryKey(HKEY root, const std::string& path, RegKey& key) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(root, WithoutLeadingBackslash(path), 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS)
        return false;
    key.reset(opened);
    return true;
}

bool CreateRegistryKey(HKEY root, const std::string& path, RegKey& key) {
    HKEY created = nullptr;
    if (::RegCreateKeyExA(root, WithoutLeadingBackslash(path), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, &created, nullptr) != ERROR_SUCCESS)
        return false;
    key.reset(created);
    return true;
}

RegistryRead ReadRegistryString(HKEY key, const std::string& name, std::string& text) {
    DWORD type = 0;
    DWORD size = 0;
    LONG status = ::RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) return RegistryRead::Missing;
    if (status != ERROR_SUCCESS) return RegistryRead::Failed;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return RegistryRead::Failed;

    // The value may change between the two calls; retry a few times with the size it reports.
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<char> buffer(size_t(size) + 1, '\0');
        DWORD got = size;
        status = ::RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(buffer.data()), &got);
        if (status == ERROR_MORE_DATA) {
            size = got;
            continue;
        }
        if (status == ERROR_FILE_NOT_FOUND) return RegistryRead::Missing;
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return RegistryRead::Failed;
        buffer[std::min<size_t>(got, size)] = '\0';
        text.assign(buffer.data());  // up to the first NUL
        return RegistryRead::Ok;
    }
    return RegistryRead::Failed;
}

RegistryRead ReadRegistryDword(HKEY key, const std::string& name, DWORD& value) {
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    const LONG status =
        ::RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (status == ERROR_FILE_NOT_FOUND) return RegistryRead::Missing;
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof data) return RegistryRead::Failed;
    value = data;
    return RegistryRead::Ok;
}

bool WriteRegistryString(HKEY key, const std::string& name, const std::string& text) {
    return ::RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            DWORD(text.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace kestoral
