#pragma once
// Folder and file names taken apart and put together as text, stepping whole
// characters of the ANSI code page. No file is looked at.

#include <string>

// The folder part of a path, up to and including its last backslash (empty
// when it has none).
std::string folderOf(const std::string& path);

// Whether the last character is a backslash.
bool endsWithBackslash(const std::string& text);

// The folder with a backslash appended when its last character is not one;
// empty stays empty.
std::string withTrailingBackslash(const std::string& folder);

// The path with its last count components removed (each time cut at the last
// backslash); unchanged when no backslash is left.
std::string stripPathComponents(const std::string& path, int count);
