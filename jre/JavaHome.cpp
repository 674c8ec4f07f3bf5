#include "jre/JavaHome.h"

#include "launcher/AnsiText.h"
#include "launcher/LaunchContext.h"
#include "launcher/LaunchObserver.h"
#include "settings/SettingsPaths.h"

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

std::string probeJavaHome(const std::string& home, JvmType type, bool* isServer) {
    const char* const* order = type == JvmType::Server        ? kServerOrder
                               : type == JvmType::FavorServer ? kFavorServerOrder
                                                              : kDefaultOrder;
    LaunchObserver* observer = launchObserver();
    for (; *order; ++order) {
        std::string library = home + *order;
        if (fileExists(library)) {
            if (isServer) *isServer = *order == kServer;
            if (observer) observer->javaHomeProbed(home, type, library, *order == kServer);
            return library;
        }
    }
    if (observer) observer->javaHomeProbed(home, type, std::string(), false);
    return {};
}

std::optional<std::string> findLocalRuntime(const MessageOwner& owner) {
    std::string module;
    if (!modulePath(module, owner)) return std::nullopt;
    std::string folder = folderOf(module);
    if (fileExists(folder + "bin\\java.dll")) return folder;
    if (fileExists(folder + "jre\\bin\\java.dll")) return folder + "jre\\";
    return std::nullopt;
}

std::string withTrailingBackslash(const std::string& folder) {
    if (folder.empty()) return folder;
    std::size_t last = 0;
    for (std::size_t i = 0; i < folder.size(); i = ansi::next(folder, i)) last = i;
    return folder[last] == '\\' ? folder : folder + "\\";
}
