#pragma once
// Whether a file or folder exists, as the launch asks it: a search for the
// path (FindFirstFileA), whose outcome the launch keeps with the path.

#include <string>

struct FileTest {
    std::string path;
    bool exists = false;
};

// A search for the path finds an entry (a folder counts too).
FileTest testFile(const std::string& path);
