// The movie catalogue scan: which files of a folder (and, on request, of its sub-folders) match
// a file pattern.
#pragma once

#include <string>
#include <vector>

namespace kestoral {

// Appends to `found` the full path of every file matching `pathPattern`, a folder followed by a
// file pattern ("C:\Movies\*.swf"; wildcards as the directory search knows them). Files with the
// system, volume-label or directory attribute are skipped; hidden and read-only ones count.
// With `descend`, every sub-folder that is neither hidden, system, nor named with a leading dot
// is scanned the same way, depth-first, right after the folder's own files.
// The list is only appended to: never cleared, sorted or checked for duplicates.
// False when the pattern has no folder part, the folder does not exist or the scan failed part
// way (what was appended stays); a failing sub-folder does not fail its parent.
bool ScanFolder(const std::string& pathPattern, bool descend, std::vector<std::string>& found);

}  // namespace kestoral
