#pragma once
// A Java home is a folder that holds a runtime; probing it gives the path of
// the JVM library that the configured JVM type asks for.

#include <string>
#include <vector>

#include "base/FileTest.h"
#include "settings/LauncherSettings.h"

// One Java home probed for the JVM library of a type: the files tested, in
// order, and the first that exists.
struct HomeProbe {
    std::string home;  // empty: nothing was probed
    JvmType type = JvmType::Default;
    std::vector<FileTest> tests;
    std::string library;    // empty: none found
    bool isServer = false;  // the library is "bin\server\jvm.dll"
};

// The first existing library of the type's order below home (joined by plain
// concatenation).
HomeProbe probeJavaHome(const std::string& home, JvmType type);

// The runtime shipped beside the executable: its folder when it holds
// "bin\java.dll", else its "jre\" subfolder when that does. Nothing when
// neither does: then no library is looked up relative to the current
// directory.
struct LocalRuntime {
    std::vector<FileTest> tests;  // the markers looked for
    std::string home;  // empty: none
};
LocalRuntime findLocalRuntime(const std::string& launcherFolder);
