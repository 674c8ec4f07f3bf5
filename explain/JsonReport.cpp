#include "explain/JsonReport.h"

#include "explain/JsonWriter.h"

std::string versionParts(const JavaVersion& v) {
    std::string text;
    for (int i = 0; i < 4; ++i) text += (i ? "." : "") + std::to_string(v.parts[i]);
    return text;
}

namespace {

void version(JsonWriter& json, const char* name, const JavaVersion& v) {
    json.key(name);
    json.beginObject();
    json.field("parts", versionParts(v));
    json.field("count", static_cast<int>(v.count));
    json.field("unbounded", isUnbounded(v));
    json.endObject();
}

void fileTests(JsonWriter& json, const char* name, const std::vector<FileTest>& tests) {
    json.key(name);
    json.beginArray();
    for (const FileTest& test : tests) {
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
    json.field("jvmType", jvmTypeName(p.type));
    json.key("tests");
    json.beginArray();
    for (const LibraryTest& test : libraryTests(p)) {
        json.beginObject();
        json.field("path", test.path);
        json.field("exists", test.exists);
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

void settings(JsonWriter& json, const Explanation& e) {
    json.key("settings");
    json.beginObject();
    json.field("file", e.settingsFile);
    json.field("fileExists", e.settingsFileExists);
    json.field("encoding", encodingName(e.settingsEncoding));
    json.field("userFile", e.userSettingsFile);
    json.field("userFileExists", e.userSettingsFileExists);
    json.field("userFileInUse", e.userSettingsFileInUse);
    json.key("reads");
    json.beginArray();
    for (const StagedSettingRead& read : e.settings) {
        json.beginObject();
        json.field("stage", stageName(read.stage));
        json.field("file", read.file);
        json.field("section", read.section);
        json.field("key", read.key);
        json.field("value", read.value);
        json.field("source", sourceName(read.source));
        json.endObject();
    }
    json.endArray();
    json.key("fileTests");
    json.beginArray();
    for (const StagedFileTest& test : e.fileTests) {
        json.beginObject();
        json.field("stage", stageName(test.stage));
        json.field("path", test.test.path);
        json.field("exists", test.test.exists);
        json.endObject();
    }
    json.endArray();

    const LauncherSettings& s = e.record;
    json.key("record");
    json.beginObject();
    json.field("productCode", s.productCode);
    json.field("productName", s.productName);
    version(json, "minVersion", s.minVersion);
    version(json, "maxVersion", s.maxVersion);
    json.field("isService", s.isService);
    json.stringArray("preferredVersions", s.preferredVersions);
    json.field("jrePath", s.jrePath);
    json.field("jvmType", jvmTypeName(s.jvmType));
    json.field("bothKindsAllowed", s.bothKindsAllowed);
    json.field("jrePreferred", s.jrePreferred);
    json.field("jdkPreferred", s.jdkPreferred);
    json.field("sunAllowed", s.sunAllowed);
    json.field("jrockitAllowed", s.jrockitAllowed);
    json.field("ibmAllowed", s.ibmAllowed);
    json.field("sunPreferred", s.sunPreferred);
    json.field("jrockitPreferred", s.jrockitPreferred);
    json.field("ibmPreferred", s.ibmPreferred);
    json.field("mainClass", s.mainClass);
    json.field("failureCheck", s.failureCheck);
    json.field("overrideWorkingDir", s.overrideWorkingDir);
    json.field("systemPath", s.systemPath);
    json.field("libraryPath", s.libraryPath);
    json.field("openJdkAllowed", s.openJdkAllowed);
    json.field("modernJava", modernJavaName(s.modernJava));
    json.field("downloadPage", s.downloadPage);
    json.endObject();
    json.endObject();
}

void registryStep(JsonWriter& json, const StepReport& step) {
    json.key("keys");
    json.beginArray();
    for (const RegistryKeyReport& key : step.keys) {
        json.beginObject();
        json.field("key", key.key->path);
        json.field("root", key.root);
        json.field("below", key.key->below);
        json.field("homeValue", key.key->homeValue);
        json.field("modern", key.key->modern);
        json.field("kindAllowed", key.kindAllowed);
        json.field("vendorAllowed", key.vendorAllowed);
        json.field("searched", key.searched);
        json.field("opened", key.opened);
        json.key("versions");
        json.beginArray();
        for (const RegistryVersionReport& v : key.versions) {
            json.beginObject();
            json.field("name", v.name);
            json.field("kind", kindName(v.kind));
            json.field("version", versionParts(v.candidate.version));
            json.field("result", registryResultName(v.result));
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
            json.field("preferred", v.candidate.preferred);
            json.endObject();
        }
        json.endArray();
        json.endObject();
    }
    json.endArray();
    json.key("candidates");
    json.beginArray();
    for (const RuntimeCandidate& c : step.candidates) candidate(json, c);
    json.endArray();
    json.key("preferredVersions");
    json.beginArray();
    for (const PreferredVersionTry& item : step.preferred) {
        json.beginObject();
        json.field("item", item.item);
        json.field("pattern", versionParts(item.pattern));
        json.field("patternCount", static_cast<int>(item.pattern.count));
        index(json, "match", item.match);
        json.endObject();
    }
    json.endArray();
    index(json, "chosen", step.chosen);
}

void discovery(JsonWriter& json, const Explanation& e) {
    json.key("discovery");
    json.beginObject();
    json.key("steps");
    json.beginArray();
    for (const StepReport& step : e.discovery) {
        json.beginObject();
        json.field("source", runtimeSourceName(step.source));
        fileTests(json, "tests", step.tests);
        if (step.source == RuntimeSource::Registry) registryStep(json, step);
        json.key("probes");
        json.beginArray();
        for (const HomeProbe& p : step.probes) probe(json, p);
        json.endArray();
        json.field("library", step.library());
        json.endObject();
    }
    json.endArray();
    json.field("jvmLibrary", e.jvmLibrary);
    json.field("jvmLibraryMachine", machineName(e.jvmLibraryMachine));
    json.field("modernJava", modernJavaName(e.record.modernJava));
    json.field("dllDirectory", e.loading.dllDirectory);
    json.stringArray("runtimeLibraries", e.loading.runtimeLibraries);
    json.field("javaHome", e.javaHome);
    json.field("jreNotFoundMessage", e.jreNotFoundMessage);
    json.field("rememberedIn", e.rememberedIn);
    json.endObject();
}

void arguments(JsonWriter& json, const char* name, const std::vector<Argument>& items) {
    json.key(name);
    json.beginArray();
    for (const Argument& item : items) json.value(wideOf(item));
    json.endArray();
}

}  // namespace

std::string jsonReport(const Explanation& e) {
    JsonWriter json;
    json.beginObject();
    json.field("executable", e.executablePath);
    json.field("executableExists", e.executableExists);
    json.field("executableMachine", machineName(e.executableMachine));
    arguments(json, "commandLineArguments", e.commandLineArguments);
    json.field("workingDirectory", e.workingDirectory);
    json.field("workingDirectoryChanged", e.workingDirectoryChanged);
    json.field("outcome", outcomeName(e.outcome));
    json.key("exitCode");
    if (std::optional<int> code = launchExitCode(e)) {
        json.value(static_cast<std::int64_t>(*code));
    } else {
        json.null();
    }
    json.stringArray("messages", e.messages);
    json.key("shortForms");
    json.beginArray();
    for (const PathFallback& fallback : e.fallbacks) {
        json.beginObject();
        json.field("path", fallback.original);
        json.field("used", fallback.used);
        json.endObject();
    }
    json.endArray();

    settings(json, e);

    json.key("singleInstance");
    json.beginObject();
    json.field("requested", e.singleInstance);
    json.field("instanceName", e.instanceName);
    json.field("primaryRunning", e.primaryRunning);
    json.endObject();

    discovery(json, e);

    json.key("environment");
    json.beginObject();
    for (const auto& [name, value] : e.environment) json.field(name.c_str(), value);
    json.endObject();

    json.key("splash");
    json.beginObject();
    json.field("choice", splashChoiceName(e.splash));
    json.field("image", e.splashImage);
    json.field("imageExists", e.splashImageExists);
    json.field("shadow", e.splashShadow);
    json.field("preferNative", e.preferNativeSplash);
    json.field("nativeLibrary", e.nativeSplashLibrary);
    json.endObject();

    json.key("classPath");
    json.beginArray();
    for (const ClassPathPiece& piece : e.classPath) {
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
    for (const MemoryRewrite& m : e.memoryOptions) {
        json.beginObject();
        json.field("option", m.option);
        json.field("rewritten", m.rewritten);
        json.field("totalPhysical", m.totalPhysical);
        json.field("availableVirtual", m.availableVirtual);
        json.endObject();
    }
    json.endArray();

    json.stringArray("vmOptions", e.vmOptions);
    json.key("javaStackSize");
    if (e.javaStackSize) {
        json.value(static_cast<std::int64_t>(e.javaStackSize));
    } else {
        json.null();
    }
    json.field("mainClass", e.mainClass);
    arguments(json, "mainArguments", e.mainArguments);
    json.field("outputFile", e.outputFile);
    json.field("errorFile", e.errorFile);

    const ClassDataSharingPlan& c = e.sharing;
    json.key("classDataSharing");
    json.beginObject();
    json.field("state", sharingStateName(c.state));
    json.field("why", sharingStateText(c.state));
    json.field("version", c.version);
    static const char* const sources[] = {"none", "registry", "release file"};
    json.field("versionSource", sources[static_cast<int>(c.versionSource)]);
    json.field("versionText", e.sharingVersionText);
    json.field("releaseFile", c.versionSource == VersionSource::Registry ? std::string() : releaseFileOf(e.jvmLibrary));
    json.field("archive", c.archive);
    json.field("archiveState", archiveStateName(c.archiveState));
    json.field("recordFile", c.archive.empty() ? std::string() : recordPath(c.archive));
    json.field("madeFrom", c.record);
    json.field("recordState", recordStateName(c.recordState));
    json.stringArray("options", std::vector<std::string>(e.vmOptions.end() - static_cast<std::ptrdiff_t>(c.optionCount),
                                                         e.vmOptions.end()));
    json.endObject();
    json.endObject();
    return json.text();
}
