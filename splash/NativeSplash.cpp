#include "splash/NativeSplash.h"

#include <windows.h>

#include <utility>

#include "launcher/AnsiText.h"
#include "launcher/Launcher.h"
#include "settings/SettingsPaths.h"

std::string nativeSplashLibraryCandidate(const std::string& jvmLibraryPath) {
    std::string path = jvmLibraryPath;
    for (int level = 0; level < 2; ++level) {
        std::size_t slash = ansi::findLast(path, '\\');
        if (slash != ansi::npos) path.resize(slash);
    }
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

std::string Launcher::findNativeSplashLibrary() const {
    std::string path = nativeSplashLibraryCandidate(jvmLibraryPath);
    if (path.empty() || !fileExists(path)) return std::string();
    return path;
}

bool Launcher::startNativeSplash(const std::string& libraryPath) {
    // Stays loaded for the rest of the process: the runtime's splash screen
    // lives in it, and its close function may be called up to the very end.
    HMODULE library = LoadLibraryA(libraryPath.c_str());
    if (!library) return false;
    auto init = reinterpret_cast<SplashInitEntry>(GetProcAddress(library, "SplashInit"));
    auto loadFile =
        reinterpret_cast<SplashLoadFileEntry>(GetProcAddress(library, "SplashLoadFile"));
    auto setFileJarName = reinterpret_cast<SplashSetFileJarNameEntry>(
        GetProcAddress(library, "SplashSetFileJarName"));
    auto close = reinterpret_cast<SplashCloseEntry>(GetProcAddress(library, "SplashClose"));
    if (!init || !loadFile || !setFileJarName) return false;

    splashCloseEntry = close;
    init();
    loadFile(splashImagePath.c_str());
    setFileJarName(splashImagePath.c_str(), "");
    return true;
}

void Launcher::closeNativeSplash() {
    if (SplashCloseEntry close = std::exchange(splashCloseEntry, nullptr)) close();
}
