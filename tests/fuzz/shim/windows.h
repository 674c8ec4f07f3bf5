// The few Windows declarations the launcher's text parsers use, for the
// native (Linux) fuzzing build. Nothing here may stand in for real platform
// behaviour beyond what the parsers need.
#pragma once

#include <cstdint>
#include <cstring>

typedef std::uint8_t BYTE;
typedef std::uint16_t WORD;
typedef std::uint32_t DWORD;
typedef DWORD COLORREF;

#define RGB(r, g, b) \
    ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))

// The platform compares in the user's locale; byte order is enough to fuzz
// the code around it.
inline int lstrcmpA(const char* a, const char* b) { return std::strcmp(a, b); }
