#include "jre/JavaHome.h"

#include <windows.h>

#include "base/PathText.h"
#include "jre/LibraryMachine.h"

namespace {

const char kServer[] = "bin\\server\\jvm.dll";
const char kClient[] = "bin\\client\\jvm.dll";
const char kClassic[] = "bin\\classic\\jvm.dll";
const char kHotspot[] = "bin\\hotspot\\jvm.dll";
const char kJrockit[] = "bin\\jrockit\\jvm.dll";  // as long as any

const char* const kServerOrder[] = {kServer, nullptr};
const char* const kFavorServerOrder[] = {kServer, kClient, kClassic, kHotspot, kServer, kJrockit,
                                         nullptr};
const char* const kDefaultOrder[] = {kClient, kClassic, kHotspot, kServer, kJrockit, nullptr};
const char* const kModernFavorServerOrder[] = {kServer, kClient, nullptr};
const char* const kModernDefaultOrder[] = {kClient, kServer, nullptr};

const char* const* orderFor(JvmType type, HomeLayout layout) {
    bool modern = layout == HomeLayout::Modern;
    switch (type) {
    case JvmType::Server: return kServerOrder;
    case JvmType::FavorServer: return modern ? kModernFavorServerOrder : kFavorServerOrder;
    default: return modern ? kModernDefaultOrder : kDefaultOrder;
    }
}

}  // namespace

bool LibraryTest::usable() const { return exists && machine == ownMachine(); }

namespace {

LibraryTest testLibrary(const std::string& path) {
    FileProbe found = probeFile(path);
    return {path, found.exists, found.exists ? libraryMachine(path) : 0u};
}

}  // namespace

HomeProbe probeJavaHome(const std::string& home, JvmType type, HomeLayout layout) {
    HomeProbe probe{home, {}, type, layout, {}, {}, false};
    if (isTooLong(home + kJrockit)) {
        std::string shorter = shortFormOf(home);
        if (!shorter.empty() && shorter != home) {
            probe.written = home;
            probe.home = withTrailingBackslash(shorter);
        }
    }
    for (const char* const* order = orderFor(type, layout); *order; ++order) {
        const LibraryTest& test = probe.tests.emplace_back(testLibrary(probe.home + *order));
        if (test.usable()) {
            probe.library = test.path;
            probe.isServer = *order == kServer;
            break;
        }
    }
    return probe;
}

LocalRuntime findLocalRuntime(const std::string& launcherFolder) {
    LocalRuntime local;
    for (const char* home : {"", "jre\\"}) {
        local.tests.push_back(probeFile(launcherFolder + home + "bin\\java.dll"));
        if (local.tests.back().exists) {
            local.home = launcherFolder + home;
            break;
        }
    }
    return local;
}

bool isTooLong(const std::string& path) { return path.size() >= MAX_PATH; }
