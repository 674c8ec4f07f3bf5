#include "jvm/JavaEnvironment.h"

#include "base/PathText.h"

namespace {

std::string withSeparator(const std::string& list) {
    return !list.empty() && list.back() == ';' ? list : list + ";";
}

}  // namespace

std::string libraryPathValue(const std::string& libraryPath, const std::string& launcherFolder,
                             const std::string& javaHome) {
    std::string value = withSeparator(libraryPath);
    value += launcherFolder;
    value += ";.;%Path%;";
    value += javaHome;
    value += "\\lib";
    return value;
}

std::string searchPathValue(const std::string& systemPath, const std::string& javaBinFolder) {
    std::string value = systemPath.empty() ? std::string() : withSeparator(systemPath);
    return value + "%Path%;" + javaBinFolder;
}

JavaEnvironment setUpJavaEnvironment(const EnvironmentSettings& settings, const std::string& jvmLibrary,
                                     const std::string& launcherFolder, LaunchEnvironment& environment) {
    JavaEnvironment result;
    auto set = [&](const char* name, const std::string& value) {
        environment.set(name, value);
        result.variables.emplace_back(name, value);
    };
    std::string javaHome = stripPathComponents(jvmLibrary, 3);
    set("VT_JVM_PATH", jvmLibrary);
    set("VT_JVM_HOME", javaHome);

    if (!settings.libraryPath.empty())
        result.libraryPathOption = "-Djava.library.path=" +
            environment.expand(libraryPathValue(settings.libraryPath, launcherFolder, javaHome));

    // A value longer than the platform holds in one variable would be stored
    // garbled (or refused): "Path" then stays as it was.
    std::string path = environment.expand(
        searchPathValue(settings.systemPath, stripPathComponents(jvmLibrary, 2)));
    if (path.size() < kVariableLimit) set("Path", path);
    return result;
}
