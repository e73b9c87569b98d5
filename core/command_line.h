// The command line as the program sees it: split into arguments and reduced to a run mode.
#pragma once

#include <string>
#include <vector>

namespace kestoral {

// Splits a command line the way the program's arguments are counted: blanks (any character up
// to and including the space) separate, double quotes group and are removed. Element 0 is the
// program itself.
std::vector<std::string> SplitCommandLine(const char* commandLine);

// Argument `index` (1-based, as counted above) of the process command line; empty when absent.
std::string ParamStr(int index);
int ParamCount();

// The run-mode letter: the second character of argument 1, upper-cased (ASCII a-z only);
// "C" without arguments; a single NUL character when argument 1 has only one character.
std::string DeriveRunMode(const std::vector<std::string>& args);

}  // namespace kestoral
