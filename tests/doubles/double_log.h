// The call log shared by the test doubles of the system's password services. A test names the
// log (a Windows path) in KESTORAL_DOUBLE_LOG; every call appends one line. A library is loaded
// afresh for each call, so the log is also the only memory a double has of earlier calls.
#pragma once

#include <string>

// The log's path, empty when the test set none.
std::string DoubleLogPath();

// How many lines of the log start with `word` (earlier calls of that function).
int CountCalls(const std::string& word);

// Appends `line` and a line end; does nothing without a log.
void AppendCall(const std::string& line);

// The result for call number `index` (0-based) from a comma-separated list in the environment
// variable `name`, e.g. "0,0,1": the last entry stands for every later call. `fallback` when
// the variable is unset or empty.
long ResultForCall(const char* name, int index, long fallback);
