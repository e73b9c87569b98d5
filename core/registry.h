// Registry access as the settings need it. Keys are always opened with full access, and paths
// given with a leading backslash ("relative to the root") are taken without it, since the
// registry API refuses a leading backslash (ERROR_BAD_PATHNAME).
#pragma once

#include <windows.h>

#include <string>

#include "scoped_win.h"

namespace kestoral {

// Opens `path` under `root`. On failure `key` is left unchanged and the result is false.
bool OpenRegistryKey(HKEY root, const std::string& path, RegKey& key);

// Opens `path` under `root`, creating it when missing.
bool CreateRegistryKey(HKEY root, const std::string& path, RegKey& key);

enum class RegistryRead {
    Ok,        // `text` holds the stored string, up to its first NUL
    Missing,   // no such value (or no such key); `text` unchanged
    Failed,    // the value is not a string (REG_SZ or REG_EXPAND_SZ) or cannot be read
};

// Reads a string value as stored, without expanding environment variables.
RegistryRead ReadRegistryString(HKEY key, const std::string& name, std::string& text);

// Reads a REG_DWORD value. Missing when absent, Failed for another type.
RegistryRead ReadRegistryDword(HKEY key, const std::string& name, DWORD& value);

// Writes a REG_SZ value with its terminating NUL.
bool WriteRegistryString(HKEY key, const std::string& name, const std::string& text);

}  // namespace kestoral
