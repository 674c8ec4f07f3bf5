#pragma once
// The launcher's own command-line rules: only the blank separates arguments,
// and a double quote has meaning only at the start of an argument. The
// process command line is split in UTF-16, so that an argument keeps every
// character; one the ANSI code page spells arrives as its ANSI text, as
// ever.

#include <string>
#include <vector>

#include "base/Argument.h"

// Splits text into arguments, unchanged (no trimming, nothing dropped).
std::vector<std::string> splitArguments(const std::string& text);

// The arguments of a whole process command line: trimmed, split, and the
// program name dropped.
std::vector<std::string> argumentsFromCommandLine(const std::string& commandLine);
std::vector<Argument> argumentsFromCommandLine(const std::wstring& commandLine);
