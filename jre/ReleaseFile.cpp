#include "jre/ReleaseFile.h"

#include <cstring>

#include "base/FileProbe.h"
#include "base/PathText.h"

namespace {

// The line that holds the version after the line feed before it.
const char kVersionLineAfterFeed[] = "\nJAVA_VERSION=";
const char* const kVersionLine = kVersionLineAfterFeed + 1;

}  // namespace

std::string releaseFileIn(const std::string& home) { return withTrailingBackslash(home) + "release"; }

std::string releaseFileOf(const std::string& jvmLibrary) { return releaseFileIn(stripPathComponents(jvmLibrary, 3)); }

std::string releaseVersion(const std::string& text) {
    // The line at the start of the text, or after a line feed.
    const char* line = text.c_str();
    if (std::strncmp(line, kVersionLine, sizeof kVersionLineAfterFeed - 2) != 0) {
        line = std::strstr(line, kVersionLineAfterFeed);
        if (!line) return {};
        ++line;
    }
    const char* end = std::strchr(line, '\n');
    std::size_t length = end ? static_cast<std::size_t>(end - line) : std::strlen(line);
    if (length && line[length - 1] == '\r') --length;
    return std::string(line, length);
}

bool readReleaseVersion(const std::string& path, std::string& line) {
    std::string text;
    bool read = readFileStart(path, 1 << 16, text);
    line = releaseVersion(text);
    return read;
}
