#include "base/FileTest.h"

#include <windows.h>

#include "base/UniqueResource.h"

FileTest testFile(const std::string& path) {
    WIN32_FIND_DATAA found;
    UniqueFindHandle search(FindFirstFileA(path.c_str(), &found));
    return {path, search.valid()};
}
