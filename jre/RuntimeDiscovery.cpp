#include "jre/RuntimeDiscovery.h"

#include "base/PathText.h"

namespace {

// The first file the discovery did not look for because its path was too
// long; null when there was none.
const std::string* tooLongTest(const HomeProbe& probe) {
    for (const LibraryTest& test : probe.tests)
        if (isTooLong(test.path)) return &test.path;
    return nullptr;
}

const std::string* firstTooLongPath(const RuntimeDiscovery& discovery) {
    const DiscoveryStep* steps = discovery.steps;
    const DiscoveryStep* end = steps + discovery.stepsTried;
    for (const DiscoveryStep* step = steps; step != end; ++step)
        for (const FileProbe& test : step->tests)
            if (isTooLong(test.path)) return &test.path;
    for (const DiscoveryStep* step = steps; step != end; ++step) {
        const std::string* path = tooLongTest(step->probe);
        for (const RegisteredVersion& version : step->registry.versions)
            for (const HomeProbe* probe : {&version.runtimeProbe, &version.probe})
                if (!path) path = tooLongTest(*probe);
        if (path) return path;
    }
    return nullptr;
}

}  // namespace

const RegisteredVersion* RuntimeDiscovery::chosenRegistryVersion() const {
    const DiscoveryStep& last = lastStep();
    if (jvmLibrary.empty() || last.source != RuntimeSource::Registry || last.registry.chosen < 0) return nullptr;
    return &last.registry.versions[static_cast<std::size_t>(last.registry.chosen)];
}

RuntimeDiscovery discoverRuntime(const DiscoverySettings& settings, const std::string& launcherFolder,
                                 LaunchTrace* trace) {
    RuntimeDiscovery discovery;
    auto found = [&](DiscoveryStep& step, const std::string& home) {
        step.probe = probeJavaHome(home, settings.jvmType);
        discovery.jvmLibrary = step.probe.library;
        return !discovery.jvmLibrary.empty();
    };
    auto next = [&](RuntimeSource source) -> DiscoveryStep& {
        DiscoveryStep& step = discovery.steps[discovery.stepsTried++];
        step.source = source;
        return step;
    };

    // The remembered folder; it is not held against the version bounds.
    DiscoveryStep& remembered = next(RuntimeSource::Remembered);
    if (!settings.jrePath.empty() && found(remembered, withTrailingBackslash(settings.jrePath)))
        return discovery;

    DiscoveryStep& local = next(RuntimeSource::BesideExecutable);
    LocalRuntime runtime = findLocalRuntime(launcherFolder);
    local.tests = std::move(runtime.tests);
    if (!runtime.home.empty() && found(local, runtime.home)) return discovery;

    DiscoveryStep& registry = next(RuntimeSource::Registry);
    registry.registry = searchRegistry(settings, trace);
    const RegistrySearch& search = registry.registry;
    if (search.chosen >= 0) {
        const RegisteredVersion& chosen = search.versions[static_cast<std::size_t>(search.chosen)];
        // The probe that made the version a candidate gives the library when
        // it looked as the settings' type would (not so for today's keys'
        // homes, nor the Sun runtime key's under favor_server).
        if (chosen.probe.layout == HomeLayout::Classic && chosen.probe.type == settings.jvmType) {
            discovery.jvmLibrary = chosen.probe.library;
            return discovery;
        }
        if (found(registry, chosen.candidate.home)) return discovery;
    }
    if (const std::string* path = firstTooLongPath(discovery)) {
        discovery.failure.emplace(Failure{msg::PathTooLong, *path});
        discovery.failure->number = static_cast<int>(path->size());
    }
    return discovery;
}
