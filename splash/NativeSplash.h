#pragma once
// The Java runtime's own splash-screen library, splashscreen.dll in the bin
// folder of the runtime, used instead of the launcher's window when the
// settings prefer it.

#include <string>

inline constexpr const char* kNativeSplashLibraryName = "splashscreen.dll";

using SplashInitEntry = void(__cdecl*)();
using SplashLoadFileEntry = int(__cdecl*)(const char* path);
using SplashSetFileJarNameEntry = void(__cdecl*)(const char* path, const char* jarName);
using SplashCloseEntry = void(__cdecl*)();

// Where the native splash library of the runtime whose JVM library is given
// would lie: two levels up from the JVM library (bin\client\jvm.dll gives
// bin\splashscreen.dll). Empty when nothing is left of the path.
std::string nativeSplashLibraryCandidate(const std::string& jvmLibraryPath);

// The native library is tried first: "Preffer Native Splash Screen" is "Yes"
// in any case, and the runtime has the library (nativeLibrary not empty).
bool prefersNativeSplash(const std::string& setting, const std::string& nativeLibrary);
