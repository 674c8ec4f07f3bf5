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

std::string jreNotFoundLine(const DiscoverySettings& settings, const std::string& settingsFile,
                            const std::string& executable) {
    std::string required = requiredVersionText(settings.minVersion, settings.maxVersion, settings.minVersionText,
                                               settings.maxVersionText);
    std::string page = settings.downloadPage.empty() ? kDefaultDownloadPage : settings.downloadPage;
    // Each "%s" in turn: a download page may be longer than the formatting
    // calls take.
    const std::string* fills[] = {&required, &page, &settingsFile, &executable};
    std::string line;
    loadResourceString(line, msg::JreNotFoundLine);
    std::size_t at = 0;
    for (const std::string* fill : fills) {
        at = line.find("%s", at);
        if (at == std::string::npos) break;
        line.replace(at, 2, *fill);
        at += fill->size();
    }
    return line;
}

std::string jreNotFoundMessage(const DiscoverySettings& settings) {
    UINT id = settings.jvmType == JvmType::Server ? msg::JreNotFoundServer : msg::JreNotFound;
    std::string required = requiredVersionText(settings.minVersion, settings.maxVersion, settings.minVersionText,
                                               settings.maxVersionText);
    std::string text;
    formatResourceString(text, id, required.c_str());
    return text;
}
