#pragma once
// Whether a file or folder exists, as the launch asks it: a search for the
// path (FindFirstFileA), whose outcome the launch keeps with the path; and
// the first bytes of a file, or all of them.

#include <string>

struct FileTest {
    std::string path;
    bool exists = false;
};

// A search for the path finds an entry (a folder counts too).
FileTest testFile(const std::string& path);

// Up to limit bytes from the start of the file (shared with writers and
// deleters); false when it cannot be opened.
bool readFileStart(const std::string& path, unsigned long limit, std::string& bytes);

// The whole file, opened and shared the same way, in one read; false when it
// cannot be opened or read, or holds 4 GB or more.
bool readWholeFile(const std::string& path, std::string& bytes);
