// The tools run where no Windows code page is set (a UTF-8 Linux locale): text a movie reads
// "by the system's code page" is taken as Japanese (Shift-JIS) when it is well-formed
// Shift-JIS with at least one two-byte character, else as Western (Windows-1252).
#pragma once

#include <string>
#include <string_view>

namespace tools {

// Only the byte structure: single bytes 00-7F and A1-DF (half-width katakana), pairs of a
// lead 81-9F/E0-FC and a trail 40-7E/80-FC; true when every byte fits and one pair occurs.
bool looksLikeShiftJis(std::string_view text);

// Shift-JIS or Windows-1252 (by looksLikeShiftJis) as UTF-8.
std::string guessedCodePageToUtf8(std::string_view text);

}  // namespace tools
