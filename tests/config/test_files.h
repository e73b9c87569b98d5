// Folders and files for the tests of the configuration dialog and the folder scan, made in the
// test prefix's temporary folder and removed again.
#pragma once

#include <windows.h>

#include <string>

namespace kestoral::test {

// A fresh, empty folder under the temporary folder, ending with a backslash.
std::string MakeScratchFolder(const std::string& name);

// Removes a folder with everything in it (attributes cleared first).
void RemoveTree(const std::string& folder);

void WriteFile(const std::string& path, const std::string& content);
void MakeFolder(const std::string& path);
void SetAttributes(const std::string& path, DWORD attributes);

// A 24-bit Windows bitmap file of one colour.
void WriteSolidBitmap(const std::string& path, int width, int height, COLORREF colour);

}  // namespace kestoral::test
