#pragma once
// Text for the process's standard error, as a console program writes it: to
// a console in UTF-16, anywhere else (a file, a pipe) in UTF-8. Nothing is
// written when the process has no standard error or it cannot be written.

#include <string>

// Writes the text and a line end.
void writeStandardErrorLine(const std::wstring& text);
