#include "bridgejvm/JavaCommand.h"

namespace bridgejvm {

namespace {

bool startsWith(const std::string& text, const char* prefix, std::size_t& length) {
    length = std::char_traits<char>::length(prefix);
    return text.compare(0, length, prefix) == 0;
}

// "path" or "path=options" of -javaagent: and -agentpath:.
std::string translateAgent(const std::string& value, const PathTranslator& translate) {
    std::size_t equals = value.find('=');
    std::string file = value.substr(0, equals);
    std::string rest = equals == std::string::npos ? "" : value.substr(equals);
    std::optional<std::string> unix = translate(file);
    return (unix ? *unix : file) + rest;
}

}  // namespace

std::string translatePathList(const std::string& list, const PathTranslator& translate) {
    std::string result;
    bool first = true;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = list.find(';', start);
        std::string entry = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
        // An empty entry stays one: Java takes it for the current folder,
        // which the VM shares with the launcher, and HotSpot's class data
        // sharing passes over it (a folder named instead would stop the
        // ahead-of-time cache of Java 25 from being made).
        std::optional<std::string> unix = entry.empty() ? std::optional<std::string>("") : translate(entry);
        if (unix) {
            if (!first) result += ':';
            result += *unix;
            first = false;
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return result;
}

std::string translateOption(const std::string& option, const PathTranslator& translate) {
    std::size_t length = 0;
    for (const char* prefix : {"-Djava.class.path=", "-Djava.library.path=", "-Xbootclasspath/a:",
                               "-XX:SharedArchiveFile=", "-XX:ArchiveClassesAtExit="}) {
        if (startsWith(option, prefix, length))
            return option.substr(0, length) + translatePathList(option.substr(length), translate);
    }
    for (const char* prefix : {"-javaagent:", "-agentpath:"}) {
        if (startsWith(option, prefix, length))
            return option.substr(0, length) + translateAgent(option.substr(length), translate);
    }
    // One file each (a ";" may be part of its name).
    for (const char* prefix : {"-XX:AOTCache=", "-XX:AOTCacheOutput=", "-XX:AOTConfiguration="}) {
        if (startsWith(option, prefix, length)) {
            std::optional<std::string> unix = translate(option.substr(length));
            return option.substr(0, length) + (unix ? *unix : option.substr(length));
        }
    }
    return option;
}

int javaFeatureVersion(const std::string& releaseText) {
    // A line JAVA_VERSION="17.0.15" (the quotes are optional).
    std::size_t at = 0;
    for (;;) {
        at = releaseText.find("JAVA_VERSION=", at);
        if (at == std::string::npos) return 0;
        if (at == 0 || releaseText[at - 1] == '\n') break;
        ++at;
    }
    at += 13;
    if (at < releaseText.size() && releaseText[at] == '"') ++at;
    auto number = [&](std::size_t& from) {
        int value = 0;
        std::size_t start = from;
        while (from < releaseText.size() && releaseText[from] >= '0' && releaseText[from] <= '9' && value < 100000)
            value = value * 10 + (releaseText[from++] - '0');
        return from > start ? value : -1;
    };
    int first = number(at);
    if (first != 1) return first < 0 ? 0 : first;
    // 1.x: the version is the second number.
    if (at >= releaseText.size() || releaseText[at] != '.') return 1;
    ++at;
    int second = number(at);
    return second < 0 ? 1 : second;
}

bool acceptsSecurityManagerAllow(int featureVersion) { return featureVersion >= 12 && featureVersion <= 23; }

std::string quoteForOptionsFile(const std::string& option) {
    // HotSpot's reader splits at unquoted white space and takes everything
    // between a quote and the next of the same kind literally; quoted and
    // unquoted pieces join into one entry.
    std::string quoted;
    for (char c : option) {
        if (c == '"') {
            quoted += "'\"'";
        } else if (c == '\'' || c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r') {
            quoted += '"';
            quoted += c;
            quoted += '"';
        } else {
            quoted += c;
        }
    }
    // An empty option still has to be an entry.
    return quoted.empty() ? "\"\"" : quoted;
}

std::string optionsFileText(const std::vector<std::string>& bridgeOptions,
                            const std::vector<std::string>& launcherOptions) {
    std::string text;
    for (const auto* list : {&bridgeOptions, &launcherOptions})
        for (const std::string& option : *list) text += quoteForOptionsFile(option) + "\n";
    return text;
}

std::string javaCharsetName(unsigned codePage) {
    switch (codePage) {
    case 932: return "MS932";
    case 936: return "GBK";
    case 949: return "MS949";
    case 950: return "MS950";
    case 65001: return "UTF-8";
    default: return "Cp" + std::to_string(codePage);
    }
}

std::wstring quoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes are literal unless a quote follows them.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

}  // namespace bridgejvm
