#pragma once
// The files stamp reads and the paths it compares, through the Unicode file
// calls. Failures come back as a sentence for the user.

#include <windows.h>

#include <cstdint>
#include <string>

#include "stamp/LittleEndian.h"

// The whole file; false with the reason when it cannot be read or is larger
// than maxSize.
bool readFileBytes(const std::wstring& path, std::uint64_t maxSize, Bytes& bytes, std::wstring& error);

// The full path of a path as given (relative to the current folder).
std::wstring fullPath(const std::wstring& path);
// The folder part of a full path, without the final backslash.
std::wstring folderOf(const std::wstring& path);
// The last component of a path.
std::wstring fileNameOf(const std::wstring& path);
bool isFolder(const std::wstring& path);
// Both paths name the same file: the same full path in any case, or (both
// existing) the same file on the same volume, which catches other names of
// one file (short names, links).
bool isSameFile(const std::wstring& a, const std::wstring& b);

// The system's text for an error code, without the line end. Its inserts
// (%1, %2, ...) are left alone while the system formats it (it has no values
// for them) and become subject, the file or folder the call was about.
std::wstring systemMessage(DWORD code, const std::wstring& subject);

std::wstring widen(const std::string& ascii);
std::u16string toU16(const std::wstring& text);
std::wstring fromU16(const std::u16string& text);
