#pragma once
// A Java home is a folder that holds a runtime; probing it gives the path of
// the JVM library that the configured JVM type asks for, built for the
// launcher's own machine.

#include <string>
#include <vector>

#include "base/FileProbe.h"
#include "settings/JvmType.h"

// How a home holds its JVM libraries: before Java 9 in one of five folders
// below bin\ (client, classic, hotspot, server, jrockit); from Java 9 on in
// bin\server\ or bin\client\ only.
enum class HomeLayout { Classic, Modern };

// One library looked for.
struct LibraryTest {
    std::string path;
    bool exists = false;
    unsigned machine = 0;  // when it exists: its PE machine; 0: not a PE file or cut short
    bool usable() const;   // it exists and is built for the launcher's machine
};

// One Java home probed for the JVM library of a type. A home whose libraries
// lie deeper than the ANSI calls reach (MAX_PATH) is probed through the short
// names of its folders; a library path that is still too long is not looked
// for (its test says it is missing).
struct HomeProbe {
    std::string home;  // empty: nothing was probed
    std::string written;  // the home as given, when home is its short form
    JvmType type = JvmType::Default;
    HomeLayout layout = HomeLayout::Classic;
    std::vector<LibraryTest> tests;  // each library of the type's order, up to the one found
    std::string library;    // empty: none found
    bool isServer = false;  // the library is "bin\server\jvm.dll"
    // The machine of the library found; 0 when none was.
    unsigned machine() const { return library.empty() ? 0 : tests.back().machine; }
};

// The first usable library of the type's order below home (joined by plain
// concatenation). A library of another machine, or a file that is not a
// DLL, does not count: the order goes on.
HomeProbe probeJavaHome(const std::string& home, JvmType type, HomeLayout layout = HomeLayout::Classic);

// The runtime shipped beside the executable: its folder when it holds
// "bin\java.dll", else its "jre\" subfolder when that does. Nothing when
// neither does: then no library is looked up relative to the current
// directory.
struct LocalRuntime {
    std::vector<FileProbe> tests;  // the markers looked for
    std::string home;             // empty: none
};
LocalRuntime findLocalRuntime(const std::string& launcherFolder);

// Whether a path is longer than the ANSI calls take (MAX_PATH characters or
// more with its terminating zero).
bool isTooLong(const std::string& path);
