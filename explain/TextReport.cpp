#include "explain/TextReport.h"

#include <windows.h>

#include "base/WideText.h"
#include "explain/JsonReport.h"
#include "jre/LibraryMachine.h"
#include "jre/RequiredVersion.h"
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

std::string boundText(const char* which, const JavaVersion& v, const std::string& written, const char* none) {
    if (isUnbounded(v)) {
        // A text that is no version (no digits, or a number too large) is no
        // bound either; the launcher says nothing of it.
        bool notAVersion = !written.empty() && written != "any" && v.count == 0;
        return notAVersion ? std::string("Warning: ") + quoted(written) + " is not a version: " + none : none;
    }
    return std::string(which) + " " + versionParts(v) + " (" + std::to_string(v.count) +
           (v.count == 1 ? " part" : " parts") + " written; messages say " + quoted(written) + ")";
}

std::string kindsText(const DiscoverySettings& s) {
    if (!s.bothKindsAllowed && !s.jrePreferred && !s.jdkPreferred)
        return "no kind of runtime: the registry is not searched";
    std::string text = s.bothKindsAllowed ? "runtime environments and development kits"
                       : s.jrePreferred   ? "runtime environments only"
                                          : "development kits only";
    if (s.bothKindsAllowed && s.jrePreferred != s.jdkPreferred)
        text += s.jrePreferred ? ", runtime environments preferred" : ", development kits preferred";
    return text;
}

std::string vendorsText(const DiscoverySettings& s) {
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

bool isYes(const std::string& value) { return lstrcmpiA(value.c_str(), "Yes") == 0; }

// An output file as the launch names it (in UTF-16 when the code page
// cannot spell it).
std::wstring fileText(const VmConfiguration& vm, bool output) {
    const std::wstring& wide = output ? vm.outputFileWide : vm.errorFileWide;
    return wide.empty() ? toWide(output ? vm.outputFile : vm.errorFile) : wide;
}

// What the launch made of a setting it read.
std::string meaning(const SettingRead& read, const Explanation& e) {
    const LauncherSettings& s = *e.plan.settings;
    const DiscoverySettings& d = s.discovery;
    const std::string k = read.key;
    if (k == "Product Code" || k == "Product Name") return "";
    if (k == "Application Type") return s.application.isService ? "a service: never single-instance" : "not a service";
    if (k == "Minimum Version") return boundText("minimum", d.minVersion, d.minVersionText, "no lower bound");
    if (k == "Maximum Version") return boundText("maximum", d.maxVersion, d.maxVersionText, "no upper bound");
    if (k == "Preferred versions") return "preferred versions: " + quotedList(d.preferredVersions);
    if (k == "JRE Path") return d.jrePath.empty() ? "no remembered folder" : "remembered folder";
    if (k == "JVM Type") return std::string("JVM type ") + jvmTypeName(d.jvmType);
    if (k == "JVM Source") return "searches " + kindsText(d);
    if (k == "VM Provider") return "vendors " + vendorsText(d);
    if (k == "Download Page") {
        if (!d.downloadPage.empty()) return "the \"JRE Not Found\" link opens " + d.downloadPage;
        return read.value.empty() ? "the \"JRE Not Found\" link opens https://java.com/"
                                  : "not an http:// or https:// address: the link opens https://java.com/";
    }
    const ApplicationSettings& a = s.application;
    if (k == "Main Class") return a.mainClass.empty() ? "missing: the launch stops" : "main class " + a.mainClass;
    if (k == "Failure Check") return "exception dialog " + onOff(a.failureCheck);
    if (k == "Override WorkingDir") return "working folder from the executable " + onOff(a.overrideWorkingDir);
    if (k == "System Path")
        return s.environment.systemPath.empty() ? "nothing before the previous \"Path\""
                                                : "put before the previous \"Path\"";
    if (k == "Library Path")
        return s.environment.libraryPath.empty() ? "no -Djava.library.path option"
                                                 : "makes the -Djava.library.path option";
    if (k == "Single Instance") return s.singleInstance ? "single-instance mode on" : "single-instance mode off";
    if (k == "Splash Screen") return read.value.empty() ? "no splash screen" : "the splash picture";
    if (k == "Splash Screen Shadow") return read.value == "true" ? "drop shadow" : "no shadow";
    if (k == "Preffer Native Splash Screen")
        return isYes(read.value) ? "native splash library preferred" : "own splash window";
    if (k == "Class Path") return "see \"Class path\" below";
    if (k == "Embedded Jar")
        return s.vm.embeddedJar ? "the executable is the last class path entry" : "the executable is not on the class path";
    if (k == "Virtual Machine Parameters") return read.value.empty() ? "no VM parameters" : "see \"VM options\" below";
    const VmConfiguration* vm = e.plan.vm ? &*e.plan.vm : nullptr;
    if (k == "Output File")
        return !vm || vm->outputFile.empty() ? "System.out not redirected" : "System.out to " + vm->outputFile;
    if (k == "Error File")
        return !vm || vm->errorFile.empty() ? "System.err not redirected" : "System.err to " + vm->errorFile;
    if (k == "Cmd") {
        if (!vm || vm->mainArguments.size() < e.arguments.size()) return "";
        std::vector<std::string> added;
        for (std::size_t i = e.arguments.size(); i < vm->mainArguments.size(); ++i)
            added.push_back(vm->mainArguments[i].text);
        return "adds to the arguments: " + quotedList(added);
    }
    if (k == "Class Data Sharing")
        return s.classDataSharing ? "asked for: see \"Class data sharing\" below" : "class data sharing off";
    return "";
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
    const LauncherSettings& s = *e.plan.settings;
    const LaunchRecord& trace = e.trace;
    t.line("Settings");
    t.line(1, "settings file: " + s.file + (trace.settingsFileRead ? "" : " (missing: every value is empty)"));
    if (trace.settingsEncoding != SettingsEncoding::Ansi)
        t.line(2, std::string("encoding: ") + encodingName(trace.settingsEncoding));
    if (*encodingWarning(trace.settingsEncoding))
        t.line(2, std::string("Warning: ") + encodingWarning(trace.settingsEncoding));
    std::optional<bool> userFileExists = lookedUp(trace, LaunchStage::Settings, s.userFile.path);
    std::string user = s.userFile.path + (!userFileExists ? "" : *userFileExists ? " (exists)" : " (missing)");
    t.line(1, "per-user file: " + user);
    t.line(2, !s.userFile.inUse ? "not used (a service, or not Windows NT): \"JRE Path\" lives in the settings file"
              : userFileExists && *userFileExists ? "\"JRE Path\" is read from it alone"
                                                  : "\"JRE Path\" is read from the settings file until it exists");

    // The values read, grouped by the part of the launch that uses them, in
    // the order those parts run.
    t.line(1, "values read (where each came from -> what it became), by the part of the launch that uses them:");
    for (int stage = 0; stage <= static_cast<int>(LaunchStage::Sharing); ++stage) {
        bool first = true;
        for (const SettingRead& read : trace.settings) {
            if (static_cast<int>(read.stage) != stage) continue;
            if (first) t.line(2, std::string(stageName(read.stage)) + ":");
            first = false;
            t.line(3, "[" + std::string(read.section) + "] " + read.key + " = " + quoted(read.value) + "  (" +
                          sourceName(read.source) + ")");
            std::string what = meaning(read, e);
            if (!what.empty()) t.line(4, "-> " + what);
        }
    }
}

void fileLine(Text& t, int indent, const FileProbe& probe) {
    t.line(indent, std::string(probe.exists ? "found    " : "missing  ") + probe.path);
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
    if (isTooLong(test.path))
        line = "too long " + test.path + "  (" + std::to_string(test.path.size()) + " characters: not looked for)";
    if (test.exists && !test.usable())
        line += test.machine == 0 ? "  (not a DLL: no PE header, or cut short; skipped)"
                                  : "  (" + bitsOf(test.machine) + " jvm.dll; this launcher is " +
                                        bitsOf(ownMachine()) + ": skipped)";
    t.line(indent, line);
}

void probe(Text& t, int indent, const HomeProbe& p, const char* what) {
    t.line(indent, std::string(what) + " " + (p.home.empty() ? "(the current folder)" : p.home) + " for a " +
                       jvmTypeName(p.type) + " JVM:");
    if (!p.written.empty()) t.line(indent + 1, "(the short form of " + p.written + ", whose paths are too long)");
    for (const LibraryTest& test : p.tests) libraryTest(t, indent + 1, test);
    t.line(indent + 1, p.library.empty() ? "-> no JVM library"
                                         : "-> " + p.library + (p.isServer ? " (server)" : ""));
}

std::string candidateText(const RuntimeCandidate& c) {
    return versionParts(c.version) + "  " + c.home + (c.isServer ? "  server" : "") +
           (c.preferred ? "  preferred" : "");
}

std::string skipReason(const RegisteredVersion& v, const RegistryKey& key, const DiscoverySettings& s) {
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
std::string modernJavaText(const DiscoverySettings& s) {
    switch (s.modernJava) {
    case ModernJava::MinimumVersion:
        return "searched: \"Minimum Version\" " + toText(s.minVersion) + " asks for Java 9 or later";
    case ModernJava::MaximumVersion:
        return "searched: \"Maximum Version\" " + toText(s.maxVersion) + " admits Java 9 or later";
    case ModernJava::VmProvider: return "searched: \"VM Provider\" is openjdk";
    case ModernJava::NotAsked: break;
    }
    return "not searched: \"Minimum Version\" and \"Maximum Version\" are below 9 and \"VM Provider\" is not openjdk";
}

void registry(Text& t, const RegistrySearch& search, const DiscoverySettings& s) {
    t.line(2, "keys of Java 9 and later (HKLM, then HKCU): " + modernJavaText(s));
    for (std::size_t k = 0; k < search.keys.size(); ++k) {
        const RegistryKeySearch& key = search.keys[k];
        std::string path = std::string(key.rootName()) + "\\" + key.key->path;
        if (*key.key->below) path += " (" + std::string(key.key->below) + " of each version)";
        if (!key.searched) {
            // The keys of today's installers that the settings do not ask
            // for are told of once, above.
            if (key.key->modern && s.modernJava == ModernJava::NotAsked) continue;
            std::string why = !isKeyKindAllowed(*key.key, s) ? "its kind is not allowed by \"JVM Source\""
                                                             : "its vendor is not allowed by \"VM Provider\"";
            t.line(2, path + ": skipped, " + why);
            continue;
        }
        if (!key.opened) {
            t.line(2, path + ": searched, not present");
            continue;
        }
        bool any = false;
        for (const RegisteredVersion& v : search.versions) any = any || v.key == k;
        t.line(2, path + ": searched" + (any ? "" : ", no version subkeys"));
        for (const RegisteredVersion& v : search.versions) {
            if (v.key != k) continue;
            std::string head = quoted(v.name) + " -> " + versionParts(v.candidate.version);
            if (!v.releaseLine.empty())
                head += " (" + v.releaseLine + " of its release file; the name gives " + versionParts(v.nameVersion) + ")";
            if (key.key->kindFromName) head += std::string(" (") + kindName(v.kind) + ")";
            if (v.result == RegistryVersionResult::Candidate) {
                t.line(3, head + ": candidate" + (v.candidate.preferred ? ", preferred" : ""));
            } else if (v.result == RegistryVersionResult::Unread) {
                t.line(3, head + ": within the bounds; not read, the choice did not get to it");
            } else {
                t.line(3, head + ": skipped, " + skipReason(v, *key.key, s));
            }
            if (!v.homeWritten.empty())
                t.line(4, toWide(std::string(key.key->homeValue) + " (REG_EXPAND_SZ) ") + v.homeWritten + L" -> " +
                              toWide(v.home));
            if (!v.runtimeProbe.home.empty()) probe(t, 4, v.runtimeProbe, "probe");
            if (!v.probe.home.empty()) probe(t, 4, v.probe, v.runtimeProbe.home.empty() ? "probe" : "then");
        }
    }
    std::vector<RuntimeCandidate> candidates;
    std::vector<int> position = candidatePositions(search, candidates);
    if (candidates.empty()) {
        t.line(2, "no candidates");
        return;
    }
    t.line(2, "candidates in order (of the versions read):");
    for (std::size_t i = 0; i < candidates.size(); ++i)
        t.line(3, std::to_string(i + 1) + ". " + candidateText(candidates[i]));
    auto number = [&](int version) { return version < 0 ? -1 : position[static_cast<std::size_t>(version)]; };
    for (const PreferredVersionTry& item : search.preferred) {
        std::string head = "preferred version " + quoted(item.item) + " (pattern " + versionParts(item.pattern) +
                           ", " + std::to_string(item.pattern.count) + " parts): ";
        t.line(2, head + (item.match < 0 ? "matches no candidate"
                                         : "matches candidate " + std::to_string(number(item.match) + 1)));
    }
    if (search.chosen >= 0) {
        bool byPreference = !search.preferred.empty() && search.preferred.back().match >= 0;
        const char* why = byPreference             ? ""
                          : search.preferred.empty() ? " (the first; no \"Preferred versions\")"
                                                     : " (the first; no preferred version matched)";
        t.line(2, "chosen: candidate " + std::to_string(number(search.chosen) + 1) + why);
    }
}

void discovery(Text& t, const Explanation& e) {
    const RuntimeDiscovery& found = *e.plan.discovery;
    const DiscoverySettings& s = e.plan.settings->discovery;
    t.line("Runtime discovery");
    for (std::size_t i = 0; i < found.stepsTried; ++i) {
        const DiscoveryStep& step = found.steps[i];
        const HomeProbe& home = step.homeProbe();
        std::string head = std::to_string(i + 1) + ". " + runtimeSourceName(step.source);
        switch (step.source) {
        case RuntimeSource::Remembered:
            if (home.home.empty()) {
                t.line(1, head + ": none (\"JRE Path\" is empty)");
                continue;
            }
            t.line(1, head + " (\"JRE Path\"; no version check)");
            break;
        case RuntimeSource::BesideExecutable:
            t.line(1, head + " (marked by bin\\java.dll)");
            for (const FileProbe& test : step.tests) fileLine(t, 2, test);
            if (home.home.empty()) t.line(2, "-> none");
            break;
        case RuntimeSource::Registry:
            t.line(1, head);
            registry(t, step.registry, s);
            break;
        }
        if (!home.home.empty())
            probe(t, 2, home, step.source == RuntimeSource::Registry ? "chosen Java home" : "Java home");
    }
    if (e.plan.jreNotFound && e.image.isConsole()) {
        std::string settingsFile = e.plan.settings->file.substr(e.plan.settings->file.find_last_of('\\') + 1);
        std::string executable = e.paths.executable.substr(e.paths.executable.find_last_of('\\') + 1);
        t.line(1, "No runtime found. The launcher writes to standard error and ends with exit code -1:");
        t.line(2, consoleLine(e, toWide(jreNotFoundLine(s, settingsFile, executable))));
        return;
    }
    if (e.plan.jreNotFound) {
        t.line(1, "No runtime found. The launcher shows the \"JRE Not Found\" dialog:");
        t.line(2, quoted(e.plan.jreNotFound->message));
        t.line(1, "Its link opens " + (s.downloadPage.empty() ? std::string("https://java.com/") : s.downloadPage) + ".");
        t.line(1, "A folder picked there is remembered as \"JRE Path\" in " + e.plan.jreNotFound->rememberedIn + ";");
        t.line(1, "Cancel ends the launch with exit code -1.");
        return;
    }
    std::string machine = machineName(found.lastStep().homeProbe().machine());
    t.line(1, "JVM library: " + e.plan.jvmLibrary + (machine.empty() ? "" : " (" + machine + ")"));
    if (e.plan.loading) {
        t.line(2, "DLL directory while it loads and after: " + e.plan.loading->dllDirectory);
        std::string first;
        for (const std::string& library : e.plan.loading->runtimeLibraries)
            first += (first.empty() ? "" : ", ") + library;
        t.line(2, "C runtime DLLs loaded first from there: " + (first.empty() ? std::string("none there") : first));
    }
}

void environment(Text& t, const JavaEnvironment& environment) {
    t.line("Environment of the Java program");
    for (const auto& [name, value] : environment.variables) t.line(1, name + " = " + value);
}

void splash(Text& t, const Explanation& e) {
    const SplashPlan& plan = *e.plan.splash;
    std::string text = "Splash screen: ";
    switch (plan.choice) {
    case SplashChoice::Suppressed: text += "none, suppressed by -nosplash or /nosplash"; break;
    case SplashChoice::None: text += "none (\"Splash Screen\" is empty)"; break;
    case SplashChoice::NativeLibrary:
        text += "the runtime's library " + plan.nativeLibrary +
                " (the launcher's own window if it cannot be loaded or lacks an entry point)";
        break;
    case SplashChoice::OwnWindow:
        text += "the launcher's own window";
        if (isYes(e.plan.settings->display.preferNativeSplash))
            text += " (the native library is preferred but the runtime has none)";
        break;
    }
    t.line(text);
    if (plan.picture.empty()) return;
    std::optional<bool> exists = lookedUp(e.trace, LaunchStage::Splash, plan.picture);
    t.line(1, "picture " + plan.picture + (exists && !*exists ? " (missing: nothing is shown)" : " (exists)"));
}

void sharing(Text& t, const Explanation& e) {
    ClassDataSharingPlan none;
    const ClassDataSharingPlan& c = e.plan.sharing ? *e.plan.sharing : none;
    t.line(std::string("Class data sharing: ") + sharingStateText(c.state));
    if (c.state == SharingState::NotAsked) return;
    std::string version = c.version ? std::to_string(c.version) : std::string("unknown");
    if (c.versionSource == VersionSource::Registry) {
        version += ", from the registry subkey " + quoted(c.versionText);
    } else if (c.versionSource == VersionSource::ReleaseFile) {
        version += ", from " + (c.versionText.empty() ? std::string("no JAVA_VERSION line") : c.versionText) +
                   " in " + releaseFileOf(e.plan.jvmLibrary);
    } else {
        version += " (" + releaseFileOf(e.plan.jvmLibrary) + " cannot be read)";
    }
    t.line(1, "runtime version: " + version);
    if (c.state <= SharingState::AuthorsOption) return;
    if (c.cache) {
        t.line(1, "kind: the ahead-of-time cache (Java 25 and later)");
    } else {
        t.line(1, std::string("kind: the dynamic archive") +
                      (c.fallback == CacheFallback::None ? "" : std::string(" instead of the ahead-of-time cache: ") +
                                                                    cacheFallbackText(c.fallback)));
        t.line(1, "base archive: " + c.baseArchive + (c.baseArchiveExists ? " (exists)" : " (missing)"));
    }
    if (c.archive.empty()) return;
    t.line(1, (c.cache ? "cache: " : "archive: ") + c.archive);
    if (!c.record.empty()) t.line(1, "what it is made from now (size and last-write time in hex, path):");
    std::size_t start = 0;
    while (start < c.record.size()) {
        std::size_t end = c.record.find("\r\n", start);
        t.line(2, c.record.substr(start, end - start));
        start = end + 2;
    }
    if (c.state <= SharingState::FolderOnClassPath) return;
    static const char* const archiveTexts[] = {"missing", "complete", "incomplete: the VM did not finish writing it",
                                               "a folder"};
    static const char* const recordTexts[] = {"missing", "matches", "differs", "matches, with a refused attempt"};
    t.line(1, std::string(c.cache ? "cache" : "archive") + " state: " + archiveTexts[static_cast<int>(c.archiveState)]);
    t.line(1, "record " + recordPath(c.archive) + ": " + recordTexts[static_cast<int>(c.recordState)] +
                  (c.recordHeld ? ", held by another launch" : ""));
    if (c.attempt != Attempt::None && c.recordState != RecordState::Differs)
        t.line(2, std::string("last attempt: ") + attemptText(c.attempt) + " " + c.attemptOptions +
                      (c.attempt == Attempt::Pending && !c.recordHeld ? " (its launch is gone)" : ""));
    t.line(1, "options added: " + quotedList(sharingOptionsOf(*e.plan.vm)));
}

void classPath(Text& t, const VmConfiguration& vm) {
    t.line("Class path");
    for (const ClassPathPiece& piece : vm.classPath) {
        if (!piece.searched) {
            t.line(1, quoted(piece.piece) + ": kept as written");
            continue;
        }
        t.line(1, quoted(piece.piece) + ": search " + piece.pattern +
                      (piece.entries.empty() ? ", nothing found: dropped" : ""));
        for (const std::string& entry : piece.entries) t.line(2, entry);
    }
    if (!vm.embeddedJar.empty()) t.line(1, "the executable, last: " + vm.embeddedJar);
}

void options(Text& t, const Explanation& e) {
    const VmConfiguration& vm = *e.plan.vm;
    if (!vm.memoryOptions.empty()) {
        t.line("Memory options (this machine: total physical memory " +
               std::to_string(vm.memoryOptions.front().totalPhysical >> 10) + " KB, free address space " +
               std::to_string(vm.memoryOptions.front().availableVirtual >> 10) + " KB)");
        for (const MemoryRewrite& m : vm.memoryOptions) t.line(1, m.option + " -> " + m.rewritten);
    }
    sharing(t, e);
    t.line("VM options, in order");
    for (std::size_t i = 0; i < vm.options.size(); ++i) t.line(1, std::to_string(i + 1) + ". " + vm.options[i]);
    t.line("Java thread stack: " + (vm.stackSize ? std::to_string(vm.stackSize) + " bytes (-Xss)"
                                                 : std::string("the JVM library's default")));
    t.line("Main class: " + e.plan.settings->application.mainClass);
    t.line(L"main receives: " + quotedList(vm.mainArguments));
    t.line(L"System.out: " + (vm.outputFile.empty() ? std::wstring(L"not redirected") : fileText(vm, true)));
    t.line(L"System.err: " + (vm.errorFile.empty() ? std::wstring(L"not redirected") : fileText(vm, false)));
}

// How the launch ends before Java, when it does.
void ending(Text& t, const Explanation& e) {
    const LaunchPlan& plan = e.plan;
    if (plan.outcome == LaunchOutcome::NoSettingsPath) {
        t.line("The executable's path holds no \".\": no settings file path can be formed, and the launch");
        t.line("ends at once with exit code -1, without a message.");
        return;
    }
    if (plan.failure && e.image.isConsole()) {
        t.line(L"Standard error: " + consoleLine(e, messageTextWide(*plan.failure)));
        t.line("The launch ends here with exit code " + std::to_string(*exitCodeOf(plan.outcome)) + ".");
    } else if (plan.failure) {
        t.line(L"Message box: \"" + messageTextWide(*plan.failure) + L"\"");
        t.line("The launch ends here with exit code " + std::to_string(*exitCodeOf(plan.outcome)) + ".");
    }
}

void notes(Text& t, const Explanation& e) {
    std::vector<std::string> lines;
    if (!e.image.exists)
        lines.push_back("There is no file at " + e.paths.executable + "; explained as if there were.");
    std::string launcher = machineName(e.image.machine);
    std::string own = machineName(ownMachine());
    if (!launcher.empty() && launcher != own)
        lines.push_back("The launcher is " + launcher + " and this explanation ran as " + own +
                        ": the registry view and the free address space (\"T\" memory forms) may differ. "
                        "Use the " + launcher + " build of explain for the exact answer.");
    std::string library = e.plan.discovery ? machineName(e.plan.discovery->lastStep().homeProbe().machine()) : "";
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
    const LaunchPlan& plan = e.plan;
    Text t;
    std::string machine = machineName(e.image.machine);
    t.line(L"Launch of " + e.executablePath + toWide(machine.empty() ? "" : " (" + machine + ")"));
    t.line(1, L"arguments: " + quotedList(e.arguments));
    t.line(1, "working folder: " + e.workingFolder + (e.workingFolderChanged ? " (set by \"Override WorkingDir\")" : ""));
    t.line(1, e.image.isConsole()
                  ? "a console program: messages are lines on standard error (UTF-16 to a console, UTF-8 "
                    "otherwise), no dialog is shown, and an exception that leaves main ends it with exit code 1"
                  : "a Windows program: messages are message boxes, and dialogs may be shown");
    t.line();

    if (!e.trace.shortNames.empty()) {
        t.line("Names the ANSI code page cannot spell");
        for (const PathFallback& fallback : e.trace.shortNames)
            t.line(1, fallback.original + (fallback.used.empty()
                                               ? std::wstring(L" has no ANSI spelling and does not exist: left out")
                                               : L" has no ANSI spelling; using " + toWide(fallback.used)));
        t.line();
    }
    // Each step the launch reached, in its order.
    if (plan.settings) {
        settings(t, e);
        t.line();
    }
    if (plan.instance) {
        if (plan.instance->on) {
            t.line("Single instance: on, shared objects named " + plan.instance->name);
            t.line(1, plan.outcome == LaunchOutcome::SecondaryInstance
                          ? "An instance is running now: this launch hands its arguments to it and ends with its answer."
                          : "No instance is running now: this launch becomes the primary.");
        } else {
            t.line("Single instance: off");
        }
        t.line();
    }
    if (plan.discovery) discovery(t, e);
    if (plan.environment) {
        t.line();
        environment(t, *plan.environment);
    }
    if (plan.splash) {
        t.line();
        splash(t, e);
    }
    if (plan.vm) {
        t.line();
        classPath(t, *plan.vm);
        if (plan.outcome == LaunchOutcome::StartsJava) options(t, e);
    }
    ending(t, e);
    notes(t, e);
    return t.str();
}
