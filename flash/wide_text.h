// Conversions between the system's ANSI code page and the wide strings of COM.
#pragma once

#include <string>

namespace kestoral {

std::wstring WideFromAnsi(const std::string& text);
std::string AnsiFromWide(const std::wstring& text);

}  // namespace kestoral
