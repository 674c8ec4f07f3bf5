#include "settings/LaunchTrace.h"

void LaunchRecord::settingsFile(const std::string& path) {
    // What the platform's reader is given.
    std::string bytes;
    settingsFileRead = readFileStart(path, 1 << 16, bytes);
    settingsEncoding = settingsEncodingOf(bytes);
}
