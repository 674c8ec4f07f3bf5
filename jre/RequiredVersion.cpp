#include "jre/RequiredVersion.h"

#include "base/Messages.h"
#include "base/StringTable.h"

std::string requiredVersionText(const JavaVersion& minVersion, const JavaVersion& maxVersion,
                                const std::string& minWritten, const std::string& maxWritten) {
    bool minBounded = !isUnbounded(minVersion);
    bool maxBounded = !isUnbounded(maxVersion);
    std::string text;
    std::string minText = minWritten.empty() ? toText(minVersion) : minWritten;
    std::string maxText = maxWritten.empty() ? toText(maxVersion) : maxWritten;
    if (!minBounded && !maxBounded) {
        loadResourceString(text, msg::LatestVersion);
    } else if (!minBounded) {
        formatResourceString(text, msg::MaximumVersion, maxText.c_str());
    } else if (!maxBounded) {
        formatResourceString(text, msg::MinimumVersion, minText.c_str());
    } else if (compare(minVersion, maxVersion) == 0) {
        formatResourceString(text, msg::ExactVersion, minText.c_str());
    } else {
        formatResourceString(text, msg::VersionRange, minText.c_str(), maxText.c_str());
    }
    return text;
}

std::string jreNotFoundMessage(const DiscoverySettings& settings) {
    UINT id = settings.jvmType == JvmType::Server ? msg::JreNotFoundServer : msg::JreNotFound;
    std::string required = requiredVersionText(settings.minVersion, settings.maxVersion, settings.minVersionText,
                                               settings.maxVersionText);
    std::string text;
    formatResourceString(text, id, required.c_str());
    return text;
}
