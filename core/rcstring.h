// Texts and fixed names of the program's string table.
#pragma once

#include <windows.h>

#include <string>

#include "resource_ids.h"

namespace kestoral {

// The string `id` of the program's own string table; empty when it is missing.
std::string LoadResString(UINT id);

}  // namespace kestoral
