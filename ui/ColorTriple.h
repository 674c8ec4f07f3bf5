#pragma once
// Link colours as the browser's settings write them: "red,green,blue".

#include <windows.h>

#include <string>

// Reads "red,green,blue" in decimal. Each number may have blanks (spaces)
// in front and a sign; it ends at the first character that is not a digit,
// and no digits read as 0. Both commas must be there and something must
// follow the second. -1 as red or green marks a missing part and makes the
// value invalid. Each part keeps its low 8 bits. False when invalid, color
// unchanged.
bool parseColorTriple(const std::string& text, COLORREF& color);
