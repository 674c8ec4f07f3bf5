#pragma once
// Files of tests/data in the source tree, as Windows paths (Wine maps the
// Linux root to drive Z:), and comparisons for the sizes tests measure.

#include <windows.h>

#include <ostream>
#include <string>

inline std::string testDataPath(const std::string& name) {
    std::string path = std::string("Z:") + LAUNCHER_TEST_DATA + "/" + name;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

inline bool operator==(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }

inline std::ostream& operator<<(std::ostream& out, SIZE size) {
    return out << size.cx << " x " << size.cy;
}

inline bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }

inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}
