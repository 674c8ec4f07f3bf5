#pragma once
// Reading an executable's resources and writing a copy of it with other
// resources, through the system's resource update calls.

#include <string>
#include <vector>

#include "stamp/LittleEndian.h"
#include "stamp/PeImage.h"
#include "stamp/ResourceSet.h"

// Every resource of an executable, every language of each, in the order of
// its resource directory. The file is loaded as data: nothing of it runs.
bool readResources(const std::wstring& path, std::vector<Resource>& resources, std::wstring& error);

// Writes output: the executable file (its bytes as read, the headers as
// image describes them) with exactly these resources and a header checksum
// that matches, when the file had one. The work is done on a temporary file
// beside output that replaces output only when complete; on failure output
// is untouched and the temporary file is gone.
bool writeExecutable(const Bytes& file, const PeImage& image, const std::vector<Resource>& resources,
                     const std::wstring& output, std::wstring& error);
