#pragma once
// The launcher's own command-line rules: only the blank separates arguments,
// and a double quote has meaning only at the start of an argument.

#include <string>
#include <vector>

// Splits text into arguments, unchanged (no trimming, nothing dropped).
std::vector<std::string> splitArguments(const std::string& text);

// The arguments of a whole process command line: trimmed, split, and the
// program name dropped.
std::vector<std::string> argumentsFromCommandLine(const std::string& commandLine);
