#include "jre/JavaHome.h"

#include "settings/SettingsPaths.h"

namespace {

const char kServer[] = "bin\\server\\jvm.dll";
const char kClient[] = "bin\\client\\jvm.dll";
const char kClassic[] = "bin\\classic\\jvm.dll";
const char kHotspot[] = "bin\\hotspot\\jvm.dll";
const char kJrockit[] = "bin\\jrockit\\jvm.dll";

// The libraries each JVM type accepts, in the order they are tried.
const char* const kServerOnly[] = {kServer, nullptr};
const char* const kFavorServer[] = {kServer,  kClient,  kClassic, kHotspot,
                                    kServer,  kJrockit, nullptr};
const char* const kDefaultOrder[] = {kClient, kClassic, kHotspot, kServer, kJrockit, nullptr};

}  // namespace

std::string probeJavaHome(const std::string& home, JvmType type, bool* isServer) {
    const char* const* order = type == JvmType::Server        ? kServerOnly
                               : type == JvmType::FavorServer ? kFavorServer
                                                              : kDefaultOrder;
    for (; *order; ++order) {
        std::string path = home + *order;
        if (!fileExists(path)) continue;
        if (isServer) *isServer = *order == kServer;
        return path;
    }
    return std::string();
}
