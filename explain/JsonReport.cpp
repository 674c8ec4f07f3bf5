#include "explain/JsonReport.h"

#include "base/WideText.h"
#include "explain/JsonWriter.h"
#include "jre/LibraryMachine.h"

std::string versionParts(const JavaVersion& v) {
    std::string text;
    for (int i = 0; i < 4; ++i) text += (i ? "." : "") + std::to_string(v.parts[i]);
    return text;
}

namespace {

void version(JsonWriter& json, const char* name, const JavaVersion& v, const std::string& written) {
    json.key(name);
    json.beginObject();
    json.field("written", written);
    json.field("parts", versionParts(v));
    json.field("count", static_cast<int>(v.count));
    json.field("unbounded", isUnbounded(v));
    json.endObject();
}

void fileTests(JsonWriter& json, const char* name, const std::vector<FileProbe>& tests) {
    json.key(name);
    json.beginArray();
    for (const FileProbe& test : tests) {
        json.beginObject();
        json.field("path", test.path);
        json.field("exists", test.exists);
        json.endObject();
    }
    json.endArray();
}

void probe(JsonWriter& json, const HomeProbe& p) {
    json.beginObject();
    json.field("home", p.home);
    json.field("homeWritten", p.written);
    json.field("jvmType", jvmTypeName(p.type));
    json.key("tests");
    json.beginArray();
    for (const LibraryTest& test : p.tests) {
        json.beginObject();
        json.field("path", test.path);
        json.field("exists", test.exists);
        json.field("tooLong", isTooLong(test.path));
        if (test.exists) {
            json.field("machine", machineName(test.machine));
            json.field("usable", test.usable());
        }
        json.endObject();
    }
    json.endArray();
    json.field("library", p.library);
    json.field("isServer", p.isServer);
    json.endObject();
}

void candidate(JsonWriter& json, const RuntimeCandidate& c) {
    json.beginObject();
    json.field("version", versionParts(c.version));
    json.field("home", c.home);
    json.field("isServer", c.isServer);
    json.field("preferred", c.preferred);
    json.endObject();
}

void index(JsonWriter& json, const char* name, int i) {
    json.key(name);
    if (i < 0) {
        json.null();
    } else {
        json.value(static_cast<std::int64_t>(i));
    }
}

void record(JsonWriter& json, const LauncherSettings& s) {
    const DiscoverySettings& d = s.discovery;
    json.key("record");
    json.beginObject();
    json.field("productCode", s.product.code);
    json.field("productName", s.product.name);
    version(json, "minVersion", d.minVersion, d.minVersionText);
    version(json, "maxVersion", d.maxVersion, d.maxVersionText);
    json.field("isService", s.application.isService);
    json.stringArray("preferredVersions", d.preferredVersions);
    json.field("jrePath", d.jrePath);
    json.field("jvmType", jvmTypeName(d.jvmType));
    json.field("bothKindsAllowed", d.bothKindsAllowed);
    json.field("jrePreferred", d.jrePreferred);
    json.field("jdkPreferred", d.jdkPreferred);
    json.field("sunAllowed", d.sunAllowed);
    json.field("jrockitAllowed", d.jrockitAllowed);
    json.field("ibmAllowed", d.ibmAllowed);
    json.field("sunPreferred", d.sunPreferred);
    json.field("jrockitPreferred", d.jrockitPreferred);
    json.field("ibmPreferred", d.ibmPreferred);
    json.field("mainClass", s.application.mainClass);
    json.field("failureCheck", s.application.failureCheck);
    json.field("overrideWorkingDir", s.application.overrideWorkingDir);
    json.field("systemPath", s.environment.systemPath);
    json.field("libraryPath", s.environment.libraryPath);
    json.field("openJdkAllowed", d.openJdkAllowed);
    json.field("modernJava", modernJavaName(d.modernJava));
    json.field("downloadPage", d.downloadPage);
    json.endObject();
}

void settings(JsonWriter& json, const Explanation& e) {
    LauncherSettings none;
    const LauncherSettings& s = e.plan.settings ? *e.plan.settings : none;
    const LaunchRecord& trace = e.trace;
    json.key("settings");
    json.beginObject();
    json.field("file", s.file);
    json.field("fileExists", trace.settingsFileRead);
    json.field("encoding", encodingName(trace.settingsEncoding));
    json.field("userFile", s.userFile.path);
    json.field("userFileExists", lookedUp(trace, LaunchStage::Settings, s.userFile.path).value_or(false));
    json.field("userFileInUse", s.userFile.inUse);
    json.key("reads");
    json.beginArray();
    for (const SettingRead& read : trace.settings) {
        json.beginObject();
        json.field("stage", stageName(read.stage));
        json.field("file", read.source == SettingSource::UserFile ? s.userFile.path : s.file);
        json.field("section", read.section);
        json.field("key", read.key);
        json.field("value", read.value);
        json.field("source", sourceName(read.source));
        json.endObject();
    }
    json.endArray();
    json.key("fileTests");
    json.beginArray();
    for (const FileLook& look : trace.files) {
        json.beginObject();
        json.field("stage", stageName(look.stage));
        json.field("path", look.probe.path);
        json.field("exists", look.probe.exists);
        json.endObject();
    }
    json.endArray();
    record(json, s);
    json.endObject();
}

void registryStep(JsonWriter& json, const RegistrySearch& search, const DiscoverySettings& s) {
    json.key("keys");
    json.beginArray();
    for (std::size_t k = 0; k < search.keys.size(); ++k) {
        const RegistryKeySearch& key = search.keys[k];
        json.beginObject();
        json.field("key", key.key->path);
        json.field("root", key.rootName());
        json.field("below", key.key->below);
        json.field("homeValue", key.key->homeValue);
        json.field("modern", key.key->modern);
        json.field("kindAllowed", isKeyKindAllowed(*key.key, s));
        json.field("vendorAllowed", isVendorAllowed(key.key->vendor, s));
        json.field("searched", key.searched);
        json.field("opened", key.opened);
        json.key("versions");
        json.beginArray();
        for (const RegisteredVersion& v : search.versions) {
            if (v.key != k) continue;
            json.beginObject();
            json.field("name", v.name);
            json.field("kind", kindName(v.kind));
            json.field("version", versionParts(v.candidate.version));
            json.field("result", registryResultName(v.result));
            json.field("nameVersion", versionParts(v.nameVersion));
            json.field("releaseVersion", v.releaseLine);
            json.field("homeRead", v.home);
            json.field("homeWritten", v.homeWritten);
            json.field("home", v.candidate.home);
            if (!v.runtimeProbe.home.empty()) {
                json.key("runtimeProbe");
                probe(json, v.runtimeProbe);
            }
            if (!v.probe.home.empty()) {
                json.key("probe");
                probe(json, v.probe);
            }
            json.field("isServer", v.candidate.isServer);
            // A version counts as preferred only as a candidate.
            json.field("preferred", v.result == RegistryVersionResult::Candidate && v.candidate.preferred);
            json.endObject();
        }
        json.endArray();
        json.endObject();
    }
    json.endArray();
    std::vector<RuntimeCandidate> candidates;
    std::vector<int> position = candidatePositions(search, candidates);
    auto number = [&](int version) { return version < 0 ? -1 : position[static_cast<std::size_t>(version)]; };
    json.key("candidates");
    json.beginArray();
    for (const RuntimeCandidate& c : candidates) candidate(json, c);
    json.endArray();
    json.key("preferredVersions");
    json.beginArray();
    // Without candidates there is nothing to prefer.
    for (const PreferredVersionTry& item : candidates.empty() ? std::vector<PreferredVersionTry>() : search.preferred) {
        json.beginObject();
        json.field("item", item.item);
        json.field("pattern", versionParts(item.pattern));
        json.field("patternCount", static_cast<int>(item.pattern.count));
        index(json, "match", number(item.match));
        json.endObject();
    }
    json.endArray();
    index(json, "chosen", number(search.chosen));
}

void discovery(JsonWriter& json, const Explanation& e) {
    const LaunchPlan& plan = e.plan;
    DiscoverySettings noSettings;
    const DiscoverySettings& s = plan.settings ? plan.settings->discovery : noSettings;
    json.key("discovery");
    json.beginObject();
    json.key("steps");
    json.beginArray();
    if (plan.discovery) {
        for (std::size_t i = 0; i < plan.discovery->stepsTried; ++i) {
            const DiscoveryStep& step = plan.discovery->steps[i];
            const HomeProbe& home = step.homeProbe();
            json.beginObject();
            json.field("source", runtimeSourceName(step.source));
            fileTests(json, "tests", step.tests);
            if (step.source == RuntimeSource::Registry) registryStep(json, step.registry, s);
            json.key("probes");
            json.beginArray();
            if (!home.home.empty()) probe(json, home);
            json.endArray();
            json.field("library", home.library);
            json.endObject();
        }
    }
    json.endArray();
    bool found = plan.discovery && !plan.discovery->jvmLibrary.empty();
    json.field("jvmLibrary", plan.jvmLibrary);
    json.field("jvmLibraryMachine", found ? machineName(plan.discovery->lastStep().homeProbe().machine()) : "");
    json.field("modernJava", modernJavaName(s.modernJava));
    json.field("dllDirectory", plan.loading ? plan.loading->dllDirectory : std::string());
    json.stringArray("runtimeLibraries", plan.loading ? plan.loading->runtimeLibraries : std::vector<std::string>());
    std::string javaHome;
    if (plan.environment)
        for (const auto& [name, value] : plan.environment->variables)
            if (name == "VT_JVM_HOME") javaHome = value;
    json.field("javaHome", javaHome);
    json.field("jreNotFoundMessage", plan.jreNotFound ? plan.jreNotFound->message : std::string());
    json.field("rememberedIn", plan.jreNotFound ? plan.jreNotFound->rememberedIn : std::string());
    json.endObject();
}

void arguments(JsonWriter& json, const char* name, const std::vector<Argument>& items) {
    json.key(name);
    json.beginArray();
    for (const Argument& item : items) json.value(wideOf(item));
    json.endArray();
}

void splash(JsonWriter& json, const Explanation& e) {
    SplashPlan none;
    const SplashPlan& plan = e.plan.splash ? *e.plan.splash : none;
    bool shown = e.plan.splash && plan.choice != SplashChoice::Suppressed;
    DisplaySettings noSettings;
    const DisplaySettings& display = shown ? e.plan.settings->display : noSettings;
    json.key("splash");
    json.beginObject();
    json.field("choice", splashChoiceName(plan.choice));
    json.field("image", plan.picture);
    json.field("imageExists", lookedUp(e.trace, LaunchStage::Splash, plan.picture).value_or(false));
    json.field("shadow", display.splashScreenShadow);
    json.field("preferNative", display.preferNativeSplash);
    json.field("nativeLibrary", plan.nativeLibrary);
    json.endObject();
}

void sharing(JsonWriter& json, const Explanation& e) {
    ClassDataSharingPlan none;
    const ClassDataSharingPlan& c = e.plan.sharing ? *e.plan.sharing : none;
    json.key("classDataSharing");
    json.beginObject();
    json.field("state", sharingStateName(c.state));
    json.field("why", sharingStateText(c.state));
    json.field("version", c.version);
    json.field("versionSource", versionSourceName(c.versionSource));
    json.field("versionText", c.versionText);
    json.field("releaseFile",
               c.versionSource == VersionSource::Registry || !e.plan.sharing ? std::string() : releaseFileOf(e.plan.jvmLibrary));
    json.field("archive", c.archive);
    json.field("archiveState", archiveStateName(c.archiveState));
    json.field("recordFile", c.archive.empty() ? std::string() : recordPath(c.archive));
    json.field("madeFrom", c.record);
    json.field("recordState", recordStateName(c.recordState));
    json.stringArray("options", e.plan.sharing ? sharingOptionsOf(*e.plan.vm) : std::vector<std::string>());
    json.field("uses", c.state >= SharingState::MapsCache ? "AOT cache"
                       : c.state >= SharingState::Maps    ? "dynamic archive"
                                                          : "none");
    json.field("cacheFallback", cacheFallbackName(c.fallback));
    json.field("baseArchive", c.baseArchive);
    json.field("baseArchiveExists", c.baseArchiveExists);
    json.field("recordHeld", c.recordHeld);
    json.field("attempt", attemptName(c.attempt));
    json.field("attemptOptions", c.attemptOptions);
    json.endObject();
}

}  // namespace

std::string jsonReport(const Explanation& e) {
    const LaunchPlan& plan = e.plan;
    JsonWriter json;
    json.beginObject();
    json.field("executable", e.executablePath);
    json.field("executableExists", e.image.exists);
    json.field("executableMachine", machineName(e.image.machine));
    json.field("executableSubsystem", e.image.isConsole() ? "console" : e.image.subsystem ? "GUI" : "");
    arguments(json, "commandLineArguments", e.arguments);
    json.field("workingDirectory", e.workingFolder);
    json.field("workingDirectoryChanged", e.workingFolderChanged);
    json.field("outcome", outcomeName(plan.outcome));
    json.key("exitCode");
    if (std::optional<int> code = exitCodeOf(plan.outcome)) {
        json.value(static_cast<std::int64_t>(*code));
    } else {
        json.null();
    }
    json.key("messages");
    json.beginArray();
    if (plan.failure) json.value(messageTextWide(*plan.failure));
    json.endArray();
    json.key("shortForms");
    json.beginArray();
    for (const PathFallback& fallback : e.trace.shortNames) {
        json.beginObject();
        json.field("path", fallback.original);
        json.field("used", fallback.used);
        json.endObject();
    }
    json.endArray();

    settings(json, e);

    json.key("singleInstance");
    json.beginObject();
    json.field("requested", plan.instance && plan.instance->on);
    json.field("instanceName", plan.instance ? plan.instance->name : std::string());
    json.field("primaryRunning", plan.outcome == LaunchOutcome::SecondaryInstance);
    json.endObject();

    discovery(json, e);

    json.key("environment");
    json.beginObject();
    if (plan.environment)
        for (const auto& [name, value] : plan.environment->variables) json.field(name.c_str(), value);
    json.endObject();

    splash(json, e);

    VmConfiguration noOptions;
    const VmConfiguration& vm = plan.vm ? *plan.vm : noOptions;
    json.key("classPath");
    json.beginArray();
    for (const ClassPathPiece& piece : vm.classPath) {
        json.beginObject();
        json.field("piece", piece.piece);
        json.field("searched", piece.searched);
        json.field("pattern", piece.pattern);
        json.stringArray("entries", piece.entries);
        json.endObject();
    }
    json.endArray();

    json.key("memoryOptions");
    json.beginArray();
    for (const MemoryRewrite& m : vm.memoryOptions) {
        json.beginObject();
        json.field("option", m.option);
        json.field("rewritten", m.rewritten);
        json.field("totalPhysical", m.totalPhysical);
        json.field("availableVirtual", m.availableVirtual);
        json.endObject();
    }
    json.endArray();

    json.stringArray("vmOptions", vm.options);
    json.key("javaStackSize");
    if (vm.stackSize) {
        json.value(static_cast<std::int64_t>(vm.stackSize));
    } else {
        json.null();
    }
    json.field("mainClass", plan.vm ? plan.settings->application.mainClass : std::string());
    arguments(json, "mainArguments", vm.mainArguments);
    json.field("outputFile", vm.outputFileWide.empty() ? toWide(vm.outputFile) : vm.outputFileWide);
    json.field("errorFile", vm.errorFileWide.empty() ? toWide(vm.errorFile) : vm.errorFileWide);
    sharing(json, e);
    json.endObject();
    return json.text();
}
