// File and folder tests and path pieces, in the system's ANSI code page.
#pragma once

#include <string>

namespace kestoral {

// True only for an existing file; a folder does not count, and neither does a name with the
// wildcards * or ?, which the directory search would otherwise match against other files.
bool FileExists(const std::string& path);

// True only for an existing folder.
bool DirectoryExists(const std::string& path);

// Everything up to and including the last backslash or drive colon ("" when there is none).
std::string ExtractFilePath(const std::string& path);

// What follows the last backslash or drive colon.
std::string ExtractFileName(const std::string& path);

// Replaces the extension (from the last dot of the file name on) or appends one.
std::string ChangeFileExt(const std::string& path, const std::string& extension);

// The full path of the running program.
std::string ProgramPath();

}  // namespace kestoral
