#include "explain/TextReport.h"

#include <windows.h>

#include "base/WideText.h"
#include "explain/JsonReport.h"
#include "settings/JavaVersion.h"

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string quotedList(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + quoted(item);
    return text.empty() ? "none" : text;
}

std::wstring quotedList(const std::vector<Argument>& items) {
    std::wstring text;
    for (const Argument& item : items) text += (text.empty() ? L"" : L", ") + (L"\"" + wideOf(item) + L"\"");
    return text.empty() ? L"none" : text;
}

std::string onOff(bool flag) { return flag ? "on" : "off"; }

std::string boundText(const char* which, const JavaVersion& v, const char* none) {
    if (isUnbounded(v)) return none;
    return std::string(which) + " " + versionParts(v) + " (" + std::to_string(v.count) +
           (v.count == 1 ? " part" : " parts") + " written)";
}

std::string kindsText(const LauncherSettings& s) {
    if (!s.bothKindsAllowed && !s.jrePreferred && !s.jdkPreferred)
        return "no kind of runtime: the registry is not searched";
    std::string text = s.bothKindsAllowed ? "runtime environments and development kits"
                       : s.jrePreferred   ? "runtime environments only"
                                          : "development kits only";
    if (s.bothKindsAllowed && s.jrePreferred != s.jdkPreferred)
        text += s.jrePreferred ? ", runtime environments preferred" : ", development kits preferred";
    return text;
}

std::string vendorsText(const LauncherSettings& s) {
    std::string text;
    auto add = [&](const char* name, bool allowed, bool preferred) {
        if (!allowed && !preferred) return;
        text += (text.empty() ? "" : ", ") + std::string(name) + (preferred ? " (preferred)" : "");
    };
    add("Sun", s.sunAllowed, s.sunPreferred);
    add("JRockit", s.jrockitAllowed, s.jrockitPreferred);
    add("IBM", s.ibmAllowed, s.ibmPreferred);
    add("OpenJDK builds", s.openJdkAllowed, false);
    return text;
}

// What the launcher made of a setting it read.
std::string meaning(const StagedSettingRead& read, const Explanation& e) {
    const LauncherSettings& s = e.record;
    const std::string& k = read.key;
    if (read.stage == LaunchStage::Settings) {
        if (k == "Minimum Version") return boundText("minimum", s.minVersion, "no lower bound");
        if (k == "Maximum Version") return boundText("maximum", s.maxVersion, "no upper bound");
        if (k == "Application Type") return s.isService ? "a service" : "not a service";
        if (k == "Preferred versions") return "preferred versions: " + quotedList(s.preferredVersions);
        if (k == "JRE Path") return s.jrePath.empty() ? "no remembered folder" : "remembered folder";
        if (k == "JVM Type") return std::string("JVM type ") + jvmTypeName(s.jvmType);
        if (k == "JVM Source") return "searches " + kindsText(s);
        if (k == "VM Provider") return "vendors " + vendorsText(s);
        if (k == "Main Class") return s.mainClass.empty() ? "missing: the launch stops" : "main class " + s.mainClass;
        if (k == "Failure Check") return "exception dialog " + onOff(s.failureCheck);
        if (k == "Override WorkingDir") return "working folder from the executable " + onOff(s.overrideWorkingDir);
        if (k == "System Path")
            return s.systemPath.empty() ? "nothing before the previous \"Path\"" : "put before the previous \"Path\"";
        if (k == "Library Path")
            return s.libraryPath.empty() ? "no -Djava.library.path option" : "makes the -Djava.library.path option";
        if (k == "Download Page") {
            if (!s.downloadPage.empty()) return "the \"JRE Not Found\" link opens " + s.downloadPage;
            return read.value.empty() ? "the \"JRE Not Found\" link opens https://java.com/"
                                      : "not an http:// or https:// address: the link opens https://java.com/";
        }
        return "";
    }
    if (k == "Application Type" && read.stage == LaunchStage::SingleInstance)
        return read.value == "service" ? "a service: never single-instance" : "";
    if (k == "Single Instance")
        return e.singleInstance ? "single-instance mode on" : "single-instance mode off";
    if (k == "Embedded Jar") {
        return lstrcmpiA(read.value.c_str(), "Yes") == 0 ? "the executable is the last class path entry"
                                                         : "the executable is not on the class path";
    }
    if (k == "Class Path") return "see \"Class path\" below";
    if (k == "Virtual Machine Parameters") return read.value.empty() ? "no VM parameters" : "see \"VM options\" below";
    if (k == "Cmd") {
        if (e.mainArguments.size() < e.commandLineArguments.size()) return "";
        std::vector<std::string> added;
        for (std::size_t i = e.commandLineArguments.size(); i < e.mainArguments.size(); ++i)
            added.push_back(e.mainArguments[i].text);
        return "adds to the arguments: " + quotedList(added);
    }
    if (k == "Class Data Sharing")
        return s.classDataSharing ? "asked for: see \"Class data sharing\" below" : "class data sharing off";
    if (k == "Splash Screen") return read.value.empty() ? "no splash screen" : "the splash picture";
    if (k == "Output File") return e.outputFile.empty() ? "System.out not redirected" : "System.out to " + e.outputFile;
    if (k == "Error File") return e.errorFile.empty() ? "System.err not redirected" : "System.err to " + e.errorFile;
    if (k == "Preffer Native Splash Screen")
        return lstrcmpiA(read.value.c_str(), "Yes") == 0 ? "native splash library preferred" : "own splash window";
    if (k == "Splash Screen Shadow") return read.value == "true" ? "drop shadow" : "no shadow";
    return "";
}

std::string heading(LaunchStage stage) {
    switch (stage) {
    case LaunchStage::Settings: return "read by the settings reader (value, where it came from -> what it became):";
    case LaunchStage::SingleInstance: return "read by the single-instance set-up:";
    case LaunchStage::Splash: return "read by the splash screen start:";
    case LaunchStage::VmOptions: return "read by the VM options builder:";
    default: return std::string("read by the ") + stageName(stage) + ":";
    }
}

class Text {
public:
    void line(const std::string& text = "") { line(toWide(text)); }
    void line(const std::wstring& text) { out_ += text + L"\r\n"; }
    void line(int indent, const std::string& text) { line(indent, toWide(text)); }
    void line(int indent, const std::wstring& text) {
        line(std::wstring(static_cast<std::size_t>(indent) * 2, L' ') + text);
    }
    const std::wstring& str() const { return out_; }

private:
    std::wstring out_;
};

void settings(Text& t, const Explanation& e) {
    t.line("Settings");
    t.line(1, "settings file: " + e.settingsFile + (e.settingsFileExists ? "" : " (missing: every value is empty)"));
    if (e.settingsEncoding != SettingsEncoding::Ansi) t.line(2, std::string("encoding: ") + encodingName(e.settingsEncoding));
    if (*encodingWarning(e.settingsEncoding)) t.line(2, std::string("Warning: ") + encodingWarning(e.settingsEncoding));
    std::string user = e.userSettingsFile + (e.userSettingsFileExists ? " (exists)" : " (missing)");
    t.line(1, "per-user file: " + user);
    t.line(2, e.userSettingsFileInUse
                  ? (e.userSettingsFileExists ? "\"JRE Path\" is read from it alone"
                                              : "\"JRE Path\" is read from the settings file until it exists")
                  : "not used (a service, or not Windows NT): \"JRE Path\" lives in the settings file");

    LaunchStage stage = LaunchStage::Settings;
    bool first = true;
    for (const StagedSettingRead& read : e.settings) {
        if (first || read.stage != stage) {
            t.line(1, heading(read.stage));
            stage = read.stage;
            first = false;
        }
        std::string text = "[" + read.section + "] " + read.key + " = " + quoted(read.value) + "  (" +
                           sourceName(read.source) + ")";
        t.line(2, text);
        std::string what = meaning(read, e);
        if (!what.empty()) t.line(3, "-> " + what);
    }
}

void fileTest(Text& t, int indent, const FileTest& test) {
    t.line(indent, std::string(test.exists ? "found    " : "missing  ") + test.path);
}

// "32-bit", "64-bit", or the machine's name.
std::string bitsOf(unsigned machine) {
    if (machine == IMAGE_FILE_MACHINE_I386) return "32-bit";
    if (machine == IMAGE_FILE_MACHINE_AMD64) return "64-bit";
    return machineName(machine);
}

// A JVM library looked for: missing, usable, or found but not one this
// launcher can load.
void libraryTest(Text& t, int indent, const LibraryTest& test) {
    std::string line = std::string(test.exists ? "found    " : "missing  ") + test.path;
    if (test.exists && !test.usable())
        line += test.machine == 0 ? "  (not a DLL: no PE header, or cut short; skipped)"
                                  : "  (" + bitsOf(test.machine) + " jvm.dll; this launcher is " +
                                        bitsOf(ownMachine()) + ": skipped)";
    t.line(indent, line);
}

void probe(Text& t, int indent, const HomeProbe& p, const char* what) {
    t.line(indent, std::string(what) + " " + (p.home.empty() ? "(the current folder)" : p.home) + " for a " +
                       jvmTypeName(p.type) + " JVM:");
    for (const LibraryTest& test : libraryTests(p)) libraryTest(t, indent + 1, test);
    t.line(indent + 1, p.library.empty() ? "-> no JVM library"
                                         : "-> " + p.library + (p.isServer ? " (server)" : ""));
}

std::string candidateText(const RuntimeCandidate& c) {
    return versionParts(c.version) + "  " + c.home + (c.isServer ? "  server" : "") +
           (c.preferred ? "  preferred" : "");
}

std::string skipReason(const RegistryVersionReport& v, const RegistryKey& key, const LauncherSettings& s) {
    std::string value = std::string("\"") + key.homeValue + "\" value";
    switch (v.result) {
    case RegistryVersionResult::OutOfBounds:
        if (!isUnbounded(s.maxVersion) && compare(v.candidate.version, s.maxVersion) > 0)
            return "above the maximum " + versionParts(s.maxVersion);
        return "below the minimum " + versionParts(s.minVersion);
    case RegistryVersionResult::NotOpened:
        return *key.below ? std::string("the subkey or its ") + key.below + " cannot be opened"
                          : "the subkey cannot be opened";
    case RegistryVersionResult::NoJavaHome: return "no " + value + " (or an empty one)";
    case RegistryVersionResult::NoLibrary: return "no JVM library in " + v.candidate.home;
    case RegistryVersionResult::NoVersion: return "the name holds no version";
    case RegistryVersionResult::KindNotAllowed:
        return std::string("a ") + kindName(v.kind) + ", not allowed by \"JVM Source\"";
    case RegistryVersionResult::HomeNotText: return "its " + value + " is not text";
    case RegistryVersionResult::HomeTooLong: return "its " + value + " is longer than a path";
    case RegistryVersionResult::HomeNotAnsi:
        return "its " + value + " names a folder the ANSI code page cannot spell, and it has no short name";
    case RegistryVersionResult::Candidate:
    case RegistryVersionResult::Unread: return "";
    }
    return "";
}

// Whether the keys of today's installers are searched, and by which rule.
std::string modernJavaText(const LauncherSettings& s) {
    switch (s.modernJava) {
    case ModernJava::MinimumVersion:
        return "searched: \"Minimum Version\" " + toText(s.minVersion) + " asks for Java 9 or later";
    case ModernJava::VmProvider: return "searched: \"VM Provider\" is openjdk";
    case ModernJava::NotAsked: break;
    }
    return "not searched: \"Minimum Version\" is below 9 and \"VM Provider\" is not openjdk";
}

void registry(Text& t, const StepReport& step, const Explanation& e) {
    t.line(2, "keys of Java 9 and later (HKLM, then HKCU): " + modernJavaText(e.record));
    for (const RegistryKeyReport& key : step.keys) {
        std::string path = std::string(key.root) + "\\" + key.key->path;
        if (*key.key->below) path += " (" + std::string(key.key->below) + " of each version)";
        if (!key.searched) {
            std::string why = key.key->modern && e.record.modernJava == ModernJava::NotAsked
                                  ? "the settings do not ask for Java 9 or later"
                              : !key.kindAllowed ? "its kind is not allowed by \"JVM Source\""
                                                 : "its vendor is not allowed by \"VM Provider\"";
            t.line(2, path + ": skipped, " + why);
            continue;
        }
        if (!key.opened) {
            t.line(2, path + ": searched, not present");
            continue;
        }
        t.line(2, path + ": searched" + (key.versions.empty() ? ", no version subkeys" : ""));
        for (const RegistryVersionReport& v : key.versions) {
            std::string head = quoted(v.name) + " -> " + versionParts(v.candidate.version);
            if (key.key->kindFromName) head += std::string(" (") + kindName(v.kind) + ")";
            if (v.result == RegistryVersionResult::Candidate) {
                t.line(3, head + ": candidate" + (v.candidate.preferred ? ", preferred" : ""));
            } else {
                t.line(3, head + ": skipped, " + skipReason(v, *key.key, e.record));
            }
            if (!v.runtimeProbe.home.empty()) probe(t, 4, v.runtimeProbe, "probe");
            if (!v.probe.home.empty()) probe(t, 4, v.probe, v.runtimeProbe.home.empty() ? "probe" : "then");
        }
    }
    if (step.candidates.empty()) {
        t.line(2, "no candidates");
        return;
    }
    t.line(2, "candidates in order:");
    for (std::size_t i = 0; i < step.candidates.size(); ++i)
        t.line(3, std::to_string(i + 1) + ". " + candidateText(step.candidates[i]));
    for (const PreferredVersionTry& item : step.preferred) {
        std::string head = "preferred version " + quoted(item.item) + " (pattern " + versionParts(item.pattern) +
                           ", " + std::to_string(item.pattern.count) + " parts): ";
        t.line(2, head + (item.match < 0 ? "matches no candidate"
                                         : "matches candidate " + std::to_string(item.match + 1)));
    }
    if (step.chosen >= 0) {
        bool byPreference = !step.preferred.empty() && step.preferred.back().match >= 0;
        const char* why = byPreference           ? ""
                          : step.preferred.empty() ? " (the first; no \"Preferred versions\")"
                                                   : " (the first; no preferred version matched)";
        t.line(2, "chosen: candidate " + std::to_string(step.chosen + 1) + why);
    }
}

void discovery(Text& t, const Explanation& e) {
    t.line("Runtime discovery");
    int number = 0;
    for (const StepReport& step : e.discovery) {
        ++number;
        std::string head = std::to_string(number) + ". " + runtimeSourceName(step.source);
        switch (step.source) {
        case RuntimeSource::Remembered:
            if (step.probes.empty()) {
                t.line(1, head + ": none (\"JRE Path\" is empty)");
                continue;
            }
            t.line(1, head + " (\"JRE Path\"; no version check)");
            break;
        case RuntimeSource::BesideExecutable:
            t.line(1, head + " (marked by bin\\java.dll)");
            for (const FileTest& test : step.tests) fileTest(t, 2, test);
            if (step.probes.empty()) t.line(2, "-> none");
            break;
        case RuntimeSource::Registry:
            t.line(1, head);
            registry(t, step, e);
            break;
        }
        for (const HomeProbe& p : step.probes)
            probe(t, 2, p, step.source == RuntimeSource::Registry ? "chosen Java home" : "Java home");
    }
    if (e.outcome == LaunchOutcome::JreNotFound) {
        t.line(1, "No runtime found. The launcher shows the \"JRE Not Found\" dialog:");
        t.line(2, quoted(e.jreNotFoundMessage));
        t.line(1, "Its link opens " +
                      (e.record.downloadPage.empty() ? std::string("https://java.com/") : e.record.downloadPage) + ".");
        t.line(1, "A folder picked there is remembered as \"JRE Path\" in " + e.rememberedIn + ";");
        t.line(1, "Cancel ends the launch with exit code -1.");
        return;
    }
    if (!e.jvmLibrary.empty()) {
        std::string machine = machineName(e.jvmLibraryMachine);
        t.line(1, "JVM library: " + e.jvmLibrary + (machine.empty() ? "" : " (" + machine + ")"));
        t.line(2, "DLL directory while it loads and after: " + e.loading.dllDirectory);
        std::string first;
        for (const std::string& library : e.loading.runtimeLibraries) first += (first.empty() ? "" : ", ") + library;
        t.line(2, "C runtime DLLs loaded first from there: " + (first.empty() ? std::string("none there") : first));
    }
}

void environment(Text& t, const Explanation& e) {
    t.line("Environment of the Java program");
    for (const auto& [name, value] : e.environment) t.line(1, name + " = " + value);
}

void splash(Text& t, const Explanation& e) {
    std::string text = "Splash screen: ";
    switch (e.splash) {
    case SplashChoice::Suppressed: text += "none, suppressed by -nosplash or /nosplash"; break;
    case SplashChoice::None: text += "none (\"Splash Screen\" is empty)"; break;
    case SplashChoice::NativeLibrary:
        text += "the runtime's library " + e.nativeSplashLibrary +
                " (the launcher's own window if it cannot be loaded or lacks an entry point)";
        break;
    case SplashChoice::OwnWindow:
        text += "the launcher's own window";
        if (lstrcmpiA(e.preferNativeSplash.c_str(), "Yes") == 0)
            text += " (the native library is preferred but the runtime has none)";
        break;
    }
    t.line(text);
    if (!e.splashImage.empty())
        t.line(1, "picture " + e.splashImage + (e.splashImageExists ? " (exists)" : " (missing: nothing is shown)"));
}

void sharing(Text& t, const Explanation& e) {
    const ClassDataSharingPlan& c = e.sharing;
    t.line(std::string("Class data sharing: ") + sharingStateText(c.state));
    if (c.state == SharingState::NotAsked) return;
    std::string version = c.version ? std::to_string(c.version) : std::string("unknown");
    if (c.versionSource == VersionSource::Registry) {
        version += ", from the registry subkey " + quoted(e.sharingVersionText);
    } else if (c.versionSource == VersionSource::ReleaseFile) {
        version += ", from " + (e.sharingVersionText.empty() ? std::string("no JAVA_VERSION line") : e.sharingVersionText) +
                   " in " + releaseFileOf(e.jvmLibrary);
    } else {
        version += " (" + releaseFileOf(e.jvmLibrary) + " cannot be read)";
    }
    t.line(1, "runtime version: " + version);
    if (c.archive.empty()) return;
    t.line(1, "archive: " + c.archive);
    t.line(1, "what it is made from now (size and last-write time in hex, path):");
    std::size_t start = 0;
    while (start < c.record.size()) {
        std::size_t end = c.record.find("\r\n", start);
        t.line(2, c.record.substr(start, end - start));
        start = end + 2;
    }
    if (c.state == SharingState::FolderOnClassPath) return;
    static const char* const archiveTexts[] = {"missing", "complete", "incomplete: the VM did not finish writing it",
                                               "a folder"};
    static const char* const recordTexts[] = {"missing", "matches", "differs", "says the runtime refused the options"};
    t.line(1, std::string("archive state: ") + archiveTexts[static_cast<int>(c.archiveState)]);
    t.line(1, "record " + recordPath(c.archive) + ": " + recordTexts[static_cast<int>(c.recordState)] +
                  (c.state == SharingState::Busy ? ", held by another launch" : ""));
    std::vector<std::string> added(e.vmOptions.end() - static_cast<std::ptrdiff_t>(c.optionCount), e.vmOptions.end());
    t.line(1, "options added: " + quotedList(added));
}

void options(Text& t, const Explanation& e) {
    t.line("Class path");
    for (const ClassPathPiece& piece : e.classPath) {
        if (!piece.searched) {
            t.line(1, quoted(piece.piece) + ": kept as written");
            continue;
        }
        t.line(1, quoted(piece.piece) + ": search " + piece.pattern +
                      (piece.entries.empty() ? ", nothing found: dropped" : ""));
        for (const std::string& entry : piece.entries) t.line(2, entry);
    }
    if (!e.memoryOptions.empty()) {
        t.line("Memory options (this machine: total physical memory " +
               std::to_string(e.memoryOptions.front().totalPhysical >> 10) + " KB, free address space " +
               std::to_string(e.memoryOptions.front().availableVirtual >> 10) + " KB)");
        for (const MemoryRewrite& m : e.memoryOptions) t.line(1, m.option + " -> " + m.rewritten);
    }
    sharing(t, e);
    t.line("VM options, in order");
    for (std::size_t i = 0; i < e.vmOptions.size(); ++i) t.line(1, std::to_string(i + 1) + ". " + e.vmOptions[i]);
    t.line("Java thread stack: " + (e.javaStackSize ? std::to_string(e.javaStackSize) + " bytes (-Xss)"
                                                     : std::string("the JVM library's default")));
    t.line("Main class: " + e.mainClass);
    t.line(L"main receives: " + quotedList(e.mainArguments));
    t.line("System.out: " + (e.outputFile.empty() ? std::string("not redirected") : e.outputFile));
    t.line("System.err: " + (e.errorFile.empty() ? std::string("not redirected") : e.errorFile));
}

void notes(Text& t, const Explanation& e) {
    std::vector<std::string> lines;
    if (!e.executableExists) lines.push_back("There is no file at " + e.executable + "; explained as if there were.");
    std::string launcher = machineName(e.executableMachine);
    std::string own = machineName(ownMachine());
    if (!launcher.empty() && launcher != own)
        lines.push_back("The launcher is " + launcher + " and this explanation ran as " + own +
                        ": the registry view and the free address space (\"T\" memory forms) may differ. "
                        "Use the " + launcher + " build of explain for the exact answer.");
    std::string library = machineName(e.jvmLibraryMachine);
    if (!launcher.empty() && !library.empty() && launcher != library)
        lines.push_back("The JVM library is " + library + " but the launcher is " + launcher +
                        ": loading it fails (\"Failed to load Java VM library\", errno 193).");
    if (lines.empty()) return;
    t.line();
    t.line("Notes");
    for (const std::string& note : lines) t.line(1, note);
}

}  // namespace

std::wstring textReport(const Explanation& e) {
    Text t;
    std::string machine = machineName(e.executableMachine);
    t.line(L"Launch of " + e.executablePath + toWide(machine.empty() ? "" : " (" + machine + ")"));
    t.line(1, L"arguments: " + quotedList(e.commandLineArguments));
    t.line(1, "working folder: " + e.workingDirectory +
                  (e.workingDirectoryChanged ? " (set by \"Override WorkingDir\")" : ""));
    t.line();

    if (!e.fallbacks.empty()) {
        t.line("Names the ANSI code page cannot spell");
        for (const PathFallback& fallback : e.fallbacks)
            t.line(1, fallback.original + L" has no ANSI spelling; using " + toWide(fallback.used));
        t.line();
    }
    if (e.outcome == LaunchOutcome::PathStopped) {
        for (const std::wstring& message : e.messages) t.line(L"Message box: \"" + message + L"\"");
        t.line("The launch ends here with exit code -1.");
        return t.str();
    }
    if (e.outcome == LaunchOutcome::NoSettingsPath) {
        t.line("The executable's path holds no \".\": no settings file path can be formed, and the launch");
        t.line("ends at once with exit code -1, without a message.");
        return t.str();
    }
    settings(t, e);
    t.line();
    if (e.outcome == LaunchOutcome::SettingsStopped) {
        for (const std::wstring& message : e.messages) t.line(L"Message box: \"" + message + L"\"");
        t.line("The launch ends here with exit code -1.");
        notes(t, e);
        return t.str();
    }

    if (e.singleInstance) {
        t.line("Single instance: on, shared objects named " + e.instanceName);
        if (e.primaryRunning) {
            t.line(1, "An instance is running now: this launch hands its arguments to it and ends with its answer.");
            notes(t, e);
            return t.str();
        }
        t.line(1, "No instance is running now: this launch becomes the primary.");
    } else {
        t.line("Single instance: off");
    }
    t.line();

    discovery(t, e);
    if (e.outcome == LaunchOutcome::JreNotFound) {
        notes(t, e);
        return t.str();
    }
    t.line();
    environment(t, e);
    t.line();
    splash(t, e);
    t.line();
    if (e.outcome == LaunchOutcome::OptionsStopped) {
        for (const ClassPathPiece& piece : e.classPath)
            t.line(1, quoted(piece.piece) + (piece.entries.empty() ? ": nothing found" : ""));
        for (const std::wstring& message : e.messages) t.line(L"Message box: \"" + message + L"\"");
        t.line("The launch ends here with exit code -1.");
        notes(t, e);
        return t.str();
    }
    options(t, e);
    notes(t, e);
    return t.str();
}
