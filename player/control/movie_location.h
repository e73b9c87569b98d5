// Where the Movie property points: a local path as given, or a file: URL turned into one.
#pragma once

#include <string>

namespace swfctl {

// "C:\dir\a.swf" stays as it is; "file:///C:/dir/a%20b.swf", "file://C:/dir/x.swf" and
// "file:C:\dir\x.swf" become "C:\dir\a b.swf" ...; "file://server/share/x.swf" becomes
// "\\server\share\x.swf". False for other schemes (http:, ...), which the control does not fetch.
bool LocalPathFromMovie(const std::wstring& movie, std::wstring& path);

}  // namespace swfctl
