#include "jre/JavaHome.h"

namespace {

const char kServer[] = "bin\\server\\jvm.dll";
const char kClient[] = "bin\\client\\jvm.dll";
const char kClassic[] = "bin\\classic\\jvm.dll";
const char kHotspot[] = "bin\\hotspot\\jvm.dll";
const char kJrockit[] = "bin\\jrockit\\jvm.dll";

const char* const kServerOrder[] = {kServer, nullptr};
const char* const kFavorServerOrder[] = {kServer, kClient, kClassic, kHotspot, kServer, kJrockit,
                                         nullptr};
const char* const kDefaultOrder[] = {kClient, kClassic, kHotspot, kServer, kJrockit, nullptr};

}  // namespace

HomeProbe probeJavaHome(const std::string& home, JvmType type) {
    const char* const* order = type == JvmType::Server        ? kServerOrder
                               : type == JvmType::FavorServer ? kFavorServerOrder
                                                              : kDefaultOrder;
    HomeProbe probe{home, type, {}, {}, false};
    for (; *order; ++order) {
        probe.tests.push_back(testFile(home + *order));
        if (probe.tests.back().exists) {
            probe.library = probe.tests.back().path;
            probe.isServer = *order == kServer;
            break;
        }
    }
    return probe;
}

LocalRuntime findLocalRuntime(const std::string& launcherFolder) {
    LocalRuntime local;
    for (const char* home : {"", "jre\\"}) {
        local.tests.push_back(testFile(launcherFolder + home + "bin\\java.dll"));
        if (local.tests.back().exists) {
            local.home = launcherFolder + home;
            break;
        }
    }
    return local;
}
