#include "splash/NativeSplash.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/PathText.h"

std::string nativeSplashLibraryCandidate(const std::string& jvmLibraryPath) {
    std::string path = stripPathComponents(jvmLibraryPath, 2);
    if (path.empty()) return path;

    std::size_t last = 0;
    for (std::size_t i = 0; i < path.size(); i = ansi::next(path, i)) last = i;
    bool endsWithSeparator = last + 1 == path.size() && (path[last] == '\\' || path[last] == '/');
    if (!endsWithSeparator) path += '\\';
    return path + kNativeSplashLibraryName;
}

bool prefersNativeSplash(const std::string& setting, const std::string& nativeLibrary) {
    return lstrcmpiA(setting.c_str(), "Yes") == 0 && !nativeLibrary.empty();
}
