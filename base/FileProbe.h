#pragma once
// What the file system says of a path, as a launch asks it: whether a file
// or folder of that name exists (a search for the path, FindFirstFileA), its
// short form, and the first bytes of a file or all of them.

#include <string>

// A path looked for, and whether something of that name was found.
struct FileProbe {
    std::string path;
    bool exists = false;
};

// A search for the path finds an entry (a folder counts too). A path longer
// than the ANSI calls take (MAX_PATH characters with its terminating zero) is
// not looked for: it counts as missing.
FileProbe probeFile(const std::string& path);

// The path with the short (8.3) names of its folders and file, where they
// have them; empty when the path does not exist.
std::string shortFormOf(const std::string& path);

// Up to limit bytes from the start of the file (shared with writers and
// deleters); false when it cannot be opened.
bool readFileStart(const std::string& path, unsigned long limit, std::string& bytes);

// The whole file, opened and shared the same way, in one read; false when it
// cannot be opened or read, or holds 4 GB or more.
bool readWholeFile(const std::string& path, std::string& bytes);
