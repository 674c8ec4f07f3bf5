#pragma once
// The launcher executable as Windows loads it: the machine it is built for
// and its subsystem, read from its PE headers. The launcher reads its own
// image in memory; explain reads the file it explains.

#include <windows.h>

#include <string>

struct ExecutableImage {
    bool exists = false;     // the file could be read
    unsigned machine = 0;    // IMAGE_FILE_MACHINE_*; 0: not a PE file
    unsigned subsystem = 0;  // IMAGE_SUBSYSTEM_WINDOWS_GUI or _CUI, ...; 0: not a PE file

    // A console program (the launcher's console twin, or a copy stamped so).
    bool isConsole() const { return subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI; }
};

// The running executable's image.
ExecutableImage ownImage();

// The image of the executable file at path.
ExecutableImage imageOfFile(const std::wstring& path);
